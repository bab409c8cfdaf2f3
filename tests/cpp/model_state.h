#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "double_bits.h"
#include "live_counts.h"
#include "stream_capture.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbonode2d.h"

// Everything a domain build could change that the facade shows, exact to
// the bit: the current model's nodes (current and saved coordinates), its
// meshes (nodes and triangles), its domain, and the live-instance counters.
// The reset flag of the meshes is not read here, since meshReset changes it.
struct ModelState {
    std::vector<std::string> lines;
    Counts counts;

    static ModelState of(const VelboModeler& modeler)
    {
        ModelState s;
        const StreamCapture quiet;  // the queries write their start lines
        for (const auto& [id, node] : modeler.getNodes()) s.lines.push_back("node " + nodeText(node));
        for (int m = 0; m < modeler.meshSize(); ++m) {
            for (const VelboNode2D& node : modeler.getNodesAtMesh(m))
                s.lines.push_back("mesh " + std::to_string(m) + " node " + nodeText(node));
            for (const auto& [t, coords] : modeler.getTrianglesCoordsAtMesh(m)) {
                std::string line = "mesh " + std::to_string(m) + " triangle " + std::to_string(t);
                for (const double c : coords) line += " " + hex(c);
                s.lines.push_back(line);
            }
        }
        const VDouble fz = modeler.fzVector();
        const VDouble mx = modeler.mxVector();
        const VDouble my = modeler.myVector();
        if (fz.empty()) s.lines.push_back("no domain");
        for (std::size_t k = 0; k < fz.size(); ++k)
            s.lines.push_back("point " + hex(fz[k]) + " " + hex(mx[k]) + " " + hex(my[k]));
        s.counts = Counts::now();
        return s;
    }

private:
    static std::string nodeText(const VelboNode2D& node)
    {
        VelboNode2D saved(node);
        saved.nodeRestoreGeometry();
        return std::to_string(node.id()) + " " + hex(node.xn()) + " " + hex(node.yn()) + " saved " +
               hex(saved.xn()) + " " + hex(saved.yn());
    }
};

// Where two states part: the first line that differs, or the counters;
// empty when they are the same.
inline std::string firstDifference(const ModelState& actual, const ModelState& expected)
{
    const std::size_t n = std::min(actual.lines.size(), expected.lines.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (actual.lines[i] != expected.lines[i])
            return "line " + std::to_string(i) + ": " + actual.lines[i] + " instead of " + expected.lines[i];
    }
    if (actual.lines.size() != expected.lines.size())
        return std::to_string(actual.lines.size()) + " lines instead of " + std::to_string(expected.lines.size());
    if (!(actual.counts == expected.counts)) {
        std::ostringstream os;
        os << "counts " << actual.counts << " instead of " << expected.counts;
        return os.str();
    }
    return std::string();
}

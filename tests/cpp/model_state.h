#pragma once

#include <algorithm>
#include <cstdint>
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
    // Fz, then Mx, then My of every point of the domain, as bit patterns;
    // empty without a domain.
    std::vector<std::uint64_t> points;
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
        for (const VDouble& values : {modeler.fzVector(), modeler.mxVector(), modeler.myVector()})
            for (const double v : values) s.points.push_back(bits(v));
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
    if (actual.points.size() != expected.points.size())
        return std::to_string(actual.points.size()) + " point values instead of " +
               std::to_string(expected.points.size());
    const auto parted = std::mismatch(actual.points.begin(), actual.points.end(), expected.points.begin());
    if (parted.first != actual.points.end())
        return "point value " + std::to_string(parted.first - actual.points.begin()) + " differs";
    if (!(actual.counts == expected.counts)) {
        std::ostringstream os;
        os << "counts " << actual.counts << " instead of " << expected.counts;
        return os.str();
    }
    return std::string();
}

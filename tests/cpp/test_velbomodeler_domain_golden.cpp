// The domain points of the reference sections, bit for bit, against the
// recorded ones in golden/domain_points.txt, whatever the number of threads
// of the build.
//
// The file was written by the disabled test below, run on the build before
// the domain loop was reworked:
//   build/test_velbomodeler_domain_golden --gtest_also_run_disabled_tests --gtest_filter='*WriteGolden*'
// When the strain path was made to reach uniform compression in directions
// whose lowest bar lies above the depth of the interior pivot, the points of
// those directions (and the bounds and end state of their sections) were
// written again; every other point is as first recorded. The same holds of
// the directions whose points are spread along their curve (the lowest bar
// near or above the pivot depth, VelboStrainPath::spreadAt): only their
// points were written again, after the last four sections and the division
// (2, 40) had been recorded as the build gave them before.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "domain_sections.h"
#include "double_bits.h"
#include "live_counts.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbomodeler.h"

namespace {

const std::string kGoldenPath = std::string(VELBO_SOURCE_DIR) + "/tests/cpp/golden/domain_points.txt";

struct Domain {
    std::vector<double> fz, mx, my, bounds;
    // The model as the build leaves it: "node <id> <x> <y>" for every node
    // and "mesh <mesh> <triangle> <x1> <y1> <x2> <y2> <x3> <y3>" for every
    // triangle of every mesh, coordinates in hexadecimal.
    std::vector<std::string> state;
};

std::string key(const std::string& section, int degreeDivision, int ratioDivision)
{
    return section + " " + std::to_string(degreeDivision) + " " + std::to_string(ratioDivision);
}

std::vector<std::string> modelState(const VelboModeler& modeler)
{
    std::vector<std::string> lines;
    for (const auto& [id, xy] : modeler.getNodesCoords()) {
        lines.push_back("node " + std::to_string(id) + " " + hex(xy[0]) + " " + hex(xy[1]));
    }
    for (int m = 0; m < modeler.meshSize(); ++m) {
        for (const auto& [t, coords] : modeler.getTrianglesCoordsAtMesh(m)) {
            std::string line = "mesh " + std::to_string(m) + " " + std::to_string(t);
            for (const double c : coords) line += " " + hex(c);
            lines.push_back(line);
        }
    }
    return lines;
}

Domain build(const domain_sections::Named& section, int degreeDivision, int ratioDivision)
{
    const Counts before = Counts::now();
    Domain d;
    {
        StreamCapture capture;
        VelboModeler modeler;
        section.build(modeler);
        if (!modeler.buildDomain(degreeDivision, ratioDivision, false)) {
            ADD_FAILURE() << "buildDomain failed: " << capture.err();
            return d;
        }
        EXPECT_EQ(capture.err(), "");
        d.fz = modeler.fzVector();
        d.mx = modeler.mxVector();
        d.my = modeler.myVector();
        d.bounds = modeler.domainBounding();
        d.state = modelState(modeler);
    }
    // Every live-instance counter is back once the facade is gone.
    EXPECT_EQ(Counts::now(), before);
    return d;
}

// case <section> <degreeDivision> <ratioDivision> <points>
// bounds <six values>
// <Fz> <Mx> <My>      one line per point, in slot order
// node ... / mesh ... the state lines of Domain
std::map<std::string, Domain> readGolden()
{
    std::map<std::string, Domain> golden;
    std::ifstream in(kGoldenPath);
    std::string line;
    Domain* current = nullptr;
    const auto number = [](std::istringstream& s) {
        std::string word;
        s >> word;
        return std::strtod(word.c_str(), nullptr);
    };
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        std::string first;
        s >> first;
        if (first == "case") {
            std::string name;
            int deg = 0, rat = 0;
            s >> name >> deg >> rat;
            current = &golden[key(name, deg, rat)];
        } else if ((first == "node" || first == "mesh") && current) {
            current->state.push_back(line);
        } else if (first == "bounds" && current) {
            for (int i = 0; i < 6; ++i) current->bounds.push_back(number(s));
        } else if (current) {
            s.seekg(0);
            current->fz.push_back(number(s));
            current->mx.push_back(number(s));
            current->my.push_back(number(s));
        }
    }
    return golden;
}

// Compares bit patterns, so that -0.0 and 0.0 differ and NaN equals itself.
void expectSameBits(const std::vector<double>& actual, const std::vector<double>& expected,
                    const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    int differing = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (bits(actual[i]) != bits(expected[i])) {
            if (differing++ == 0) {
                ADD_FAILURE() << what << " [" << i << "]: " << hex(actual[i]) << " instead of "
                              << hex(expected[i]);
            }
        }
    }
    EXPECT_EQ(differing, 0) << what << ": values that differ";
}

void expectSameState(const std::vector<std::string>& actual, const std::vector<std::string>& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << "state lines";
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << "state line " << i << ": " << actual[i] << " instead of " << expected[i];
            return;
        }
    }
}

}  // namespace

TEST(VelboModelerDomainGolden, EveryBuildGivesTheRecordedPointsAndStateAtAnyThreadCount)
{
    const std::map<std::string, Domain> golden = readGolden();
    ASSERT_FALSE(golden.empty()) << "no recorded points in " << kGoldenPath;

    // Unset (the cores the process may use), serial, and several pools,
    // also larger than the number of directions of the coarse division.
    const char* const settings[] = {nullptr, "1", "2", "3", "8", "64"};
    for (const char* threads : settings) {
        const ThreadsSetting setting(threads);
        for (const domain_sections::Named& section : domain_sections::all()) {
            for (const auto& [deg, rat] : domain_sections::divisions()) {
                const std::string name = key(section.name, deg, rat) + " threads " +
                                         (threads ? threads : "unset");
                SCOPED_TRACE(name);
                const auto expected = golden.find(key(section.name, deg, rat));
                ASSERT_NE(expected, golden.end());
                const Domain actual = build(section, deg, rat);
                expectSameBits(actual.fz, expected->second.fz, "Fz");
                expectSameBits(actual.mx, expected->second.mx, "Mx");
                expectSameBits(actual.my, expected->second.my, "My");
                expectSameBits(actual.bounds, expected->second.bounds, "bounds");
                expectSameState(actual.state, expected->second.state);
            }
        }
    }
}

TEST(VelboModelerDomainGolden, DISABLED_WriteGoldenFile)
{
    std::FILE* out = std::fopen(kGoldenPath.c_str(), "w");
    ASSERT_NE(out, nullptr) << kGoldenPath;
    std::fprintf(out, "# Domain points of the reference sections (tests/cpp/domain_sections.h):\n"
                      "# Fz Mx My as hexadecimal doubles, in slot order.\n");
    for (const domain_sections::Named& section : domain_sections::all()) {
        for (const auto& [deg, rat] : domain_sections::divisions()) {
            const Domain d = build(section, deg, rat);
            std::fprintf(out, "case %s %d %d %zu\nbounds", section.name.c_str(), deg, rat, d.fz.size());
            for (const double b : d.bounds) std::fprintf(out, " %a", b);
            std::fprintf(out, "\n");
            for (std::size_t i = 0; i < d.fz.size(); ++i) {
                std::fprintf(out, "%a %a %a\n", d.fz[i], d.mx[i], d.my[i]);
            }
            for (const std::string& line : d.state) std::fprintf(out, "%s\n", line.c_str());
        }
    }
    std::fclose(out);
}

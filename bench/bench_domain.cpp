// Benchmark of the interaction-domain build on a 300 x 500 section meshed into
// a growing number of triangles, with 6 bars.
//
// For every case it prints the points of the domain, the triangles, the median
// wall time of several runs and the throughput in triangle-points per second.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "velbocore/velbomodeler.h"

// Builds the section with cells x cells rectangles of concrete (two triangles
// each) and three bars at the top and three at the bottom.
static void buildSection(VelboModeler& modeler, int cells) {
    const double width = 300.0, height = 500.0;
    modeler.addSection(1);
    int id = 1;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i)
            modeler.addNode(id++, width * i / cells, height * j / cells);
    const auto node = [cells](int i, int j) { return 1 + j * (cells + 1) + i; };
    int triangle = 1;
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            modeler.addTriangle(triangle++, node(i, j), node(i + 1, j), node(i + 1, j + 1));
            modeler.addTriangle(triangle++, node(i, j), node(i + 1, j + 1), node(i, j + 1));
        }
    int circle = 1;
    for (const double y : {50.0, 450.0})
        for (const double x : {50.0, 150.0, 250.0}) {
            modeler.addNode(id, x, y);
            modeler.addCircle(circle++, id++, 10.0);
        }
}

int main() {
    struct Case {
        int cells;
        int degreeDivision;
        int ratioDivision;
    };
    const Case cases[] = {{1, 18, 50}, {4, 18, 50}, {8, 18, 50}, {16, 18, 50},
                          {1, 36, 100}, {4, 36, 100}, {8, 36, 100}, {16, 36, 100}};

    // The domain build writes its progress lines on the log stream.
    std::ostringstream sink;
    std::streambuf* const logBuffer = std::clog.rdbuf(sink.rdbuf());

    std::printf("%10s %8s %10s %12s %22s\n", "triangles", "deg/rat", "points", "median [s]",
                "triangle-points / s");
    for (const Case& c : cases) {
        const int triangles = 2 * c.cells * c.cells;
        const int points = (4 * c.degreeDivision + 1) * (c.ratioDivision + 1);
        const int runs = triangles * points > 2000000 ? 3 : 5;
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            VelboModeler modeler;
            buildSection(modeler, c.cells);
            const auto start = std::chrono::steady_clock::now();
            const bool built = modeler.buildDomain(c.degreeDivision, c.ratioDivision, false);
            const auto stop = std::chrono::steady_clock::now();
            if (!built) {
                std::clog.rdbuf(logBuffer);
                std::fprintf(stderr, "buildDomain failed for %d triangles\n", triangles);
                return 1;
            }
            seconds.push_back(std::chrono::duration<double>(stop - start).count());
            sink.str(std::string());
        }
        std::sort(seconds.begin(), seconds.end());
        const double median = seconds[seconds.size() / 2];
        std::printf("%10d %4d/%-3d %10d %12.4f %22.0f\n", triangles, c.degreeDivision,
                    c.ratioDivision, points, median, triangles * static_cast<double>(points) / median);
        std::fflush(stdout);
    }
    std::clog.rdbuf(logBuffer);
    return 0;
}

// Benchmark of the interaction-domain build on a 300 x 500 section meshed into
// a growing number of triangles, with 6 bars.
//
// For every case it prints the points of the domain, the triangles, the
// number of threads (VELBO_THREADS), the median wall time of several runs,
// the throughput in triangle-points per second, the time per point and, on
// the line of all threads, the speed-up over one thread.
//
// Arguments (optional): the largest number of triangles to run (default
// 2048) and the number of threads of the "all threads" lines (default: the
// cores the process may use).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <sched.h>

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

// The cores this process may run on.
static int cores() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0) return CPU_COUNT(&cpus);
    return 1;
}

// Median wall time of buildDomain over a few runs, each on a new facade;
// a negative value when a build fails.
static double medianSeconds(int cells, int degreeDivision, int ratioDivision, int runs) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        VelboModeler modeler;
        buildSection(modeler, cells);
        const auto start = std::chrono::steady_clock::now();
        const bool built = modeler.buildDomain(degreeDivision, ratioDivision, false);
        const auto stop = std::chrono::steady_clock::now();
        if (!built) return -1.0;
        seconds.push_back(std::chrono::duration<double>(stop - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

int main(int argc, char** argv) {
    const int maxTriangles = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int allThreads = std::max(1, argc > 2 ? std::atoi(argv[2]) : cores());
    const std::string all = std::to_string(allThreads);

    struct Division {
        int degreeDivision;
        int ratioDivision;
    };
    const Division divisions[] = {{18, 50}, {36, 100}, {72, 200}};
    const int cellCounts[] = {1, 4, 8, 16, 32};

    // The domain build writes its progress lines on the log stream.
    std::ostringstream sink;
    std::streambuf* const logBuffer = std::clog.rdbuf(sink.rdbuf());

    std::printf("%9s %8s %8s %7s %11s %20s %10s %9s\n", "triangles", "deg/rat", "points", "threads", "median [s]",
                "triangle-points / s", "us / point", "speed-up");
    for (const Division& d : divisions) {
        for (const int cells : cellCounts) {
            const int triangles = 2 * cells * cells;
            if (triangles > maxTriangles) continue;
            const int points = (4 * d.degreeDivision + 1) * (d.ratioDivision + 1);
            const double work = triangles * static_cast<double>(points);
            double single = 0.0;
            for (const std::string& threads : {std::string("1"), all}) {
                setenv("VELBO_THREADS", threads.c_str(), 1);
                // More runs of the short cases, whose times scatter more.
                const double share = threads == "1" ? work : work / allThreads;
                const int runs = std::max(3, std::min(15, static_cast<int>(2e8 / share)));
                const double median = medianSeconds(cells, d.degreeDivision, d.ratioDivision, runs);
                sink.str(std::string());
                if (median < 0.0) {
                    std::clog.rdbuf(logBuffer);
                    std::fprintf(stderr, "buildDomain failed for %d triangles\n", triangles);
                    return 1;
                }
                if (threads == "1") single = median;
                char speedUp[32] = "";
                if (threads != "1") std::snprintf(speedUp, sizeof speedUp, "%.2f", single / median);
                std::printf("%9d %4d/%-3d %8d %7s %11.4f %20.0f %10.3f %9s\n", triangles, d.degreeDivision,
                            d.ratioDivision, points, threads.c_str(), median, work / median,
                            1e6 * median / points, speedUp);
                std::fflush(stdout);
                if (allThreads == 1) break;
            }
        }
    }
    std::clog.rdbuf(logBuffer);
    unsetenv("VELBO_THREADS");
    return 0;
}

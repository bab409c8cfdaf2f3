// Benchmark of the interaction-domain build on a 300 x 500 section meshed into
// a growing number of triangles, with 6 bars, and with the 3 bars of one face.
//
// For every case it prints the section, the points of the domain, the
// triangles, the number of threads it runs on (from VELBO_THREADS, or from
// its work on the line marked d, VELBO_THREADS unset), the median wall time of
// several runs, the throughput in triangle-points per second, the time per
// point, the median growth of the peak resident memory during the build and
// that growth per point, and, on the line of all threads, the speed-up over
// one thread. The first case, a small section as an engineer builds it
// interactively or in a loop, also has a line at the default number of
// threads (VELBO_THREADS unset); the beam reinforced on one face only comes
// at buildDomain(36, 100), whose directions that compress its bars spread
// their points along their curves; the last case is the small section at
// 10 million points, buildDomain(1, 2000000).
//
// Arguments (optional): the largest number of triangles to run (default
// 2048) and the number of threads of the "all threads" lines (default: the
// cores the process may use).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <malloc.h>
#include <sched.h>

#include "velbocore/velbodomainsweep.h"
#include "velbocore/velbomodeler.h"

// Builds the section with cells x cells rectangles of concrete (two triangles
// each) and three bars at the top and three at the bottom, or (oneFace) the
// three at the bottom only.
static void buildSection(VelboModeler& modeler, int cells, bool oneFace) {
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
            if (oneFace && y < 100.0) continue;
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

// A line of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1.
static long statusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            kb = std::atol(line + length + 1);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

// Starts a new peak of the resident memory at what the process holds now,
// once the memory that earlier runs freed is given back; the resident kB.
static long restartPeak() {
    malloc_trim(0);
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
    return statusKb("VmRSS");
}

struct Measure {
    double seconds;     // median wall time; negative when a build fails
    double peakGrowth;  // median growth of the peak resident memory, bytes
};

// buildDomain over a few runs, each on a new facade.
static Measure measure(int cells, bool oneFace, int degreeDivision, int ratioDivision, int runs) {
    std::vector<double> seconds;
    std::vector<double> growths;
    for (int run = 0; run < runs; ++run) {
        VelboModeler modeler;
        buildSection(modeler, cells, oneFace);
        const long before = restartPeak();
        const auto start = std::chrono::steady_clock::now();
        const bool built = modeler.buildDomain(degreeDivision, ratioDivision, false);
        const auto stop = std::chrono::steady_clock::now();
        const long peak = statusKb("VmHWM");
        if (!built) return {-1.0, 0.0};
        seconds.push_back(std::chrono::duration<double>(stop - start).count());
        growths.push_back(1024.0 * static_cast<double>(peak - before));
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(growths.begin(), growths.end());
    return {seconds[seconds.size() / 2], growths[growths.size() / 2]};
}

// One line of the table: the case on the given threads ("default":
// VELBO_THREADS unset); `single` is the median on one thread, or 0 on that
// line itself. The median, or a negative value when a build fails.
static double printLine(int cells, bool oneFace, int degreeDivision, int ratioDivision, const std::string& threads,
                        int threadCount, double single, std::ostringstream& sink, int runs) {
    const int triangles = 2 * cells * cells;
    const int points = (4 * degreeDivision + 1) * (ratioDivision + 1);
    const double work = triangles * static_cast<double>(points);
    if (threads == "default") {
        unsetenv("VELBO_THREADS");
    } else {
        setenv("VELBO_THREADS", threads.c_str(), 1);
    }
    // More runs of the short cases, whose times scatter more.
    const double share = work / threadCount;
    if (runs <= 0) runs = std::max(3, std::min(share < 1e4 ? 101 : 15, static_cast<int>(2e8 / share)));
    const Measure m = measure(cells, oneFace, degreeDivision, ratioDivision, runs);
    sink.str(std::string());
    if (m.seconds < 0.0) return m.seconds;
    char speedUp[32] = "";
    if (single > 0.0) std::snprintf(speedUp, sizeof speedUp, "%.2f", single / m.seconds);
    // The threads the build runs on, as it takes them from VELBO_THREADS
    // or its work.
    const int bars = oneFace ? 3 : 6;
    const std::string used = (threads == "default" ? "d " : "") +
                             std::to_string(VelboDomainSweep::threadsFor(triangles, bars, points));
    std::printf("%-8s %9d %4d/%-7d %8d %7s %11.6f %20.0f %10.3f %11.1f %7.1f %9s\n", oneFace ? "one-face" : "6 bars",
                triangles, degreeDivision,
                ratioDivision, points, used.c_str(), m.seconds, work / m.seconds, 1e6 * m.seconds / points,
                m.peakGrowth / (1024.0 * 1024.0), m.peakGrowth / points, speedUp);
    std::fflush(stdout);
    return m.seconds;
}

int main(int argc, char** argv) {
    const int maxTriangles = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int allThreads = std::max(1, argc > 2 ? std::atoi(argv[2]) : cores());
    const std::string all = std::to_string(allThreads);

    struct Case {
        int cells;
        bool oneFace;
        int degreeDivision;
        int ratioDivision;
        bool atDefault;
        int runs;  // 0: as many as the work of the case allows
    };
    std::vector<Case> cases = {{1, false, 4, 5, true, 0}};
    for (const auto& [degreeDivision, ratioDivision] : {std::pair{18, 50}, std::pair{36, 100}, std::pair{72, 200}})
        for (const int cells : {1, 4, 8, 16, 32})
            if (2 * cells * cells <= maxTriangles)
                cases.push_back({cells, false, degreeDivision, ratioDivision, false, 0});
    // Bars on one face only: the directions that compress them spread their
    // points along their curves.
    cases.push_back({1, true, 36, 100, false, 0});
    // 10 million points: the memory of a big build.
    cases.push_back({1, false, 1, 2000000, false, 3});

    // The domain build writes its progress lines on the log stream.
    std::ostringstream sink;
    std::streambuf* const logBuffer = std::clog.rdbuf(sink.rdbuf());

    std::printf("%-8s %9s %12s %8s %7s %11s %20s %10s %11s %7s %9s\n", "section", "triangles", "deg/rat", "points", "threads",
                "median [s]", "triangle-points / s", "us / point", "peak [MiB]", "B / pt", "speed-up");
    int status = 0;
    for (const Case& c : cases) {
        const double single =
            printLine(c.cells, c.oneFace, c.degreeDivision, c.ratioDivision, "1", 1, 0.0, sink, c.runs);
        double median = single;
        if (median >= 0.0 && allThreads > 1)
            median = printLine(c.cells, c.oneFace, c.degreeDivision, c.ratioDivision, all, allThreads, single, sink,
                               c.runs);
        if (median >= 0.0 && c.atDefault)
            median =
                printLine(c.cells, c.oneFace, c.degreeDivision, c.ratioDivision, "default", 1, single, sink, c.runs);
        if (median < 0.0) {
            std::clog.rdbuf(logBuffer);
            std::fprintf(stderr, "buildDomain failed for %d triangles\n", 2 * c.cells * c.cells);
            status = 1;
            break;
        }
    }
    std::clog.rdbuf(logBuffer);
    unsetenv("VELBO_THREADS");
    return status;
}

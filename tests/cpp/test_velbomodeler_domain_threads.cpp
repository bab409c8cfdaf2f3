// How many threads a domain build runs on: VELBO_THREADS when it is set,
// otherwise as many of the cores as the work can keep busy, so that a small
// build starts no thread at all and a big one uses every core.

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "domain_sections.h"
#include "double_bits.h"
#include "section_fixture.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbodomainsweep.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbosecdeformrc.h"

namespace {

int threadsOfTheProcess()
{
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

// The most threads the process holds while `build` runs, and how many it
// held before: another thread watches them meanwhile.
std::pair<int, int> mostThreadsWhile(const std::function<void()>& build)
{
    std::atomic<bool> building{true};
    std::atomic<int> most{0};
    std::thread watcher([&] {
        do {
            const int now = threadsOfTheProcess();
            if (now > most.load()) most.store(now);
        } while (building.load());
    });
    while (most.load() == 0) std::this_thread::yield();
    // This process with the watcher, and whatever else its start brought
    // (a sanitizer's own thread).
    const int watched = threadsOfTheProcess();
    build();
    building.store(false);
    watcher.join();
    return {most.load(), watched};
}

int cores()
{
    const ThreadsSetting unset(nullptr);
    return VelboDomainSweep::threadsFromEnvironment();
}

// A 300 x 500 rectangle of cells x cells cells of two triangles, with six bars.
struct Rectangle : SectionFixture {
    explicit Rectangle(int cells)
    {
        const VelboCostitutiveLaw* concrete = own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
        const VelboCostitutiveLaw* steel = own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
        for (int j = 0; j < cells; ++j)
            for (int i = 0; i < cells; ++i)
                rectangle(300.0 * i / cells, 500.0 * j / cells, 300.0 * (i + 1) / cells, 500.0 * (j + 1) / cells,
                          concrete);
        for (const double y : {50.0, 450.0})
            for (const double x : {50.0, 150.0, 250.0}) bar(x, y, 10.0, steel);
    }
};

// The threads the build of the section at these divisions would run on.
int threadsOfABuild(int cells, int degreeDivision, int ratioDivision)
{
    Rectangle s(cells);
    const VelboSecDeformRC d(s.model.get());
    const VelboStrainPath::Limits limits{d.maxTopTrac(), d.maxTopComp(), d.maxBotTrac(), d.maxCompUniform()};
    const VelboDomainSweep sweep(*s.model, limits, *d.clsLaw(), s.model->sectionCalcSolidBarycenter(), nullptr,
                                 degreeDivision, ratioDivision);
    return sweep.threads();
}

}  // namespace

TEST(VelboModelerDomainThreads, OneThreadPerHalfMillisecondOfWorkUpToTheCoresGiven)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double work;
        int available, threads;
    };
    const Case cases[] = {
        // Below a millisecond of work (1e5 triangle-points) a second thread
        // would not pay for its start; then one per half millisecond.
        {0.0, 8, 1}, {4080.0, 8, 1}, {5e4, 8, 1}, {99999.0, 8, 1},
        {1e5, 8, 2}, {149999.0, 8, 2}, {1.5e5, 8, 3}, {3.99e5, 8, 7}, {4e5, 8, 8}, {3e7, 8, 8},
        // Never more than given, never fewer than one.
        {3e7, 1, 1}, {3e7, 0, 1}, {1e12, 1024, 1024}, {inf, 8, 8},
        // Work that is no number of triangle-points.
        {-5.0, 8, 1}, {nan, 8, 1}, {-inf, 8, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.work) + " on " + std::to_string(c.available));
        EXPECT_EQ(VelboDomainSweep::threadsForWork(c.work, c.available), c.threads);
    }
}

TEST(VelboModelerDomainThreads, SmallBuildsRunOnOneThreadBigOnesOnEveryCore)
{
    const int all = cores();
    {
        const ThreadsSetting unset(nullptr);
        // 2 triangles at (4, 5): 102 points, some tens of microseconds.
        EXPECT_EQ(threadsOfABuild(1, 4, 5), 1);
        EXPECT_EQ(threadsOfABuild(4, 4, 5), 1);
        // 2 triangles at (18, 50): 3723 points, about a millisecond and a half.
        EXPECT_EQ(threadsOfABuild(1, 18, 50), std::min(all, 2));
        // 2048 triangles at (36, 100): some hundred milliseconds on one thread.
        EXPECT_EQ(threadsOfABuild(32, 36, 100), all);
        EXPECT_EQ(threadsOfABuild(8, 36, 100), all);
    }
    // VELBO_THREADS decides whatever the work.
    for (const char* threads : {"1", "3", "64"}) {
        SCOPED_TRACE(threads);
        const ThreadsSetting setting(threads);
        EXPECT_EQ(threadsOfABuild(1, 4, 5), std::stoi(threads));
        EXPECT_EQ(threadsOfABuild(32, 36, 100), std::stoi(threads));
    }
    // At most 1024, and never more than one a point.
    const ThreadsSetting capped("5000");
    EXPECT_EQ(threadsOfABuild(32, 36, 100), 1024);
    EXPECT_EQ(threadsOfABuild(1, 4, 5), 17 * 6);
}

// Small builds one after the other, as in a loop of a user's program, while
// another thread watches the threads of the process: none is ever started.
TEST(VelboModelerDomainThreads, SmallBuildsStartNoThread)
{
    const ThreadsSetting unset(nullptr);
    StreamCapture capture;
    int built = 0;
    const auto [most, watched] = mostThreadsWhile([&built] {
        for (int run = 0; run < 200; ++run) {
            VelboModeler modeler;
            domain_sections::rectangle(modeler, 1);
            built += modeler.buildDomain(4, 5, false);
        }
    });
    EXPECT_EQ(built, 200);
    EXPECT_LE(most, watched);
}

// A build of few directions with many points runs on every thread it may,
// as one of many directions does: its pieces need not follow the directions.
TEST(VelboModelerDomainThreads, FewDirectionsOfManyPointsUseEveryThread)
{
    StreamCapture capture;
    for (const auto& [degreeDivision, ratioDivision] : {std::pair{1, 40000}, std::pair{2, 20000}}) {
        SCOPED_TRACE(std::to_string(degreeDivision) + "/" + std::to_string(ratioDivision));
        std::vector<double> expected;
        {
            const ThreadsSetting one("1");
            VelboModeler modeler;
            domain_sections::oneSide(modeler);
            ASSERT_TRUE(modeler.buildDomain(degreeDivision, ratioDivision, false));
            expected = modeler.fzVector();
            const std::vector<double> mx = modeler.mxVector(), my = modeler.myVector();
            expected.insert(expected.end(), mx.begin(), mx.end());
            expected.insert(expected.end(), my.begin(), my.end());
        }
        // More threads than directions.
        const int threads = 4 * degreeDivision + 4;
        const ThreadsSetting setting(std::to_string(threads).c_str());
        VelboModeler modeler;
        domain_sections::oneSide(modeler);
        bool built = false;
        const auto [most, watched] = mostThreadsWhile(
            [&] { built = modeler.buildDomain(degreeDivision, ratioDivision, false); });
        ASSERT_TRUE(built);
        EXPECT_EQ(most, watched + threads - 1);
        std::vector<double> points = modeler.fzVector();
        const std::vector<double> mx = modeler.mxVector(), my = modeler.myVector();
        points.insert(points.end(), mx.begin(), mx.end());
        points.insert(points.end(), my.begin(), my.end());
        ASSERT_EQ(points.size(), expected.size());
        EXPECT_TRUE(std::equal(points.begin(), points.end(), expected.begin(),
                               [](double a, double b) { return bits(a) == bits(b); }));
    }
}

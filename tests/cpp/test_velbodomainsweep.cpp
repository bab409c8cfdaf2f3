// The domain sweep against the model path, point by point and bit for bit,
// on generated sections; its allocations; its threads.

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "domain_sections.h"
#include "double_bits.h"
#include "live_counts.h"
#include "section_fixture.h"
#include "stream_capture.h"
#include "threads_setting.h"

#include "velbocore/velbobilinear.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbodomainsweep.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbolineallocator.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosecdeformrc.h"
#include "velbocore/velbosectionforces.h"

// Every allocation of the process through operator new is counted. With
// the replacements in sight, the compiler takes every new and delete of this
// file for a mismatched pair; they are not.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<long> g_allocations{0};
// Allocations on threads other than this one, when it is set.
std::thread::id g_allocatingThread;
std::atomic<long> g_otherThreadAllocations{0};
}

namespace {
void count()
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (g_allocatingThread != std::thread::id() && std::this_thread::get_id() != g_allocatingThread)
        g_otherThreadAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// The plain forms and the aligned ones, which the sweep's buffers take.
void* operator new(std::size_t size)
{
    count();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t align)
{
    count();
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a + (size ? 0 : a))) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// What a surface leaves: the points (Fz, Mx, My in slot order), and the
// model's node coordinates and mesh triangles, all as bit patterns.
struct Outcome {
    std::vector<double> points;
    std::vector<double> state;
    double angle = 0.0;
    double ratio = 0.0;
};

void recordState(const VelboSectionModel& model, Outcome& o)
{
    for (const VelboNode2D* node : model.sectionNodes()) {
        o.state.push_back(node->xn());
        o.state.push_back(node->yn());
    }
    for (int m = 0; m < model.meshesSize(); ++m) {
        std::vector<VelboTriangle*> chain;
        model.meshAt(m)->getTriangles(chain);
        o.state.push_back(static_cast<double>(chain.size()));
        for (const VelboTriangle* t : chain) {
            for (int k = 0; k < 3; ++k) {
                o.state.push_back(t->nodeAt(k)->xn());
                o.state.push_back(t->nodeAt(k)->yn());
            }
        }
    }
}

// The ratios of one direction of ISO_SKIP_SAME_BARVALUE for the model as
// it stands: 0, then even steps from where the bars start to yield, or even
// steps over the whole path when no such ratio lies inside it.
std::vector<double> skipRatios(const VelboSecDeformRC& d, const VelboSectionModel& model, const VelboBilinear& steel,
                               int ratioDivision)
{
    double barTop = 0.0, barBottom = 0.0, clsTop = 0.0, clsBottom = 0.0;
    model.sectionCalcPointYRange(&barTop, &barBottom);
    model.sectionCalcSolidYRange(&clsTop, &clsBottom);
    const double byBar = ((clsTop - barBottom) * (steel.esy() / (barTop - barBottom))) / d.deformationMaxLength();
    const double byCls = steel.esu() / d.deformationMaxLength();
    const double minimum = std::fmin(byBar, byCls);
    std::vector<double> ratios{0.0};
    for (int j = 0; j <= ratioDivision; ++j) {
        ratios.push_back(minimum > 0.0 && minimum < 1.0
                             ? (1.0 - minimum) * (static_cast<double>(j) / ratioDivision) + minimum
                             : static_cast<double>(j + 1) / (ratioDivision + 1));
    }
    return ratios;
}

// The surface made on the model one point at a time with the public
// operations, each point on fresh meshes of its own direction. The ratios of
// a direction whose points are spread along its curve come from the
// direction's ratios, their pilot made here in the same way; the others are
// the even steps, or those of the skip option, as written out here.
Outcome modelPath(SectionFixture& s, int degreeDivision, int ratioDivision, const VelboBilinear* skipSteel)
{
    VelboSectionModel& model = *s.model;
    const VelboNode2D g = model.sectionCalcSolidBarycenter();
    VelboSecDeformRC d(&model);
    const auto forcesAt = [&](double ratio, double* point) {
        d.setDefRatio(ratio);
        model.meshesMake();
        EXPECT_TRUE(d.deformatorSliceFromLaw(d.clsLaw()));
        const std::unique_ptr<VelboSectionForces> f(d.deformatorForces(g.xn(), g.yn(), nullptr));
        point[0] = f->fz();
        point[1] = f->mx();
        point[2] = f->my();
        return true;
    };
    Outcome o;
    for (int i = 0; i <= 4 * degreeDivision; ++i) {
        d.setAngle((90.0 * i) / degreeDivision);
        std::vector<double> ratios;
        VelboDirectionRatios spread = d.directionRatios(skipSteel, ratioDivision);
        if (spread.spread()) {
            EXPECT_TRUE(spread.takePilot(forcesAt));
            for (int j = 0; j < spread.count(); ++j) ratios.push_back(spread.ratio(j));
        } else if (skipSteel) {
            ratios = skipRatios(d, model, *skipSteel, ratioDivision);
        } else {
            for (int j = 0; j <= ratioDivision; ++j) ratios.push_back(static_cast<double>(j) / ratioDivision);
        }
        for (const double ratio : ratios) {
            double point[3];
            forcesAt(ratio, point);
            o.points.insert(o.points.end(), {point[0], point[1], point[2]});
        }
    }
    recordState(model, o);
    o.angle = d.angle();
    o.ratio = d.defRatio();
    return o;
}

// Whether the strain span, from the top of the concrete to the lowest bar,
// is positive in every direction of the surface (the deformator turns the
// section it is given: give it one of its own).
bool spanPositiveInEveryDirection(SectionFixture& s, int degreeDivision)
{
    VelboSecDeformRC d(s.model.get());
    bool positive = true;
    for (int i = 0; i <= 4 * degreeDivision && positive; ++i) {
        d.setAngle((90.0 * i) / degreeDivision);
        double yTop = 0.0, yBot = 0.0;
        d.yRange(&yTop, &yBot);
        positive = yBot - yTop > 0.0;
    }
    return positive;
}

// The surface as interactionSurface makes it; also counts its allocations.
Outcome surface(SectionFixture& s, int degreeDivision, int ratioDivision, int option, long* allocations = nullptr)
{
    VelboSecDeformRC d(s.model.get());
    const long before = g_allocations.load();
    std::unique_ptr<VelboInteractionPoints> points(d.interactionSurface(degreeDivision, ratioDivision, option));
    if (allocations) *allocations = g_allocations.load() - before;
    Outcome o;
    if (!points) {
        ADD_FAILURE() << "no surface";
        return o;
    }
    for (int k = 0; k < points->interactionPointsSize(); ++k) {
        const VelboSectionForces* f = points->interactionPointAt(k);
        o.points.insert(o.points.end(), {f->fz(), f->mx(), f->my()});
    }
    recordState(*s.model, o);
    o.angle = d.angle();
    o.ratio = d.defRatio();
    return o;
}

void expectSameBits(const std::vector<double>& actual, const std::vector<double>& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (bits(actual[i]) != bits(expected[i])) {
            FAIL() << what << " [" << i << "]: " << hex(actual[i]) << " instead of " << hex(expected[i]);
        }
    }
}

// A generated section: concrete as a fan about an inner node or as a turned
// grid, vertices listed either way round, some nodes outside the model's
// list, one or two concrete laws (parabola-rectangle or bilinear), bars
// anywhere, sometimes all at one depth.
struct RandomSection : SectionFixture {
    const VelboBilinear* steel = nullptr;

    explicit RandomSection(std::mt19937& rng)
    {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        const auto pick = [&](double lo, double hi) { return lo + (hi - lo) * unit(rng); };

        std::vector<const VelboCostitutiveLaw*> concrete;
        const int lawKind = static_cast<int>(pick(0, 4));
        concrete.push_back(own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA)));
        if (lawKind == 1) concrete[0] = own(new VelboParabola(pick(-30, -8), pick(-0.0025, -0.0015), pick(-0.0045, -0.003)));
        if (lawKind == 2) concrete.push_back(own(new VelboParabola(pick(-30, -8), -0.002, -0.0035)));
        if (lawKind == 3) concrete[0] = own(new VelboBilinear(pick(10, 30), pick(20000, 40000), pick(0.003, 0.01)));
        steel = static_cast<const VelboBilinear*>(own(new VelboBilinear(pick(300, 450), 200000.0, pick(0.005, 0.01))));

        const double cx = pick(-200, 200), cy = pick(-200, 200);
        std::vector<VelboNode2D*> corners;
        if (unit(rng) < 0.5) {
            // Fan about an inner node.
            const int n = 3 + static_cast<int>(pick(0, 7));
            std::vector<double> angles;
            for (int k = 0; k < n; ++k) angles.push_back(pick(0, 2 * M_PI));
            std::sort(angles.begin(), angles.end());
            VelboNode2D* centre = node(cx, cy, unit(rng) < 0.85);
            for (const double a : angles) {
                const double r = pick(80, 400);
                corners.push_back(node(cx + r * std::cos(a), cy + r * std::sin(a), unit(rng) < 0.9));
            }
            for (int k = 0; k < n; ++k) {
                VelboNode2D* p[3] = {centre, corners[k], corners[(k + 1) % n]};
                std::rotate(p, p + static_cast<int>(pick(0, 3)), p + 3);
                if (unit(rng) < 0.5) std::swap(p[1], p[2]);
                triangle(p[0], p[1], p[2], concrete[static_cast<std::size_t>(k) % concrete.size()]);
            }
        } else {
            // A grid of cells, turned.
            const int nx = 1 + static_cast<int>(pick(0, 5)), ny = 1 + static_cast<int>(pick(0, 5));
            const double w = pick(150, 600), h = pick(150, 600), turn = pick(0, 2 * M_PI);
            std::vector<VelboNode2D*> grid;
            for (int j = 0; j <= ny; ++j)
                for (int i = 0; i <= nx; ++i) {
                    const double x = w * i / nx, y = h * j / ny;
                    grid.push_back(node(cx + x * std::cos(turn) - y * std::sin(turn),
                                        cy + x * std::sin(turn) + y * std::cos(turn)));
                }
            const auto at = [&](int i, int j) { return grid[static_cast<std::size_t>(j * (nx + 1) + i)]; };
            int k = 0;
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i, ++k) {
                    const VelboCostitutiveLaw* law = concrete[static_cast<std::size_t>(k) % concrete.size()];
                    if (unit(rng) < 0.5) {
                        triangle(at(i, j), at(i + 1, j), at(i + 1, j + 1), law);
                        triangle(at(i, j + 1), at(i, j), at(i + 1, j + 1), law);
                    } else {
                        triangle(at(i, j), at(i + 1, j), at(i, j + 1), law);
                        triangle(at(i + 1, j + 1), at(i, j + 1), at(i + 1, j), law);
                    }
                }
            corners = grid;
        }

        const int bars = 1 + static_cast<int>(pick(0, 8));
        const bool oneRow = unit(rng) < 0.2;
        const double rowY = pick(-300, 300);
        for (int b = 0; b < bars; ++b) {
            bar(pick(-300, 300), oneRow ? rowY : pick(-300, 300), pick(4, 16), steel);
        }
        // Node coordinates are turned by setAngle from their saved values.
        if (unit(rng) < 0.3) nodes.front()->nodeTranslate(pick(-5, 5), pick(-5, 5));
    }
};

}  // namespace

TEST(VelboDomainSweep, SurfacePointsAndEndStateMatchTheModelPathOnGeneratedSections)
{
    StreamCapture capture;  // sections with two concrete laws say so
    std::mt19937 rng(20240611);
    // 80 sections compared, besides those refused.
    int compared = 0;
    int refused = 0;
    for (int trial = 0; compared < 80; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const bool skip = trial % 3 == 2;
        const int option = skip ? VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE : VelboSecDeformRC::ISO_UNIFORM;
        const int degreeDivision = 1 + trial % 4;
        const int ratioDivision = 1 + (trial * 7) % 13;
        const std::uint32_t seed = rng();

        // Sections made alike from the seed: one whose spans are looked at,
        // then one for each path.
        std::mt19937 spanSeed(seed);
        RandomSection spanSection(spanSeed);
        if (!spanPositiveInEveryDirection(spanSection, degreeDivision)) {
            // Some bars lie above the concrete in a direction: no surface,
            // nothing allocated for good, whatever the threads.
            ++refused;
            for (const char* threads : {"1", "3"}) {
                SCOPED_TRACE(std::string("threads ") + threads);
                const ThreadsSetting setting(threads);
                std::mt19937 second(seed);
                RandomSection section(second);
                const unsigned int forces = VelboSectionForces::instances();
                capture.clear();
                VelboSecDeformRC d(section.model.get());
                EXPECT_EQ(d.interactionSurface(degreeDivision, ratioDivision, option), nullptr);
                EXPECT_NE(capture.err().find("VelboSecDeformRC::interactionSurface-ERR: strain span of "),
                          std::string::npos)
                    << capture.err();
                EXPECT_EQ(VelboSectionForces::instances(), forces);
            }
            continue;
        }
        ++compared;
        std::mt19937 first(seed);
        RandomSection expectedSection(first);
        const Outcome expected =
            modelPath(expectedSection, degreeDivision, ratioDivision, skip ? expectedSection.steel : nullptr);

        for (const char* threads : {"1", "3"}) {
            SCOPED_TRACE(std::string("threads ") + threads);
            const ThreadsSetting setting(threads);
            std::mt19937 second(seed);
            RandomSection section(second);
            long allocations = 0;
            const Outcome actual = surface(section, degreeDivision, ratioDivision, option, &allocations);
            expectSameBits(actual.points, expected.points, "points");
            expectSameBits(actual.state, expected.state, "end state");
            EXPECT_EQ(actual.angle, expected.angle);
            EXPECT_EQ(actual.ratio, expected.ratio);
            // Made by the sweep: besides one allocation per stored point, a
            // bounded number, where the model path makes several per
            // triangle and point.
            const long points = static_cast<long>(actual.points.size() / 3);
            const long triangles = section.model->sectionSolidElementsSize();
            EXPECT_LT(allocations, points + 64 * triangles + 200);
        }
    }
    EXPECT_GT(refused, 0);
}

// Directions of more than four thousand points take their ratios from the
// triples the calling thread makes, and their workers wait for those: the
// same points and end state as the model path there too.
TEST(VelboDomainSweep, LongDirectionsMatchTheModelPath)
{
    StreamCapture capture;
    std::mt19937 rng(20240612);
    int compared = 0;
    for (int trial = 0; compared < 2; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        const bool skip = compared == 1;
        const int option = skip ? VelboSecDeformRC::ISO_SKIP_SAME_BARVALUE : VelboSecDeformRC::ISO_UNIFORM;
        const int ratioDivision = 4200;
        const std::uint32_t seed = rng();
        std::mt19937 spanSeed(seed);
        RandomSection spanSection(spanSeed);
        if (!spanPositiveInEveryDirection(spanSection, 1)) continue;
        ++compared;
        std::mt19937 first(seed);
        RandomSection expectedSection(first);
        const Outcome expected = modelPath(expectedSection, 1, ratioDivision, skip ? expectedSection.steel : nullptr);
        for (const char* threads : {"1", "3"}) {
            SCOPED_TRACE(std::string("threads ") + threads);
            const ThreadsSetting setting(threads);
            std::mt19937 second(seed);
            RandomSection section(second);
            const Outcome actual = surface(section, 1, ratioDivision, option);
            expectSameBits(actual.points, expected.points, "points");
            expectSameBits(actual.state, expected.state, "end state");
            EXPECT_EQ(actual.angle, expected.angle);
            EXPECT_EQ(actual.ratio, expected.ratio);
        }
    }
}

// Workers that get ahead of the calling thread (here held up by its
// interruption check, asked again after 65536 triples) keep their points
// until the triples are made: the same points as on one thread.
TEST(VelboDomainSweep, PointsMadeAheadOfTheirTriplesAreTheSame)
{
    StreamCapture capture;
    // 33 directions of 3000 points.
    constexpr int degreeDivision = 8;
    constexpr int ratioDivision = 2999;
    const auto points = [](const VelboModeler& modeler) {
        std::vector<double> all;
        for (const VDouble& values : {modeler.fzVector(), modeler.mxVector(), modeler.myVector()})
            all.insert(all.end(), values.begin(), values.end());
        return all;
    };
    std::vector<double> expected;
    {
        const ThreadsSetting serial("1");
        VelboModeler modeler;
        domain_sections::rectangle(modeler, 2);
        ASSERT_TRUE(modeler.buildDomain(degreeDivision, ratioDivision, false));
        expected = points(modeler);
    }
    const ThreadsSetting setting("4");
    VelboModeler modeler;
    domain_sections::rectangle(modeler, 2);
    int asked = 0;
    modeler.setInterruptCheck([&asked] {
        if (++asked == 2) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return false;
    });
    ASSERT_TRUE(modeler.buildDomain(degreeDivision, ratioDivision, false));
    EXPECT_GE(asked, 2);
    expectSameBits(points(modeler), expected, "points");
}

TEST(VelboDomainSweep, HeapAllocationsOfABuildDoNotGrowWithTheStrainSteps)
{
    // Whatever the number of strain steps, a build allocates the same but
    // for the one triple of each stored point.
    {
        // What the first build of the process sets up once, and the
        // storage the pools of meshes, triangles and half-edges keep.
        StreamCapture capture;
        VelboModeler modeler;
        domain_sections::rectangle(modeler, 8);
        ASSERT_TRUE(modeler.buildDomain(1, 1, false));
    }
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        std::vector<long> besidesPoints;
        for (const int ratioDivision : {10, 40, 160}) {
            StreamCapture capture;
            VelboModeler modeler;
            domain_sections::rectangle(modeler, 8);
            const long before = g_allocations.load();
            ASSERT_TRUE(modeler.buildDomain(6, ratioDivision, false));
            const long allocations = g_allocations.load() - before;
            const long points = 25L * (ratioDivision + 1);
            besidesPoints.push_back(allocations - points);
        }
        EXPECT_EQ(besidesPoints[1], besidesPoints[0]);
        EXPECT_EQ(besidesPoints[2], besidesPoints[0]);
        // Threads, buffers, messages and the end state of the model: a
        // few per triangle at most.
        EXPECT_LT(besidesPoints[0], 64 * 128);
    }
}

// A worker thread allocates nothing: the calling thread makes everything a
// build holds, so that the threads take no memory of their own from the
// allocator while the points are made.
TEST(VelboDomainSweep, WorkerThreadsAllocateNothing)
{
    StreamCapture capture;
    // Directions of few points and of many, with and without spread ones.
    for (const auto& [degreeDivision, ratioDivision] : {std::pair{6, 40}, std::pair{1, 9000}, std::pair{6, 8}}) {
        SCOPED_TRACE(std::to_string(degreeDivision) + "/" + std::to_string(ratioDivision));
        const ThreadsSetting setting("4");
        VelboModeler modeler;
        domain_sections::rectangle(modeler, 8);
        g_otherThreadAllocations.store(0);
        g_allocatingThread = std::this_thread::get_id();
        const bool built = modeler.buildDomain(degreeDivision, ratioDivision, false);
        g_allocatingThread = std::thread::id();
        EXPECT_TRUE(built);
        EXPECT_EQ(g_otherThreadAllocations.load(), 0);
    }
}

// The count sees what it claims: an allocation on another thread, in the
// cache lines the sweep's buffers take, is counted.
TEST(VelboDomainSweep, AnAllocationOnAnotherThreadIsCounted)
{
    for (const bool aligned : {false, true}) {
        SCOPED_TRACE(aligned ? "aligned" : "plain");
        g_otherThreadAllocations.store(0);
        g_allocatingThread = std::this_thread::get_id();
        std::thread other([aligned] {
            if (aligned) {
                VelboLineVector<double> buffer(100);
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % 64, 0u);
            } else {
                std::vector<double> buffer(100);
            }
        });
        other.join();
        g_allocatingThread = std::thread::id();
        EXPECT_EQ(g_otherThreadAllocations.load(), 1);
    }
}

TEST(VelboDomainSweep, NoWorkerOutlivesTheBuild)
{
    const auto threadsOfTheProcess = [] {
        int count = 0;
        if (DIR* tasks = opendir("/proc/self/task")) {
            while (const dirent* entry = readdir(tasks)) {
                count += entry->d_name[0] != '.';
            }
            closedir(tasks);
        }
        return count;
    };
    // A joined thread may stay listed for a moment after its join returns,
    // until the kernel has let it go: the count is read again until it is
    // back, for at most two seconds.
    const auto threadsOnceSettled = [&](int expected) {
        int count = threadsOfTheProcess();
        for (int tries = 0; count != expected && tries < 200; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            count = threadsOfTheProcess();
        }
        return count;
    };
    const int before = threadsOfTheProcess();
    for (const char* threads : {"2", "8"}) {
        SCOPED_TRACE(threads);
        const ThreadsSetting setting(threads);
        StreamCapture capture;
        VelboModeler modeler;
        domain_sections::tee(modeler);
        ASSERT_TRUE(modeler.buildDomain(4, 6, false));
        EXPECT_EQ(threadsOnceSettled(before), before);
    }
}

TEST(VelboDomainSweep, ThreadCountFollowsTheEnvironment)
{
    int cores = 0;
    {
        const ThreadsSetting unset(nullptr);
        cores = VelboDomainSweep::threadsFromEnvironment();
    }
    EXPECT_GE(cores, 1);
    struct Case {
        const char* value;
        int threads;
    };
    const Case cases[] = {
        {"1", 1}, {"3", 3}, {"16", 16}, {"5000", 1024},
        // Not a whole number of 1 or more: the cores.
        {"0", cores}, {"-2", cores}, {"", cores}, {"four", cores}, {"2x", cores}, {"99999999999999999999", cores},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const ThreadsSetting setting(c.value);
        EXPECT_EQ(VelboDomainSweep::threadsFromEnvironment(), c.threads);
    }
}

// A sweep made to ask how many threads a build would take reads the section
// without moving a node; only its run puts them back to the saved geometry.
TEST(VelboDomainSweep, AskingForTheThreadsMovesNoNode)
{
    SectionFixture s;
    const VelboCostitutiveLaw* concrete = s.own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
    const VelboCostitutiveLaw* steel = s.own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
    s.rectangle(0, 0, 300, 500, concrete);
    s.bar(40, 460, 10, steel);
    s.model->sectionRotate(30.0);
    const auto coordinates = [&s] {
        std::vector<double> xy;
        for (const VelboNode2D* node : s.model->sectionNodes()) xy.insert(xy.end(), {node->xn(), node->yn()});
        return xy;
    };
    const std::vector<double> turned = coordinates();
    VelboSecDeformRC d(s.model.get());
    const VelboStrainPath::Limits limits{d.maxTopTrac(), d.maxTopComp(), d.maxBotTrac(), d.maxCompUniform()};
    {
        const VelboDomainSweep sweep(*s.model, limits, *d.clsLaw(), VelboNode2D(150.0, 250.0), nullptr, 6, 40);
        EXPECT_GE(sweep.threads(), 1);
    }
    expectSameBits(coordinates(), turned, "nodes");
}

namespace {
// Steel whose stress cannot be evaluated.
class FailingSteel : public VelboBilinear {
public:
    double valueFx(double, int*) const override { throw std::runtime_error("no stress"); }
};
}  // namespace

TEST(VelboDomainSweep, AnExceptionInAWorkerReachesTheCallerAsOnTheModelPath)
{
    // The workers stop and hand over to the model path, where the same
    // failure leaves interactionSurface on the calling thread as it always
    // has; nothing stays allocated.
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        const Counts before = Counts::now();
        {
            SectionFixture s;
            const VelboCostitutiveLaw* concrete =
                s.own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
            const VelboCostitutiveLaw* steel = s.own(new FailingSteel());
            s.rectangle(0, 0, 300, 500, concrete);
            s.bar(40, 460, 10, steel);
            VelboSecDeformRC d(s.model.get());
            EXPECT_THROW(d.interactionSurface(2, 4, VelboSecDeformRC::ISO_UNIFORM), std::runtime_error);
            // The deformator still answers for its model afterwards.
            d.setAngle(0.0);
            double yTop = 0.0, yBot = 0.0;
            d.yRange(&yTop, &yBot);
            EXPECT_EQ(yTop, 0.0);
            EXPECT_EQ(yBot, 460.0);
        }
        EXPECT_EQ(Counts::now(), before);
    }
}

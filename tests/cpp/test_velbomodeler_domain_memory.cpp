// The domain build when memory runs out. This executable replaces the
// global operator new so that chosen allocations fail, hence a file of its
// own.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "domain_sections.h"
#include "live_counts.h"
#include "model_state.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbosectionforces.h"

namespace {

constexpr std::size_t kNone = 0;
// Allocations above this size fail, as on a machine without that memory.
std::size_t g_largestAllocation = static_cast<std::size_t>(-1);
// Allocations of exactly this size fail.
std::size_t g_failingSize = kNone;
// On this thread, the allocation of this size that comes when the countdown
// reaches zero fails, once.
std::thread::id g_countingThread;
std::size_t g_countedSize = kNone;
long g_countdown = 0;
// Allocations in cache lines of their own (the aligned forms) fail.
bool g_failAligned = false;

void* allocate(std::size_t size, std::align_val_t align = std::align_val_t(alignof(std::max_align_t)))
{
    if (size > g_largestAllocation || size == g_failingSize) throw std::bad_alloc();
    if (size == g_countedSize && std::this_thread::get_id() == g_countingThread && --g_countdown == 0) {
        g_countedSize = kNone;
        throw std::bad_alloc();
    }
    const std::size_t a = static_cast<std::size_t>(align);
    if (g_failAligned && a > alignof(std::max_align_t)) throw std::bad_alloc();
    void* p = a <= alignof(std::max_align_t) ? std::malloc(size == 0 ? 1 : size)
                                             : std::aligned_alloc(a, (size + a - 1) / a * a + (size ? 0 : a));
    if (p) return p;
    throw std::bad_alloc();
}

}  // namespace

// The plain forms and the aligned ones, which the sweep's buffers take.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) { return allocate(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return allocate(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// A 300 x 500 rectangle (two triangles) with two bars, in model 1.
void addSection(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
    ASSERT_TRUE(modeler.addNode(5, 40.0, 460.0));
    ASSERT_TRUE(modeler.addNode(6, 260.0, 460.0));
    ASSERT_TRUE(modeler.addCircle(1, 5, 10.0));
    ASSERT_TRUE(modeler.addCircle(2, 6, 10.0));
}

const std::string kOutOfMemory = "ERR: Cannot build domain: out of memory\n";

}  // namespace

// The largest point set whose count an int holds, on a machine that cannot
// hold it: refused before any node is turned, nothing kept.
TEST(VelboModelerDomainMemory, PointSetTooLargeForMemoryGivesFalse)
{
    StreamCapture capture;
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        addSection(modeler);
        const MIntVDouble nodes = modeler.getNodesCoords();
        const Counts built = Counts::now();
        g_largestAllocation = std::size_t{1} << 30;
        // 5 directions of 429496729 steps: 2147483645 points.
        const bool result = modeler.buildDomain(1, 429496728, false);
        g_largestAllocation = static_cast<std::size_t>(-1);
        EXPECT_FALSE(result);
        EXPECT_EQ(capture.err(), kOutOfMemory);
        EXPECT_EQ(capture.log(),
                  "VelboModeler::buildDomain(): start\n"
                  "VelboModeler::buildDomain(): ... build deformator\n"
                  "VelboModeler::buildDomain(): end. Return false !!! \n");
        EXPECT_EQ(Counts::now(), built);
        EXPECT_EQ(modeler.getNodesCoords(), nodes);
        capture.clear();
        EXPECT_TRUE(modeler.fzVector().empty());
        // The model builds a domain that fits.
        EXPECT_TRUE(modeler.buildDomain(1, 2, false));
        EXPECT_EQ(modeler.fzVector().size(), 15u);
    }
    EXPECT_EQ(Counts::now(), before);
}

// A failure once the build is under way, when the list of the points'
// triples is made: nothing is kept, the build gives false.
TEST(VelboModelerDomainMemory, FailureDuringTheBuildReleasesThePointSet)
{
    StreamCapture capture;
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        addSection(modeler);
        const unsigned int sets = VelboModeler::instancesOfInteractionPoints();
        const unsigned int forces = VelboModeler::instancesOfSectionForces();
        // The list of the triples of 5 directions of 12345 points, a size
        // nothing else of the build asks for.
        constexpr int ratioDivision = 12344;
        g_failingSize = 5 * (ratioDivision + 1) * sizeof(VelboSectionForces*);
        const bool result = modeler.buildDomain(1, ratioDivision, false);
        g_failingSize = kNone;
        EXPECT_FALSE(result);
        EXPECT_EQ(capture.err(), kOutOfMemory);
        EXPECT_EQ(VelboModeler::instancesOfInteractionPoints(), sets);
        EXPECT_EQ(VelboModeler::instancesOfSectionForces(), forces);
        EXPECT_TRUE(modeler.fzVector().empty());
        EXPECT_TRUE(modeler.buildDomain(1, 2, false));
        EXPECT_EQ(modeler.fzVector().size(), 15u);
    }
    EXPECT_EQ(Counts::now(), before);
}

// Memory running out for the buffers the build makes for its threads, in
// cache lines of their own: false, and the model and its earlier domain as
// they were.
TEST(VelboModelerDomainMemory, FailureOfTheThreadsBuffersLeavesTheModelAndItsDomain)
{
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        StreamCapture capture;
        const Counts before = Counts::now();
        {
            VelboModeler modeler;
            addSection(modeler);
            ASSERT_TRUE(modeler.buildDomain(1, 2, false));
            const ModelState expected = ModelState::of(modeler);
            capture.clear();
            g_failAligned = true;
            const bool result = modeler.buildDomain(2, 40, true);
            g_failAligned = false;
            EXPECT_FALSE(result);
            EXPECT_EQ(capture.err(), kOutOfMemory);
            EXPECT_EQ(firstDifference(ModelState::of(modeler), expected), "");
            EXPECT_EQ(modeler.fzVector().size(), 15u);
        }
        EXPECT_EQ(Counts::now(), before);
    }
}

// Memory running out part-way through a rebuild: the nodes, the sliced
// meshes and the earlier domain are as they were before the call.
TEST(VelboModelerDomainMemory, FailureDuringARebuildLeavesTheModelAndItsDomain)
{
    StreamCapture capture;
    const Counts before = Counts::now();
    {
        VelboModeler modeler;
        addSection(modeler);
        ASSERT_TRUE(modeler.buildDomain(1, 2, false));
        ASSERT_TRUE(modeler.meshMake());
        ASSERT_TRUE(modeler.meshesSliceAtYrays({120.0, 300.0}));
        const ModelState expected = ModelState::of(modeler);
        capture.clear();
        constexpr int ratioDivision = 12344;
        g_failingSize = 5 * (ratioDivision + 1) * sizeof(VelboSectionForces*);
        const bool result = modeler.buildDomain(1, ratioDivision, true);
        g_failingSize = kNone;
        EXPECT_FALSE(result);
        EXPECT_EQ(capture.err(), kOutOfMemory);
        EXPECT_EQ(firstDifference(ModelState::of(modeler), expected), "");
        // The meshes are still the sliced ones.
        EXPECT_TRUE(modeler.meshReset());
    }
    EXPECT_EQ(Counts::now(), before);
}

// Memory running out while the build makes the triples of its points, with
// some of them made and the workers computing into them: whatever it made
// is freed, the model and its earlier domain are as they were.
TEST(VelboModelerDomainMemory, FailureWhileTheTriplesAreMadeFreesThem)
{
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        StreamCapture capture;
        VelboModeler modeler;
        addSection(modeler);
        ASSERT_TRUE(modeler.buildDomain(1, 2, false));
        const ModelState expected = ModelState::of(modeler);
        capture.clear();
        // 5 directions of 20001 points: the 50000th triple cannot be made.
        g_countingThread = std::this_thread::get_id();
        g_countedSize = sizeof(VelboSectionForces);
        g_countdown = 50000;
        const bool result = modeler.buildDomain(1, 20000, true);
        const bool failedOnce = g_countedSize == kNone;
        g_countedSize = kNone;
        EXPECT_TRUE(failedOnce);
        EXPECT_FALSE(result);
        EXPECT_EQ(capture.err(), kOutOfMemory);
        EXPECT_EQ(firstDifference(ModelState::of(modeler), expected), "");
    }
}

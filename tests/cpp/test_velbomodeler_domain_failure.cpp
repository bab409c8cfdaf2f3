// Domain builds that give false: refused, failed part-way or interrupted.
// Each leaves the model (nodes, meshes and their reset flag), its domain and
// the live-instance counters exactly as they were before the call.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "domain_sections.h"
#include "live_counts.h"
#include "model_state.h"
#include "section_fixture.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbomodeler.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbosecdeformrc.h"

namespace {

const std::string kBuildStart = "VelboModeler::buildDomain(): start\n";
const std::string kBuildDeformator = "VelboModeler::buildDomain(): ... build deformator\n";
const std::string kBuildFalse = "VelboModeler::buildDomain(): end. Return false !!! \n";
const std::string kInterrupted = "ERR: Cannot build domain: interrupted\n";

// A 300 x 500 rectangle (two triangles on nodes 1 to 4) with four bars of
// radius 10 at 40 from each side (circles 1 to 4 on nodes 11 to 14), as
// model 1.
void addRectangle(VelboModeler& modeler)
{
    ASSERT_TRUE(modeler.addSection(1));
    ASSERT_TRUE(domain_sections::concreteRectangle(modeler));
    ASSERT_TRUE(modeler.addNode(11, 40.0, 40.0));
    ASSERT_TRUE(modeler.addNode(12, 260.0, 40.0));
    ASSERT_TRUE(modeler.addNode(13, 260.0, 460.0));
    ASSERT_TRUE(modeler.addNode(14, 40.0, 460.0));
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(modeler.addCircle(i, 10 + i, 10.0));
}

// What the model holds when the build is called: an earlier domain or none,
// its meshes as they are or sliced (so that only a successful build could
// reset them).
struct Before {
    const char* name;
    bool earlierDomain;
    bool slicedMeshes;
};
const Before kBefore[] = {
    {"new model", false, false},
    {"sliced meshes", false, true},
    {"earlier domain", true, false},
    {"earlier domain and sliced meshes", true, true},
};

void prepare(VelboModeler& modeler, const Before& before, const std::function<void(VelboModeler&)>& spoil)
{
    addRectangle(modeler);
    if (before.earlierDomain) {
        ASSERT_TRUE(modeler.buildDomain(1, 2, false));
    }
    spoil(modeler);
    if (before.slicedMeshes) {
        ASSERT_TRUE(modeler.meshMake());
        ASSERT_TRUE(modeler.meshesSliceAtYrays({100.0, 250.0, 320.0}));
    }
}

// After a build that gave false: whether meshReset still finds the meshes
// sliced, as it did before the call.
void expectResetFlagKept(VelboModeler& modeler, const Before& before)
{
    EXPECT_EQ(modeler.meshReset(), before.slicedMeshes);
}

}  // namespace

// ---------------------------------------------------------------------------
// Builds that fail

TEST(VelboModelerDomainFailure, AFailedBuildLeavesEverythingAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(VelboModeler&)> spoil;
        int degreeDivision, ratioDivision;
        std::string err;
        bool deformatorMade;
    };
    const Case cases[] = {
        // Collinear nodes: the concrete has no barycentre to turn about.
        {"concrete of no area",
         [](VelboModeler& m) {
             for (int id = 1; id <= 4; ++id) m.setNodeY(id, 100.0);
         },
         1, 2, "ERR: Cannot build domain of a model whose concrete has no area\n", false},
        {"concrete on one point",
         [](VelboModeler& m) {
             for (int id = 1; id <= 4; ++id) {
                 m.setNodeX(id, 7.0);
                 m.setNodeY(id, 7.0);
             }
         },
         1, 2, "ERR: Cannot build domain of a model whose concrete has no area\n", false},
        // The bar's area overflows: the first point is not finite.
        {"a point not finite", [](VelboModeler& m) { m.setCircleRadius(2, 1e160); }, 1, 2,
         "VelboSecDeformRC::interactionSurface-ERR: forces not finite at 0 degrees, ratio 0 !!!\n", true},
        // Every bar on the corner (300, 500): turned by 180 degrees it is the
        // top of the concrete, found after four directions.
        {"a zero span part-way",
         [](VelboModeler& m) {
             for (int id = 11; id <= 14; ++id) {
                 m.setNodeX(id, 300.0);
                 m.setNodeY(id, 500.0);
             }
         },
         2, 5,
         "VelboSecDeformRC::interactionSurface-ERR: strain span of zero height at 180 degrees: the lowest bar "
         "lies on the top edge of the concrete !!!\n",
         true},
    };
    for (const Case& c : cases) {
        for (const Before& before : kBefore) {
            for (const char* threads : {"1", "4"}) {
                SCOPED_TRACE(std::string(c.name) + ", " + before.name + ", threads " + threads);
                const ThreadsSetting setting(threads);
                StreamCapture capture;
                VelboModeler modeler;
                prepare(modeler, before, c.spoil);
                const ModelState expected = ModelState::of(modeler);
                capture.clear();

                EXPECT_FALSE(modeler.buildDomain(c.degreeDivision, c.ratioDivision, true));
                EXPECT_EQ(capture.err(), c.err);
                EXPECT_EQ(capture.log(), c.deformatorMade ? kBuildStart + kBuildDeformator + kBuildFalse : kBuildStart);
                EXPECT_EQ(firstDifference(ModelState::of(modeler), expected), "");
                expectResetFlagKept(modeler, before);
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Builds that are interrupted

namespace {

// An interruption check that says stop at its n-th question (never when n
// is 0), and notes whether it was asked on another thread than its maker's.
struct CountingCheck {
    explicit CountingCheck(int stopAt) : stopAt(stopAt), caller(std::this_thread::get_id()) {}
    std::function<bool()> function()
    {
        return [this] {
            ++asked;
            if (std::this_thread::get_id() != caller) ++askedElsewhere;
            return asked == stopAt;
        };
    }
    int stopAt;
    std::thread::id caller;
    int asked = 0;
    int askedElsewhere = 0;
};

// 5 directions of 20001 points: 100005 triples, made with a question
// before the first and the 65537th, then pieces of work with a question
// before each, then one more before the points are handed over: four at
// least on any number of threads.
constexpr int kDegreeDivision = 1;
constexpr int kRatioDivision = 20000;

}  // namespace

TEST(VelboModelerDomainFailure, AnInterruptedBuildLeavesEverythingAsItWas)
{
    const Before& before = kBefore[3];  // an earlier domain and sliced meshes
    // Stopped before the first point, while the triples are made, and
    // later: among the pieces of work or before the points are handed over.
    for (const int stopAt : {1, 2, 4}) {
        for (const char* threads : {"1", "4"}) {
            SCOPED_TRACE("stop at question " + std::to_string(stopAt) + ", threads " + threads);
            const ThreadsSetting setting(threads);
            StreamCapture capture;
            VelboModeler modeler;
            prepare(modeler, before, [](VelboModeler&) {});
            const ModelState expected = ModelState::of(modeler);
            CountingCheck check(stopAt);
            modeler.setInterruptCheck(check.function());
            capture.clear();

            EXPECT_FALSE(modeler.buildDomain(kDegreeDivision, kRatioDivision, true));
            EXPECT_EQ(capture.err(), kInterrupted);
            EXPECT_EQ(capture.log(), kBuildStart + kBuildDeformator + kBuildFalse);
            // Not asked again once it said stop, and never off this thread.
            EXPECT_EQ(check.asked, stopAt);
            EXPECT_EQ(check.askedElsewhere, 0);
            modeler.setInterruptCheck(nullptr);
            EXPECT_EQ(firstDifference(ModelState::of(modeler), expected), "");
            expectResetFlagKept(modeler, before);
        }
    }
}

TEST(VelboModelerDomainFailure, ABuildNotInterruptedGivesTheSamePointsAndEndState)
{
    // 20005 points: a question before the triples, one or more among the
    // pieces of work, one before the points are handed over.
    constexpr int ratioDivision = 4000;
    StreamCapture capture;
    VelboModeler plain;
    addRectangle(plain);
    {
        const ThreadsSetting serial("1");
        ASSERT_TRUE(plain.buildDomain(kDegreeDivision, ratioDivision, false));
    }
    const ModelState expected = ModelState::of(plain);
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(std::string("threads ") + threads);
        const ThreadsSetting setting(threads);
        VelboModeler checked;
        addRectangle(checked);
        CountingCheck check(0);
        checked.setInterruptCheck(check.function());
        ASSERT_TRUE(checked.buildDomain(kDegreeDivision, ratioDivision, false));
        EXPECT_GE(check.asked, 3);
        EXPECT_EQ(check.askedElsewhere, 0);
        ModelState actual = ModelState::of(checked);
        // The counters also hold the other modeller's objects.
        actual.counts = expected.counts;
        EXPECT_EQ(firstDifference(actual, expected), "");
    }
}

// A section the sweep leaves to the model path (a bar listed twice, so
// counted twice): the check is asked before every point there.
TEST(VelboModelerDomainFailure, TheModelPathStopsWhenAsked)
{
    const Counts before = Counts::now();
    for (const int stopAt : {0, 1, 7}) {
        SCOPED_TRACE("stop at question " + std::to_string(stopAt));
        StreamCapture capture;
        SectionFixture s;
        const VelboCostitutiveLaw* concrete =
            s.own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA));
        const VelboCostitutiveLaw* steel = s.own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR));
        s.rectangle(0, 0, 300, 500, concrete);
        s.model->sectionAddElement(s.bar(40, 460, 10, steel));
        VelboSecDeformRC d(s.model.get());
        CountingCheck check(stopAt);
        d.setInterruptCheck(check.function());
        const std::unique_ptr<VelboInteractionPoints> points(d.interactionSurface(2, 4, VelboSecDeformRC::ISO_UNIFORM));
        EXPECT_EQ(capture.err(), "");
        if (stopAt == 0) {
            ASSERT_NE(points, nullptr);
            EXPECT_EQ(points->interactionPointsSize(), 45);
            // Once before every plane: the points, and the pilot planes of
            // the directions whose points are spread along their curve.
            int planes = 45;
            VelboSecDeformRC turned(s.model.get());
            for (int i = 0; i <= 8; ++i) {
                turned.setAngle(45.0 * i);
                VelboDirectionRatios ratios = turned.directionRatios(nullptr, 4);
                ratios.takePilot([&planes](double, double* point) {
                    ++planes;
                    point[0] = point[1] = point[2] = 0.0;
                    return true;
                });
            }
            EXPECT_GT(planes, 45);
            EXPECT_EQ(check.asked, planes);
        } else {
            EXPECT_EQ(points, nullptr);
            EXPECT_EQ(check.asked, stopAt);
        }
    }
    EXPECT_EQ(Counts::now(), before);
}

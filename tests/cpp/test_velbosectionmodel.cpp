#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "coreobj/func2linear.h"
#include "coreobj/funclinear.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"

#include "section_fixture.h"

namespace {

constexpr double kPi = 3.141592653589793;

// The default concrete and steel laws, made anew on each call.
struct Section : SectionFixture {
    using SectionFixture::SectionFixture;

    VelboCostitutiveLaw* concrete()
    {
        laws.emplace_back(new VelboParabola(-11.333333333333334, -0.002, -0.0034999999999999996));
        return laws.back().get();
    }

    VelboCostitutiveLaw* steel()
    {
        laws.emplace_back(new VelboBilinear(391.304347826087, 210000.0, 0.01));
        return laws.back().get();
    }
};

// A triangle whose meshing can be made to fail.
class FlakyTriangle : public VelboTriangle {
public:
    using VelboTriangle::VelboTriangle;
    bool fail = false;
    VelboMesh* meshMake() override { return fail ? nullptr : VelboTriangle::meshMake(); }
};

// Sums of a few dozen terms: a relative error of 1e-12 is rounding only.
void expectClose(double actual, double expected)
{
    EXPECT_NEAR(actual, expected, 1e-12 * std::fabs(expected));
}

void expectAllZero(const VelboAreaProperties& p)
{
    EXPECT_EQ(p.area(), 0.0);
    EXPECT_EQ(p.sx(), 0.0);
    EXPECT_EQ(p.sy(), 0.0);
    EXPECT_EQ(p.ixx(), 0.0);
    EXPECT_EQ(p.iyy(), 0.0);
    EXPECT_EQ(p.ixy(), 0.0);
    EXPECT_EQ(p.ixxy(), 0.0);
    EXPECT_EQ(p.ixxx(), 0.0);
}

void expectSameRecord(const VelboAreaProperties& a, const VelboAreaProperties& b)
{
    EXPECT_DOUBLE_EQ(a.area(), b.area());
    EXPECT_DOUBLE_EQ(a.sx(), b.sx());
    EXPECT_DOUBLE_EQ(a.sy(), b.sy());
    EXPECT_DOUBLE_EQ(a.ixx(), b.ixx());
    EXPECT_DOUBLE_EQ(a.iyy(), b.iyy());
    EXPECT_DOUBLE_EQ(a.ixy(), b.ixy());
    EXPECT_DOUBLE_EQ(a.ixxy(), b.ixxy());
    EXPECT_DOUBLE_EQ(a.ixxx(), b.ixxx());
}

} // namespace

// --- construction, lists and laws -------------------------------------------

TEST(VelboSectionModel, NewModelHasItsIdAndNothingElse)
{
    for (int id : {7, 0, -3}) {
        Section s(id);
        const VelboSectionModel& m = *s.model;
        EXPECT_EQ(m.id(), id);
        EXPECT_EQ(m.nCoeff(), 1.0f);
        EXPECT_EQ(m.sectionNodesSize(), 0);
        EXPECT_EQ(m.sectionElementsSize(), 0);
        EXPECT_EQ(m.sectionSolidElementsSize(), 0);
        EXPECT_EQ(m.sectionPointElementsSize(), 0);
        EXPECT_EQ(m.sectionSizeOfLaws(), 0);
        EXPECT_EQ(m.meshesSize(), 0);
        EXPECT_FALSE(s.model->meshesReset());
        EXPECT_TRUE(s.model->meshesMake());
        EXPECT_EQ(m.meshesSize(), 0);
    }
}

TEST(VelboSectionModel, InstancesCountModelsMadeWithNew)
{
    const unsigned int before = VelboSectionModel::instances();
    VelboSectionModel* a = new VelboSectionModel(1);
    VelboSectionModel* b = new VelboSectionModel(2);
    EXPECT_EQ(VelboSectionModel::instances(), before + 2);
    delete a;
    EXPECT_EQ(VelboSectionModel::instances(), before + 1);
    delete b;
    {
        VelboSectionModel onStack(3);
        EXPECT_EQ(VelboSectionModel::instances(), before);
    }
    EXPECT_EQ(VelboSectionModel::instances(), before);
}

TEST(VelboSectionModel, ElementsAreSortedIntoSolidAndPointLists)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    VelboTriangle* t = s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), law, 10);
    VelboCircle* c = s.circle(s.node(0.5, 0.2), 0.1, law, 11);

    EXPECT_EQ(s.model->sectionElements(), (std::vector<VelboSectionElement*>{t, c}));
    EXPECT_EQ(s.model->sectionSolidElementsSize(), 1);
    EXPECT_EQ(s.model->sectionPointElementsSize(), 1);
    EXPECT_EQ(s.model->sectionPointNodeAt(0), c->center());
    EXPECT_EQ(s.model->sectionElementAt(0), t);
    EXPECT_EQ(s.model->sectionElementAt(1), c);
    // Both carry the same law object: one entry.
    EXPECT_EQ(s.model->laws(), (std::vector<const VelboCostitutiveLaw*>{law}));
}

TEST(VelboSectionModel, LawsAreDistinctByPointerAndReadWhenAdded)
{
    Section s;
    VelboCostitutiveLaw* first = s.concrete();
    VelboCostitutiveLaw* equalParameters = s.concrete();
    VelboTriangle* t1 = s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), first);
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), equalParameters);
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), first);
    EXPECT_EQ(s.model->laws(), (std::vector<const VelboCostitutiveLaw*>{first, equalParameters}));

    // A later change of an element's law is seen only after updateLaws.
    VelboCostitutiveLaw* steel = s.steel();
    t1->setCostitutiveLaw(steel);
    EXPECT_EQ(s.model->sectionSizeOfLaws(), 2);
    s.model->updateLaws();
    EXPECT_EQ(s.model->laws(), (std::vector<const VelboCostitutiveLaw*>{steel, equalParameters, first}));
}

TEST(VelboSectionModel, SetElementsReplacesOnlyTheElementList)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    VelboTriangle* t = s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), law);
    s.circle(s.node(0.2, 0.2), 0.1, law);

    s.model->sectionSetElements({t});
    EXPECT_EQ(s.model->sectionElementsSize(), 1);
    EXPECT_EQ(s.model->sectionSolidElementsSize(), 1);
    EXPECT_EQ(s.model->sectionPointElementsSize(), 1);
    EXPECT_EQ(s.model->sectionSizeOfLaws(), 1);
    // The computations walk the replaced list: no bar any more.
    EXPECT_EQ(s.model->sectionCalcPointArea(), 0.0);

    VelboNode2D* n = s.nodes.front().get();
    s.model->sectionSetNodes({n, n});
    EXPECT_EQ(s.model->sectionNodes(), (std::vector<VelboNode2D*>{n, n}));
}

TEST(VelboSectionModel, FindReturnsTheFirstMatchOrMinusOne)
{
    Section s;
    VelboNode2D* a = s.node(0, 0);
    VelboNode2D* b = s.node(1, 0);
    VelboNode2D* twin = s.node(5, 5);
    twin->setId(b->id());
    const VelboCostitutiveLaw* law = s.concrete();
    s.triangle(a, b, twin, law, 4);
    s.circle(a, 1.0, law, 4);
    s.circle(b, 1.0, law, 9);

    EXPECT_EQ(s.model->sectionFindFirstOfNodeId(a->id()), 0);
    EXPECT_EQ(s.model->sectionFindFirstOfNodeId(b->id()), 1);
    EXPECT_EQ(s.model->sectionFindFirstOfNodeId(999), -1);
    EXPECT_EQ(s.model->sectionFindFirstOfElementId(4), 0);
    EXPECT_EQ(s.model->sectionFindFirstOfElementId(9), 2);
    EXPECT_EQ(s.model->sectionFindFirstOfElementId(5), -1);
}

TEST(VelboSectionModel, PositionAccessorsAreBoundsChecked)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), law);
    s.circle(s.node(0.2, 0.2), 0.1, law);
    ASSERT_TRUE(s.model->meshesMake());
    const VelboSectionModel& m = *s.model;

    EXPECT_NO_THROW(m.meshAt(0));
    EXPECT_THROW(m.meshAt(m.meshesSize()), std::out_of_range);
    EXPECT_THROW(m.meshAt(-1), std::out_of_range);
    EXPECT_THROW(m.sectionNodeAt(m.sectionNodesSize()), std::out_of_range);
    EXPECT_THROW(m.sectionNodeAt(-1), std::out_of_range);
    EXPECT_THROW(m.sectionElementAt(2), std::out_of_range);
    EXPECT_THROW(m.sectionPointNodeAt(1), std::out_of_range);
    EXPECT_THROW(m.sectionPointNodeAt(-1), std::out_of_range);
}

TEST(VelboSectionModel, NCoeffIsStoredUnchecked)
{
    Section s;
    for (float n : {15.0f, 0.0f, -2.5f}) {
        s.model->setNCoeff(n);
        EXPECT_EQ(s.model->nCoeff(), n);
    }
}

// --- meshes and the reset flag ----------------------------------------------

TEST(VelboSectionModel, KthMeshBelongsToKthSolidElement)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    s.rectangle(0, 0, 1, 2, law);
    s.circle(s.node(0.5, 0.5), 0.1, s.steel());
    s.triangle(s.node(3, 0), s.node(4, 0), s.node(3, 1), law);

    ASSERT_TRUE(s.model->meshesMake());
    ASSERT_EQ(s.model->meshesSize(), 3);
    int k = 0;
    for (VelboSectionElement* e : s.model->sectionElements()) {
        if (!e->elementIsSolid()) {
            EXPECT_EQ(e->mesh(), nullptr);
            continue;
        }
        EXPECT_EQ(s.model->meshAt(k)->element(), e);
        EXPECT_EQ(e->mesh(), s.model->meshAt(k));
        ++k;
    }
}

// Steps of the reset flag, each with the result expected of that step.
TEST(VelboSectionModel, ResetFlagFollowsSlicingAndResetting)
{
    enum Step { Make, Reset, SliceOk, SliceFail };
    struct Case {
        const char* name;
        std::vector<std::pair<Step, bool>> steps;
    };
    const std::vector<Case> cases = {
        {"new model: reset does nothing", {{Reset, false}}},
        {"slicing without meshes succeeds, then reset makes them",
         {{SliceOk, true}, {Reset, true}, {Reset, false}}},
        {"make does not touch the flag", {{Make, true}, {Reset, false}}},
        {"make after a slicing leaves reset possible",
         {{Make, true}, {SliceOk, true}, {Make, true}, {Reset, true}, {Reset, false}}},
        {"failed slicing of fresh meshes keeps the flag true",
         {{Make, true}, {SliceFail, false}, {Reset, false}}},
        {"failed slicing after a good one keeps the flag false",
         {{Make, true}, {SliceOk, true}, {SliceFail, false}, {Reset, true}}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Section s;
        s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), s.concrete());
        for (const auto& [step, expected] : c.steps) {
            switch (step) {
            case Make:
                EXPECT_EQ(s.model->meshesMake(), expected);
                break;
            case Reset:
                EXPECT_EQ(s.model->meshesReset(), expected);
                break;
            case SliceOk:
                EXPECT_EQ(s.model->meshesSliceAtYrays({0.5}), expected);
                break;
            case SliceFail:
                // A mesh left with no ray at all refuses to re-mesh.
                EXPECT_EQ(s.model->meshesSliceAtYrays({}), expected);
                break;
            }
        }
    }
}

TEST(VelboSectionModel, ResetRemakesUnslicedMeshes)
{
    Section s;
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), s.concrete());
    ASSERT_TRUE(s.model->meshesMake());
    ASSERT_TRUE(s.model->meshesSliceAtYrays({0.5}));
    EXPECT_EQ(s.model->meshAt(0)->countTriangles(), 3);
    ASSERT_TRUE(s.model->meshesSliceAtRays({Func2Linear(1, -1, 0.1)}));
    EXPECT_GT(s.model->meshAt(0)->countTriangles(), 3);

    ASSERT_TRUE(s.model->meshesReset());
    EXPECT_EQ(s.model->meshAt(0)->countTriangles(), 1);
    EXPECT_TRUE(s.model->meshAt(0)->getYRays().empty());
    EXPECT_TRUE(s.model->meshAt(0)->getFuncRays().empty());
}

TEST(VelboSectionModel, ReplacedMeshesAreReleased)
{
    Section s;
    s.rectangle(0, 0, 1, 1, s.concrete());
    const unsigned int before = VelboMesh::instances();

    ASSERT_TRUE(s.model->meshesMake());
    EXPECT_EQ(VelboMesh::instances(), before + 2);
    ASSERT_TRUE(s.model->meshesMake());
    EXPECT_EQ(VelboMesh::instances(), before + 2);

    ASSERT_TRUE(s.model->meshesSliceAtYrays({0.25, 0.75}));
    ASSERT_TRUE(s.model->meshesReset());
    EXPECT_EQ(VelboMesh::instances(), before + 2);
    for (VelboSectionElement* e : s.model->sectionElements()) {
        EXPECT_EQ(e->mesh()->countTriangles(), 1);
    }
}

TEST(VelboSectionModel, FailedMakeKeepsMeshesThatElementsStillUse)
{
    const unsigned int before = VelboMesh::instances();
    const VelboSectionForces expected = [] {
        Section s;
        s.rectangle(0, 0, 1, 1, s.concrete());
        FuncLinear strain;
        strain.setB(-0.001);
        strain.setC(-0.0005);
        return s.model->sectionCalcForcesByLaw(strain);
    }();
    {
        Section s;
        VelboCostitutiveLaw* law = s.concrete();
        VelboNode2D* a = s.node(0, 0);
        VelboNode2D* b = s.node(1, 0);
        VelboNode2D* c = s.node(1, 1);
        VelboNode2D* d = s.node(0, 1);
        s.triangle(a, b, c, law);
        FlakyTriangle* flaky = new FlakyTriangle(0);
        s.elements.emplace_back(flaky);
        flaky->setP1(a);
        flaky->setP2(c);
        flaky->setP3(d);
        flaky->setCostitutiveLaw(law);
        s.model->sectionAddElement(flaky);

        ASSERT_TRUE(s.model->meshesMake());
        VelboMesh* flakyMesh = flaky->mesh();
        ASSERT_TRUE(s.model->meshesSliceAtYrays({0.5}));

        flaky->fail = true;
        EXPECT_FALSE(s.model->meshesReset());
        EXPECT_EQ(s.model->meshesSize(), 1);
        // The flaky triangle still integrates over its old mesh, which is alive.
        EXPECT_EQ(flaky->mesh(), flakyMesh);
        EXPECT_EQ(VelboMesh::instances(), before + 2);
        FuncLinear strain;
        strain.setB(-0.001);
        strain.setC(-0.0005);
        const VelboSectionForces f = s.model->sectionCalcForcesByLaw(strain);
        expectClose(f.fz(), expected.fz());
        expectClose(f.mx(), expected.mx());
        // And the flag stays as it was: the next reset tries again.
        flaky->fail = false;
        EXPECT_TRUE(s.model->meshesReset());
        EXPECT_EQ(s.model->meshesSize(), 2);
    }
    EXPECT_EQ(VelboMesh::instances(), before);
}

TEST(VelboSectionModel, SlicingStopsAtTheFirstFailingMesh)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1), law);
    s.triangle(s.node(2, 0), s.node(3, 0), s.node(2, 1), law);
    s.triangle(s.node(4, 0), s.node(5, 0), s.node(4, 1), law);
    ASSERT_TRUE(s.model->meshesMake());
    ASSERT_TRUE(s.model->meshesSliceAtYrays({0.5}));
    // With a line ray of its own the first mesh re-meshes on an empty
    // horizontal list; the second, left without any ray, refuses.
    s.model->meshAt(0)->setRays(std::vector<Func2Linear>{Func2Linear(0, 1, -0.25)});
    EXPECT_FALSE(s.model->meshesSliceAtYrays({}));
    EXPECT_GT(s.model->meshAt(0)->countTriangles(), 3);
    EXPECT_TRUE(s.model->meshAt(1)->getYRays().empty());
    EXPECT_EQ(s.model->meshAt(1)->countTriangles(), 3);
    EXPECT_EQ(s.model->meshAt(2)->getYRays(), std::vector<double>{0.5});
    // The flag keeps the value of the last good slicing.
    EXPECT_TRUE(s.model->meshesReset());
}

// --- transforms -------------------------------------------------------------

TEST(VelboSectionModel, RotateRestoreAndSave)
{
    Section s;
    VelboNode2D* a = s.node(2, 1);
    VelboNode2D* b = s.node(1, 3);
    VelboNode2D* outside = s.node(5, 5, false);
    const VelboNode2D base(1, 1);

    s.model->sectionRotate(90, base);
    EXPECT_EQ(a->xn(), 1.0);
    EXPECT_EQ(a->yn(), 2.0);
    EXPECT_EQ(b->xn(), -1.0);
    EXPECT_EQ(b->yn(), 1.0);
    EXPECT_EQ(outside->xn(), 5.0);

    s.model->sectionRestoreGeometry();
    EXPECT_EQ(a->xn(), 2.0);
    EXPECT_EQ(a->yn(), 1.0);
    EXPECT_EQ(b->xn(), 1.0);
    EXPECT_EQ(b->yn(), 3.0);

    s.model->sectionRotate(180);
    EXPECT_EQ(a->xn(), -2.0);
    EXPECT_EQ(a->yn(), -1.0);
    s.model->sectionSavingGeometry();
    s.model->sectionRotate(90);
    s.model->sectionRestoreGeometry();
    EXPECT_EQ(a->xn(), -2.0);
    EXPECT_EQ(a->yn(), -1.0);
}

TEST(VelboSectionModel, TranslateMovesEveryNodeByTheSameOffset)
{
    Section s;
    VelboNode2D* a = s.node(1, 1);
    VelboNode2D* b = s.node(4, 2);
    // The target point is one of the moved nodes: the offset must not change
    // while the nodes move.
    s.model->sectionTranslate(*a, VelboNode2D(0, 0));
    EXPECT_EQ(a->xn(), 2.0);
    EXPECT_EQ(a->yn(), 2.0);
    EXPECT_EQ(b->xn(), 5.0);
    EXPECT_EQ(b->yn(), 3.0);

    s.model->sectionRestoreGeometry();
    EXPECT_EQ(b->xn(), 4.0);
    EXPECT_EQ(b->yn(), 2.0);
}

// --- clone ------------------------------------------------------------------

TEST(VelboSectionModel, CloneCopiesNodesAndRepointsElements)
{
    Section s(5);
    const VelboCostitutiveLaw* concrete = s.concrete();
    const VelboCostitutiveLaw* steel = s.steel();
    VelboNode2D* a = s.node(0, 0);
    VelboNode2D* b = s.node(1, 0);
    VelboNode2D* c = s.node(0, 1);
    s.triangle(a, b, c, concrete, 3);
    s.circle(c, 0.1, steel, 4);
    s.model->setNCoeff(15.0f);
    ASSERT_TRUE(s.model->meshesSliceAtYrays({0.5}));  // reset flag now false
    a->nodeTranslate(0.5, 0.0);                       // current != saved

    std::unique_ptr<VelboSectionModel> clone(s.model->sectionClone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->id(), 5);
    EXPECT_EQ(clone->nCoeff(), 1.0f);
    EXPECT_EQ(clone->meshesSize(), 0);
    EXPECT_FALSE(clone->meshesReset());
    ASSERT_EQ(clone->sectionNodesSize(), 3);
    ASSERT_EQ(clone->sectionElementsSize(), 2);
    EXPECT_EQ(clone->laws(), (std::vector<const VelboCostitutiveLaw*>{concrete, steel}));

    VelboNode2D* ca = clone->sectionNodeAt(0);
    EXPECT_NE(ca, a);
    EXPECT_EQ(ca->id(), a->id());
    EXPECT_EQ(ca->xn(), 0.5);
    ca->nodeRestoreGeometry();
    EXPECT_EQ(ca->xn(), 0.5);

    VelboSectionElement* ct = clone->sectionElementAt(0);
    VelboSectionElement* cc = clone->sectionElementAt(1);
    EXPECT_EQ(ct->id(), 3);
    EXPECT_EQ(ct->getCostitutiveLaw(), concrete);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(ct->nodeAt(k), clone->sectionNodeAt(k));
    }
    EXPECT_EQ(cc->nodeAt(0), clone->sectionNodeAt(2));
    EXPECT_EQ(static_cast<VelboCircle*>(cc)->radius(), 0.1);

    // The caller owns the cloned nodes and elements.
    for (VelboSectionElement* e : clone->sectionElements()) {
        delete e;
    }
    for (VelboNode2D* n : clone->sectionNodes()) {
        delete n;
    }
}

TEST(VelboSectionModel, CloneWithANodeOutsideTheModelIsNullAndLeaksNothing)
{
    Section s;
    const VelboCostitutiveLaw* law = s.concrete();
    s.circle(s.node(0, 0), 0.1, law);
    s.triangle(s.node(0, 0), s.node(1, 0), s.node(0, 1, false), law);

    const unsigned int models = VelboSectionModel::instances();
    const unsigned int nodes = VelboNode2D::instances();
    const unsigned int triangles = VelboTriangle::instances();
    const unsigned int circles = VelboCircle::instances();
    EXPECT_EQ(s.model->sectionClone(), nullptr);
    EXPECT_EQ(VelboSectionModel::instances(), models);
    EXPECT_EQ(VelboNode2D::instances(), nodes);
    EXPECT_EQ(VelboTriangle::instances(), triangles);
    EXPECT_EQ(VelboCircle::instances(), circles);
}

// --- section computations ---------------------------------------------------

TEST(VelboSectionModelCalc, EmptyModelGivesZerosAndNaNs)
{
    Section s;
    const VelboSectionModel& m = *s.model;
    EXPECT_EQ(m.sectionCalcSolidArea(), 0.0);
    EXPECT_EQ(m.sectionCalcPointArea(), 0.0);
    EXPECT_EQ(m.sectionCalcIdealArea(), 0.0);
    expectAllZero(m.sectionCalcSolidAreaProperties());
    expectAllZero(m.sectionCalcPointAreaProperties());
    expectAllZero(m.sectionCalcIdealAreaProperties());
    const VelboSectionForces f = m.sectionCalcForcesByLaw(FuncLinear());
    EXPECT_EQ(f.fz(), 0.0);
    EXPECT_EQ(f.mx(), 0.0);
    EXPECT_EQ(f.my(), 0.0);

    for (const VelboNode2D& g : {m.sectionCalcSolidBarycenter(), m.sectionCalcPointBarycenter(true),
                                 m.sectionCalcPointBarycenter(false), m.sectionCalcIdealBarycenter()}) {
        EXPECT_TRUE(std::isnan(g.xn()));
        EXPECT_TRUE(std::isnan(g.yn()));
    }
    double top = 0.0;
    double bottom = 0.0;
    m.sectionCalcSolidYRange(&top, &bottom);
    EXPECT_TRUE(std::isnan(top) && std::isnan(bottom));
    m.sectionCalcPointYRange(&top, &bottom);
    EXPECT_TRUE(std::isnan(top) && std::isnan(bottom));
    m.sectionCalcYRange(&top, &bottom);
    EXPECT_TRUE(std::isnan(top) && std::isnan(bottom));
    EXPECT_EQ(m.sectionCalcSolidRadius(VelboNode2D()), 0.0);
}

TEST(VelboSectionModelCalc, TrianglesOnly)
{
    Section s;
    s.rectangle(0, 0, 4, 3, s.concrete());
    s.model->setNCoeff(15.0f);
    const VelboSectionModel& m = *s.model;

    EXPECT_DOUBLE_EQ(m.sectionCalcSolidArea(), 12.0);
    EXPECT_EQ(m.sectionCalcPointArea(), 0.0);
    EXPECT_EQ(m.sectionCalcIdealArea(), m.sectionCalcSolidArea());
    expectSameRecord(m.sectionCalcIdealAreaProperties(), m.sectionCalcSolidAreaProperties());
    const VelboAreaProperties p = m.sectionCalcSolidAreaProperties();
    EXPECT_DOUBLE_EQ(p.sx(), 12.0 * 1.5);
    EXPECT_DOUBLE_EQ(p.sy(), 12.0 * 2.0);
    EXPECT_DOUBLE_EQ(p.ixx(), 4.0 * 27.0 / 3.0);

    const VelboNode2D g = m.sectionCalcSolidBarycenter();
    EXPECT_DOUBLE_EQ(g.xn(), 2.0);
    EXPECT_DOUBLE_EQ(g.yn(), 1.5);
    EXPECT_EQ(g.id(), 0);
    const VelboNode2D gi = m.sectionCalcIdealBarycenter();
    EXPECT_EQ(gi.xn(), g.xn());
    EXPECT_EQ(gi.yn(), g.yn());

    double top = 0.0;
    double bottom = 0.0;
    m.sectionCalcSolidYRange(&top, &bottom);
    EXPECT_EQ(top, 0.0);
    EXPECT_EQ(bottom, 3.0);
    m.sectionCalcPointYRange(&top, &bottom);
    EXPECT_TRUE(std::isnan(top) && std::isnan(bottom));
    // The whole range takes the point range's NaN ends.
    m.sectionCalcYRange(&top, &bottom);
    EXPECT_TRUE(std::isnan(top) && std::isnan(bottom));

    EXPECT_DOUBLE_EQ(m.sectionCalcSolidRadius(VelboNode2D(0, 0)), 5.0);
    EXPECT_DOUBLE_EQ(m.sectionCalcSolidRadius(g), 2.5);
}

TEST(VelboSectionModelCalc, IdealSectionCountsBarsNTimes)
{
    Section s;
    s.rectangle(0, 0, 10, 20, s.concrete());
    s.bar(5, 15, 1.0, s.steel());
    const VelboSectionModel& m = *s.model;
    const double barArea = kPi;

    s.model->setNCoeff(0.0f);
    EXPECT_EQ(m.sectionCalcIdealArea(), m.sectionCalcSolidArea());
    expectSameRecord(m.sectionCalcIdealAreaProperties(), m.sectionCalcSolidAreaProperties());
    EXPECT_DOUBLE_EQ(m.sectionCalcIdealBarycenter().yn(), m.sectionCalcSolidBarycenter().yn());

    s.model->setNCoeff(15.0f);
    EXPECT_DOUBLE_EQ(m.sectionCalcIdealArea(), 200.0 + 15.0 * barArea);
    const VelboAreaProperties ideal = m.sectionCalcIdealAreaProperties();
    const VelboAreaProperties solid = m.sectionCalcSolidAreaProperties();
    EXPECT_DOUBLE_EQ(ideal.sx(), solid.sx() + 15.0 * barArea * 15.0);
    EXPECT_DOUBLE_EQ(ideal.ixx(), solid.ixx() + 15.0 * barArea * 225.0);
    EXPECT_EQ(ideal.ixxx(), solid.ixxx());
    EXPECT_EQ(ideal.ixxy(), solid.ixxy());
    const double yIdeal = (200.0 * 10.0 + 15.0 * barArea * 15.0) / (200.0 + 15.0 * barArea);
    EXPECT_DOUBLE_EQ(m.sectionCalcIdealBarycenter().yn(), yIdeal);
}

TEST(VelboSectionModelCalc, PointBarycenterByAreaOrByCount)
{
    Section s;
    const VelboCostitutiveLaw* steel = s.steel();
    s.bar(0, 5, 10, steel);
    s.bar(30, 5, 10, steel);
    s.bar(15, 45, 20, steel);
    const VelboSectionModel& m = *s.model;

    EXPECT_DOUBLE_EQ(m.sectionCalcPointBarycenter(false).yn(), 55.0 / 3.0);
    EXPECT_DOUBLE_EQ(m.sectionCalcPointBarycenter(false).xn(), 15.0);
    EXPECT_DOUBLE_EQ(m.sectionCalcPointBarycenter(true).yn(), (5 * 100.0 + 5 * 100.0 + 45 * 400.0) / 600.0);
    EXPECT_DOUBLE_EQ(m.sectionCalcPointArea(), 600.0 * kPi);
}

TEST(VelboSectionModelCalc, YRangesOfConcreteBarsAndWholeSection)
{
    struct Case {
        double barTop, barBottom;
        double wholeTop, wholeBottom;
    };
    for (const Case& c : {Case{5, 45, 0, 50}, Case{-5, 55, -5, 55}}) {
        Section s;
        s.rectangle(0, 0, 30, 50, s.concrete());
        s.bar(10, c.barBottom, 1, s.steel());
        s.bar(20, c.barTop, 1, s.steel());
        double top = 0.0;
        double bottom = 0.0;
        s.model->sectionCalcSolidYRange(&top, &bottom);
        EXPECT_EQ(top, 0.0);
        EXPECT_EQ(bottom, 50.0);
        s.model->sectionCalcPointYRange(&top, &bottom);
        EXPECT_EQ(top, c.barTop);
        EXPECT_EQ(bottom, c.barBottom);
        s.model->sectionCalcYRange(&top, &bottom);
        EXPECT_EQ(top, c.wholeTop);
        EXPECT_EQ(bottom, c.wholeBottom);
    }
}

TEST(VelboSectionModelCalc, ForcesSumEveryElementAndFollowTheMeshes)
{
    Section s;
    const VelboCostitutiveLaw* concrete = s.concrete();
    const VelboCostitutiveLaw* steel = s.steel();
    s.rectangle(0, 0, 300, 500, concrete);
    s.bar(150, 450, 10, steel);
    const double fcd = -11.333333333333334;
    const double fyd = 391.304347826087;
    const double as = 100 * kPi;

    // Uniform -0.003: concrete on the constant fcd piece, steel yielded.
    FuncLinear uniform;
    uniform.setC(-0.003);
    const VelboSectionForces f = s.model->sectionCalcForcesByLaw(uniform);
    expectClose(f.fz(), fcd * 150000.0 - fyd * as);
    expectClose(f.mx(), fcd * 150000.0 * 250.0 - fyd * as * 450.0);
    expectClose(f.my(), (fcd * 150000.0 - fyd * as) * 150.0);

    // A field crossing the law's breakpoints: whole triangles are integrated
    // on the piece found at their barycentre, meshes sliced at the breakpoint
    // ordinates give the exact integral.
    FuncLinear bending;
    bending.setB(0.00001);
    bending.setC(-0.0035);
    const VelboSectionForces whole = s.model->sectionCalcForcesByLaw(bending);
    ASSERT_TRUE(s.model->meshesMake());
    EXPECT_DOUBLE_EQ(s.model->sectionCalcForcesByLaw(bending).fz(), whole.fz());
    ASSERT_TRUE(s.model->meshesSliceAtYrays({150.0, 200.0, 350.0}));
    const VelboSectionForces sliced = s.model->sectionCalcForcesByLaw(bending);
    // Exact: parabola-rectangle block of depth 350 (0 above y = 350 in tension).
    const double blockRect = fcd * 300.0 * 150.0;
    const double blockParabola = fcd * 300.0 * 200.0 * (2.0 / 3.0);
    const double steelForce = 210000.0 * (0.00001 * 450 - 0.0035) * as;
    expectClose(sliced.fz(), blockRect + blockParabola + steelForce);
    EXPECT_GT(std::fabs(sliced.fz() - whole.fz()), 1.0);
}

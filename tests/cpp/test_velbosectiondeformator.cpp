#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "coreobj/funclinear.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velboparabola.h"
#include "velbocore/velbosectiondeformator.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"

namespace {

// A deformator whose span and strains are set by the test.
class FixedDeformator : public VelboSectionDeformator {
public:
    explicit FixedDeformator(VelboSectionModel* model = nullptr) : VelboSectionDeformator(model) {}

    double yTop = 0.0;
    double yBot = 1.0;
    double xTop = 0.01;
    double xBot = -0.01;
    double maxLength = 0.04;

    VelboSectionForces* deformatorForces(double, double, bool* ok) const override
    {
        if (ok) {
            *ok = false;
        }
        return nullptr;
    }
    void xRange(double* top, double* bot) const override
    {
        *top = xTop;
        *bot = xBot;
    }
    void yRange(double* top, double* bot) const override
    {
        *top = yTop;
        *bot = yBot;
    }
    double maxTopTrac() const override { return 0.0; }
    double maxBotTrac() const override { return 0.0; }
    double maxTopComp() const override { return 0.0; }
    double maxBotComp() const override { return 0.0; }
    double maxCompUniform() const override { return 0.0; }
    double yPivot() const override { return 0.0; }
    double deformationMaxLength() const override { return maxLength; }
    VelboInteractionPoints* interactionSurface(int, int, int) override { return nullptr; }
};

// One triangle of concrete (0, 0), (3, 0), (0, 3) in a model; the test owns
// everything and releases the model's meshes before the model.
struct OneTriangle {
    VelboParabola law{-11.333333333333334, -0.002, -0.0034999999999999996};
    std::unique_ptr<VelboNode2D> a{new VelboNode2D(0, 0, 1)};
    std::unique_ptr<VelboNode2D> b{new VelboNode2D(3, 0, 2)};
    std::unique_ptr<VelboNode2D> c{new VelboNode2D(0, 3, 3)};
    std::unique_ptr<VelboTriangle> t{new VelboTriangle(1)};
    std::unique_ptr<VelboSectionModel> model{new VelboSectionModel(1)};

    OneTriangle()
    {
        t->setP1(a.get());
        t->setP2(b.get());
        t->setP3(c.get());
        t->setCostitutiveLaw(&law);
        model->sectionAddNode(a.get());
        model->sectionAddNode(b.get());
        model->sectionAddNode(c.get());
        model->sectionAddElement(t.get());
    }
    ~OneTriangle()
    {
        for (int i = 0; i < model->meshesSize(); ++i) {
            delete model->meshAt(i);
        }
    }
};

} // namespace

TEST(VelboSectionDeformator, StartsAtAngleAndRatioZero)
{
    OneTriangle s;
    const FixedDeformator d(s.model.get());
    EXPECT_EQ(d.angle(), 0.0);
    EXPECT_EQ(d.defRatio(), 0.0);
    EXPECT_EQ(d.sectionModel(), s.model.get());
}

TEST(VelboSectionDeformator, SetDefRatioKeepsOnlyValuesFromZeroToOne)
{
    FixedDeformator d;
    d.setDefRatio(0.3);
    for (double refused : {1.5, -0.1, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        d.setDefRatio(refused);
        EXPECT_EQ(d.defRatio(), 0.3) << refused;
    }
    for (double accepted : {0.0, 1.0, 0.75}) {
        d.setDefRatio(accepted);
        EXPECT_EQ(d.defRatio(), accepted);
    }
    EXPECT_DOUBLE_EQ(d.deformationAtRatio(), 0.04 * 0.75);
}

TEST(VelboSectionDeformator, StrainFieldThroughTheTwoEnds)
{
    FixedDeformator d;  // (y 0, x 0.01) to (y 1, x -0.01)
    const FuncLinear law = d.deformationLaw();
    EXPECT_DOUBLE_EQ(law.b(), -0.02);
    EXPECT_DOUBLE_EQ(law.c(), 0.01);
    EXPECT_FALSE(law.isLeftLimited());
    EXPECT_FALSE(law.isRightLimited());
    EXPECT_DOUBLE_EQ(d.deformationAt(0.25), 0.005);
    EXPECT_DOUBLE_EQ(d.deformationAt(VelboNode2D(7.0, 0.75)), -0.005);
    EXPECT_DOUBLE_EQ(d.hRange(), 1.0);

    bool flag = true;
    EXPECT_DOUBLE_EQ(d.yNeutral(&flag), 0.5);
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_DOUBLE_EQ(d.ordinateFrom(0.0, &flag), 0.5);
    EXPECT_FALSE(flag);
    EXPECT_DOUBLE_EQ(d.ordinateFrom(-0.01, &flag), 1.0);
    // Not clipped to the span.
    EXPECT_DOUBLE_EQ(d.ordinateFrom(-0.03, &flag), 2.0);

    flag = true;
    const std::vector<double> ys = d.ordinateFrom(std::vector<double>{0.01, 0.0, -0.02}, &flag);
    EXPECT_FALSE(flag);
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_DOUBLE_EQ(ys[0], 0.0);
    EXPECT_DOUBLE_EQ(ys[1], 0.5);
    EXPECT_DOUBLE_EQ(ys[2], 1.5);
    flag = true;
    EXPECT_TRUE(d.ordinateFrom(std::vector<double>{}, &flag).empty());
    EXPECT_FALSE(flag);
}

TEST(VelboSectionDeformator, UniformStrainHasNoNeutralAxisNorOrdinates)
{
    OneTriangle s;
    FixedDeformator d(s.model.get());
    d.xTop = d.xBot = -0.001;
    bool flag = false;
    EXPECT_EQ(d.yNeutral(&flag), 0.0);
    EXPECT_TRUE(flag);
    flag = false;
    EXPECT_EQ(d.ordinateFrom(-0.001, &flag), 0.0);
    EXPECT_TRUE(flag);
    flag = false;
    EXPECT_TRUE(d.ordinateFrom(std::vector<double>{-0.003, 0.0}, &flag).empty());
    EXPECT_TRUE(flag);

    // Nothing to slice: true, and the meshes stay as they were.
    ASSERT_TRUE(s.model->meshesMake());
    EXPECT_TRUE(d.deformatorSliceFromLaw(&s.law));
    EXPECT_EQ(s.model->meshAt(0)->countTriangles(), 1);
    EXPECT_FALSE(s.model->meshesReset());
}

TEST(VelboSectionDeformator, SliceFromLawCutsAtTheOrdinatesOfTheBreakpoints)
{
    OneTriangle s;
    FixedDeformator d(s.model.get());
    // -0.004 at y = 0 to -0.001 at y = 3: the breakpoints ecu, ec2 and 0
    // lie at y = 0.5 (about), 2 and 4 (outside the triangle, passed on too).
    d.yTop = 0.0;
    d.yBot = 3.0;
    d.xTop = -0.004;
    d.xBot = -0.001;
    ASSERT_TRUE(s.model->meshesMake());

    EXPECT_FALSE(d.deformatorSliceFromLaw(nullptr));
    EXPECT_EQ(s.model->meshAt(0)->countTriangles(), 1);

    EXPECT_TRUE(d.deformatorSliceFromLaw(&s.law));
    const std::vector<double> rays = s.model->meshAt(0)->getYRays();
    ASSERT_EQ(rays.size(), 3u);
    EXPECT_NEAR(rays[0], 0.5, 1e-12);
    EXPECT_NEAR(rays[1], 2.0, 1e-12);
    EXPECT_NEAR(rays[2], 4.0, 1e-12);
    EXPECT_GT(s.model->meshAt(0)->countTriangles(), 1);
    // The model counts as sliced.
    EXPECT_TRUE(s.model->meshesReset());
}

TEST(VelboSectionDeformator, SolidHasCompressionAtItsTopOrBottom)
{
    struct Case {
        double xTop, xBot;
        bool compressed;
    };
    OneTriangle s;  // concrete y 0 .. 3
    FixedDeformator d(s.model.get());
    d.yBot = 3.0;
    for (const Case& c : {Case{0.001, 0.002, false}, Case{-0.001, 0.002, true},
                          Case{0.001, -0.002, true}, Case{0.0, 0.0, false}}) {
        d.xTop = c.xTop;
        d.xBot = c.xBot;
        EXPECT_EQ(d.sectionSolidHasCompression(), c.compressed) << c.xTop << " " << c.xBot;
    }
}

TEST(VelboSectionDeformator, SetAngleTurnsTheSavedGeometryAboutTheConcreteBarycentre)
{
    OneTriangle s;  // barycentre (1, 1)
    FixedDeformator d(s.model.get());
    d.setAngle(90);
    EXPECT_EQ(d.angle(), 90.0);
    EXPECT_EQ(s.a->xn(), 2.0);
    EXPECT_EQ(s.a->yn(), 0.0);
    EXPECT_EQ(s.b->xn(), 2.0);
    EXPECT_EQ(s.b->yn(), 3.0);

    // Never cumulative: each call starts from the saved coordinates.
    d.setAngle(30);
    const double ax = s.a->xn();
    const double ay = s.a->yn();
    d.setAngle(30);
    EXPECT_EQ(s.a->xn(), ax);
    EXPECT_EQ(s.a->yn(), ay);
    const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
    EXPECT_NEAR(g.xn(), 1.0, 1e-15);
    EXPECT_NEAR(g.yn(), 1.0, 1e-15);

    d.setAngle(0);
    EXPECT_EQ(s.c->xn(), 0.0);
    EXPECT_EQ(s.c->yn(), 3.0);
}

TEST(VelboSectionDeformator, WithoutAModelNothingIsSliced)
{
    VelboParabola law(-11.333333333333334, -0.002, -0.0034999999999999996);
    FixedDeformator d;
    d.setAngle(45);
    EXPECT_EQ(d.angle(), 45.0);
    EXPECT_FALSE(d.deformatorSliceFromLaw(&law));
    EXPECT_FALSE(d.sectionSolidHasCompression());
}

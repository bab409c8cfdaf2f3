#include <gtest/gtest.h>

#include <stdexcept>

#include "stream_capture.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionelastic.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"

// A model of four nodes and one bar centred on the last of them.
class SectionElasticTest : public ::testing::Test {
protected:
    SectionElasticTest() : nodes{{0, 0, 1}, {3, 0, 2}, {3, 4, 3}, {1, 2, 4}}, model(1) {
        for (VelboNode2D& node : nodes) model.sectionAddNode(&node);
        bar.setCenter(&nodes[3]);
        bar.setRadius(8.0);
        model.sectionAddElement(&bar);
    }

    VelboNode2D nodes[4];
    VelboSectionModel model;
    VelboCircle bar;
};

TEST_F(SectionElasticTest, ZeroPlaneGivesZeroStressAtEveryNodeAndBar) {
    const VelboSectionElastic elastic(&model);
    StreamCapture streams;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(elastic.stressConcreteNodeAt(i), 0.0);
    EXPECT_EQ(elastic.stressSteelNodeAt(0), 0.0);
    EXPECT_EQ(streams.err(), "");
}

TEST_F(SectionElasticTest, IndexPastTheEndWritesTheCountAndThrows) {
    const VelboSectionElastic elastic(&model);
    const struct {
        int index;
        bool steel;
        const char* message;
    } cases[] = {
        {4, false, "Index of secttion nodes out of range 4"},
        {7, false, "Index of secttion nodes out of range 4"},
        {-1, false, ""},
        {1, true, "Index of steel out of range 1"},
        {-3, true, ""},
    };
    for (const auto& c : cases) {
        StreamCapture streams;
        if (c.steel)
            EXPECT_THROW(elastic.stressSteelNodeAt(c.index), std::out_of_range);
        else
            EXPECT_THROW(elastic.stressConcreteNodeAt(c.index), std::out_of_range);
        EXPECT_EQ(streams.err(), c.message) << "index " << c.index;
        EXPECT_EQ(streams.out(), "");
    }
}

TEST_F(SectionElasticTest, PlaneUnderForceIsTheHeldZeroPlane) {
    VelboSectionElastic elastic(&model);
    VelboSectionForces forces;
    forces.setFz(-1000.0);
    forces.setMx(5e6);
    const Func2Linear plane = elastic.planUnderForce(forces);
    EXPECT_EQ(plane.a(), 0.0);
    EXPECT_EQ(plane.b(), 0.0);
    EXPECT_EQ(plane.c(), 0.0);
}

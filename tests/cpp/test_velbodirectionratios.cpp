// The ratios of the points of one direction: even steps where they cover the
// direction's curve of forces, and points spread along that curve where the
// lowest bar lies near or above the depth of the interior pivot; and the
// domains of sections of both kinds built with them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "double_bits.h"
#include "default_limits.h"
#include "section_fixture.h"
#include "stream_capture.h"
#include "threads_setting.h"
#include "velbocore/velbobilinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbontc2008lb.h"
#include "velbocore/velbosecdeformrc.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbostrainpath.h"

namespace {

// Concrete from 0 to 500, bars from 40 down to `lowestBar`.
VelboStrainPath path(double lowestBar)
{
    return VelboStrainPath(defaultLimits(), {0.0, 500.0, 40.0, lowestBar});
}

std::vector<double> ratiosOf(const VelboDirectionRatios& r)
{
    std::vector<double> out;
    for (int j = 0; j < r.count(); ++j) out.push_back(r.ratio(j));
    return out;
}

// A pilot whose forces follow the plane: Fz the mean strain, Mx the
// difference of the two ends.
bool planeForces(const VelboStrainPath& p, double ratio, double* point)
{
    double xTop = 0.0, xBot = 0.0;
    p.plane(ratio, &xTop, &xBot);
    point[0] = 1e6 * (xTop + xBot);
    point[1] = 1e6 * (xBot - xTop);
    point[2] = 0.0;
    return true;
}

}  // namespace

TEST(VelboDirectionRatios, EvenStepsWhereTheyCoverTheCurve)
{
    // The lowest bar at 460 of 500: the interior pivot spans 17.2e-4 of bar
    // strain, more than a step of 20 even steps (12.75e-4).
    const std::unique_ptr<VelboBilinear> steel(new VelboBilinear(391.304347826087, 200000.0, 0.01));
    const VelboStrainPath p = path(460.0);
    const int n = 20;

    const VelboDirectionRatios even(p, nullptr, n);
    EXPECT_FALSE(even.spread());
    EXPECT_EQ(even.pilotSize(), 0);
    ASSERT_EQ(even.count(), n + 1);
    for (int j = 0; j <= n; ++j) EXPECT_EQ(even.ratio(j), static_cast<double>(j) / n) << j;

    // Skipping the planes where the bars have not yielded: 0, then even
    // steps from the first ratio where a bar yields.
    const VelboDirectionRatios skip(p, steel.get(), n);
    const double byBar = ((0.0 - 460.0) * (steel->esy() / (40.0 - 460.0))) / p.length();
    const double start = std::fmin(byBar, steel->esu() / p.length());
    // The bottom bars yield first: 460 / 420 of their yield strain over L.
    EXPECT_NEAR(start, 0.0840, 1e-4);
    ASSERT_EQ(skip.count(), n + 2);
    EXPECT_EQ(skip.ratio(0), 0.0);
    for (int j = 0; j <= n; ++j) {
        EXPECT_EQ(skip.ratio(j + 1), (1.0 - start) * (static_cast<double>(j) / n) + start) << j;
    }

    // Bars in one row give no such ratio: even steps over the whole path
    // after 0, the same count.
    const VelboDirectionRatios row(VelboStrainPath(defaultLimits(), {0.0, 500.0, 460.0, 460.0}), steel.get(), n);
    ASSERT_EQ(row.count(), n + 2);
    for (int j = 0; j <= n + 1; ++j) EXPECT_EQ(row.ratio(j), static_cast<double>(j) / (n + 1)) << j;
}

TEST(VelboDirectionRatios, SpreadPointsKeepTheirCountOrderAndEnds)
{
    const std::unique_ptr<VelboBilinear> steel(new VelboBilinear(391.304347826087, 200000.0, 0.01));
    struct Case {
        const char* name;
        double lowestBar;
        int ratioDivision;
    };
    const Case cases[] = {
        {"above the pivot depth", 100.0, 100},
        {"at it", 500.0 * 3.0 / 7.0, 40},
        {"below it by less than a step", 300.0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const VelboStrainPath p = path(c.lowestBar);
        ASSERT_TRUE(p.spreadAt(c.ratioDivision));
        for (const VelboBilinear* skipSteel : std::vector<const VelboBilinear*>{nullptr, steel.get()}) {
            SCOPED_TRACE(skipSteel ? "skip" : "uniform");
            VelboDirectionRatios r(p, skipSteel, c.ratioDivision);
            ASSERT_TRUE(r.spread());
            const double last = r.last();
            int asked = 0;
            ASSERT_TRUE(r.takePilot([&](double ratio, double* point) {
                ++asked;
                EXPECT_GE(ratio, 0.0);
                EXPECT_LE(ratio, 1.0);
                return planeForces(p, ratio, point);
            }));
            EXPECT_EQ(asked, r.pilotSize());
            const std::vector<double> ratios = ratiosOf(r);
            ASSERT_EQ(ratios.size(), static_cast<std::size_t>(c.ratioDivision + (skipSteel ? 2 : 1)));
            EXPECT_EQ(ratios.front(), 0.0);
            // The last ratio is the one even steps end with, known before the pilot.
            EXPECT_EQ(ratios.back(), last);
            EXPECT_TRUE(std::is_sorted(ratios.begin(), ratios.end()));
            EXPECT_EQ(std::adjacent_find(ratios.begin(), ratios.end()), ratios.end()) << "two points on one plane";
            if (skipSteel) {
                // Ratio 0, then the points from where the bars start to yield.
                const double byBar = ((0.0 - c.lowestBar) * (steel->esy() / (40.0 - c.lowestBar))) / p.length();
                EXPECT_EQ(ratios[1], std::fmin(byBar, steel->esu() / p.length()));
                EXPECT_EQ(last, (1.0 - ratios[1]) + ratios[1]);
            } else {
                EXPECT_EQ(last, 1.0);
            }
        }
    }
}

TEST(VelboDirectionRatios, SpreadPointsStepEvenlyAlongTheCurve)
{
    // A curve of the depth of the neutral axis, within the concrete: even
    // steps of the ratio leave most of it between a few points at the end
    // of the top-fibre pivot; the spread points step evenly along it.
    const VelboStrainPath p = path(100.0);
    const auto axisDepth = [&p](double ratio, double* point) {
        double xTop = 0.0, xBot = 0.0;
        p.plane(ratio, &xTop, &xBot);
        // No compression while the top is in tension; below the concrete
        // once the strain falls towards the bar.
        const double depth = xTop >= 0.0 ? 0.0 : (xBot <= xTop ? 500.0 : -xTop * 100.0 / (xBot - xTop));
        point[0] = std::min(depth, 500.0);
        point[1] = point[2] = 0.0;
        return true;
    };
    const int n = 100;
    VelboDirectionRatios r(p, nullptr, n);
    ASSERT_TRUE(r.takePilot(axisDepth));
    // The largest step over the mean one.
    const auto largestStep = [&](const std::vector<double>& ratios) {
        double largest = 0.0, total = 0.0;
        for (std::size_t j = 1; j < ratios.size(); ++j) {
            double a[3], b[3];
            axisDepth(ratios[j - 1], a);
            axisDepth(ratios[j], b);
            largest = std::max(largest, std::fabs(b[0] - a[0]));
            total += std::fabs(b[0] - a[0]);
        }
        return largest / (total / n);
    };
    std::vector<double> even;
    for (int j = 0; j <= n; ++j) even.push_back(static_cast<double>(j) / n);
    EXPECT_LT(largestStep(ratiosOf(r)), 1.5);
    EXPECT_GT(largestStep(even), 10.0);
}

TEST(VelboDirectionRatios, APilotPlaneWhereAHeavyRowOfBarsPassesALimitOfTheBarLaw)
{
    // The stress of a row of bars stops or starts changing at the law's
    // limits: the pilot holds a plane with the row at each of them.
    const std::unique_ptr<VelboBilinear> steel(new VelboBilinear(391.304347826087, 200000.0, 0.01));
    const std::vector<double> limits = steel->getInternalLimits();
    ASSERT_EQ(limits.size(), 2u);
    const VelboStrainPath p = path(100.0);
    VelboDirectionRatios r(p, nullptr, 100);
    r.setBarLimits(limits.data(), limits.size());
    r.addBar(60.0, 100.0);
    r.addBar(100.0, 300.0);
    r.addBar(60.0, 100.0);
    std::vector<double> atRow;
    ASSERT_TRUE(r.takePilot([&](double ratio, double* point) {
        double xTop = 0.0, xBot = 0.0;
        p.plane(ratio, &xTop, &xBot);
        for (const double depth : {60.0, 100.0}) atRow.push_back(xTop + (xBot - xTop) * (depth / 100.0));
        return planeForces(p, ratio, point);
    }));
    for (const double limit : limits) {
        SCOPED_TRACE(limit);
        // Both rows, whose strains pass each limit once along the path.
        for (std::size_t row = 0; row < 2; ++row) {
            bool found = false;
            for (std::size_t k = row; k < atRow.size(); k += 2) found = found || std::fabs(atRow[k] - limit) < 1e-15;
            EXPECT_TRUE(found) << "row " << row;
        }
    }
}

TEST(VelboDirectionRatios, APilotThatFailsGivesFalse)
{
    const VelboStrainPath p = path(100.0);
    VelboDirectionRatios r(p, nullptr, 50);
    int asked = 0;
    EXPECT_FALSE(r.takePilot([&](double, double*) { return ++asked < 3; }));
    EXPECT_EQ(asked, 3);
    // A direction that is not spread asks nothing.
    VelboDirectionRatios even(path(490.0), nullptr, 50);
    EXPECT_TRUE(even.takePilot([](double, double*) {
        ADD_FAILURE() << "asked";
        return false;
    }));
}

// --- the domains of sections near and far from the pivot depth --------------

namespace {

struct Point2 {
    double x, y;
};
struct Bar {
    double x, y, radius;
};

// A section given by its concrete (triangles on 1-based node numbers) and
// its bars, with the default laws.
struct SectionLayout {
    const char* name;
    std::vector<Point2> nodes;
    std::vector<std::array<int, 3>> triangles;
    std::vector<Bar> bars;
};

const std::vector<Point2> kRectangle500 = {{0, 0}, {300, 0}, {300, 500}, {0, 500}};
const std::vector<Point2> kRectangle700 = {{0, 0}, {300, 0}, {300, 700}, {0, 700}};
const std::vector<std::array<int, 3>> kTwoTriangles = {{1, 2, 3}, {1, 3, 4}};
const std::vector<Point2> kTee = {{0, 0},     {600, 0},   {600, 120}, {425, 120}, {175, 120},
                                  {0, 120},   {425, 600}, {175, 600}, {425, 360}, {175, 360}};
const std::vector<std::array<int, 3>> kTeeTriangles = {{1, 2, 4}, {2, 3, 4}, {1, 4, 5},  {1, 5, 6},
                                                       {5, 4, 9}, {5, 9, 10}, {10, 9, 7}, {10, 7, 8}};

std::vector<Bar> pivotBars(double y)
{
    return {{50, y, 10}, {250, y, 10}, {150, 60, 8}};
}

const std::vector<SectionLayout>& sections()
{
    static const std::vector<SectionLayout> layouts = {
        {"bars on both faces", kRectangle500, kTwoTriangles,
         {{50, 50, 10}, {150, 50, 10}, {250, 50, 10}, {50, 450, 10}, {150, 450, 10}, {250, 450, 10}}},
        {"bars on one face", kRectangle500, kTwoTriangles, {{50, 450, 10}, {150, 450, 10}, {250, 450, 10}}},
        {"T with bars in the flange", kTee, kTeeTriangles, {{60, 40, 10}, {300, 40, 10}, {540, 40, 10}}},
        {"a bar 8 under the face", kRectangle700, kTwoTriangles, {{150, 8, 10}}},
        {"bars at the pivot depth", kRectangle700, kTwoTriangles, pivotBars(300.0)},
        {"a hair above it", kRectangle700, kTwoTriangles, pivotBars(std::nextafter(300.0, 0.0))},
        {"a hair below it", kRectangle700, kTwoTriangles, pivotBars(std::nextafter(300.0, 1000.0))},
    };
    return layouts;
}

struct Section : SectionFixture {
    const VelboCostitutiveLaw* concrete;
    const VelboCostitutiveLaw* steel;
    double concreteArea = 0.0;
    double barArea = 0.0;

    explicit Section(const SectionLayout& layout)
        : concrete(own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::CONCRETE_C2025_PARABOLA))),
          steel(own(VelboNTC2008LB().buildLaw(VelboNTC2008LB::STEEL_B450C_BILINEAR)))
    {
        std::vector<VelboNode2D*> made;
        for (const Point2& p : layout.nodes) made.push_back(node(p.x, p.y));
        for (const auto& t : layout.triangles) {
            concreteArea += triangle(made[t[0] - 1], made[t[1] - 1], made[t[2] - 1], concrete)->elementCalcArea();
        }
        for (const Bar& b : layout.bars) barArea += bar(b.x, b.y, b.radius, steel)->elementCalcArea();
    }
};

struct Forces {
    double fz, mx, my;
};

// The forces of the model as its nodes stand under the plane through
// (yTop, xTop) and (yBot, xBot), integrated on their own: every triangle cut
// into slabs at its vertices and where the strain meets a limit of the
// concrete law, each slab by three-point Gauss in y over its chord, which is
// exact for the law's pieces; the bars at their centres.
Forces integrate(const Section& s, double yTop, double xTop, double yBot, double xBot)
{
    const auto strain = [&](double y) { return xTop + (xBot - xTop) * ((y - yTop) / (yBot - yTop)); };
    const std::vector<double> limits = s.concrete->lawLimits();
    const double gauss[3][2] = {{-std::sqrt(0.6), 5.0 / 9.0}, {0.0, 8.0 / 9.0}, {std::sqrt(0.6), 5.0 / 9.0}};
    Forces f{0.0, 0.0, 0.0};
    for (const VelboSectionElement* e : s.model->sectionElements()) {
        if (!e->elementIsSolid()) {
            const VelboNode2D c = e->elementCalcBarycenter();
            const double stress = s.steel->valueFx(strain(c.yn()), nullptr) * e->elementCalcArea();
            f.fz += stress;
            f.mx += stress * c.yn();
            f.my += stress * c.xn();
            continue;
        }
        Point2 v[3];
        for (int k = 0; k < 3; ++k) v[k] = {e->nodeAt(k)->xn(), e->nodeAt(k)->yn()};
        std::vector<double> cuts = {v[0].y, v[1].y, v[2].y};
        const double low = std::min({v[0].y, v[1].y, v[2].y});
        const double high = std::max({v[0].y, v[1].y, v[2].y});
        for (const double limit : limits) {
            if (xBot != xTop) {
                const double y = yTop + (limit - xTop) * ((yBot - yTop) / (xBot - xTop));
                if (y > low && y < high) cuts.push_back(y);
            }
        }
        std::sort(cuts.begin(), cuts.end());
        // The chord of the triangle at y.
        const auto chord = [&](double y, double* left, double* right) {
            *left = HUGE_VAL;
            *right = -HUGE_VAL;
            for (int k = 0; k < 3; ++k) {
                const Point2 a = v[k], b = v[(k + 1) % 3];
                if ((a.y - y) * (b.y - y) <= 0.0 && a.y != b.y) {
                    const double x = a.x + (b.x - a.x) * ((y - a.y) / (b.y - a.y));
                    *left = std::min(*left, x);
                    *right = std::max(*right, x);
                }
            }
        };
        for (std::size_t i = 1; i < cuts.size(); ++i) {
            const double y0 = cuts[i - 1], y1 = cuts[i];
            if (!(y1 > y0)) continue;
            for (const auto& g : gauss) {
                const double y = 0.5 * (y0 + y1) + 0.5 * (y1 - y0) * g[0];
                double left = 0.0, right = 0.0;
                chord(y, &left, &right);
                const double w = 0.5 * (y1 - y0) * g[1] * s.concrete->valueFx(strain(y), nullptr);
                f.fz += w * (right - left);
                f.mx += w * (right - left) * y;
                f.my += w * (right * right - left * left) / 2;
            }
        }
    }
    return f;
}

std::vector<double> pointsOf(const VelboInteractionPoints& points)
{
    std::vector<double> out;
    for (int k = 0; k < points.interactionPointsSize(); ++k) {
        const VelboSectionForces* f = points.interactionPointAt(k);
        out.insert(out.end(), {f->fz(), f->mx(), f->my()});
    }
    return out;
}

// The largest step between two points of a direction, each force scaled by
// its range over the whole domain, among the spread directions or all.
double largestStep(const std::vector<double>& p, const std::vector<bool>& spread, int perDirection, bool spreadOnly)
{
    double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (std::size_t k = 0; k < p.size(); ++k) {
        low[k % 3] = std::min(low[k % 3], p[k]);
        high[k % 3] = std::max(high[k % 3], p[k]);
    }
    double largest = 0.0;
    for (std::size_t i = 0; i < spread.size(); ++i) {
        if (spreadOnly && !spread[i]) continue;
        for (int j = 1; j < perDirection; ++j) {
            const std::size_t k = 3 * (i * perDirection + j);
            double sum = 0.0;
            for (int c = 0; c < 3; ++c) {
                const double d = (p[k + c] - p[k - 3 + c]) / (high[c] - low[c]);
                sum += d * d;
            }
            largest = std::max(largest, std::sqrt(sum));
        }
    }
    return largest;
}

}  // namespace

TEST(VelboDirectionRatios, DomainsNearAndFarFromThePivotDepth)
{
    StreamCapture capture;
    for (const auto& [degreeDivision, ratioDivision] : {std::pair{4, 100}, std::pair{2, 40}}) {
        const int perDirection = ratioDivision + 1;
        const int directions = 4 * degreeDivision + 1;
        double bothFaces = 0.0;
        for (const SectionLayout& layout : sections()) {
            SCOPED_TRACE(std::string(layout.name) + " at " + std::to_string(degreeDivision) + "/" +
                         std::to_string(ratioDivision));
            Section s(layout);
            const VelboNode2D g = s.model->sectionCalcSolidBarycenter();
            std::vector<double> points;
            {
                const ThreadsSetting threads("1");
                VelboSecDeformRC d(s.model.get());
                const std::unique_ptr<VelboInteractionPoints> set(
                    d.interactionSurface(degreeDivision, ratioDivision, VelboSecDeformRC::ISO_UNIFORM));
                ASSERT_NE(set, nullptr);
                points = pointsOf(*set);
            }
            ASSERT_EQ(points.size(), 3u * directions * perDirection);

            // The same bits on 3 threads and on every core, from the same
            // geometry (a build leaves the section turned by 360 degrees).
            for (const char* threads : {"3", static_cast<const char*>(nullptr)}) {
                const ThreadsSetting setting(threads);
                s.model->sectionRestoreGeometry();
                VelboSecDeformRC d(s.model.get());
                const std::unique_ptr<VelboInteractionPoints> set(
                    d.interactionSurface(degreeDivision, ratioDivision, VelboSecDeformRC::ISO_UNIFORM));
                ASSERT_NE(set, nullptr);
                const std::vector<double> again = pointsOf(*set);
                ASSERT_EQ(again.size(), points.size());
                for (std::size_t k = 0; k < points.size(); ++k) {
                    ASSERT_EQ(bits(again[k]), bits(points[k]))
                        << "threads " << (threads ? threads : "all") << " direction " << k / 3 / perDirection
                        << " point " << k / 3 % perDirection;
                }
            }

            const double tension = s.steel->valueFx(0.01, nullptr) * s.barArea;
            const double compression = s.concrete->valueFx(-0.002, nullptr) * s.concreteArea +
                                       s.steel->valueFx(-0.002, nullptr) * s.barArea;
            const double forceTolerance = 1e-11 * std::fabs(compression);
            const double momentTolerance = forceTolerance * 700.0;
            std::vector<bool> spread;
            VelboSecDeformRC d(s.model.get());
            for (int i = 0; i < directions; ++i) {
                SCOPED_TRACE(i);
                const double angle = (90.0 * i) / degreeDivision;
                d.setAngle(angle);
                VelboDirectionRatios ratios = d.directionRatios(nullptr, ratioDivision);
                spread.push_back(ratios.spread());
                // The pilot and every point, each made on its own plane.
                const auto pointAt = [&](double ratio, double* out) {
                    d.setDefRatio(ratio);
                    double xTop = 0.0, xBot = 0.0, yTop = 0.0, yBot = 0.0;
                    d.xRange(&xTop, &xBot);
                    d.yRange(&yTop, &yBot);
                    const Forces f = integrate(s, yTop, xTop, yBot, xBot);
                    VelboSectionForces forces;
                    forces.setFz(f.fz);
                    forces.setMx(f.mx);
                    forces.setMy(f.my);
                    forces.translate(g.xn(), g.yn());
                    forces.rotate(angle);
                    out[0] = forces.fz();
                    out[1] = forces.mx();
                    out[2] = forces.my();
                    return true;
                };
                ASSERT_TRUE(ratios.takePilot(pointAt));
                ASSERT_EQ(ratios.count(), perDirection);
                for (int j = 0; j < perDirection; ++j) {
                    SCOPED_TRACE(j);
                    double exact[3];
                    pointAt(ratios.ratio(j), exact);
                    const double* made = &points[3 * (static_cast<std::size_t>(i) * perDirection + j)];
                    EXPECT_NEAR(made[0], exact[0], forceTolerance);
                    EXPECT_NEAR(made[1], exact[1], momentTolerance);
                    EXPECT_NEAR(made[2], exact[2], momentTolerance);
                    if (j > 0) {
                        EXPECT_LE(made[0], made[-3]) << "Fz rises";
                    }
                }
                // Uniform tension first, uniform compression last.
                EXPECT_NEAR(points[3 * (static_cast<std::size_t>(i) * perDirection)], tension, forceTolerance);
                EXPECT_NEAR(points[3 * (static_cast<std::size_t>(i + 1) * perDirection - 1)], compression,
                            forceTolerance);
            }
            if (layout.name == sections().front().name) {
                EXPECT_EQ(std::count(spread.begin(), spread.end(), true), 0);
                bothFaces = largestStep(points, spread, perDirection, false);
            } else {
                EXPECT_GT(std::count(spread.begin(), spread.end(), true), 0);
                EXPECT_LE(largestStep(points, spread, perDirection, true), bothFaces);
            }
        }
    }
}

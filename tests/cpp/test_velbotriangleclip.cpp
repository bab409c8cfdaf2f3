// The clip of one triangle by horizontal rays: the direct cuts by one ray
// and by two give, bit for bit, the sub-triangles of the half-edge clip, in
// the same order and with the same vertex order.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "double_bits.h"
#include "velbocore/velbotriangleclip.h"

namespace {

using Triangle = std::array<double, 6>;

// The sub-triangles the half-edge clip makes, in chain order; empty when a
// slicing fails.
std::vector<Triangle> halfEdgeClip(VelboTriangleClip& clip, const double (&p)[6], const std::vector<double>& rays)
{
    clip.reset(p[0], p[1], p[2], p[3], p[4], p[5]);
    for (const double ray : rays) {
        if (!clip.slice(ray)) return {};
    }
    std::vector<Triangle> out;
    for (int t = clip.first(); t >= 0; t = clip.next(t)) {
        out.push_back({clip.x(t, 0), clip.y(t, 0), clip.x(t, 1), clip.y(t, 1), clip.x(t, 2), clip.y(t, 2)});
    }
    return out;
}

std::vector<Triangle> triangles(const double (*out)[6], int made)
{
    std::vector<Triangle> t(static_cast<std::size_t>(std::max(made, 0)));
    for (std::size_t i = 0; i < t.size(); ++i) std::copy(out[i], out[i] + 6, t[i].begin());
    return t;
}

std::string sameBits(const std::vector<Triangle>& direct, const std::vector<Triangle>& clipped)
{
    if (direct.size() != clipped.size()) {
        return std::to_string(direct.size()) + " sub-triangles instead of " + std::to_string(clipped.size());
    }
    for (std::size_t t = 0; t < direct.size(); ++t) {
        for (int k = 0; k < 6; ++k) {
            if (bits(direct[t][k]) != bits(clipped[t][k])) {
                return "sub-triangle " + std::to_string(t) + ", value " + std::to_string(k) + ": " +
                       hex(direct[t][k]) + " instead of " + hex(clipped[t][k]);
            }
        }
    }
    return "";
}

}  // namespace

TEST(VelboTriangleClip, DirectCutsGiveTheHalfEdgeClipBitForBit)
{
    // Triangles anywhere, some with a horizontal side, some on a coarse grid
    // where the rays run through vertices; rays strictly inside the
    // triangle's height, as the sweep gives them.
    std::mt19937_64 rng(20261211);
    std::uniform_real_distribution<double> coordinate(-100.0, 100.0);
    VelboTriangleClip clip;
    int once = 0, twice = 0, deferred = 0;
    for (int it = 0; it < 200000; ++it) {
        double p[6];
        for (double& v : p) v = coordinate(rng);
        const int kind = it % 5;
        if (kind == 1) p[3] = p[1];
        if (kind == 2) {
            for (double& v : p) v = std::round(v / 20.0);
        }
        const double low = std::min({p[1], p[3], p[5]});
        const double high = std::max({p[1], p[3], p[5]});
        if (!(low < high)) continue;
        std::uniform_real_distribution<double> height(low, high);
        double c1 = height(rng), c2 = height(rng);
        if (kind == 2) {
            c1 = std::round(c1);
            c2 = std::round(c2);
        }
        if (kind == 3) c2 = p[1];  // the second ray through a vertex
        if (kind == 4) c1 = p[5];  // the first one
        const auto inside = [&](double c) { return low < c && c < high; };

        if (inside(c1)) {
            double out[3][6];
            const int made = VelboTriangleClip::cutOnce(p, c1, out);
            ASSERT_GT(made, 0);
            ASSERT_EQ(sameBits(triangles(out, made), halfEdgeClip(clip, p, {c1})), "") << "one ray, case " << it;
            ++once;
        }
        if (inside(c1) && inside(c2)) {
            double out[9][6];
            const int made = VelboTriangleClip::cutTwice(p, c1, c2, out);
            if (made < 0) {
                ++deferred;
                continue;
            }
            ASSERT_EQ(sameBits(triangles(out, made), halfEdgeClip(clip, p, {c1, c2})), "") << "two rays, case " << it;
            ++twice;
        }
    }
    // Most cases are cut directly.
    EXPECT_GT(once, 100000);
    EXPECT_GT(twice, 100000);
    EXPECT_LT(deferred, twice / 100);
}

TEST(VelboTriangleClip, ARayAQuarterUpTwoSidesGivesTheRemeshesOfTheMesh)
{
    // (0, 0), (4, 0), (0, 4): y = 1 crosses P2 -> P3 and P3 -> P1, a quarter
    // of the way up each, which meet at the lone vertex P3: (N1, P3, N2),
    // (N1, N2, P1), (N1, P1, P2) with N1 = (3, 1) on P2 -> P3 and N2 = (0, 1)
    // on P3 -> P1.
    const double p[6] = {0, 0, 4, 0, 0, 4};
    double out[3][6];
    ASSERT_EQ(VelboTriangleClip::cutOnce(p, 1.0, out), 3);
    const std::vector<Triangle> expected = {{3, 1, 0, 4, 0, 1}, {3, 1, 0, 1, 0, 0}, {3, 1, 0, 0, 4, 0}};
    EXPECT_EQ(sameBits(triangles(out, 3), expected), "");
    // A ray that misses the triangle cuts nothing.
    EXPECT_EQ(VelboTriangleClip::cutOnce(p, 5.0, out), 0);
}

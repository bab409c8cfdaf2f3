#pragma once

#include <array>
#include <cstddef>

#include "velbocore/velbostrainpath.h"

class VelboBilinear;

// The ratios of the points of one direction along its strain path, the one
// source of them for every way a domain is built. Without skipBarLaw there
// are ratioDivision + 1 points from uniform tension (0) to uniform
// compression (1); with it (ISO_SKIP_SAME_BARVALUE) ratio 0 and then
// ratioDivision + 1 points from the ratio where the bars start to yield, or,
// where no such ratio lies inside the path, ratioDivision + 1 even steps
// after 0.
//
// The points take even steps of the ratio, unless the path is spread
// (VelboStrainPath::spreadAt): then even steps would leave whole stretches of
// the direction's curve of forces between two points, so the points are
// placed along that curve instead. A pilot of planes measures the curve:
// planes evenly spread in each stage's own quantity
// (VelboStrainPath::ratioInStage), planes where the heaviest rows of bars
// reach a limit of their law, and planes halving the longest steps, with
// Fz scaled by its fall from uniform tension to uniform compression and the
// moments by twice the largest moment of the pilot. The inner points then
// lie at even steps of that measured length, with the same first and last
// ratio, in the same order, as even steps give. A spread direction needs its
// pilot taken (takePilot) before ratio() of an inner point; the ratios are a
// function of the pilot's points alone, so the same points give the same
// ratios on any thread.
class VelboDirectionRatios
{
public:
    VelboDirectionRatios(const VelboStrainPath& path, const VelboBilinear* skipBarLaw, int ratioDivision);

    // The strain path the ratios lie on.
    const VelboStrainPath& path() const { return m_path; }
    // The number of points of the direction.
    int count() const { return m_count; }
    // The ratio of point j, 0 <= j < count(); they never fall.
    double ratio(int j) const;
    // The ratio of the last point, known without the pilot.
    double last() const { return ratio(m_count - 1); }

    // Where the curve turns sharply: bars at `depth` below the top of the
    // concrete, of `area` in all, whose stress stops or starts to change as
    // their strain passes one of the bar law's limits (setBarLimits). The
    // heaviest rows of bars give the pilot a plane at each such strain, so
    // that no step of the pilot hides a turn. Given before takePilot, in the
    // order of the bars.
    void setBarLimits(const double* strains, std::size_t count);
    void addBar(double depth, double area);

    // True when the points are spread along the curve, and so need the pilot.
    bool spread() const { return m_spread; }
    // The number of the pilot's planes, once taken: none unless spread.
    int pilotSize() const { return m_spread ? m_pilotSize : 0; }
    // Takes the pilot of a spread direction: pointAt(ratio, point) writes the
    // forces (Fz, Mx, My) of the plane at the ratio into point[0..2] and
    // gives false when it cannot make them, which this gives back. The pilot
    // starts with planes evenly spread in each stage, then halves, one at a
    // time, its longest step.
    template <typename PointAt>
    bool takePilot(PointAt&& pointAt)
    {
        if (!m_spread) {
            return true;
        }
        m_addTurns();
        for (int k = 0; k < m_knots; ++k) {
            if (!m_take(k, pointAt)) {
                return false;
            }
        }
        m_setScales();
        while (m_knots < m_pilotSize) {
            if (!m_take(m_halveLongestStep(), pointAt)) {
                return false;
            }
        }
        m_measure();
        return true;
    }

private:
    enum Kind
    {
        KIND_EVEN,       // ratioDivision + 1 points from 0 to 1
        KIND_SKIP,       // 0, then ratioDivision + 1 points from where the bars yield
        KIND_SKIP_EVEN   // 0, then ratioDivision + 1 points after 0
    };
    static constexpr int kMostEvenPilot = 3;
    static constexpr int kMostHalvings = 4;
    static constexpr int kMostTurns = 8;
    static constexpr int kMostPilot = VelboStrainPath::kStages * kMostEvenPilot + 1 + kMostTurns + kMostHalvings;
    static constexpr int kMostRows = 64;
    static constexpr int kMostTurningRows = 4;
    static constexpr int kMostBarLimits = 4;
    struct Row {
        double depth, area;
    };

    template <typename PointAt>
    bool m_take(int k, PointAt& pointAt)
    {
        double point[3] = {0.0, 0.0, 0.0};
        if (!pointAt(m_ratioAt(m_w[static_cast<std::size_t>(k)]), point)) {
            return false;
        }
        m_pilot[static_cast<std::size_t>(k)] = {point[0], point[1], point[2]};
        return true;
    }

    // Pilot planes where the heaviest rows of bars pass the bar law's limits.
    void m_addTurns();
    // The ratio of the plane at w, the stages' own quantities: stage s covers
    // w from s * m_perStage to (s + 1) * m_perStage.
    double m_ratioAt(double w) const;
    // The measures of Fz and of the moments, from the first pilot planes.
    void m_setScales();
    // The measured length of the pilot's step from plane k to plane k + 1.
    double m_step(int k) const;
    // Puts a plane halfway (in w) along the longest step and gives its index.
    int m_halveLongestStep();
    // The arc length of the pilot's curve at every pilot plane.
    void m_measure();
    // The ratio of the plane at the share q (0 to 1) of the measured curve;
    // of the stages' own quantities when the curve has no length to measure.
    double m_ratioAtShare(double q) const;
    // The share of the measured curve up to w.
    double m_shareAt(double w) const;

    VelboStrainPath m_path;
    Kind m_kind;
    int m_ratioDivision;
    int m_count;
    // Where the skip option starts: the ratio where the bars start to yield.
    double m_skipStart;
    bool m_spread;
    int m_perStage;
    int m_pilotSize;
    // The pilot's planes so far, by w: their w, their forces, and the
    // measured length of the curve up to each; m_measured is false while the
    // curve has no length.
    int m_knots;
    std::array<double, kMostPilot> m_w;
    std::array<std::array<double, 3>, kMostPilot> m_pilot;
    std::array<double, kMostPilot> m_arc;
    std::array<Row, kMostRows> m_rows;
    int m_rowCount;
    std::array<double, kMostBarLimits> m_barLimits;
    int m_barLimitCount;
    double m_fzScale;
    double m_momentScale;
    bool m_measured;
    // The share of the curve where the spread points of the skip option start.
    double m_startShare;
};

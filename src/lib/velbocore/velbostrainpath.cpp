#include "velbocore/velbostrainpath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "velbocore/velbosectionmodel.h"

VelboStrainPath::Ranges VelboStrainPath::rangesOf(const VelboSectionModel& model)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    Ranges r{nan, nan, nan, nan};
    model.sectionCalcSolidYRange(&r.clsTop, &r.clsBottom);
    model.sectionCalcPointYRange(&r.barTop, &r.barBottom);
    return r;
}

VelboStrainPath::Span VelboStrainPath::span(const Ranges& ranges)
{
    const double height = ranges.barBottom - ranges.clsTop;
    if (height > 0.0) {
        return SPAN_POSITIVE;
    }
    if (height == 0.0) {
        return SPAN_ZERO;
    }
    return height < 0.0 ? SPAN_NEGATIVE : SPAN_UNDEFINED;
}

double VelboStrainPath::limitsLength(const Limits& limits)
{
    return ((limits.topTrac - limits.topComp) + limits.botTrac) - limits.compUniform;
}

double VelboStrainPath::pivotDepth(const Ranges& ranges, double topComp, double compUniform)
{
    const double h = ranges.clsBottom - ranges.clsTop;
    return h * ((topComp - compUniform) / topComp);
}

double VelboStrainPath::overCompression(const Ranges& ranges, double topComp)
{
    const double h = ranges.clsBottom - ranges.clsTop;
    const double d = ranges.barBottom - ranges.clsTop;
    return (topComp * (h - d)) / h;
}

namespace {
// Below the pivot depth by less than this share of the path (in bar strain),
// the interior pivot is too short to be measured in the bar strain: the
// ratios of its planes would lie within a few rounding steps of each other.
constexpr double kHairBelowPivot = 0x1p-20;
}  // namespace

VelboStrainPath::VelboStrainPath(const Limits& limits, const Ranges& ranges)
    : m_ranges(ranges)
    , m_a(limits.topTrac)
    , m_b(-limits.topComp)
    , m_s(limits.botTrac)
    , m_d(-limits.compUniform)
    , m_e(-overCompression(ranges, limits.topComp))
    , m_length(limitsLength(limits))
    , m_pivot(pivotDepth(ranges, limits.topComp, limits.compUniform))
    , m_interiorByBottom(m_e > m_d - kHairBelowPivot * m_length)
{
    if (m_interiorByBottom) {
        // The bar strain runs from S down to -E, then the strain at the
        // bottom of the concrete from 0 down to -D.
        m_length = (((m_a + m_b) + m_s) + m_e) + m_d;
    }
}

void VelboStrainPath::plane(double ratio, double* xTop, double* xBot) const
{
    const double a = m_a;
    const double b = m_b;
    const double s = m_s;
    const double d = m_d;
    const double t = ratio * m_length;
    const double topPivotEnd = ((a + b) + s) + m_e;

    double top = -d;
    double bot = -d;
    if (0.0 <= t && t < a + b) {
        // uniform tension (t = 0), then the rebar pivot
        top = a - t;
        bot = s;
    } else if (a + b <= t && t < topPivotEnd) {
        // top-fibre pivot
        top = -b;
        bot = ((a + b) + s) - t;
    } else if (topPivotEnd <= t && t < (m_interiorByBottom ? m_length : ((a + b) + s) + d)) {
        // interior pivot: the plane keeps the strain -d at depth m_pivot
        const double h = m_ranges.barBottom - m_ranges.clsTop;
        if (m_interiorByBottom) {
            // the strain at the bottom of the concrete going from 0 to -d
            const double bottom = topPivotEnd - t;
            const double slope = (bottom + d) / ((m_ranges.clsBottom - m_ranges.clsTop) - m_pivot);
            bot = -d + slope * (h - m_pivot);
            top = -d - slope * m_pivot;
        } else {
            // the bar strain going from -e to -d
            bot = ((a + b) + s) - t;
            top = -d - (bot + d) * (m_pivot / (h - m_pivot));
        }
    }
    // else: uniform compression

    if (xTop) {
        *xTop = top;
    }
    if (xBot) {
        *xBot = bot;
    }
}

bool VelboStrainPath::spreadAt(int ratioDivision) const
{
    return ratioDivision >= 1 && m_d - m_e < m_length / ratioDivision;
}

double VelboStrainPath::ratioInStage(Stage stage, double fraction) const
{
    const double a = m_a;
    const double b = m_b;
    const double s = m_s;
    const double d = m_d;
    double t = 0.0;
    switch (stage) {
    case STAGE_REBAR_PIVOT:
        // the top strain from a down to -b
        t = fraction * (a + b);
        break;
    case STAGE_TOP_PIVOT: {
        // the neutral axis from its depth at bar strain s down to the bottom
        // of the concrete, where the bar strain is -e
        const double h = m_ranges.barBottom - m_ranges.clsTop;
        const double height = m_ranges.clsBottom - m_ranges.clsTop;
        const double first = (b * h) / (s + b);
        const double depth = first + fraction * (height - first);
        t = ((a + b) + s) - ((b * h) / depth - b);
        break;
    }
    case STAGE_INTERIOR_PIVOT:
        if (m_interiorByBottom) {
            t = ((((a + b) + s) + m_e)) + fraction * d;
        } else {
            // the strain at the bottom of the concrete from 0 down to -d
            // gives the bar strain, from -e down to -d
            const double h = m_ranges.barBottom - m_ranges.clsTop;
            const double height = m_ranges.clsBottom - m_ranges.clsTop;
            const double slope = (d - fraction * d) / (height - m_pivot);
            t = ((a + b) + s) - (-d + slope * (h - m_pivot));
        }
        break;
    }
    // Rounding may carry a plane at an end of the path a hair beyond it.
    return std::clamp(t / m_length, 0.0, 1.0);
}

double VelboStrainPath::stageFraction(Stage stage, double depth, double strain) const
{
    const double h = m_ranges.barBottom - m_ranges.clsTop;
    const double height = m_ranges.clsBottom - m_ranges.clsTop;
    double fraction = std::numeric_limits<double>::quiet_NaN();
    switch (stage) {
    case STAGE_REBAR_PIVOT: {
        // xTop + (s - xTop) * depth / h = strain
        const double top = (strain - m_s * (depth / h)) / (1.0 - depth / h);
        fraction = (m_a - top) / (m_a + m_b);
        break;
    }
    case STAGE_TOP_PIVOT: {
        // -b + b * depth / x = strain, x the depth of the neutral axis
        const double first = (m_b * h) / (m_s + m_b);
        const double axis = (m_b * depth) / (strain + m_b);
        fraction = (axis - first) / (height - first);
        break;
    }
    case STAGE_INTERIOR_PIVOT: {
        // -d + slope * (depth - pivot) = strain; the bottom of the concrete
        // has -d + slope * (height - pivot), from 0 down to -d
        const double slope = (strain + m_d) / (depth - m_pivot);
        fraction = -(-m_d + slope * (height - m_pivot)) / m_d;
        break;
    }
    }
    return fraction;
}

double VelboStrainPath::rebarPivotFraction(double ratio) const
{
    return std::clamp((ratio * m_length) / (m_a + m_b), 0.0, 1.0);
}

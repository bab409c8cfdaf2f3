#include "velbocore/velbostrainpath.h"

#include <cmath>
#include <limits>

#include "velbocore/velbobilinear.h"
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

double VelboStrainPath::length(const Limits& limits)
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

VelboStrainPath::VelboStrainPath(const Limits& limits, const Ranges& ranges)
    : m_ranges(ranges)
    , m_a(limits.topTrac)
    , m_b(-limits.topComp)
    , m_s(limits.botTrac)
    , m_d(-limits.compUniform)
    , m_e(-overCompression(ranges, limits.topComp))
    , m_length(length(limits))
    , m_pivot(pivotDepth(ranges, limits.topComp, limits.compUniform))
    , m_barAbovePivot(m_e > m_d)
{
    if (m_barAbovePivot) {
        // The bar strain runs from S down to -E and back up to -D.
        m_length = (((m_a + m_b) + m_s) + m_e) + (m_e - m_d);
    }
}

void VelboStrainPath::plane(double ratio, double* xTop, double* xBot) const
{
    const double a = m_a;
    const double b = m_b;
    const double s = m_s;
    const double d = m_d;
    const double t = ratio * m_length;

    double top = -d;
    double bot = -d;
    if (t == 0.0) {
        // uniform tension
        top = a;
        bot = s;
    } else if (0.0 < t && t < a) {
        // rebar pivot, top still in tension
        top = a - t;
        bot = s;
    } else if (a <= t && t < a + b) {
        // rebar pivot, top in compression
        top = a - t;
        bot = s;
    } else if (a + b <= t && t < ((a + b) + s) + m_e) {
        // top-fibre pivot
        top = -b;
        bot = ((a + b) + s) - t;
    } else if (((a + b) + s) + m_e <= t && t < (m_barAbovePivot ? m_length : ((a + b) + s) + d)) {
        // interior pivot: the plane keeps the strain -d at depth m_pivot,
        // the bar strain going from -e towards -d
        bot = m_barAbovePivot ? (t - (((a + b) + s) + m_e)) - m_e : ((a + b) + s) - t;
        const double h = m_ranges.barBottom - m_ranges.clsTop;
        top = -d - (bot + d) * (m_pivot / (h - m_pivot));
    }
    // else: uniform compression

    if (xTop) {
        *xTop = top;
    }
    if (xBot) {
        *xBot = bot;
    }
}

void VelboStrainPath::ratios(const VelboBilinear* skipBarLaw, int ratioDivision, std::vector<double>& out) const
{
    out.clear();
    if (!skipBarLaw) {
        for (int j = 0; j <= ratioDivision; ++j) {
            out.push_back(static_cast<double>(j) / ratioDivision);
        }
        return;
    }
    const Ranges& r = m_ranges;
    const double esy = skipBarLaw->esy();
    const double ratioByBar = ((r.clsTop - r.barBottom) * (esy / (r.barTop - r.barBottom))) / m_length;
    const double ratioByCls = skipBarLaw->esu() / m_length;
    const double ratioMinimum = std::fmin(ratioByBar, ratioByCls);
    out.push_back(0.0);
    if (!(ratioMinimum > 0.0 && ratioMinimum < 1.0)) {
        // No ratio strictly inside the path to start from: all bars at one
        // depth (the ratio by bar is -infinity), or limits that put both
        // ratios outside it. Even steps over the whole path keep the count
        // and give distinct planes.
        for (int j = 1; j <= ratioDivision + 1; ++j) {
            out.push_back(static_cast<double>(j) / (ratioDivision + 1));
        }
        return;
    }
    for (int j = 0; j <= ratioDivision; ++j) {
        out.push_back((1.0 - ratioMinimum) * (static_cast<double>(j) / ratioDivision) + ratioMinimum);
    }
}

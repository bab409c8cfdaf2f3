#include "velbocore/velbodirectionratios.h"

#include <algorithm>
#include <cmath>

#include "velbocore/velbobilinear.h"

VelboDirectionRatios::VelboDirectionRatios(const VelboStrainPath& path, const VelboBilinear* skipBarLaw,
                                           int ratioDivision)
    : m_path(path)
    , m_kind(KIND_EVEN)
    , m_ratioDivision(ratioDivision)
    , m_count(ratioDivision + 1)
    , m_skipStart(0.0)
    , m_spread(path.spreadAt(ratioDivision))
    , m_perStage(std::clamp(ratioDivision / 16, 1, kMostEvenPilot))
    , m_pilotSize(VelboStrainPath::kStages * m_perStage + 1 + std::clamp(ratioDivision / 16, 0, kMostHalvings))
    , m_knots(VelboStrainPath::kStages * m_perStage + 1)
    , m_w()
    , m_pilot()
    , m_arc()
    , m_rows()
    , m_rowCount(0)
    , m_barLimits()
    , m_barLimitCount(0)
    , m_fzScale(0.0)
    , m_momentScale(0.0)
    , m_measured(false)
    , m_startShare(0.0)
{
    for (int k = 0; k < m_knots; ++k) {
        m_w[static_cast<std::size_t>(k)] = k;
    }
    if (!skipBarLaw) {
        return;
    }
    const VelboStrainPath::Ranges& r = path.ranges();
    const double esy = skipBarLaw->esy();
    const double ratioByBar = ((r.clsTop - r.barBottom) * (esy / (r.barTop - r.barBottom))) / path.length();
    const double ratioByCls = skipBarLaw->esu() / path.length();
    m_skipStart = std::fmin(ratioByBar, ratioByCls);
    m_count = ratioDivision + 2;
    // No ratio strictly inside the path to start from: all bars at one depth
    // (the ratio by bar is -infinity), or limits that put both ratios outside
    // it. Even steps over the whole path keep the count and give distinct
    // planes.
    m_kind = m_skipStart > 0.0 && m_skipStart < 1.0 ? KIND_SKIP : KIND_SKIP_EVEN;
}

void VelboDirectionRatios::setBarLimits(const double* strains, std::size_t count)
{
    m_barLimitCount = static_cast<int>(std::min(count, static_cast<std::size_t>(kMostBarLimits)));
    std::copy(strains, strains + m_barLimitCount, m_barLimits.begin());
}

void VelboDirectionRatios::addBar(double depth, double area)
{
    if (!m_spread) {
        return;
    }
    for (int r = 0; r < m_rowCount; ++r) {
        if (m_rows[static_cast<std::size_t>(r)].depth == depth) {
            m_rows[static_cast<std::size_t>(r)].area += area;
            return;
        }
    }
    // Beyond so many rows each is light: the rest are left out.
    if (m_rowCount < kMostRows) {
        m_rows[static_cast<std::size_t>(m_rowCount++)] = {depth, area};
    }
}

void VelboDirectionRatios::m_addTurns()
{
    // The heaviest rows first, the shallower of two as heavy.
    const auto heavier = [](const Row& a, const Row& b) {
        return a.area > b.area || (a.area == b.area && a.depth < b.depth);
    };
    const int rows = std::min(m_rowCount, kMostTurningRows);
    std::partial_sort(m_rows.begin(), m_rows.begin() + rows, m_rows.begin() + m_rowCount, heavier);
    int turns = 0;
    for (int r = 0; r < rows; ++r) {
        for (int l = 0; l < m_barLimitCount; ++l) {
            for (int stage = 0; stage < VelboStrainPath::kStages; ++stage) {
                const double fraction = m_path.stageFraction(static_cast<VelboStrainPath::Stage>(stage),
                                                             m_rows[static_cast<std::size_t>(r)].depth,
                                                             m_barLimits[static_cast<std::size_t>(l)]);
                if (!(fraction > 0.0 && fraction < 1.0) || turns == kMostTurns) {
                    continue;
                }
                const double w = (stage + fraction) * m_perStage;
                // In order of w; a plane already there serves.
                const auto at = std::lower_bound(m_w.begin(), m_w.begin() + m_knots, w);
                const std::ptrdiff_t k = at - m_w.begin();
                constexpr double kSame = 1e-9;
                if ((k < m_knots && *at - w < kSame) || (k > 0 && w - m_w[static_cast<std::size_t>(k - 1)] < kSame)) {
                    continue;
                }
                std::copy_backward(m_w.begin() + k, m_w.begin() + m_knots, m_w.begin() + m_knots + 1);
                m_w[static_cast<std::size_t>(k)] = w;
                ++m_knots;
                ++m_pilotSize;
                ++turns;
            }
        }
    }
}

double VelboDirectionRatios::m_ratioAt(double w) const
{
    const int stage = std::min(static_cast<int>(w) / m_perStage, VelboStrainPath::kStages - 1);
    const double fraction = std::min(1.0, (w - stage * m_perStage) / m_perStage);
    return m_path.ratioInStage(static_cast<VelboStrainPath::Stage>(stage), fraction);
}

void VelboDirectionRatios::m_setScales()
{
    // Fz falls from uniform tension to uniform compression; the moments are
    // measured against twice the largest of the pilot, about the range they
    // sweep over the whole domain.
    const std::size_t last = static_cast<std::size_t>(m_knots - 1);
    const double fzScale = std::fabs(m_pilot[0][0] - m_pilot[last][0]);
    double largestMoment = 0.0;
    for (std::size_t k = 0; k <= last; ++k) {
        largestMoment = std::max(largestMoment, std::hypot(m_pilot[k][1], m_pilot[k][2]));
    }
    const double momentScale = 2.0 * largestMoment;
    m_fzScale = fzScale > 0.0 && std::isfinite(fzScale) ? fzScale : 0.0;
    m_momentScale = momentScale > 0.0 && std::isfinite(momentScale) ? momentScale : 0.0;
}

double VelboDirectionRatios::m_step(int k) const
{
    const std::array<double, 3>& a = m_pilot[static_cast<std::size_t>(k)];
    const std::array<double, 3>& b = m_pilot[static_cast<std::size_t>(k + 1)];
    const double fz = m_fzScale > 0.0 ? (b[0] - a[0]) / m_fzScale : 0.0;
    const double mx = m_momentScale > 0.0 ? (b[1] - a[1]) / m_momentScale : 0.0;
    const double my = m_momentScale > 0.0 ? (b[2] - a[2]) / m_momentScale : 0.0;
    return std::sqrt(fz * fz + mx * mx + my * my);
}

int VelboDirectionRatios::m_halveLongestStep()
{
    int longest = 0;
    double length = -1.0;
    for (int k = 0; k + 1 < m_knots; ++k) {
        const double step = m_step(k);
        if (step > length) {
            longest = k;
            length = step;
        }
    }
    const int k = longest + 1;
    for (int i = m_knots; i > k; --i) {
        m_w[static_cast<std::size_t>(i)] = m_w[static_cast<std::size_t>(i - 1)];
        m_pilot[static_cast<std::size_t>(i)] = m_pilot[static_cast<std::size_t>(i - 1)];
    }
    m_w[static_cast<std::size_t>(k)] = 0.5 * (m_w[static_cast<std::size_t>(k - 1)] + m_w[static_cast<std::size_t>(k + 1)]);
    ++m_knots;
    return k;
}

void VelboDirectionRatios::m_measure()
{
    m_arc[0] = 0.0;
    for (int k = 1; k < m_knots; ++k) {
        m_arc[static_cast<std::size_t>(k)] = m_arc[static_cast<std::size_t>(k - 1)] + m_step(k - 1);
    }
    const double total = m_arc[static_cast<std::size_t>(m_knots - 1)];
    m_measured = total > 0.0 && std::isfinite(total);
    if (m_kind == KIND_SKIP) {
        m_startShare = m_shareAt(m_path.rebarPivotFraction(m_skipStart) * m_perStage);
    }
}

double VelboDirectionRatios::m_shareAt(double w) const
{
    const double end = m_w[static_cast<std::size_t>(m_knots - 1)];
    if (!m_measured) {
        return w / end;
    }
    // The step that holds w.
    const auto beyond = std::upper_bound(m_w.begin(), m_w.begin() + m_knots, w);
    const std::size_t k = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(beyond - m_w.begin(), 1)),
                                   static_cast<std::size_t>(m_knots - 1));
    const double within = (w - m_w[k - 1]) / (m_w[k] - m_w[k - 1]);
    const double arc = m_arc[k - 1] + within * (m_arc[k] - m_arc[k - 1]);
    return arc / m_arc[static_cast<std::size_t>(m_knots - 1)];
}

double VelboDirectionRatios::m_ratioAtShare(double q) const
{
    const std::size_t last = static_cast<std::size_t>(m_knots - 1);
    double w = q * m_w[last];
    if (m_measured) {
        const double arc = q * m_arc[last];
        // The first pilot plane beyond the arc: the arc lies on the step
        // before it, which has a length.
        const auto beyond = std::upper_bound(m_arc.begin(), m_arc.begin() + m_knots, arc);
        const std::size_t k = static_cast<std::size_t>(beyond - m_arc.begin());
        if (k == 0) {
            w = 0.0;
        } else if (k > last) {
            w = m_w[last];
        } else {
            const double within = (arc - m_arc[k - 1]) / (m_arc[k] - m_arc[k - 1]);
            w = m_w[k - 1] + within * (m_w[k] - m_w[k - 1]);
        }
    }
    return m_ratioAt(w);
}

double VelboDirectionRatios::ratio(int j) const
{
    const int n = m_ratioDivision;
    switch (m_kind) {
    case KIND_EVEN:
        if (!m_spread || j == 0 || j == n) {
            return static_cast<double>(j) / n;
        }
        return m_ratioAtShare(static_cast<double>(j) / n);
    case KIND_SKIP: {
        if (j == 0) {
            return 0.0;
        }
        const int i = j - 1;
        if (!m_spread || i == 0 || i == n) {
            return (1.0 - m_skipStart) * (static_cast<double>(i) / n) + m_skipStart;
        }
        const double q = m_startShare + (1.0 - m_startShare) * (static_cast<double>(i) / n);
        return std::max(m_skipStart, m_ratioAtShare(q));
    }
    case KIND_SKIP_EVEN:
        if (!m_spread || j == 0 || j == n + 1) {
            return static_cast<double>(j) / (n + 1);
        }
        return m_ratioAtShare(static_cast<double>(j) / (n + 1));
    }
    return 0.0;
}

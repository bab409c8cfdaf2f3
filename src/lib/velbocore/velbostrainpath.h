#pragma once

#include <vector>

class VelboBilinear;
class VelboSectionModel;

// The ultimate strain path of a reinforced-concrete section in one direction:
// the limit strain planes over the span from the top of the concrete to the
// lowest bar that a ratio sweeps from 0 (uniform tension) through the rebar
// pivot, the top-fibre pivot and the interior pivot to 1 (uniform
// compression). A plane is given by its strains at the two ends of the span
// (xTop, xBot); strains are plain ratios, compression negative, and the top
// is the smallest y.
//
// The top-fibre pivot always ends at the plane with no strain at the bottom
// of the concrete, where the lowest bar has the strain -E. The interior
// pivot then turns the plane about the pivot depth until the whole span has
// the strain of uniform compression -D: the bar strain falls from -E to -D
// when the lowest bar lies at or below the pivot depth (E <= D), and rises
// from -E to -D when it lies above it (E > D), which makes the path of that
// direction longer.
class VelboStrainPath
{
public:
    // Vertical extents of the concrete and of the bar centres in the geometry
    // of one direction.
    struct Ranges {
        double clsTop, clsBottom, barTop, barBottom;
    };
    // The limit strains of the two laws: the bars' tension limit, at the top
    // and at the bottom of the span, the concrete's ultimate compression
    // strain at the top, and its strain of uniform compression.
    struct Limits {
        double topTrac, topComp, botTrac, compUniform;
    };
    // The height of the span, from the top of the concrete down to the lowest
    // bar: only a positive one carries strain planes.
    enum Span
    {
        SPAN_POSITIVE = 0,
        SPAN_ZERO = 1,       // the lowest bar lies on the top of the concrete
        SPAN_NEGATIVE = 2,   // the lowest bar lies above the top of the concrete
        SPAN_UNDEFINED = 3   // a range that is not a number
    };

    // The ranges of the model as its nodes stand (not a number for a kind of
    // element it does not have).
    static Ranges rangesOf(const VelboSectionModel& model);
    static Span span(const Ranges& ranges);
    // The length of the path measured in strain when the lowest bar lies at
    // or below the pivot depth; a direction whose lowest bar lies above it
    // has a longer path (see length()).
    static double length(const Limits& limits);
    // The depth below the top of the concrete of the interior pivot, where
    // every plane of that stage has the strain of uniform compression.
    static double pivotDepth(const Ranges& ranges, double topComp, double compUniform);
    // The strain at the lowest bar at the end of the top-fibre pivot: the
    // plane with the ultimate strain at the top and none at the bottom of the
    // concrete.
    static double overCompression(const Ranges& ranges, double topComp);

    VelboStrainPath(const Limits& limits, const Ranges& ranges);

    const Ranges& ranges() const { return m_ranges; }
    // The length of this direction's path measured in strain: the ratio
    // times this length is the distance travelled along the path.
    double length() const { return m_length; }

    // The plane at the ratio, from 0 to 1; a negative ratio or one that is
    // not a number gives uniform compression.
    void plane(double ratio, double* xTop, double* xBot) const;

    // The ratios of the points of one direction: ratioDivision + 1 even steps
    // over the path, or (skipBarLaw given) ratio 0 and then ratioDivision + 1
    // even steps from where the bars start to yield.
    void ratios(const VelboBilinear* skipBarLaw, int ratioDivision, std::vector<double>& out) const;

private:
    Ranges m_ranges;
    // A, B, S, D and E of the stages: tension at the top, compression at the
    // top, tension at the bottom, uniform compression, and the bar strain at
    // the end of the top-fibre pivot, each as a distance along the path.
    double m_a;
    double m_b;
    double m_s;
    double m_d;
    double m_e;
    double m_length;
    double m_pivot;
    // True when the lowest bar lies above the pivot depth (E > D): the
    // interior pivot raises the bar strain from -E to -D.
    bool m_barAbovePivot;
};

#pragma once

class VelboSectionModel;

// The ultimate strain path of a reinforced-concrete section in one direction:
// the limit strain planes over the span from the top of the concrete to the
// lowest bar that a ratio sweeps from 0 (uniform tension) through the rebar
// pivot, the top-fibre pivot and the interior pivot to 1 (uniform
// compression). A plane is given by its strains at the two ends of the span
// (xTop, xBot); strains are plain ratios, compression negative, and the top
// is the smallest y.
//
// The ratio times length() is the distance travelled along the path. The
// rebar pivot is measured in the top strain (A + B), the top-fibre pivot in
// the bar strain, which falls from S to -E, where the plane has no strain at
// the bottom of the concrete. The interior pivot then turns the plane about
// the pivot depth until the whole span has the strain of uniform compression
// -D. Where the lowest bar lies well below the pivot depth, that stage is
// measured in the bar strain too, which falls from -E to -D. Where it lies
// above the pivot depth, at it, or within a hair below it, the bar strain
// hardly moves or runs back, so the stage is measured in the strain at the
// bottom of the concrete, which falls from 0 to -D whatever the bar's depth:
// the path is then A + B + S + E + D long.
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
    // The three pivots, each with the quantity that moves evenly along it in
    // planeInStage: the top strain (rebar pivot), the depth of the neutral
    // axis (top-fibre pivot) and the strain at the bottom of the concrete
    // (interior pivot).
    enum Stage
    {
        STAGE_REBAR_PIVOT = 0,
        STAGE_TOP_PIVOT = 1,
        STAGE_INTERIOR_PIVOT = 2
    };
    static constexpr int kStages = 3;

    // The ranges of the model as its nodes stand (not a number for a kind of
    // element it does not have).
    static Ranges rangesOf(const VelboSectionModel& model);
    static Span span(const Ranges& ranges);
    // The length in strain that the limits alone give, A + B + S + D: the
    // length of every direction whose lowest bar lies well below the pivot
    // depth.
    static double limitsLength(const Limits& limits);
    // The depth below the top of the concrete of the interior pivot, where
    // every plane of that stage has the strain of uniform compression.
    static double pivotDepth(const Ranges& ranges, double topComp, double compUniform);
    // The strain at the lowest bar at the end of the top-fibre pivot: the
    // plane with the ultimate strain at the top and none at the bottom of the
    // concrete.
    static double overCompression(const Ranges& ranges, double topComp);

    VelboStrainPath(const Limits& limits, const Ranges& ranges);

    const Ranges& ranges() const { return m_ranges; }
    // The length of this direction's path: the ratio times this length is
    // the distance travelled along the path.
    double length() const { return m_length; }
    // True when the interior pivot is measured in the strain at the bottom of
    // the concrete (the lowest bar above the pivot depth, at it, or within a
    // hair below it).
    bool interiorPivotByBottom() const { return m_interiorByBottom; }

    // The plane at the ratio, from 0 to 1; a negative ratio or one that is
    // not a number gives uniform compression.
    void plane(double ratio, double* xTop, double* xBot) const;

    // True when ratioDivision even steps of the path leave whole stretches of
    // its planes between two points: the interior pivot is shorter in bar
    // strain than one step, or runs back (the lowest bar at or above the
    // pivot depth). The points of such a direction are spread along its
    // curve of forces (VelboDirectionRatios).
    bool spreadAt(int ratioDivision) const;

    // The ratio of the plane a fraction (0 to 1) of the way through a stage,
    // the stage's own quantity moving evenly: 0 at the start of the rebar
    // pivot is uniform tension, 1 at the end of the interior pivot uniform
    // compression.
    double ratioInStage(Stage stage, double fraction) const;
    // The fraction (0 to 1, as ratioInStage takes it) of the way through a
    // stage of the plane that has the strain at the depth below the top of
    // the concrete; not a number when no plane of the stage has it.
    double stageFraction(Stage stage, double depth, double strain) const;
    // The fraction of the way through the rebar pivot of the plane at the
    // ratio, which lies in that stage (clamped to it).
    double rebarPivotFraction(double ratio) const;

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
    bool m_interiorByBottom;
};

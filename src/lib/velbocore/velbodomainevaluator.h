#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "velbocore/velboareaproperties.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbolineallocator.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbostrainpath.h"
#include "velbocore/velbotriangleclip.h"

class VelboBilinear;
class VelboCostitutiveLaw;
class VelboSectionForces;
class VelboSectionModel;

// The points of a reinforced-concrete section's domain, made without
// touching the model, each bit for bit the one the model path makes
// (setAngle, meshesReset, deformatorSliceFromLaw, deformatorForces):
// - a workspace turns its own copy of the node coordinates with the node's
//   own rotation, and takes the ranges as the model takes them;
// - a triangle that no ray of the point crosses is integrated whole, from
//   moments made once per direction with the triangle's own closed forms
//   (VelboTriangleIntegral); a crossed one is cut as its mesh would cut it
//   (VelboTriangleClip), its sub-triangles integrated in chain order;
// - forces are summed as the model sums them: elements in list order, the
//   sub-triangles of each element from zero, the moments then moved to the
//   moment point and turned back with the forces' own operations.
// Whatever it does not reproduce (a missing law or node, an element it does
// not know, a slicing the mesh would refuse, a span that is not positive, a
// path of no finite length, a point that is not finite) it reports as false,
// and its caller leaves the section to the model path.
class VelboDomainEvaluator {
public:
    // Reads the elements and laws of the model, without moving its nodes.
    // limits: those of the strain path; sliceLaw: the law whose limits slice
    // the concrete; skipBarLaw: the bar law of ISO_SKIP_SAME_BARVALUE, null
    // for ISO_UNIFORM.
    VelboDomainEvaluator(const VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                         const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                         const VelboBilinear* skipBarLaw, int ratioDivision);

    // Whether the evaluator reproduces the section.
    bool sound() const { return m_sound; }
    int triangles() const { return static_cast<int>(m_triangles.size()); }
    int circles() const { return static_cast<int>(m_circles.size()); }

    // Reads the saved geometry of the nodes, about whose concrete barycentre
    // every direction turns. The model's nodes are put back to it, as the
    // first setAngle of a build does.
    void readGeometry(VelboSectionModel& model);

    // What one thread works with: its own geometry of the current direction
    // and every buffer of a point, sized once, in cache lines of its own.
    class Workspace {
    public:
        // forces: what the points are turned back with, made by the thread
        // that starts the build, so that the forces' live-instance counter
        // only changes on that thread.
        Workspace(const VelboDomainEvaluator& evaluator, VelboSectionForces& forces);

    private:
        friend class VelboDomainEvaluator;
        // A triangle in the geometry of the current direction.
        struct TurnedTriangle {
            double yTop, yBot, yG;
            VelboAreaProperties moments;
        };

        VelboLineVector<double> m_x;
        VelboLineVector<double> m_y;
        VelboLineVector<TurnedTriangle> m_triangles;
        VelboLineVector<double> m_rays;
        // a, b, c of sigma(y) for every piece of every law, under the current plane.
        VelboLineVector<double> m_stress;
        VelboTriangleClip m_clip;
        VelboSectionForces& m_forces;
    };

    // The strain path of the direction at the angle, the workspace's
    // geometry turned to it.
    VelboStrainPath turnTo(double angle, Workspace& workspace) const;
    // The ratios of the points of the direction the workspace is turned to,
    // on its path, the pilot of a spread direction taken; empty when the
    // direction is left to the model path.
    std::optional<VelboDirectionRatios> directionRatios(const VelboStrainPath& path, double angle,
                                                        Workspace& workspace) const;
    // The point of the path at the ratio, turned back by the angle, into
    // out[0..2]; false when it cannot be made here.
    bool point(const VelboStrainPath& path, double ratio, double angle, Workspace& workspace, double* out) const;

private:
    // An entry of the model's element list: a triangle or a circle.
    struct Element {
        bool triangle;
        int index;
    };
    struct Triangle {
        int node[3];
        int law;
    };
    struct Circle {
        int node;
        double area;
        const VelboCostitutiveLaw* law;
    };
    // The pieces of a triangle law as quadratics in the strain, between its
    // internal limits, as VelboTriangle reads them.
    struct LawTable {
        const VelboCostitutiveLaw* law;
        std::vector<double> limits;
        std::vector<double> pieces;  // alpha, beta, gamma of piece i at 3i
        std::size_t offset;          // of its pieces' coefficients in a workspace's stress table

        // The piece of the strain: the first limit strictly above it (a
        // strain on a limit belongs to the piece on its right, NaN to the
        // last piece).
        int pieceOf(double strain) const;
    };
    // Forces summed from zero.
    struct Sum {
        double fz = 0.0;
        double mx = 0.0;
        double my = 0.0;
    };

    bool m_readSection(const VelboSectionModel& model, const VelboCostitutiveLaw& sliceLaw);
    int m_lawTable(const VelboCostitutiveLaw* law);
    // The steps of a turn: the nodes, then the triangles in that geometry,
    // then the ranges of the turned section.
    void m_turnNodes(double angle, Workspace& workspace) const;
    void m_turnTriangles(Workspace& workspace) const;
    VelboStrainPath::Ranges m_ranges(const Workspace& workspace) const;
    // The forces of the section under the strain eps(y) = g*y + e0 of the
    // current point, whose rays the workspace holds; false when a triangle
    // cannot be cut.
    bool m_forces(double g, double e0, Workspace& workspace, Sum& sum) const;

    const VelboStrainPath::Limits m_limits;
    const VelboBilinear* m_skipBarLaw;
    const int m_ratioDivision;
    const double m_momentX;
    const double m_momentY;
    bool m_sound;
    // Whether every coordinate of every turn is small enough that no moment
    // of area overflows.
    bool m_smallCoordinates;

    // The nodes the elements use, in order of first use, and whether the
    // model turns them (a node it does not list stays put).
    std::vector<const VelboNode2D*> m_nodes;
    std::vector<char> m_nodeTurns;
    // Centre of every turn: the concrete barycentre of the saved geometry;
    // and the coordinates of the nodes there.
    VelboNode2D m_turnBase;
    std::vector<double> m_nodeX;
    std::vector<double> m_nodeY;
    std::vector<Element> m_elements;
    std::vector<Triangle> m_triangles;
    std::vector<Circle> m_circles;
    std::vector<LawTable> m_laws;
    // Strains of the concrete law at which the meshes are sliced.
    std::vector<double> m_sliceStrains;
    // Strains at which the bar law changes piece.
    std::vector<double> m_barLimits;
};

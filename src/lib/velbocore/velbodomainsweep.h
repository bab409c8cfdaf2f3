#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbostrainpath.h"

class VelboBilinear;
class VelboCostitutiveLaw;
class VelboInteractionPoints;
class VelboSectionModel;

// The hot loop of the interaction-domain build: every point of every
// direction of a reinforced-concrete deformator's surface, made without
// touching the model, the directions spread over worker threads.
//
// Every point is bit-identical to the one the model path makes (setAngle,
// meshesReset, deformatorSliceFromLaw, deformatorForces), because:
// - each worker turns its own copy of the node coordinates with the node's
//   own rotation, takes the ranges as the model takes them, and the strain
//   planes and ratios from the strain path, as the deformator does;
// - a triangle that no ray of the point crosses is integrated whole, from
//   moments made once per direction with the triangle's own closed forms; a
//   crossed one is cut in local storage by the very steps of its mesh (one
//   ray: straight into the two or three sub-triangles those steps give):
//   rays in the order of the law's limits, each cut node computed once by
//   the same formula from the same half-edge, the same sub-triangles with
//   the same vertex order, integrated in chain order;
// - forces are summed as the model sums them: elements in list order, the
//   sub-triangles of each element from zero, moments then moved to the
//   moment point and turned back with the forces' own operations;
// - the point of direction i and step j goes to slot i * pointsPerDirection
//   + j whatever thread made it, and the point set takes the slots in order.
// The sweep writes on no stream and allocates nothing per point but the
// triple the point set keeps, so that a build needs the memory of its point
// set, no more: the calling thread makes the triples in slot order while
// the workers compute, and a worker writes each point straight into its
// triple, or, ahead of the calling thread, keeps it until the triple is made
// (a piece of work at most). Each worker takes the ratios of a direction
// from VelboDirectionRatios, with the pilot of a spread direction made on
// its own geometry. A worker writes only into the triples of its own piece
// of work. When a section
// holds something it does not reproduce (a missing law or node, an element
// it does not know, a slicing the mesh would refuse, a span that is not
// positive, a point that is not finite) or a worker meets an exception,
// run() returns false and the caller takes the model path, which reports
// what it finds as it always has.
class VelboDomainSweep {
public:
    // Reads the section from the model; the model's nodes are put back to
    // their saved coordinates (as the first setAngle of a build would do).
    // limits: those of the strain path; sliceLaw: the law whose limits slice
    // the concrete; skipBarLaw: the bar law of ISO_SKIP_SAME_BARVALUE, null
    // for ISO_UNIFORM.
    VelboDomainSweep(VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                     const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                     const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision);
    ~VelboDomainSweep();
    VelboDomainSweep(const VelboDomainSweep&) = delete;
    VelboDomainSweep& operator=(const VelboDomainSweep&) = delete;

    // Makes every point on `threads` threads, the calling one among them,
    // which makes the triples the points are written into while the others
    // start, and runs `meanwhile` (when given) once all of them are made.
    // It returns when every worker
    // is done with the points; the workers are joined when the sweep goes.
    // False: no point set, see above. Runs once. `interrupted` (when given)
    // is asked on the calling thread only, while it makes the triples,
    // between pieces of work and while it waits for the workers; when it
    // says true the workers stop after their piece and run() gives false.
    bool run(int threads, const std::function<void()>& meanwhile = {},
             const std::function<bool()>& interrupted = {});
    // Whether run() stopped because `interrupted` said so.
    bool interrupted() const { return m_interrupted; }

    // After a successful run: the point set of every point, in slot order,
    // which the caller owns; the sweep keeps no point. Until then, and after
    // a run that gave false, the sweep frees the triples it made when it goes.
    VelboInteractionPoints* releasePoints();

    // VELBO_THREADS when it holds a whole number of 1 or more (at most
    // 1024), otherwise the number of cores the process may run on.
    static int threadsFromEnvironment();
    // The threads that `work` triangle-points can keep busy, 1 to
    // `available`: one below about a millisecond of work, then one per half
    // millisecond, so that each pays for its start.
    static int threadsForWork(double work, int available);
    // The threads of this sweep: VELBO_THREADS when it holds a whole number
    // of 1 or more (at most 1024), otherwise as many of the cores the
    // process may run on as its work can keep busy.
    int threads() const;
    // The work of the sweep in triangle-points: every element of every
    // point, and what a point costs besides.
    double work() const;

private:
    struct Element;
    struct Triangle;
    struct Circle;
    struct LawTable;
    class Worker;
    struct Crew;
    struct Sum;

    // VELBO_THREADS when it holds a whole number of 1 or more (at most
    // 1024), otherwise 0.
    static int m_threadsSetting();
    static int m_cores();
    // The work of one point in triangle-points.
    double m_pointWork() const;

    bool m_prepare(VelboSectionModel& model, const VelboCostitutiveLaw& sliceLaw);
    int m_lawTable(const VelboCostitutiveLaw* law);
    double m_angle(int i) const { return (90.0 * i) / m_degreeDivision; }
    // The strain path of direction i, the worker's geometry turned to it.
    VelboStrainPath m_turnTo(int i, Worker& worker) const;
    // What to do once the first `at` triples are made.
    struct Stop {
        std::size_t at;
        std::function<void()> what;
    };
    // The triples of every point in slot order, with the stops on the way;
    // false when the run stops first.
    bool m_makeTriples(Crew& crew, const std::function<bool()>& stopAsked, const std::array<Stop, 2>& stops);
    // The points of steps first .. last - 1 of direction i, each written
    // into its triple once that is made; false when the sweep cannot make
    // them or the run stops.
    bool m_direction(int i, int first, int last, Worker& worker, Crew& crew) const;
    // The points the worker keeps, written into their triples once those
    // are made; false when the run stops first.
    bool m_flush(Worker& worker, Crew& crew) const;
    // The steps of a direction, on the worker's own geometry: the nodes
    // turned by its angle, then the triangles in that geometry, then the
    // ranges of the turned section.
    void m_turnNodes(double angle, Worker& worker) const;
    void m_turnTriangles(Worker& worker) const;
    VelboStrainPath::Ranges m_ranges(const Worker& worker) const;
    // The point of the path at the ratio, turned back by the angle, into
    // out[0..2]; false when the sweep cannot make it.
    bool m_point(const VelboStrainPath& path, double ratio, double angle, Worker& worker, double* out) const;
    // The forces of the section under the strain eps(y) = g*y + e0 of the
    // current point, whose rays the worker holds, into `sum`; false when the
    // sweep cannot cut a triangle.
    bool m_forces(double g, double e0, Worker& worker, Sum& sum) const;

    const VelboStrainPath::Limits m_limits;
    const VelboBilinear* m_skipBarLaw;
    const int m_degreeDivision;
    const int m_ratioDivision;
    const int m_pointsPerDirection;
    const int m_directions;
    const double m_momentX;
    const double m_momentY;
    bool m_prepared;
    bool m_interrupted;
    // Whether every coordinate of every turn is small enough that no moment
    // of area overflows.
    bool m_smallCoordinates;

    // Centre of every turn: the concrete barycentre of the saved geometry.
    VelboNode2D m_turnBase;
    // Coordinates of the nodes the elements use, at the start of a turn, and
    // whether the model turns them (a node it does not list stays put).
    std::vector<double> m_nodeX;
    std::vector<double> m_nodeY;
    std::vector<char> m_nodeTurns;
    std::vector<Element> m_elements;
    std::vector<Triangle> m_triangles;
    std::vector<Circle> m_circles;
    std::vector<LawTable> m_laws;
    // Strains of the concrete law at which the meshes are sliced.
    std::vector<double> m_sliceStrains;
    // Strains at which the bar law changes piece.
    std::vector<double> m_barLimits;

    // The triples of the points, slot k at k, made on the calling thread;
    // the sweep's until they are handed out.
    std::vector<VelboSectionForces*> m_made;
    // Last, so that its threads are joined before anything else goes.
    std::unique_ptr<Crew> m_crew;
};

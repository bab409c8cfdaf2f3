#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "velbocore/velbodomainevaluator.h"
#include "velbocore/velbostrainpath.h"

class VelboBilinear;
class VelboCostitutiveLaw;
class VelboInteractionPoints;
class VelboNode2D;
class VelboSectionForces;
class VelboSectionModel;

// The interaction-domain build on several threads: every point of every
// direction (VelboDomainEvaluator), shared out in pieces of equal size that
// need not follow the directions, so that every thread a build may use has
// work. The point of direction i and step j goes to slot
// i * pointsPerDirection + j whatever thread made it.
//
// A build needs the memory of its point set, no more: the calling thread
// makes the triples the point set keeps, in slot order, while the workers
// compute; a worker writes each point straight into its triple, or, ahead of
// the calling thread, keeps it until the triple is made (a piece at most).
// A worker thread allocates nothing. When the evaluator does not reproduce
// the section, or a worker meets an exception, run() gives false and the
// caller takes the model path, which reports what it finds.
class VelboDomainSweep {
public:
    // Reads the section from the model, without moving its nodes. limits:
    // those of the strain path; sliceLaw: the law whose limits slice the
    // concrete; skipBarLaw: the bar law of ISO_SKIP_SAME_BARVALUE, null for
    // ISO_UNIFORM.
    VelboDomainSweep(VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                     const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                     const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision);
    ~VelboDomainSweep();
    VelboDomainSweep(const VelboDomainSweep&) = delete;
    VelboDomainSweep& operator=(const VelboDomainSweep&) = delete;

    // Makes every point on `threads` threads (at most one a point), the
    // calling one among them. It puts the model's nodes back to their saved
    // geometry, then makes the triples the points are written into while the
    // others start, and runs `meanwhile` (when given) once all of them are
    // made. It returns when every worker is done with the points; the workers
    // are joined when the sweep goes. False: no point set, see above. Runs
    // once. `interrupted` (when given) is asked on the calling thread only,
    // while it makes the triples, between pieces of work and while it waits
    // for the workers; when it says true the workers stop after their piece
    // and run() gives false.
    bool run(int threads, const std::function<void()>& meanwhile = {},
             const std::function<bool()>& interrupted = {});
    // Whether run() stopped because `interrupted` said so.
    bool interrupted() const { return m_interrupted; }

    // After a successful run: the point set of every point, in slot order,
    // which the caller owns; the sweep keeps no point. Until then, and after
    // a run that gave false, the sweep frees the triples it made when it goes.
    VelboInteractionPoints* releasePoints();

    // The threads a build takes: VELBO_THREADS when it holds a whole number
    // of 1 or more (1: everything on the calling thread; above 1024 it counts
    // as 1024); otherwise as many of the cores the process may run on as its
    // work keeps busy (threadsForWork). Never more than one a point.
    static int threadsFor(int triangles, int circles, long long points);
    // The VELBO_THREADS of threadsFor, or else the cores the process may run on.
    static int threadsFromEnvironment();
    // The threads that `work` triangle-points can keep busy, 1 to
    // `available`: one below about a millisecond of work, then one per half
    // millisecond, so that each pays for its start.
    static int threadsForWork(double work, int available);
    // The work of a build in triangle-points: every element of every point,
    // and what a point costs besides.
    static double workOf(int triangles, int circles, long long points);
    // threadsFor and workOf of this sweep.
    int threads() const;
    double work() const;

private:
    class Worker;
    struct Crew;

    // The VELBO_THREADS of threadsFor, or 0 when it does not hold one.
    static int m_threadsSetting();
    static int m_cores();
    long long m_points() const;
    double m_angle(int i) const { return (90.0 * i) / m_degreeDivision; }
    // The triples of every point in slot order, the workers started once the
    // first `headStart` are made; false when the run stops first.
    bool m_makeTriples(Crew& crew, const std::function<bool()>& stopAsked, std::size_t headStart,
                       const std::function<void()>& startWorkers);
    // The points of slots first .. last - 1, each written into its triple
    // once that is made; false when they cannot be made here or the run stops.
    bool m_piece(std::size_t first, std::size_t last, Worker& worker, Crew& crew) const;
    // The points the worker keeps, written into their triples once those are
    // made; false when the run stops first.
    bool m_flush(Worker& worker, Crew& crew) const;

    VelboSectionModel& m_model;
    VelboDomainEvaluator m_evaluator;
    const int m_degreeDivision;
    const int m_pointsPerDirection;
    const int m_directions;
    const bool m_sound;
    bool m_interrupted;

    // The triples of the points, slot k at k, made on the calling thread;
    // the sweep's until they are handed out.
    std::vector<VelboSectionForces*> m_made;
    // Last, so that its threads are joined before anything else goes.
    std::unique_ptr<Crew> m_crew;
};

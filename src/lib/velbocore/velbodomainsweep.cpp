#include "velbocore/velbodomainsweep.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"

// What one thread works with: its workspace, the direction it is turned to
// with that direction's ratios, and the points it keeps until their triples
// are made; cache lines of its own.
class alignas(64) VelboDomainSweep::Worker {
public:
    // piecePoints: the most points of a piece of work.
    Worker(const VelboDomainEvaluator& evaluator, VelboSectionForces& forces, std::size_t piecePoints)
        : workspace(evaluator, forces)
    {
        pending.reserve(3 * piecePoints);
    }

    VelboDomainEvaluator::Workspace workspace;
    // The direction the workspace is turned to, -1 before the first.
    int direction = -1;
    std::optional<VelboStrainPath> path;
    std::optional<VelboDirectionRatios> ratios;
    // The triples this worker knows to be made.
    std::size_t triplesMade = 0;
    // Fz, Mx, My of the points made before their triples, slots pendingFirst on.
    VelboLineVector<double> pending;
    std::size_t pendingFirst = 0;
};

// The threads of a run and what they share. It outlives the run: the threads
// are joined when it goes, with the sweep, so that the caller can hand out
// the points while they end.
struct VelboDomainSweep::Crew {
    // The forces a worker turns its points with, a cache line each.
    struct alignas(64) Forces {
        VelboSectionForces forces;
    };

    // The pieces: slots [pieceSize * p, pieceSize * (p + 1)), the last one shorter.
    std::size_t pieceSize = 1;
    std::size_t pieces = 0;
    std::vector<Forces> forces;
    std::vector<std::unique_ptr<Worker>> workers;
    std::atomic<std::size_t> nextPiece{0};
    std::atomic<bool> failed{false};
    // The sweep's triples, slot k at k, `total` of them; the first `made`
    // are made. `made` changes as they are made: a cache line of its own.
    VelboSectionForces* const* slots = nullptr;
    std::size_t total = 0;
    alignas(64) std::atomic<std::size_t> made{0};
    alignas(64) std::mutex mutex;
    std::condition_variable finished;
    std::condition_variable allMade;
    int working = 0;
    std::vector<std::thread> threads;

    ~Crew()
    {
        for (std::thread& t : threads) {
            if (t.joinable()) {
                t.join();
            }
        }
    }

    // The number of triples made, once it is `count` or more; 0 when the
    // run stops first. The calling thread makes them faster than the
    // workers use them but for the first ones, and does not stop to wake
    // anyone but at the end: a worker ahead of it looks for a moment, then
    // sleeps about as long as the missing triples take to make, and looks
    // again.
    std::size_t waitForTriples(std::size_t count)
    {
        std::size_t known = made.load();
        if (known >= count) {
            return known;
        }
        const auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(20);
        for (int look = 1;; ++look) {
            known = made.load();
            if (known >= count) {
                return known;
            }
            if (failed.load(std::memory_order_relaxed)
                || (look % 64 == 0 && std::chrono::steady_clock::now() > spinUntil)) {
                break;
            }
        }
        // Some tens of nanoseconds a triple.
        constexpr std::chrono::nanoseconds kPerTriple(50);
        constexpr std::chrono::microseconds kShortest(20);
        constexpr std::chrono::microseconds kLongest(1000);
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            known = made.load();
            if (known >= count || failed.load()) {
                break;
            }
            const auto missing = kPerTriple * static_cast<long long>(count - known);
            allMade.wait_for(lock, std::clamp<std::chrono::nanoseconds>(missing, kShortest, kLongest));
        }
        return known >= count ? known : 0;
    }

    // The last triple is made, or the run stops: the waiting workers look.
    void wake()
    {
        { const std::lock_guard<std::mutex> lock(mutex); }
        allMade.notify_all();
    }
};

VelboDomainSweep::VelboDomainSweep(VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                                   const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                                   const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision)
    : m_model(model),
      m_evaluator(model, limits, sliceLaw, momentPoint, skipBarLaw, ratioDivision),
      m_degreeDivision(degreeDivision),
      m_pointsPerDirection(skipBarLaw ? ratioDivision + 2 : ratioDivision + 1),
      m_directions(4 * degreeDivision + 1),
      m_sound(degreeDivision >= 1 && ratioDivision >= 1 && m_evaluator.sound()),
      m_interrupted(false)
{
}

VelboDomainSweep::~VelboDomainSweep()
{
    // The workers first: they may still write into the triples.
    m_crew.reset();
    for (VelboSectionForces* point : m_made) {
        delete point;
    }
}

int VelboDomainSweep::m_threadsSetting()
{
    if (const char* text = std::getenv("VELBO_THREADS")) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && errno == 0 && value >= 1) {
            // More than a thousand threads would only wait on each other.
            return static_cast<int>(std::min(value, 1024L));
        }
    }
    return 0;
}

int VelboDomainSweep::m_cores()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        const int count = CPU_COUNT(&cpus);
        if (count > 0) {
            return count;
        }
    }
    const unsigned int cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

int VelboDomainSweep::threadsFromEnvironment()
{
    const int setting = m_threadsSetting();
    return setting > 0 ? setting : m_cores();
}

int VelboDomainSweep::threadsForWork(double work, int available)
{
    // A thread does about this many triangle-points in half a millisecond,
    // some ten times what starting and joining it costs: a second thread
    // only pays from about a millisecond of work on.
    constexpr double kWorkPerThread = 5e4;
    const double fed = std::floor(work / kWorkPerThread);
    if (!(fed >= 2.0) || available < 2) {
        return 1;
    }
    return fed < available ? static_cast<int>(fed) : available;
}

double VelboDomainSweep::workOf(int triangles, int circles, long long points)
{
    // Besides its elements a point costs about as much as this many
    // triangles: its strain plane, rays and law tables.
    constexpr double kPointOverhead = 32.0;
    return (static_cast<double>(triangles) + static_cast<double>(circles) + kPointOverhead) *
           static_cast<double>(points);
}

int VelboDomainSweep::threadsFor(int triangles, int circles, long long points)
{
    const int setting = m_threadsSetting();
    const int threads = setting > 0 ? setting : threadsForWork(workOf(triangles, circles, points), m_cores());
    return static_cast<int>(std::max(1LL, std::min(static_cast<long long>(threads), points)));
}

long long VelboDomainSweep::m_points() const
{
    return static_cast<long long>(m_directions) * m_pointsPerDirection;
}

double VelboDomainSweep::work() const
{
    return workOf(m_evaluator.triangles(), m_evaluator.circles(), m_points());
}

int VelboDomainSweep::threads() const
{
    return threadsFor(m_evaluator.triangles(), m_evaluator.circles(), m_points());
}

bool VelboDomainSweep::run(int threads, const std::function<void()>& meanwhile,
                           const std::function<bool()>& interrupted)
{
    if (!m_sound || m_crew) {
        return false;
    }
    const std::size_t total = static_cast<std::size_t>(m_points());
    const int count = static_cast<int>(std::max(1LL, std::min(static_cast<long long>(threads), m_points())));
    m_crew.reset(new Crew());
    Crew& crew = *m_crew;
    // Made before anything that may throw. When this thread's part of the run
    // throws (memory running out while it makes the triples), the workers
    // stop after their piece: without it, a worker would wait for the
    // triples that will never be made, and the sweep, which joins the
    // workers as it goes, with it.
    struct StopOnThrow {
        std::atomic<bool>& failed;
        const int before = std::uncaught_exceptions();
        ~StopOnThrow()
        {
            if (std::uncaught_exceptions() > before) {
                failed.store(true);
            }
        }
    } stopOnThrow{crew.failed};

    m_evaluator.readGeometry(m_model);

    // Pieces of equal size, taken in order: of about ten milliseconds of work
    // at most, so that the calling thread asks the interruption check often
    // enough, and with more than one thread a few a thread, so that the
    // threads finish together.
    constexpr double kPieceWork = 1 << 20;
    constexpr double kPiecesPerThread = 8;
    const double wanted = std::max(std::ceil(work() / kPieceWork), count > 1 ? count * kPiecesPerThread : 1.0);
    const std::size_t pieces = static_cast<std::size_t>(std::min(wanted, static_cast<double>(total)));
    crew.pieceSize = (total + pieces - 1) / pieces;
    crew.pieces = (total + crew.pieceSize - 1) / crew.pieceSize;
    // Made on this thread, so that the forces' live-instance counter only
    // changes here. So are the workers' buffers: a worker thread allocates
    // nothing, and so takes no memory of its own from the allocator while
    // the triples are made, which matters where the address space is capped.
    crew.forces = std::vector<Crew::Forces>(static_cast<std::size_t>(count));
    crew.workers.reserve(static_cast<std::size_t>(count));
    for (int w = 0; w < count; ++w) {
        crew.workers.emplace_back(
            new Worker(m_evaluator, crew.forces[static_cast<std::size_t>(w)].forces, crew.pieceSize));
    }
    // Room for every triple, so that the list never moves while the workers
    // read it.
    crew.total = total;
    m_made.reserve(crew.total);
    crew.slots = m_made.data();

    // Asked on this thread only; once it says stop, the workers stop too.
    const auto stopAsked = [this, &crew, &interrupted] {
        if (!m_interrupted && interrupted && interrupted()) {
            m_interrupted = true;
            crew.failed.store(true);
        }
        return m_interrupted;
    };

    const auto work = [this, &crew, &stopAsked](int w) {
        try {
            Worker& worker = *crew.workers[static_cast<std::size_t>(w)];
            for (;;) {
                if (crew.failed.load(std::memory_order_relaxed) || (w == 0 && stopAsked())) {
                    return;
                }
                const std::size_t p = crew.nextPiece.fetch_add(1, std::memory_order_relaxed);
                if (p >= crew.pieces) {
                    return;
                }
                const std::size_t first = p * crew.pieceSize;
                if (!m_piece(first, std::min(crew.total, first + crew.pieceSize), worker, crew)) {
                    crew.failed.store(true, std::memory_order_relaxed);
                    return;
                }
            }
        } catch (...) {
            // Nothing leaves a worker: the caller takes the model path, where
            // the same failure shows as it always has.
            crew.failed.store(true, std::memory_order_relaxed);
        }
    };
    const auto startWorkers = [&crew, &work, count] {
        try {
            crew.threads.reserve(static_cast<std::size_t>(count - 1));
            for (int w = 1; w < count; ++w) {
                {
                    const std::lock_guard<std::mutex> lock(crew.mutex);
                    ++crew.working;
                }
                try {
                    crew.threads.emplace_back([&crew, work, w] {
                        work(w);
                        // The last touch of the crew by this thread.
                        const std::lock_guard<std::mutex> lock(crew.mutex);
                        if (--crew.working == 0) {
                            crew.finished.notify_all();
                        }
                    });
                } catch (...) {
                    const std::lock_guard<std::mutex> lock(crew.mutex);
                    --crew.working;
                    throw;
                }
            }
        } catch (const std::exception&) {
            // Fewer threads than asked: the work is shared among those that
            // started.
        }
    };

    // The workers start once the triples of every thread's first piece are
    // made (or a good part of them; all of them when they take no longer to
    // make than a thread to start), so that they seldom wait. The caller's
    // own work comes last, while the workers write what they kept.
    constexpr std::size_t kHeadStartLeast = 1 << 10;
    constexpr std::size_t kHeadStartMost = 1 << 14;
    const std::size_t firstPieces = std::min(crew.total, crew.pieceSize * static_cast<std::size_t>(count));
    const std::size_t headStart = std::min({kHeadStartMost, crew.total, std::max(kHeadStartLeast, firstPieces)});
    if (m_makeTriples(crew, stopAsked, headStart, startWorkers) && meanwhile) {
        meanwhile();
    }
    crew.wake();

    work(0);
    // The workers end their pieces; the check is asked meanwhile.
    constexpr std::chrono::milliseconds kWaitBetweenChecks(10);
    const auto done = [&crew] { return crew.working == 0; };
    std::unique_lock<std::mutex> lock(crew.mutex);
    while (!crew.finished.wait_for(lock, kWaitBetweenChecks, done)) {
        if (!interrupted || m_interrupted) {
            crew.finished.wait(lock, done);
            break;
        }
        lock.unlock();
        stopAsked();
        lock.lock();
    }
    return !crew.failed.load();
}

bool VelboDomainSweep::m_makeTriples(Crew& crew, const std::function<bool()>& stopAsked, std::size_t headStart,
                                     const std::function<void()>& startWorkers)
{
    // The check is asked before the first triple and then every so many;
    // the workers hear of new triples every few hundred.
    constexpr std::size_t kTriplesBetweenChecks = 1 << 16;
    constexpr std::size_t kTriplesBetweenNews = 1 << 9;
    // The list grows in a vector of this thread's own, not in the sweep
    // whose other members the workers read for every point; it is the
    // sweep's again however this ends.
    std::vector<VelboSectionForces*> made;
    made.swap(m_made);
    struct PutBack {
        std::vector<VelboSectionForces*>& from;
        std::vector<VelboSectionForces*>& to;
        ~PutBack() { to.swap(from); }
    } putBack{made, m_made};
    const auto startAt = [&](std::size_t k) {
        if (k == headStart) {
            crew.made.store(k);
            startWorkers();
        }
    };
    for (std::size_t k = 0; k < crew.total;) {
        if (k % kTriplesBetweenChecks == 0 && stopAsked()) {
            return false;
        }
        startAt(k);
        // Within the room made for every triple: nothing is thrown.
        made.push_back(new VelboSectionForces());
        ++k;
        if (k % kTriplesBetweenNews == 0) {
            crew.made.store(k);
            if (crew.failed.load(std::memory_order_relaxed)) {
                return false;
            }
        }
    }
    crew.made.store(crew.total);
    startAt(crew.total);
    return true;
}

VelboInteractionPoints* VelboDomainSweep::releasePoints()
{
    if (!m_crew || m_crew->failed.load()
        || m_made.size() != static_cast<std::size_t>(m_points())) {
        return nullptr;
    }
    // The list goes to the set once the set is made: when making it fails,
    // the triples are still the sweep's, which frees them.
    return new VelboInteractionPoints(std::move(m_made), static_cast<unsigned int>(m_pointsPerDirection));
}

bool VelboDomainSweep::m_piece(std::size_t first, std::size_t last, Worker& worker, Crew& crew) const
{
    const std::size_t perDirection = static_cast<std::size_t>(m_pointsPerDirection);
    for (std::size_t k = first; k < last; ++k) {
        const int i = static_cast<int>(k / perDirection);
        const int j = static_cast<int>(k % perDirection);
        if (i != worker.direction) {
            // Turned to the direction, with its ratios: a direction cut
            // between pieces gives the same ones to each.
            worker.direction = -1;
            worker.path = m_evaluator.turnTo(m_angle(i), worker.workspace);
            worker.ratios = m_evaluator.directionRatios(*worker.path, m_angle(i), worker.workspace);
            if (!worker.ratios) {
                return false;
            }
            worker.direction = i;
        }
        if (k >= worker.triplesMade) {
            worker.triplesMade = crew.made.load();
        }
        double point[3];
        if (!m_evaluator.point(*worker.path, worker.ratios->ratio(j), m_angle(i), worker.workspace, point)) {
            return false;
        }
        if (k < worker.triplesMade) {
            // The points kept before it have their triples too.
            if (!m_flush(worker, crew)) {
                return false;
            }
            VelboSectionForces& triple = *crew.slots[k];
            triple.setFz(point[0]);
            triple.setMx(point[1]);
            triple.setMy(point[2]);
            continue;
        }
        // Ahead of the calling thread: kept until its triple is made.
        if (worker.pending.empty()) {
            worker.pendingFirst = k;
        }
        worker.pending.insert(worker.pending.end(), {point[0], point[1], point[2]});
    }
    return m_flush(worker, crew);
}

bool VelboDomainSweep::m_flush(Worker& worker, Crew& crew) const
{
    const std::size_t count = worker.pending.size() / 3;
    if (count == 0) {
        return true;
    }
    const std::size_t end = worker.pendingFirst + count;
    if (worker.triplesMade < end) {
        worker.triplesMade = crew.waitForTriples(end);
        if (worker.triplesMade == 0) {
            return false;
        }
    }
    const double* value = worker.pending.data();
    for (std::size_t k = worker.pendingFirst; k < end; ++k, value += 3) {
        VelboSectionForces& triple = *crew.slots[k];
        triple.setFz(value[0]);
        triple.setMx(value[1]);
        triple.setMy(value[2]);
    }
    worker.pending.clear();
    return true;
}

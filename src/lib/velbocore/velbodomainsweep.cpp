#include "velbocore/velbodomainsweep.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <unordered_map>

#include "coreobj/func1.h"
#include "velbocore/velboareaproperties.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbodirectionratios.h"
#include "velbocore/velbointeractionpoints.h"
#include "velbocore/velbosectionforces.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"
#include "velbocore/velbotriangleintegral.h"

namespace {

// Storage in whole cache lines of its own: the calling thread makes every
// worker's buffers, wherever the allocator finds room for them, and a line
// that held what two threads write would pass between them.
template <typename T>
struct LineAllocator {
    using value_type = T;
    static constexpr std::size_t kLine = 64;

    LineAllocator() = default;
    template <typename U>
    LineAllocator(const LineAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > (std::numeric_limits<std::size_t>::max() - kLine) / sizeof(T)) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(::operator new(m_bytes(n), std::align_val_t(kLine)));
    }
    void deallocate(T* p, std::size_t n) noexcept { ::operator delete(p, m_bytes(n), std::align_val_t(kLine)); }

    static std::size_t m_bytes(std::size_t n) { return (n * sizeof(T) + kLine - 1) / kLine * kLine; }
};
template <typename T, typename U>
bool operator==(const LineAllocator<T>&, const LineAllocator<U>&) noexcept
{
    return true;
}
template <typename T, typename U>
bool operator!=(const LineAllocator<T>&, const LineAllocator<U>&) noexcept
{
    return false;
}
template <typename T>
using LineVector = std::vector<T, LineAllocator<T>>;

// A sound ring has at most six half-edges; the mesh gives a walk up after
// this many steps.
constexpr int kMaxRingSteps = 100;

// One triangle's mesh cut by horizontal rays, in local storage. It takes the
// steps of VelboMesh::remeshWithRays over a fresh mesh of the triangle
// (VelboTriangle::triangleSlice, VelboEdge2D::edgeSlice and edgeFlex,
// triangleRemesh1 and triangleRemesh2, the splicing into the chain), with
// indices for pointers, so that its sub-triangles, their vertex order, their
// chain order and every cut node are those of the mesh.
class ClipMesh {
public:
    // Storage for what a few rays make; it grows, seldom, when more is needed.
    ClipMesh() : m_nodes(64), m_edges(256), m_triangles(64) {}

    // A mesh of the triangle P1 P2 P3: one triangle, edges P1->P2, P2->P3, P3->P1.
    void reset(double x1, double y1, double x2, double y2, double x3, double y3)
    {
        m_nodeCount = 0;
        m_edgeCount = 0;
        m_triangleCount = 0;
        m_newNode(x1, y1);
        m_newNode(x2, y2);
        m_newNode(x3, y3);
        const int t = m_newTriangle();
        for (int k = 0; k < 3; ++k) {
            m_triangles[t].edge[k] = m_newEdge(k, (k + 1) % 3, false);
        }
        m_adoptRing(t, false);
        m_first = t;
        m_last = t;
    }

    // The horizontal ray y = c over every triangle of the chain; false where
    // the mesh's slicing fails.
    bool slice(double c)
    {
        int t = m_first;
        while (t >= 0) {
            const int following = m_triangles[t].next;
            if (!m_intersected(t, c)) {
                t = following;
                continue;
            }
            int nbEdges = 0;
            m_slice(t, c, &nbEdges);
            int made = -1;
            if (nbEdges == 4) {
                made = m_remesh2(t);
            } else if (nbEdges == 2) {
                made = m_remesh1(t);
            }
            if (made < 0) {
                return false;
            }
            int madeLast = made;
            while (m_triangles[madeLast].next >= 0) {
                madeLast = m_triangles[madeLast].next;
            }
            const int before = m_triangles[t].before;
            m_triangles[made].before = before;
            if (before >= 0) {
                m_triangles[before].next = made;
            } else {
                m_first = made;
            }
            m_triangles[madeLast].next = following;
            if (following >= 0) {
                m_triangles[following].before = madeLast;
            } else {
                m_last = madeLast;
            }
            t = following;
        }
        return true;
    }

    int first() const { return m_first; }
    int next(int t) const { return m_triangles[t].next; }
    // Vertex k (0, 1, 2: P1, P2, P3) of triangle t: the start of its edge k.
    double x(int t, int k) const { return m_nodes[m_edges[m_triangles[t].edge[k]].start].x; }
    double y(int t, int k) const { return m_nodes[m_edges[m_triangles[t].edge[k]].start].y; }

private:
    struct Node {
        double x, y;
    };
    struct Edge {
        int start, end, twin, next, before, parent;
        bool sliced;
    };
    struct Triangle {
        int edge[3];
        int firstEdge, next, before;
    };

    template <typename T>
    static int m_take(LineVector<T>& storage, int& count)
    {
        if (count == static_cast<int>(storage.size())) {
            storage.resize(storage.size() * 2);
        }
        return count++;
    }

    int m_newNode(double x, double y)
    {
        const int n = m_take(m_nodes, m_nodeCount);
        m_nodes[n].x = x;
        m_nodes[n].y = y;
        return n;
    }

    int m_newEdge(int start, int end, bool sliced)
    {
        const int e = m_take(m_edges, m_edgeCount);
        Edge& edge = m_edges[e];
        edge.start = start;
        edge.end = end;
        edge.twin = -1;
        edge.next = -1;
        edge.before = -1;
        edge.parent = e;
        edge.sliced = sliced;
        return e;
    }

    int m_newTriangle()
    {
        const int t = m_take(m_triangles, m_triangleCount);
        Triangle& tri = m_triangles[t];
        tri.edge[0] = tri.edge[1] = tri.edge[2] = -1;
        tri.firstEdge = tri.next = tri.before = -1;
        return t;
    }

    bool m_intersected(int t, double c) const
    {
        const double y1 = y(t, 0);
        const double y2 = y(t, 1);
        const double y3 = y(t, 2);
        return std::min({y1, y2, y3}) < c && c < std::max({y1, y2, y3});
    }

    // edgeFlex: e ends at the node, a new sliced half-edge node -> old end follows it.
    void m_flex(int e, int node)
    {
        const int second = m_newEdge(node, m_edges[e].end, true);
        Edge& edge = m_edges[e];
        Edge& half = m_edges[second];
        edge.end = node;
        half.next = edge.next;
        half.before = e;
        edge.next = second;
        edge.sliced = true;
        half.parent = edge.parent;
    }

    // edgeSlice with a horizontal ray: the new node, or -1 when e is not crossed.
    int m_edgeSlice(int e, double c)
    {
        const Node& a = m_nodes[m_edges[e].start];
        const Node& b = m_nodes[m_edges[e].end];
        const double x1 = a.x;
        const double y1 = a.y;
        const double x2 = b.x;
        const double y2 = b.y;
        if (y1 == y2 || !(std::min(y1, y2) < c && c < std::max(y1, y2))) {
            return -1;
        }
        const int node = m_newNode(x1 + ((x2 - x1) / (y2 - y1)) * (c - y1), c);

        m_flex(e, node);
        const int twin = m_edges[e].twin;
        if (twin < 0) {
            return node;
        }
        m_flex(twin, node);
        // Pair the four pieces crosswise.
        const int thisSecond = m_edges[e].next;
        const int twinSecond = m_edges[twin].next;
        m_edges[e].twin = twinSecond;
        m_edges[twinSecond].twin = e;
        m_edges[thisSecond].twin = twin;
        m_edges[twin].twin = thisSecond;
        return node;
    }

    // triangleSlice: splits the crossed half-edges of the ring, counting the
    // sliced ones (-1 when the ring does not close).
    void m_slice(int t, double c, int* nbEdges)
    {
        const int first = m_triangles[t].firstEdge;
        int edge = first;
        int steps = 0;
        do {
            if (edge < 0 || ++steps > kMaxRingSteps) {
                *nbEdges = -1;
                return;
            }
            if (m_edges[edge].sliced) {
                *nbEdges += 1;
                edge = m_edges[edge].next;
                continue;
            }
            if (m_edgeSlice(edge, c) < 0) {
                edge = m_edges[edge].next;
                continue;
            }
            *nbEdges += 2;
            edge = m_edges[m_edges[edge].next].next;
        } while (edge != first);
    }

    bool m_aligned(int e, int f) const { return f >= 0 && m_edges[e].parent == m_edges[f].parent; }

    int m_flipAndTwin(int e)
    {
        const int twin = m_newEdge(m_edges[e].end, m_edges[e].start, false);
        m_edges[twin].twin = e;
        m_edges[e].twin = twin;
        return twin;
    }

    // setEdgesIncluded(edge1, edge2) on a new triangle with its own edge 3.
    bool m_include(int t, int e1, int e2)
    {
        if (m_edges[e1].end != m_edges[e2].start) {
            return false;
        }
        Triangle& tri = m_triangles[t];
        tri.edge[0] = e1;
        tri.edge[1] = e2;
        if (tri.edge[2] < 0) {
            tri.edge[2] = m_newEdge(-1, -1, false);
        }
        m_edges[tri.edge[2]].start = m_edges[e2].end;
        m_edges[tri.edge[2]].end = m_edges[e1].start;
        return true;
    }

    // setEdgesIncluded(edge1, edge2, edge3).
    bool m_include(int t, int e1, int e2, int e3)
    {
        if (m_edges[e1].end != m_edges[e2].start || m_edges[e2].end != m_edges[e3].start
            || m_edges[e3].end != m_edges[e1].start) {
            return false;
        }
        Triangle& tri = m_triangles[t];
        tri.edge[0] = e1;
        tri.edge[1] = e2;
        tri.edge[2] = e3;
        return true;
    }

    // triangleEdgesReNext, and the sliced flags cleared for a made triangle.
    void m_adoptRing(int t, bool unslice)
    {
        const int e1 = m_triangles[t].edge[0];
        const int e2 = m_triangles[t].edge[1];
        const int e3 = m_triangles[t].edge[2];
        m_edges[e1].next = e2;
        m_edges[e1].before = e3;
        m_edges[e2].next = e3;
        m_edges[e2].before = e1;
        m_edges[e3].next = e1;
        m_edges[e3].before = e2;
        m_triangles[t].firstEdge = e1;
        if (unslice) {
            m_edges[e1].sliced = false;
            m_edges[e2].sliced = false;
            m_edges[e3].sliced = false;
        }
    }

    int m_newWithEdge3()
    {
        const int t = m_newTriangle();
        m_triangles[t].edge[2] = m_newEdge(-1, -1, false);
        return t;
    }

    // triangleRemesh1: ring U -> N -> V -> W -> U, U -> N and N -> V the halves
    // of the split side; makes (N, V, W) and (N, W, U).
    int m_remesh1(int t)
    {
        const int first = m_triangles[t].firstEdge;
        int un = -1;
        int edge = first;
        int steps = 0;
        do {
            if (edge < 0 || m_edges[edge].next < 0 || ++steps > kMaxRingSteps) {
                return -1;
            }
            if (m_aligned(edge, m_edges[edge].next)) {
                un = edge;
                break;
            }
            edge = m_edges[edge].next;
        } while (edge != first);
        if (un < 0) {
            return -1;
        }
        const int nv = m_edges[un].next;
        const int vw = m_edges[nv].next;
        const int wu = m_edges[un].before;
        if (vw < 0 || wu < 0 || m_edges[vw].next != wu || m_edges[wu].next != un
            || m_edges[nv].end != m_edges[vw].start || m_edges[vw].end != m_edges[wu].start
            || m_edges[wu].end != m_edges[un].start || m_edges[un].end != m_edges[nv].start) {
            return -1;
        }
        const int t1 = m_newWithEdge3();
        m_include(t1, nv, vw);
        const int t2 = m_newTriangle();
        m_include(t2, m_flipAndTwin(m_triangles[t1].edge[2]), wu, un);
        m_adoptRing(t1, true);
        m_adoptRing(t2, true);
        m_triangles[t1].next = t2;
        m_triangles[t2].before = t1;
        return t1;
    }

    // triangleRemesh2: ring U -> N1 -> L -> N2 -> W -> U, L alone on its side;
    // makes (N1, L, N2), (N1, N2, W) and (N1, W, U).
    int m_remesh2(int t)
    {
        const int first = m_triangles[t].firstEdge;
        int aligned[2] = {-1, -1};
        int found = 0;
        int edge = first;
        int steps = 0;
        do {
            if (edge < 0 || m_edges[edge].next < 0 || ++steps > kMaxRingSteps) {
                return -1;
            }
            if (m_aligned(edge, m_edges[edge].next)) {
                aligned[found++] = edge;
            }
            edge = m_edges[edge].next;
        } while (edge != first && found < 2);
        if (found < 2) {
            return -1;
        }
        if (m_edges[m_edges[aligned[0]].next].end != m_edges[aligned[1]].start) {
            std::swap(aligned[0], aligned[1]);
        }
        const int un1 = aligned[0];
        const int n1l = m_edges[un1].next;
        const int ln2 = aligned[1];
        const int n2w = m_edges[ln2].next;
        const int wu = n2w < 0 ? -1 : m_edges[n2w].next;
        if (n2w < 0 || m_edges[n1l].next != ln2 || wu < 0 || m_edges[wu].next != un1
            || m_edges[un1].end != m_edges[n1l].start || m_edges[n1l].end != m_edges[ln2].start
            || m_edges[ln2].end != m_edges[n2w].start || m_edges[n2w].end != m_edges[wu].start
            || m_edges[wu].end != m_edges[un1].start) {
            return -1;
        }
        const int t1 = m_newWithEdge3();
        m_include(t1, n1l, ln2);
        const int t2 = m_newWithEdge3();
        m_include(t2, m_flipAndTwin(m_triangles[t1].edge[2]), n2w);
        const int t3 = m_newTriangle();
        m_include(t3, m_flipAndTwin(m_triangles[t2].edge[2]), wu, un1);
        for (const int made : {t1, t2, t3}) {
            m_adoptRing(made, true);
        }
        m_triangles[t1].next = t2;
        m_triangles[t2].before = t1;
        m_triangles[t2].next = t3;
        m_triangles[t3].before = t2;
        return t1;
    }

    LineVector<Node> m_nodes;
    LineVector<Edge> m_edges;
    LineVector<Triangle> m_triangles;
    int m_nodeCount = 0;
    int m_edgeCount = 0;
    int m_triangleCount = 0;
    int m_first = -1;
    int m_last = -1;
};

// What ClipMesh makes of a fresh triangle P1 P2 P3 (p: x1, y1, x2, y2, x3,
// y3) that one ray y = c crosses, without the half-edges: the crossed sides
// Pk -> Pk+1 are cut from their start, as edgeSlice cuts them; one crossed
// side U -> V, opposite W, gives (N, V, W), (N, W, U) (triangleRemesh1); two,
// meeting at the lone vertex L, with U -> L and L -> W cut at N1 and N2,
// give (N1, L, N2), (N1, N2, W), (N1, W, U) (triangleRemesh2). Writes the
// sub-triangles in chain order and returns their number, 0 when the ray
// does not cross the triangle.
int cutOnce(const double (&p)[6], double c, double (*out)[6])
{
    bool crossed[3];
    double nx[3] = {0.0, 0.0, 0.0};
    int count = 0;
    for (int k = 0; k < 3; ++k) {
        const int e = (k + 1) % 3;
        const double x1 = p[2 * k], y1 = p[2 * k + 1];
        const double x2 = p[2 * e], y2 = p[2 * e + 1];
        crossed[k] = y1 != y2 && std::min(y1, y2) < c && c < std::max(y1, y2);
        if (crossed[k]) {
            nx[k] = x1 + ((x2 - x1) / (y2 - y1)) * (c - y1);
            ++count;
        }
    }
    const auto put = [&out](int t, double xa, double ya, double xb, double yb, double xc, double yc) {
        out[t][0] = xa;
        out[t][1] = ya;
        out[t][2] = xb;
        out[t][3] = yb;
        out[t][4] = xc;
        out[t][5] = yc;
    };
    if (count == 1) {
        for (int k = 0; k < 3; ++k) {
            if (crossed[k]) {
                const int v = (k + 1) % 3, w = (k + 2) % 3;
                put(0, nx[k], c, p[2 * v], p[2 * v + 1], p[2 * w], p[2 * w + 1]);
                put(1, nx[k], c, p[2 * w], p[2 * w + 1], p[2 * k], p[2 * k + 1]);
                return 2;
            }
        }
    }
    if (count == 2) {
        for (int k = 0; k < 3; ++k) {
            const int l = (k + 1) % 3, w = (k + 2) % 3;
            if (crossed[k] && crossed[l]) {
                put(0, nx[k], c, p[2 * l], p[2 * l + 1], nx[l], c);
                put(1, nx[k], c, nx[l], c, p[2 * w], p[2 * w + 1]);
                put(2, nx[k], c, p[2 * w], p[2 * w + 1], p[2 * k], p[2 * k + 1]);
                return 3;
            }
        }
    }
    return 0;
}

// What ClipMesh makes of a fresh triangle P1 P2 P3 that two rays y = c1,
// then y = c2, cross: the sub-triangles of the first cut (cutOnce), each cut
// in chain order by the second ray as the mesh cuts it. The sides between
// two of them are shared half-edges: the first of the two to be cut makes
// the cut node, from its own side's start, and the other takes it. Writes
// the sub-triangles in chain order and returns their number, or -1 where
// the mesh would not cut as cutOnce does (a ray that crosses no side or
// all three), left to ClipMesh.
int cutTwice(const double (&p)[6], double c1, double c2, double (*out)[6])
{
    double first[3][6];
    const int made = cutOnce(p, c1, first);
    if (made == 0) {
        return -1;
    }
    // The shared sides: edge 2 of sub-triangle t is edge 0 of t + 1.
    bool pending[3] = {false, false, false};
    double pendingX[3] = {0.0, 0.0, 0.0};
    int count = 0;
    for (int t = 0; t < made; ++t) {
        const double(&v)[6] = first[t];
        if (!(std::min({v[1], v[3], v[5]}) < c2 && c2 < std::max({v[1], v[3], v[5]}))) {
            std::copy(v, v + 6, out[count++]);
            continue;
        }
        bool crossed[3] = {false, false, false};
        double nx[3] = {0.0, 0.0, 0.0};
        int sides = 0;
        for (int k = 0; k < 3; ++k) {
            const int e = (k + 1) % 3;
            if (k == 0 && pending[t]) {
                crossed[k] = true;
                nx[k] = pendingX[t];
            } else {
                const double x1 = v[2 * k], y1 = v[2 * k + 1];
                const double x2 = v[2 * e], y2 = v[2 * e + 1];
                crossed[k] = y1 != y2 && std::min(y1, y2) < c2 && c2 < std::max(y1, y2);
                if (crossed[k]) {
                    nx[k] = x1 + ((x2 - x1) / (y2 - y1)) * (c2 - y1);
                    if (k == 2 && t + 1 < made) {
                        pending[t + 1] = true;
                        pendingX[t + 1] = nx[k];
                    }
                }
            }
            sides += crossed[k] ? 1 : 0;
        }
        const auto put = [&out, &count](double xa, double ya, double xb, double yb, double xc, double yc) {
            double* o = out[count++];
            o[0] = xa;
            o[1] = ya;
            o[2] = xb;
            o[3] = yb;
            o[4] = xc;
            o[5] = yc;
        };
        bool cut = false;
        for (int k = 0; k < 3 && !cut; ++k) {
            const int l = (k + 1) % 3, w = (k + 2) % 3;
            if (sides == 1 && crossed[k]) {
                put(nx[k], c2, v[2 * l], v[2 * l + 1], v[2 * w], v[2 * w + 1]);
                put(nx[k], c2, v[2 * w], v[2 * w + 1], v[2 * k], v[2 * k + 1]);
                cut = true;
            } else if (sides == 2 && crossed[k] && crossed[l]) {
                put(nx[k], c2, v[2 * l], v[2 * l + 1], nx[l], c2);
                put(nx[k], c2, nx[l], c2, v[2 * w], v[2 * w + 1]);
                put(nx[k], c2, v[2 * w], v[2 * w + 1], v[2 * k], v[2 * k + 1]);
                cut = true;
            }
        }
        if (!cut) {
            return -1;
        }
    }
    return count;
}

}  // namespace

// Forces summed from zero.
struct VelboDomainSweep::Sum {
    double fz = 0.0;
    double mx = 0.0;
    double my = 0.0;
};

// An entry of the model's element list: a triangle or a circle of the sweep.
struct VelboDomainSweep::Element {
    bool triangle;
    int index;
};

struct VelboDomainSweep::Triangle {
    int node[3];
    int law;
};

struct VelboDomainSweep::Circle {
    int node;
    double area;
    const VelboCostitutiveLaw* law;
};

// The pieces of a triangle law as quadratics in the strain, between its
// internal limits, as VelboTriangle reads them.
struct VelboDomainSweep::LawTable {
    const VelboCostitutiveLaw* law;
    std::vector<double> limits;
    std::vector<double> pieces;  // alpha, beta, gamma of piece i at 3i
    std::size_t offset;          // of its pieces' coefficients in a worker's stress table

    // The piece of the strain: the first limit strictly above it (a strain on
    // a limit belongs to the piece on its right, NaN to the last piece).
    int pieceOf(double strain) const
    {
        const int n = static_cast<int>(limits.size());
        int i = 0;
        while (i < n && !(strain < limits[i])) {
            ++i;
        }
        return i;
    }
};

// What one thread works with: its own geometry of the current direction and
// every buffer of the loop, sized once; cache lines of its own.
class alignas(64) VelboDomainSweep::Worker {
public:
    // piecePoints: the most points of a piece of work.
    Worker(const VelboDomainSweep& sweep, int piecePoints)
        : x(sweep.m_nodeX.size()),
          y(sweep.m_nodeY.size()),
          triangles(sweep.m_triangles.size())
    {
        pending.reserve(3 * static_cast<std::size_t>(piecePoints));
        rays.reserve(sweep.m_sliceStrains.size());
        std::size_t pieces = 0;
        for (const LawTable& law : sweep.m_laws) {
            pieces += law.pieces.size();
        }
        stress.resize(pieces);
    }

    // A triangle in the geometry of the current direction.
    struct TurnedTriangle {
        double yTop, yBot, yG;
        VelboAreaProperties moments;
    };

    LineVector<double> x;
    LineVector<double> y;
    LineVector<TurnedTriangle> triangles;
    LineVector<double> rays;
    // a, b, c of sigma(y) for every piece of every law, under the current plane.
    LineVector<double> stress;
    ClipMesh clip;
    // Made by the thread that starts the run, so that the forces' live-instance
    // counter only changes on that thread.
    VelboSectionForces* forces = nullptr;
    // The triples this worker knows to be made.
    std::size_t triplesMade = 0;
    // Fz, Mx, My of the points made before their triples, slots pendingFirst on.
    LineVector<double> pending;
    std::size_t pendingFirst = 0;
};

VelboDomainSweep::VelboDomainSweep(VelboSectionModel& model, const VelboStrainPath::Limits& limits,
                                   const VelboCostitutiveLaw& sliceLaw, const VelboNode2D& momentPoint,
                                   const VelboBilinear* skipBarLaw, int degreeDivision, int ratioDivision)
    : m_limits(limits),
      m_skipBarLaw(skipBarLaw),
      m_degreeDivision(degreeDivision),
      m_ratioDivision(ratioDivision),
      m_pointsPerDirection(skipBarLaw ? ratioDivision + 2 : ratioDivision + 1),
      m_directions(4 * degreeDivision + 1),
      m_momentX(momentPoint.xn()),
      m_momentY(momentPoint.yn()),
      m_prepared(false),
      m_interrupted(false),
      m_smallCoordinates(false)
{
    m_prepared = degreeDivision >= 1 && ratioDivision >= 1 && m_prepare(model, sliceLaw);
}

VelboDomainSweep::~VelboDomainSweep()
{
    // The workers first: they may still write into the triples.
    m_crew.reset();
    for (VelboSectionForces* point : m_made) {
        delete point;
    }
}

bool VelboDomainSweep::m_prepare(VelboSectionModel& model, const VelboCostitutiveLaw& sliceLaw)
{
    // The nodes the model turns: each once.
    std::unordered_map<const VelboNode2D*, int> listed;
    for (const VelboNode2D* node : model.sectionNodes()) {
        if (!node || !listed.emplace(node, 0).second) {
            return false;
        }
    }

    std::unordered_map<const VelboNode2D*, int> index;
    std::vector<const VelboNode2D*> used;
    const auto nodeIndex = [&](const VelboNode2D* node) {
        const auto found = index.emplace(node, static_cast<int>(used.size()));
        if (found.second) {
            used.push_back(node);
        }
        return found.first->second;
    };

    // The solid elements are the triangles, the others the circles; each is
    // listed once (one listed twice would get two meshes), and the model's
    // lists of solid and point elements hold the same ones.
    int solid = 0;
    int point = 0;
    std::unordered_map<const VelboSectionElement*, int> seen;
    for (const VelboSectionElement* element : model.sectionElements()) {
        const VelboCostitutiveLaw* law = element ? element->getCostitutiveLaw() : nullptr;
        if (!law || !seen.emplace(element, 0).second) {
            return false;
        }
        if (element->elementIsSolid()) {
            const VelboTriangle* t = dynamic_cast<const VelboTriangle*>(element);
            if (!t || !t->P1() || !t->P2() || !t->P3()) {
                return false;
            }
            const int table = m_lawTable(law);
            if (table < 0) {
                return false;
            }
            m_elements.push_back({true, static_cast<int>(m_triangles.size())});
            m_triangles.push_back({{nodeIndex(t->P1()), nodeIndex(t->P2()), nodeIndex(t->P3())}, table});
            ++solid;
        } else {
            const VelboCircle* c = dynamic_cast<const VelboCircle*>(element);
            if (!c || !c->center()) {
                return false;
            }
            m_elements.push_back({false, static_cast<int>(m_circles.size())});
            m_circles.push_back({nodeIndex(c->center()), c->elementCalcArea(), law});
            ++point;
        }
    }
    if (solid == 0 || point == 0 || solid != model.sectionSolidElementsSize()
        || point != model.sectionPointElementsSize()) {
        return false;
    }
    m_sliceStrains = sliceLaw.lawLimits();
    // The law the strain path takes for the bars: the last bar's.
    m_barLimits = m_circles.back().law->getInternalLimits();

    // Every turn starts from the saved geometry, about its concrete barycentre.
    model.sectionRestoreGeometry();
    m_turnBase = model.sectionCalcSolidBarycenter();
    // Turned about the base, a node stays as far from it.
    const double baseSize = std::hypot(m_turnBase.xn(), m_turnBase.yn());
    double reach = 0.0;
    for (const VelboNode2D* node : used) {
        m_nodeX.push_back(node->xn());
        m_nodeY.push_back(node->yn());
        m_nodeTurns.push_back(listed.count(node) ? 1 : 0);
        reach = std::max(reach, baseSize + 2.0 * std::hypot(node->xn() - m_turnBase.xn(), node->yn() - m_turnBase.yn()));
    }
    // Moments of area hold up to the fifth power of a coordinate: far below
    // the largest double.
    constexpr double kSmallCoordinate = 1e50;
    m_smallCoordinates = std::isfinite(baseSize) && reach < kSmallCoordinate;
    return true;
}

int VelboDomainSweep::m_lawTable(const VelboCostitutiveLaw* law)
{
    for (std::size_t i = 0; i < m_laws.size(); ++i) {
        if (m_laws[i].law == law) {
            return static_cast<int>(i);
        }
    }
    LawTable table{law, law->getInternalLimits(), {}, 0};
    // The pieces as VelboTriangle reads them; a missing piece or one it cannot
    // read is left to the model path.
    try {
        for (std::size_t i = 0; i <= table.limits.size(); ++i) {
            const Func1* piece = law->getFuncAt(static_cast<int>(i));
            double a = 0.0;
            double b = 0.0;
            double c = 0.0;
            if (!piece || VelboTriangle::pieceCoefficients(piece, &a, &b, &c) != Func1::FUNC1_ERR_OK) {
                return -1;
            }
            table.pieces.insert(table.pieces.end(), {a, b, c});
        }
    } catch (const std::out_of_range&) {
        return -1;
    }
    if (!m_laws.empty()) {
        table.offset = m_laws.back().offset + m_laws.back().pieces.size();
    }
    m_laws.push_back(std::move(table));
    return static_cast<int>(m_laws.size()) - 1;
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

double VelboDomainSweep::m_pointWork() const
{
    // Besides its elements a point costs about as much as this many
    // triangles: its strain plane, rays and law tables.
    constexpr double kPointOverhead = 32.0;
    return static_cast<double>(m_triangles.size()) + static_cast<double>(m_circles.size()) + kPointOverhead;
}

double VelboDomainSweep::work() const
{
    return m_pointWork() * m_directions * m_pointsPerDirection;
}

int VelboDomainSweep::threads() const
{
    const int setting = m_threadsSetting();
    return setting > 0 ? setting : threadsForWork(work(), m_cores());
}

// The threads of a run and what they share. It outlives the run: the threads
// are joined when it goes, with the sweep, so that the caller can hand out
// the points while they end.
struct VelboDomainSweep::Crew {
    // A piece of work: steps first .. last - 1 of a direction.
    struct Unit {
        int direction, first, last;
    };
    // The forces a worker turns its points with, a cache line each.
    struct alignas(64) Forces {
        VelboSectionForces forces;
    };

    std::vector<Unit> units;
    std::vector<Forces> forces;
    std::vector<std::unique_ptr<Worker>> workers;
    std::atomic<std::size_t> nextUnit{0};
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

bool VelboDomainSweep::run(int threads, const std::function<void()>& meanwhile,
                           const std::function<bool()>& interrupted)
{
    if (!m_prepared || m_crew) {
        return false;
    }
    const int count = std::max(1, std::min(threads, m_directions));
    m_crew.reset(new Crew());
    Crew& crew = *m_crew;
    // When the work of this thread throws, the workers stop early; the crew
    // joins them as the sweep goes. Made first: the count of exceptions it
    // takes is what this thread needs to throw one, which then cannot fail
    // for want of memory once memory runs out.
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

    // The pieces of work, taken in order: whole directions, but the last ones
    // cut in parts, so that the threads finish together, and every one cut
    // in pieces of about ten milliseconds at most, so that the calling
    // thread asks the interruption check often enough.
    constexpr double kPieceWork = 1 << 20;
    const int piecePoints = static_cast<int>(std::max(1.0, std::min(static_cast<double>(m_pointsPerDirection),
                                                                    kPieceWork / m_pointWork())));
    const int pieces = (m_pointsPerDirection + piecePoints - 1) / piecePoints;
    const int tail = count > 1 ? count : 0;
    const int tailPieces = std::max(pieces, std::min(4, m_pointsPerDirection));
    crew.units.reserve(static_cast<std::size_t>(m_directions) * pieces + static_cast<std::size_t>(tail) * tailPieces);
    for (int i = 0; i < m_directions; ++i) {
        const int parts = i < m_directions - tail ? pieces : tailPieces;
        for (int part = 0; part < parts; ++part) {
            crew.units.push_back(
                {i, static_cast<int>(static_cast<long long>(m_pointsPerDirection) * part / parts),
                 static_cast<int>(static_cast<long long>(m_pointsPerDirection) * (part + 1) / parts)});
        }
    }
    // Made on this thread, so that the forces' live-instance counter only
    // changes here.
    crew.forces = std::vector<Crew::Forces>(static_cast<std::size_t>(count));
    // So are the workers' buffers: a worker thread allocates nothing, and so
    // takes no memory of its own from the allocator while the triples are
    // made, which matters where the address space is capped.
    int longestPiece = 0;
    for (const Crew::Unit& unit : crew.units) {
        longestPiece = std::max(longestPiece, unit.last - unit.first);
    }
    crew.workers.reserve(static_cast<std::size_t>(count));
    for (int w = 0; w < count; ++w) {
        crew.workers.emplace_back(new Worker(*this, longestPiece));
        crew.workers.back()->forces = &crew.forces[static_cast<std::size_t>(w)].forces;
    }
    // Room for every triple, so that the list never moves while the workers
    // read it.
    crew.total = static_cast<std::size_t>(m_directions) * m_pointsPerDirection;
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
                const std::size_t u = crew.nextUnit.fetch_add(1, std::memory_order_relaxed);
                if (u >= crew.units.size()) {
                    return;
                }
                const Crew::Unit& unit = crew.units[u];
                if (!m_direction(unit.direction, unit.first, unit.last, worker, crew)) {
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

    // The triples the points are written into, with two stops. The workers
    // start once the triples of every thread's first piece are made (or a
    // good part of them; all of them when they take no longer to make than
    // a thread to start), so that they seldom wait. The caller's own work
    // comes last, while the workers write what they kept.
    constexpr std::size_t kHeadStartLeast = 1 << 10;
    constexpr std::size_t kHeadStartMost = 1 << 14;
    const Crew::Unit& lastFirst = crew.units[std::min(crew.units.size(), static_cast<std::size_t>(count)) - 1];
    const std::size_t firstPieces = static_cast<std::size_t>(lastFirst.direction) * m_pointsPerDirection + lastFirst.last;
    const std::size_t headStart = std::min({kHeadStartMost, crew.total, std::max(kHeadStartLeast, firstPieces)});
    const std::array<Stop, 2> stops{{{headStart, startWorkers},
                                     {crew.total, meanwhile}}};
    m_makeTriples(crew, stopAsked, stops);
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

bool VelboDomainSweep::m_makeTriples(Crew& crew, const std::function<bool()>& stopAsked,
                                     const std::array<Stop, 2>& stops)
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
    std::size_t k = 0;
    // The stops due at k, in order, once the workers know of what is made.
    const auto stopAt = [&crew, &stops, &k] {
        for (const Stop& stop : stops) {
            if (stop.at == k && stop.what) {
                crew.made.store(k);
                stop.what();
            }
        }
    };
    for (int i = 0; i < m_directions; ++i) {
        if (crew.failed.load(std::memory_order_relaxed)) {
            return false;
        }
        for (int j = 0; j < m_pointsPerDirection; ++j) {
            if (k % kTriplesBetweenChecks == 0 && stopAsked()) {
                return false;
            }
            stopAt();
            VelboSectionForces* const triple = new VelboSectionForces();
            // Within the room made for every triple: nothing is thrown.
            made.push_back(triple);
            ++k;
            if (k % kTriplesBetweenNews == 0) {
                crew.made.store(k);
                if (crew.failed.load(std::memory_order_relaxed)) {
                    return false;
                }
            }
        }
    }
    crew.made.store(k);
    stopAt();
    return true;
}

VelboInteractionPoints* VelboDomainSweep::releasePoints()
{
    if (!m_crew || m_crew->failed.load()
        || m_made.size() != static_cast<std::size_t>(m_directions) * m_pointsPerDirection) {
        return nullptr;
    }
    // The list goes to the set once the set is made: when making it fails,
    // the triples are still the sweep's, which frees them.
    return new VelboInteractionPoints(std::move(m_made), static_cast<unsigned int>(m_pointsPerDirection));
}

VelboStrainPath VelboDomainSweep::m_turnTo(int i, Worker& w) const
{
    m_turnNodes(m_angle(i), w);
    m_turnTriangles(w);
    return VelboStrainPath(m_limits, m_ranges(w));
}

bool VelboDomainSweep::m_direction(int i, int first, int last, Worker& w, Crew& crew) const
{
    const double angle = m_angle(i);
    const VelboStrainPath path = m_turnTo(i, w);
    if (VelboStrainPath::span(path.ranges()) != VelboStrainPath::SPAN_POSITIVE) {
        return false;
    }
    VelboDirectionRatios ratios(path, m_skipBarLaw, m_ratioDivision);
    if (ratios.spread()) {
        ratios.setBarLimits(m_barLimits.data(), m_barLimits.size());
        for (const Circle& c : m_circles) {
            ratios.addBar(w.y[c.node] - path.ranges().clsTop, c.area);
        }
    }
    const auto pointAt = [&](double ratio, double* point) {
        // setDefRatio refuses a ratio outside [0, 1] and keeps the one
        // before: such a direction is left to the model path.
        return ratio >= 0.0 && ratio <= 1.0 && m_point(path, ratio, angle, w, point);
    };
    if (!ratios.takePilot(pointAt)) {
        return false;
    }
    std::size_t k = static_cast<std::size_t>(i) * m_pointsPerDirection + first;
    for (int j = first; j < last; ++j, ++k) {
        if (k >= w.triplesMade) {
            w.triplesMade = crew.made.load();
        }
        double point[3];
        if (!pointAt(ratios.ratio(j), point)) {
            return false;
        }
        if (k < w.triplesMade) {
            // The points kept before it have their triples too.
            if (!m_flush(w, crew)) {
                return false;
            }
            VelboSectionForces& triple = *crew.slots[k];
            triple.setFz(point[0]);
            triple.setMx(point[1]);
            triple.setMy(point[2]);
            continue;
        }
        // Ahead of the calling thread: kept until its triple is made.
        if (w.pending.empty()) {
            w.pendingFirst = k;
        }
        w.pending.insert(w.pending.end(), {point[0], point[1], point[2]});
    }
    return m_flush(w, crew);
}

bool VelboDomainSweep::m_flush(Worker& w, Crew& crew) const
{
    const std::size_t count = w.pending.size() / 3;
    if (count == 0) {
        return true;
    }
    const std::size_t end = w.pendingFirst + count;
    if (w.triplesMade < end) {
        w.triplesMade = crew.waitForTriples(end);
        if (w.triplesMade == 0) {
            return false;
        }
    }
    const double* value = w.pending.data();
    for (std::size_t k = w.pendingFirst; k < end; ++k, value += 3) {
        VelboSectionForces& triple = *crew.slots[k];
        triple.setFz(value[0]);
        triple.setMx(value[1]);
        triple.setMy(value[2]);
    }
    w.pending.clear();
    return true;
}

void VelboDomainSweep::m_turnNodes(double angle, Worker& w) const
{
    // setAngle: saved coordinates, turned about the saved barycentre.
    for (std::size_t k = 0; k < m_nodeX.size(); ++k) {
        if (m_nodeTurns[k]) {
            VelboNode2D node(m_nodeX[k], m_nodeY[k]);
            node.nodeRotate(angle, m_turnBase);
            w.x[k] = node.xn();
            w.y[k] = node.yn();
        } else {
            w.x[k] = m_nodeX[k];
            w.y[k] = m_nodeY[k];
        }
    }
}

void VelboDomainSweep::m_turnTriangles(Worker& w) const
{
    // The mesh of every triangle starts as a copy of it: its moments in this
    // direction serve every point that does not cut it, its extents and
    // barycentre the ranges.
    for (std::size_t t = 0; t < m_triangles.size(); ++t) {
        const int* n = m_triangles[t].node;
        const double x1 = w.x[n[0]], y1 = w.y[n[0]];
        const double x2 = w.x[n[1]], y2 = w.y[n[1]];
        const double x3 = w.x[n[2]], y3 = w.y[n[2]];
        Worker::TurnedTriangle& turned = w.triangles[t];
        turned.yTop = std::min({y1, y2, y3});
        turned.yBot = std::max({y1, y2, y3});
        turned.yG = (y1 + y2 + y3) / 3;
        turned.moments = VelboTriangleIntegral::areaProperties(x1, y1, x2, y2, x3, y3);
    }
}

VelboStrainPath::Ranges VelboDomainSweep::m_ranges(const Worker& w) const
{
    // As sectionCalcSolidYRange and sectionCalcPointYRange take them: from
    // the barycentre, widened by every element of the kind in list order.
    double solidY = 0.0;
    double solidWeight = 0.0;
    double pointY = 0.0;
    double pointWeight = 0.0;
    for (const Element& e : m_elements) {
        if (e.triangle) {
            const Worker::TurnedTriangle& turned = w.triangles[static_cast<std::size_t>(e.index)];
            // The area elementCalcArea gives: the same cross product, halved.
            const double weight = turned.moments.area();
            solidY += turned.yG * weight;
            solidWeight += weight;
        } else {
            pointY += w.y[m_circles[static_cast<std::size_t>(e.index)].node] * 1.0;
            pointWeight += 1.0;
        }
    }
    VelboStrainPath::Ranges r{};
    r.clsTop = r.clsBottom = solidY / solidWeight;
    r.barTop = r.barBottom = pointY / pointWeight;
    for (const Element& e : m_elements) {
        if (e.triangle) {
            const Worker::TurnedTriangle& turned = w.triangles[static_cast<std::size_t>(e.index)];
            if (r.clsTop > turned.yTop) r.clsTop = turned.yTop;
            if (r.clsBottom < turned.yBot) r.clsBottom = turned.yBot;
        } else {
            const double yc = w.y[m_circles[static_cast<std::size_t>(e.index)].node];
            if (r.barTop > yc) r.barTop = yc;
            if (r.barBottom < yc) r.barBottom = yc;
        }
    }
    return r;
}

bool VelboDomainSweep::m_point(const VelboStrainPath& path, double ratio, double angle, Worker& w,
                               double* out) const
{
    const double yTop = path.ranges().clsTop;
    const double yBot = path.ranges().barBottom;
    double xTop = 0.0;
    double xBot = 0.0;
    path.plane(ratio, &xTop, &xBot);

    // deformationLaw: eps(y) = g*y + e0.
    const double g = (xBot - xTop) / (yBot - yTop);
    const double e0 = xTop - yTop * g;

    // ordinateFrom of each limit of the concrete law; a uniform strain
    // slices nothing.
    w.rays.clear();
    if (xTop != xBot) {
        if (m_sliceStrains.empty()) {
            // The meshes refuse a slicing without rays.
            return false;
        }
        const double slope = (yTop - yBot) / (xTop - xBot);
        for (const double strain : m_sliceStrains) {
            w.rays.push_back(yTop + (strain - xTop) * slope);
        }
    }

    // sigma(y) of every law piece under this plane.
    for (const LawTable& law : m_laws) {
        double* k = &w.stress[law.offset];
        for (std::size_t p = 0; p < law.pieces.size(); p += 3) {
            VelboTriangleIntegral::stressInY(law.pieces[p], law.pieces[p + 1], law.pieces[p + 2], g, e0, &k[p],
                                             &k[p + 1], &k[p + 2]);
        }
    }

    Sum sum;
    if (!m_forces(g, e0, w, sum)) {
        return false;
    }

    VelboSectionForces& point = *w.forces;
    point.setFz(sum.fz);
    point.setMx(sum.mx);
    point.setMy(sum.my);
    point.translate(m_momentX, m_momentY);
    point.rotate(angle);
    if (!std::isfinite(point.fz()) || !std::isfinite(point.mx()) || !std::isfinite(point.my())) {
        return false;
    }
    out[0] = point.fz();
    out[1] = point.mx();
    out[2] = point.my();
    return true;
}

bool VelboDomainSweep::m_forces(double g, double e0, Worker& w, Sum& sum) const
{
    // The elements in list order.
    double fz = 0.0;
    double mx = 0.0;
    double my = 0.0;
    for (const Element& e : m_elements) {
        if (!e.triangle) {
            const Circle& c = m_circles[static_cast<std::size_t>(e.index)];
            const double xc = w.x[c.node];
            const double yc = w.y[c.node];
            const double stress = c.law->valueFx((g * yc) + e0, nullptr);
            fz += stress * c.area;
            mx += stress * c.area * yc;
            my += stress * c.area * xc;
            continue;
        }
        const Triangle& t = m_triangles[static_cast<std::size_t>(e.index)];
        const Worker::TurnedTriangle& turned = w.triangles[static_cast<std::size_t>(e.index)];
        const LawTable& law = m_laws[static_cast<std::size_t>(t.law)];
        const double* stress = &w.stress[law.offset];
        // The element's forces: the sum of its mesh triangles from zero.
        double meshFz = 0.0;
        double meshMx = 0.0;
        double meshMy = 0.0;
        const auto addSubTriangle = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
            const double* k = stress + 3 * law.pieceOf((g * ((y1 + y2 + y3) / 3)) + e0);
            if (m_smallCoordinates && k[0] == 0.0 && k[1] == 0.0) {
                // A stress that does not change with y: with moments that
                // cannot overflow, the terms of y and y^2 add zeros, which
                // leave the sums as they are (a sum of forces is never -0).
                // So no stress adds nothing, and a constant one needs the
                // area and the first moments alone.
                if (k[2] != 0.0) {
                    const double j = VelboTriangleIntegral::jacobian(x1, y1, x2, y2, x3, y3);
                    meshFz += k[2] * (j / 2);
                    meshMx += k[2] * VelboTriangleIntegral::firstMoment(j, y1, y2, y3);
                    meshMy += k[2] * VelboTriangleIntegral::firstMoment(j, x1, x2, x3);
                }
                return;
            }
            double tfz = 0.0;
            double tmx = 0.0;
            double tmy = 0.0;
            VelboTriangleIntegral::forces(k[0], k[1], k[2],
                                          VelboTriangleIntegral::areaProperties(x1, y1, x2, y2, x3, y3), &tfz,
                                          &tmx, &tmy);
            meshFz += tfz;
            meshMx += tmx;
            meshMy += tmy;
        };

        // The rays that cross the triangle; the others cut none of its
        // sub-triangles either.
        int crossing = 0;
        double firstRay = 0.0;
        double secondRay = 0.0;
        for (const double ray : w.rays) {
            if (turned.yTop < ray && ray < turned.yBot) {
                if (crossing == 0) {
                    firstRay = ray;
                } else if (crossing == 1) {
                    secondRay = ray;
                }
                ++crossing;
            }
        }
        if (crossing == 0) {
            // Its mesh is its copy.
            const double* k = stress + 3 * law.pieceOf((g * turned.yG) + e0);
            double tfz = 0.0;
            double tmx = 0.0;
            double tmy = 0.0;
            VelboTriangleIntegral::forces(k[0], k[1], k[2], turned.moments, &tfz, &tmx, &tmy);
            meshFz += tfz;
            meshMx += tmx;
            meshMy += tmy;
        } else {
            const int* n = t.node;
            const double vertices[6] = {w.x[n[0]], w.y[n[0]], w.x[n[1]], w.y[n[1]], w.x[n[2]], w.y[n[2]]};
            double cut[9][6];
            int made = 0;
            if (crossing == 1) {
                made = cutOnce(vertices, firstRay, cut);
            } else if (crossing == 2) {
                made = cutTwice(vertices, firstRay, secondRay, cut);
            }
            if (made > 0) {
                for (int sub = 0; sub < made; ++sub) {
                    addSubTriangle(cut[sub][0], cut[sub][1], cut[sub][2], cut[sub][3], cut[sub][4], cut[sub][5]);
                }
            } else {
                w.clip.reset(vertices[0], vertices[1], vertices[2], vertices[3], vertices[4], vertices[5]);
                for (const double ray : w.rays) {
                    if (turned.yTop < ray && ray < turned.yBot && !w.clip.slice(ray)) {
                        return false;
                    }
                }
                for (int sub = w.clip.first(); sub >= 0; sub = w.clip.next(sub)) {
                    addSubTriangle(w.clip.x(sub, 0), w.clip.y(sub, 0), w.clip.x(sub, 1), w.clip.y(sub, 1),
                                   w.clip.x(sub, 2), w.clip.y(sub, 2));
                }
            }
        }
        fz += meshFz;
        mx += meshMx;
        my += meshMy;
    }
    sum = Sum{fz, mx, my};
    return true;
}

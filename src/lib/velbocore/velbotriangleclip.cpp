#include "velbocore/velbotriangleclip.h"

#include <algorithm>
#include <utility>

#include "velbocore/velboedgecut.h"

namespace {
// The sides Pk -> Pk+1, k from `from` to 2, of the triangle v (x1, y1, ...
// y3) that the ray y = c crosses (crossed[k]), each cut from its start as
// edgeSlice cuts it (nx[k]).
void cutSides(const double (&v)[6], double c, int from, bool (&crossed)[3], double (&nx)[3])
{
    for (int k = from; k < 3; ++k) {
        const int e = (k + 1) % 3;
        const double x1 = v[2 * k], y1 = v[2 * k + 1];
        const double x2 = v[2 * e], y2 = v[2 * e + 1];
        crossed[k] = VelboEdgeCut::crosses(y1, y2, c);
        if (crossed[k]) {
            nx[k] = VelboEdgeCut::x(x1, y1, x2, y2, c);
        }
    }
}
}  // namespace

void VelboTriangleClip::reset(double x1, double y1, double x2, double y2, double x3, double y3)
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
}

bool VelboTriangleClip::slice(double c)
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
        }
        t = following;
    }
    return true;
}

int VelboTriangleClip::m_newNode(double x, double y)
{
    const int n = m_take(m_nodes, m_nodeCount);
    m_nodes[n].x = x;
    m_nodes[n].y = y;
    return n;
}

int VelboTriangleClip::m_newEdge(int start, int end, bool sliced)
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

int VelboTriangleClip::m_newTriangle()
{
    const int t = m_take(m_triangles, m_triangleCount);
    Triangle& tri = m_triangles[t];
    tri.edge[0] = tri.edge[1] = tri.edge[2] = -1;
    tri.firstEdge = tri.next = tri.before = -1;
    return t;
}

bool VelboTriangleClip::m_intersected(int t, double c) const
{
    const double y1 = y(t, 0);
    const double y2 = y(t, 1);
    const double y3 = y(t, 2);
    return std::min({y1, y2, y3}) < c && c < std::max({y1, y2, y3});
}

void VelboTriangleClip::m_flex(int e, int node)
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

int VelboTriangleClip::m_edgeSlice(int e, double c)
{
    const Node& a = m_nodes[m_edges[e].start];
    const Node& b = m_nodes[m_edges[e].end];
    if (!VelboEdgeCut::crosses(a.y, b.y, c)) {
        return -1;
    }
    const int node = m_newNode(VelboEdgeCut::x(a.x, a.y, b.x, b.y, c), c);

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

void VelboTriangleClip::m_slice(int t, double c, int* nbEdges)
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

int VelboTriangleClip::m_flipAndTwin(int e)
{
    const int twin = m_newEdge(m_edges[e].end, m_edges[e].start, false);
    m_edges[twin].twin = e;
    m_edges[e].twin = twin;
    return twin;
}

bool VelboTriangleClip::m_include(int t, int e1, int e2)
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

bool VelboTriangleClip::m_include(int t, int e1, int e2, int e3)
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

void VelboTriangleClip::m_adoptRing(int t, bool unslice)
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

int VelboTriangleClip::m_newWithEdge3()
{
    const int t = m_newTriangle();
    m_triangles[t].edge[2] = m_newEdge(-1, -1, false);
    return t;
}

int VelboTriangleClip::m_alignedEdges(int t, int* aligned, int most) const
{
    const int first = m_triangles[t].firstEdge;
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
    } while (edge != first && found < most);
    return found;
}

int VelboTriangleClip::m_remesh1(int t)
{
    int un = -1;
    if (m_alignedEdges(t, &un, 1) < 1) {
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

int VelboTriangleClip::m_remesh2(int t)
{
    int aligned[2] = {-1, -1};
    if (m_alignedEdges(t, aligned, 2) < 2) {
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

int VelboTriangleClip::m_remeshCut(const double* v, double c, const bool (&crossed)[3], const double (&nx)[3],
                                   double (*out)[6])
{
    const auto put = [&out](int t, double xa, double ya, double xb, double yb, double xc, double yc) {
        out[t][0] = xa;
        out[t][1] = ya;
        out[t][2] = xb;
        out[t][3] = yb;
        out[t][4] = xc;
        out[t][5] = yc;
    };
    const int sides = (crossed[0] ? 1 : 0) + (crossed[1] ? 1 : 0) + (crossed[2] ? 1 : 0);
    for (int k = 0; k < 3; ++k) {
        const int l = (k + 1) % 3, w = (k + 2) % 3;
        if (sides == 1 && crossed[k]) {
            put(0, nx[k], c, v[2 * l], v[2 * l + 1], v[2 * w], v[2 * w + 1]);
            put(1, nx[k], c, v[2 * w], v[2 * w + 1], v[2 * k], v[2 * k + 1]);
            return 2;
        }
        if (sides == 2 && crossed[k] && crossed[l]) {
            put(0, nx[k], c, v[2 * l], v[2 * l + 1], nx[l], c);
            put(1, nx[k], c, nx[l], c, v[2 * w], v[2 * w + 1]);
            put(2, nx[k], c, v[2 * w], v[2 * w + 1], v[2 * k], v[2 * k + 1]);
            return 3;
        }
    }
    return 0;
}

int VelboTriangleClip::cutOnce(const double (&p)[6], double c, double (*out)[6])
{
    bool crossed[3];
    double nx[3] = {0.0, 0.0, 0.0};
    cutSides(p, c, 0, crossed, nx);
    return m_remeshCut(p, c, crossed, nx, out);
}

int VelboTriangleClip::cutTwice(const double (&p)[6], double c1, double c2, double (*out)[6])
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
        // Edge 0, shared with the sub-triangle before and cut by it, takes its node.
        if (pending[t]) {
            crossed[0] = true;
            nx[0] = pendingX[t];
        }
        cutSides(v, c2, pending[t] ? 1 : 0, crossed, nx);
        if (crossed[2] && t + 1 < made) {
            pending[t + 1] = true;
            pendingX[t + 1] = nx[2];
        }
        const int cut = m_remeshCut(v, c2, crossed, nx, out + count);
        if (cut == 0) {
            return -1;
        }
        count += cut;
    }
    return count;
}

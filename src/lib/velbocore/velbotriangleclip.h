#pragma once

#include "velbocore/velbolineallocator.h"

// One triangle's mesh cut by horizontal rays, in local storage. It takes the
// steps of VelboMesh::remeshWithRays over a fresh mesh of the triangle
// (VelboTriangle::triangleSlice, VelboEdge2D::edgeSlice and edgeFlex,
// triangleRemesh1 and triangleRemesh2, the splicing into the chain), with
// indices for pointers, so that its sub-triangles, their vertex order, their
// chain order and every cut node are those of the mesh. The cuts of a fresh
// triangle by one ray or two (cutOnce, cutTwice) give the same without the
// half-edges.
class VelboTriangleClip {
public:
    // Storage for what a few rays make; it grows, seldom, when more is needed.
    VelboTriangleClip() : m_nodes(64), m_edges(256), m_triangles(64) {}

    // A mesh of the triangle P1 P2 P3: one triangle, edges P1->P2, P2->P3, P3->P1.
    void reset(double x1, double y1, double x2, double y2, double x3, double y3);

    // The horizontal ray y = c over every triangle of the chain; false where
    // the mesh's slicing fails.
    bool slice(double c);

    int first() const { return m_first; }
    int next(int t) const { return m_triangles[t].next; }
    // Vertex k (0, 1, 2: P1, P2, P3) of triangle t: the start of its edge k.
    double x(int t, int k) const { return m_nodes[m_edges[m_triangles[t].edge[k]].start].x; }
    double y(int t, int k) const { return m_nodes[m_edges[m_triangles[t].edge[k]].start].y; }

    // What the clip makes of a fresh triangle P1 P2 P3 (p: x1, y1, x2, y2, x3,
    // y3) that one ray y = c crosses, without the half-edges: the crossed sides
    // Pk -> Pk+1 are cut from their start, as edgeSlice cuts them; one crossed
    // side U -> V, opposite W, gives (N, V, W), (N, W, U) (triangleRemesh1);
    // two, meeting at the lone vertex L, with U -> L and L -> W cut at N1 and
    // N2, give (N1, L, N2), (N1, N2, W), (N1, W, U) (triangleRemesh2). Writes
    // the sub-triangles in chain order and returns their number, 0 when the ray
    // does not cross the triangle.
    static int cutOnce(const double (&p)[6], double c, double (*out)[6]);
    // What the clip makes of a fresh triangle P1 P2 P3 that two rays y = c1,
    // then y = c2, cross: the sub-triangles of the first cut (cutOnce), each cut
    // in chain order by the second ray as the mesh cuts it. The sides between
    // two of them are shared half-edges: the first of the two to be cut makes
    // the cut node, from its own side's start, and the other takes it. Writes
    // the sub-triangles in chain order and returns their number, or -1 where the
    // mesh would not cut as cutOnce does (a ray that crosses no side or all
    // three), left to the clip.
    static int cutTwice(const double (&p)[6], double c1, double c2, double (*out)[6]);

private:
    // The sub-triangles of a fresh triangle v (x1, y1, ... y3) whose sides k
    // the ray y = c crosses at x = nx[k] (crossed[k]), as triangleRemesh1
    // (one side) and triangleRemesh2 (two) make them, into out; their
    // number, 0 when the ray crosses no side or all three.
    static int m_remeshCut(const double* v, double c, const bool (&crossed)[3], const double (&nx)[3],
                           double (*out)[6]);

    // A sound ring has at most six half-edges; the mesh gives a walk up after
    // this many steps.
    static constexpr int kMaxRingSteps = 100;

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
    static int m_take(VelboLineVector<T>& storage, int& count)
    {
        if (count == static_cast<int>(storage.size())) {
            storage.resize(storage.size() * 2);
        }
        return count++;
    }

    int m_newNode(double x, double y);
    int m_newEdge(int start, int end, bool sliced);
    int m_newTriangle();
    bool m_intersected(int t, double c) const;

    // edgeFlex: e ends at the node, a new sliced half-edge node -> old end follows it.
    void m_flex(int e, int node);

    // edgeSlice with a horizontal ray: the new node, or -1 when e is not crossed.
    int m_edgeSlice(int e, double c);

    // triangleSlice: splits the crossed half-edges of the ring, counting the
    // sliced ones (-1 when the ring does not close).
    void m_slice(int t, double c, int* nbEdges);

    bool m_aligned(int e, int f) const { return f >= 0 && m_edges[e].parent == m_edges[f].parent; }
    int m_flipAndTwin(int e);

    // setEdgesIncluded(edge1, edge2) on a new triangle with its own edge 3.
    bool m_include(int t, int e1, int e2);

    // setEdgesIncluded(edge1, edge2, edge3).
    bool m_include(int t, int e1, int e2, int e3);

    // triangleEdgesReNext, and the sliced flags cleared for a made triangle.
    void m_adoptRing(int t, bool unslice);
    int m_newWithEdge3();

    // The first `most` half-edges of the ring, from its first one, that the
    // next one continues along the same side (the halves of a split side),
    // into aligned; their number, -1 when the ring does not close.
    int m_alignedEdges(int t, int* aligned, int most) const;
    // triangleRemesh1: ring U -> N -> V -> W -> U, U -> N and N -> V the halves
    // of the split side; makes (N, V, W) and (N, W, U).
    int m_remesh1(int t);

    // triangleRemesh2: ring U -> N1 -> L -> N2 -> W -> U, L alone on its side;
    // makes (N1, L, N2), (N1, N2, W) and (N1, W, U).
    int m_remesh2(int t);

    VelboLineVector<Node> m_nodes;
    VelboLineVector<Edge> m_edges;
    VelboLineVector<Triangle> m_triangles;
    int m_nodeCount = 0;
    int m_edgeCount = 0;
    int m_triangleCount = 0;
    int m_first = -1;
};

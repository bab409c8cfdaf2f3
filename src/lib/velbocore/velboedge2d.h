#pragma once

#include <cstddef>

class Func2Linear;
class VelboNode2D;
class VelboSectionElement;

// Directed half-edge of an element's boundary ring. Nodes, element and
// linked half-edges are not owned.
class VelboEdge2D {
public:
    VelboEdge2D();
    VelboEdge2D(VelboSectionElement* element, bool sliced);
    // Same start and end as edge; no element, not sliced.
    explicit VelboEdge2D(const VelboEdge2D* edge);
    virtual ~VelboEdge2D();

    void setNodes(VelboNode2D* start, VelboNode2D* end);
    void setNodeStart(VelboNode2D* start) { m_start = start; }
    void setNodeEnd(VelboNode2D* end) { m_end = end; }
    void setElement(VelboSectionElement* element) { m_element = element; }
    void setTwin(VelboEdge2D* edge) { m_twin = edge; }
    void setNextEdge(VelboEdge2D* next) { m_next = next; }
    void setBeforeEdge(VelboEdge2D* before) { m_before = before; }

    VelboNode2D* getNodeStart() const { return m_start; }
    VelboNode2D* getNodeEnd() const { return m_end; }
    VelboSectionElement* getElement() const { return m_element; }
    VelboEdge2D* getTwin() const { return m_twin; }
    VelboEdge2D* getNext() const { return m_next; }
    VelboEdge2D* getBefore() const { return m_before; }

    bool isSliced() const { return m_sliced; }
    void setUnsliced() { m_sliced = false; }
    void edgeUnparent() { m_parentEdge = this; }

    // A half-edge without both nodes is never cut and has length and cross
    // product 0.
    // Exactly one of yray (ray y = *yray) and fray (line a*x + b*y + c = 0)
    // must be given; only a strict crossing counts as a cut. For a line, an
    // end whose value lies within onLine of 0 counts as lying on it.
    bool edgeIsSlicedFromYRay(const double* yray, const Func2Linear* fray, double onLine = 0.0) const;
    // Splits this half-edge, and its twin, at the crossing with the ray.
    // Returns the new node (owned by the caller) or null when nothing is cut.
    // The node lies on the half-edge: y = *yray exactly on a horizontal ray,
    // the interpolated zero of the line's values at the two ends otherwise.
    VelboNode2D* edgeSlice(const double* yray, const Func2Linear* fray, double onLine = 0.0);
    // Side of the line the node lies on: 1 or -1 by the sign of the line's
    // value there, 0 when the value lies within onLine of 0.
    static int sideOfLine(const Func2Linear& line, const VelboNode2D& node, double onLine);
    // Splits this half-edge at internalNode: this one ends there and a new
    // sliced half-edge internalNode -> old end follows it in the ring.
    void edgeFlex(VelboNode2D* internalNode, bool setParent);
    void edgeFlip();
    // New half-edge end -> start, paired with this one as twins.
    VelboEdge2D* edgeFlipAndTwin();

    bool edgeIsWellDefined() const;
    bool edgeIsAligned(const VelboEdge2D* edge) const;
    // Cross product of this edge vector with edge's.
    double edgeDotProd(const VelboEdge2D* edge) const;
    double edgeLenght() const;

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

private:
    VelboNode2D* m_start;
    VelboNode2D* m_end;
    VelboSectionElement* m_element;
    VelboEdge2D* m_twin;
    VelboEdge2D* m_next;
    VelboEdge2D* m_before;
    VelboEdge2D* m_parentEdge;
    bool m_sliced;

    static unsigned int m_instances;
};

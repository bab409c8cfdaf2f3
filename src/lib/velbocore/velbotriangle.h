#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "velbocore/velboareaproperties.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionelement.h"
#include "velbocore/velbosectionforces.h"

class Func1;
class Func2Linear;
class FuncLinear;
class VelboEdge2D;
class VelboMesh;

// Solid element of a section: three vertex nodes joined by a ring of three
// half-edges (edge k starts at vertex k: P1 -> P2 -> P3 -> P1).
//
// Vertex nodes, law and mesh are not owned, except the nodes made by
// setNodeP1/P2/P3: the triangle and its copies (constructor, assignment,
// clone) share those, and each lets go of one when no vertex of its own uses
// it any more. The half-edges are deleted by the triangle's destructor only
// while it owns them (ownsEdges(), true after construction); holders that
// collect and delete the half-edges themselves (the facade, a mesh) call
// releaseEdges() when they take the triangle over.
class VelboTriangle : public VelboSectionElement {
public:
    explicit VelboTriangle(int id = 0);
    // Same id and vertex node objects, new half-edges; no law, mesh or links.
    VelboTriangle(const VelboTriangle& other);
    // Takes the id and the vertex node objects; law, mesh, ring and links stay.
    VelboTriangle& operator=(const VelboTriangle& other);
    // Same id and, side by side, equal start and end nodes (by value).
    bool operator==(const VelboTriangle& other) const;
    ~VelboTriangle() override;

    // Deep copy: new vertex nodes (owned by the caller), same id and law.
    VelboTriangle* copy() const;

    std::string typeNameOfStruObject() const override;
    // Same id and law; shares the vertex nodes.
    VelboTriangle* clone() const override;

    VelboNode2D* P1() const { return m_P1(); }
    VelboNode2D* P2() const { return m_P2(); }
    VelboNode2D* P3() const { return m_P3(); }
    // A held node (see setNodeP1) the vertices no longer use is released.
    VelboTriangle* setP1(VelboNode2D* P1);
    VelboTriangle* setP2(VelboNode2D* P2);
    VelboTriangle* setP3(VelboNode2D* P3);

    // Copies of the vertex nodes; VelboNode2D() for a missing vertex.
    VelboNode2D getNodeP1() const;
    VelboNode2D getNodeP2() const;
    VelboNode2D getNodeP3() const;
    // A new node, a copy of the argument held by this triangle (and its
    // copies), becomes the vertex; the node it replaces is released when it
    // was held and no other vertex uses it.
    void setNodeP1(const VelboNode2D& P1);
    void setNodeP2(const VelboNode2D& P2);
    void setNodeP3(const VelboNode2D& P3);

    VelboNode2D* nodeAt(int i) const override;
    int sizeOfNodes() const override;
    bool setNode(VelboNode2D* node, int i) override;
    VelboEdge2D* edgeAt(int i) const override;
    int sizeOfEdges() const override;
    bool elementIsSolid() const override;
    double elementCalcArea() const override;
    VelboNode2D elementCalcBarycenter() const override;
    VelboAreaProperties elementCalcAreaProperties() const override;
    double elementYtop() const override;
    double elementYbot() const override;
    // A new mesh holding a deep copy of this triangle; recorded as its mesh.
    VelboMesh* meshMake() override;
    // The mesh's sum when meshed, otherwise the exact integral.
    VelboSectionForces elementForcesByLaw(const FuncLinear& planeStrain) const override;
    int typeOfStruElement() const override;

    // Ring links 1 -> 2 -> 3 -> 1 (and back); the first edge becomes edge 1.
    void triangleEdgesReNext();
    // Edges 1 and 2 replaced (the old ones deleted), edge 3 closes the ring.
    bool setEdgesIncluded(VelboEdge2D* edge1, VelboEdge2D* edge2);
    // All three edges replaced (the old ones deleted).
    bool setEdgesIncluded(VelboEdge2D* edge1, VelboEdge2D* edge2, VelboEdge2D* edge3);

    void setNextTriangle(VelboTriangle* next) { m_next = next; }
    void setBeforeTriangle(VelboTriangle* before) { m_before = before; }
    VelboTriangle* getNextTriangle() const { return m_next; }
    VelboTriangle* getBeforeTriangle() const { return m_before; }

    static double triangleArea(double x1, double y1, double x2, double y2, double x3, double y3);
    void bounding(double* xtop, double* ytop, double* xbot, double* ybot) const;
    bool triangleIsWellDefined() const;
    int triangleAreaSign() const;

    // Slicing. A ray is either y = *ray or the line rayf (exactly one given).
    // A vertex whose line value lies within onLine of 0 counts as on the line.
    bool intersected(const double* ray, const Func2Linear* rayf, double onLine = 0.0) const;
    // Splits the crossed half-edges of the ring. Adds the sliced half-edges
    // to *nbEdges and the new nodes to *nbNodes; returns the first new node,
    // the others chained after it. *nbEdges becomes -1 when the ring does
    // not close.
    VelboNode2D* triangleSlice(int* nbEdges, int* nbNodes, const double* yray, const Func2Linear* fray,
                               double onLine = 0.0);
    // Two (one split side) or three (two split sides) new triangles, chained,
    // made of this triangle's half-edges; the first is returned, null on
    // failure (then nothing is created or moved).
    VelboTriangle* triangleRemesh1() const;
    VelboTriangle* triangleRemesh2() const;

    // Half-edge ownership (see the class comment).
    void releaseEdges() { m_deleteEdges = false; }
    bool ownsEdges() const { return m_deleteEdges; }

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

    // The coefficients a, b, c of a law piece sigma(e) = a*e^2 + b*e + c as
    // the force integration reads them; FUNC1_ERR_OK, or the error of a
    // piece it cannot read (null, or of another kind).
    static int pieceCoefficients(const Func1* piece, double* a, double* b, double* c);

private:
    // Sub-triangle of a remesh: id 0, the given law, owning no half-edges
    // and made with only its own edge 3 (withEdge3) or with none.
    VelboTriangle(const VelboCostitutiveLaw* law, bool withEdge3);

    VelboNode2D* m_P1() const;
    VelboNode2D* m_P2() const;
    VelboNode2D* m_P3() const;
    void m_setP1(VelboNode2D* P1);
    void m_setP2(VelboNode2D* P2);
    void m_setP3(VelboNode2D* P3);
    void m_holdNode(const std::shared_ptr<VelboNode2D>& node);
    // Drops the held nodes that no vertex points to.
    void m_releaseUnusedNodes();

    VelboSectionForces m_elementForcesByLaw(const FuncLinear& planeStrain) const;
    int m_lawCoeffQuadLinearConst(double strain, double* a, double* b, double* c) const;
    static int m_pieceCoeff(const Func1* piece, int type, double* a, double* b, double* c);
    // Relinks the ring and clears the sliced flags of the three edges.
    void m_adoptRing();

    VelboEdge2D* m_edge1;
    VelboEdge2D* m_edge2;
    VelboEdge2D* m_edge3;
    VelboTriangle* m_next;
    VelboTriangle* m_before;
    bool m_deleteEdges;
    // The nodes made by setNodeP1/P2/P3 that a vertex still points to.
    std::vector<std::shared_ptr<VelboNode2D>> m_heldNodes;

    static unsigned int m_instances;
};

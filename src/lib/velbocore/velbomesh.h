#pragma once

#include <cstddef>
#include <vector>

#include "coreobj/func2linear.h"
#include "velbocore/velbosectionforces.h"

class FuncLinear;
class VelboCircle;
class VelboNode2D;
class VelboSectionElement;
class VelboTriangle;

// Sub-division of one element: a chain of triangles (or circles) with the
// chain of nodes they use, and the rays it was cut along. The mesh owns
// every chained node, triangle and circle and every half-edge of its
// triangles' rings; it does not own its element.
class VelboMesh {
public:
    explicit VelboMesh(VelboSectionElement* element);
    ~VelboMesh();
    VelboMesh(const VelboMesh&) = delete;
    VelboMesh& operator=(const VelboMesh&) = delete;

    void setRays(const std::vector<double>& rays);
    void setRays(const std::vector<Func2Linear>& rays);
    std::vector<double> getYRays() const { return m_rays; }
    std::vector<Func2Linear> getFuncRays() const { return m_func_rays; }
    // Applies the horizontal rays, then the line rays, to the current
    // sub-division. False when both lists are empty or a slicing fails.
    bool remeshWithRays();

    VelboSectionElement* element() const { return m_element; }

    int countNodes() const;
    int countTriangles() const;
    int countCircles() const;
    // Append the chain's members in chain order.
    void getNodes(std::vector<VelboNode2D*>& nodes) const;
    void getTriangles(std::vector<VelboTriangle*>& triangles) const;
    void getCircles(std::vector<VelboCircle*>& circles) const;

    // Sum of the chained triangles' forces.
    VelboSectionForces triangleForcesByLaw(const FuncLinear& planeStrain) const;

    VelboTriangle* triangleFirst() const { return m_triangleFirst; }
    void setTriangleFirst(VelboTriangle* triangle) { m_triangleFirst = triangle; }
    VelboTriangle* triangleLast() const { return m_triangleLast; }
    void setTriangleLast(VelboTriangle* triangle) { m_triangleLast = triangle; }
    VelboNode2D* nodeFirst() const { return m_nodeFirst; }
    void setNodeFirst(VelboNode2D* node) { m_nodeFirst = node; }
    VelboNode2D* nodeLast() const { return m_nodeLast; }
    void setNodeLast(VelboNode2D* node) { m_nodeLast = node; }
    VelboCircle* circleFirst() const { return m_circleFirst; }
    void setCircleFirst(VelboCircle* circle) { m_circleFirst = circle; }
    VelboCircle* circleLast() const { return m_circleLast; }
    void setCircleLast(VelboCircle* circle) { m_circleLast = circle; }

    static unsigned int instances();
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

private:
    // One ray (y = *ray or the line *rayf, exactly one given) over the mesh.
    bool m_sliceFromRay(const double* ray, const Func2Linear* rayf);
    // Bound under which a line's value at a node of this mesh counts as 0.
    double m_onLineBound(const Func2Linear& line) const;

    VelboSectionElement* m_element;
    VelboNode2D* m_nodeLast;
    VelboNode2D* m_nodeFirst;
    VelboTriangle* m_triangleFirst;
    VelboTriangle* m_triangleLast;
    VelboCircle* m_circleFirst;
    VelboCircle* m_circleLast;
    std::vector<double> m_rays;
    std::vector<Func2Linear> m_func_rays;

    static unsigned int m_instances;
};

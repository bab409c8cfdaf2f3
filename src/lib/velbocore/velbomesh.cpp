#include "velbocore/velbomesh.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "coreobj/funclinear.h"
#include "velbocore/velbocircle.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbostoragepool.h"
#include "velbocore/velbotriangle.h"

unsigned int VelboMesh::m_instances = 0;

namespace {
// Bound of a ring walk: a sound ring has at most six half-edges.
constexpr int kMaxRingSteps = 100;
// Roundings, at the scale of the mesh's coordinates, within which a node
// counts as lying on a line ray (see m_onLineBound).
constexpr double kOnLineRoundings = 128.0;
}

VelboMesh::VelboMesh(VelboSectionElement* element)
    : m_element(element),
      m_nodeLast(nullptr),
      m_nodeFirst(nullptr),
      m_triangleFirst(nullptr),
      m_triangleLast(nullptr),
      m_circleFirst(nullptr),
      m_circleLast(nullptr)
{
}

VelboMesh::~VelboMesh()
{
    // Every half-edge belongs to exactly one ring. The ring is walked as a
    // whole, not only edges 1 to 3, so that the extra halves of a ring left
    // split by a failed slicing are released too.
    std::vector<VelboEdge2D*> edges;
    edges.reserve(8);  // a ring holds six half-edges at the most
    VelboTriangle* triangle = m_triangleFirst;
    while (triangle != nullptr) {
        edges.clear();
        VelboEdge2D* const first = triangle->elementFirstEdge();
        VelboEdge2D* edge = first;
        for (int steps = 0; edge != nullptr && steps < kMaxRingSteps; ++steps) {
            edges.push_back(edge);
            edge = edge->getNext();
            if (edge == first) {
                break;
            }
        }
        for (int i = 0; i < 3; ++i) {
            VelboEdge2D* own = triangle->edgeAt(i);
            if (own != nullptr && std::find(edges.begin(), edges.end(), own) == edges.end()) {
                edges.push_back(own);
            }
        }
        VelboTriangle* const next = triangle->getNextTriangle();
        triangle->releaseEdges();
        delete triangle;
        for (VelboEdge2D* e : edges) {
            delete e;
        }
        triangle = next;
    }

    VelboNode2D* node = m_nodeFirst;
    while (node != nullptr) {
        VelboNode2D* const next = node->getNextNode();
        delete node;
        node = next;
    }

    VelboCircle* circle = m_circleFirst;
    while (circle != nullptr) {
        VelboCircle* const next = circle->nextCircle();
        delete circle;
        circle = next;
    }
}

void VelboMesh::setRays(const std::vector<double>& rays)
{
    m_rays = rays;
}

void VelboMesh::setRays(const std::vector<Func2Linear>& rays)
{
    m_func_rays = rays;
}

bool VelboMesh::remeshWithRays()
{
    if (m_rays.empty() && m_func_rays.empty()) {
        return false;
    }
    for (const double& ray : m_rays) {
        if (!m_sliceFromRay(&ray, nullptr)) {
            return false;
        }
    }
    for (const Func2Linear& ray : m_func_rays) {
        if (!m_sliceFromRay(nullptr, &ray)) {
            return false;
        }
    }
    return true;
}

bool VelboMesh::m_sliceFromRay(const double* ray, const Func2Linear* rayf)
{
    if ((ray == nullptr) == (rayf == nullptr)) {
        return false;
    }
    // A node cut by a line lies on its side but only within rounding on the
    // line; applied again, the line must see it as lying on the line, not
    // as crossing the sides that run along it.
    const double onLine = rayf != nullptr ? m_onLineBound(*rayf) : 0.0;
    VelboTriangle* triangle = m_triangleFirst;
    while (triangle != nullptr) {
        // Triangles made in this pass are spliced in before `following` and
        // so are not visited.
        VelboTriangle* const following = triangle->getNextTriangle();
        if (!triangle->intersected(ray, rayf, onLine)) {
            triangle = following;
            continue;
        }

        int nbEdges = 0;
        int nbNodes = 0;
        VelboNode2D* node = triangle->triangleSlice(&nbEdges, &nbNodes, ray, rayf, onLine);
        if (node != nullptr) {
            node->setBeforeNode(m_nodeLast);
            if (m_nodeLast != nullptr) {
                m_nodeLast->setNextNode(node);
            } else {
                m_nodeFirst = node;
            }
            // The new nodes come chained after the first one.
            m_nodeLast = node;
            while (m_nodeLast->getNextNode() != nullptr) {
                m_nodeLast = m_nodeLast->getNextNode();
            }
        }

        VelboTriangle* made = nullptr;
        if (nbEdges == 4) {
            made = triangle->triangleRemesh2();
        } else if (nbEdges == 2) {
            made = triangle->triangleRemesh1();
        }
        if (made == nullptr) {
            return false;
        }

        VelboTriangle* madeLast = made;
        while (madeLast->getNextTriangle() != nullptr) {
            madeLast = madeLast->getNextTriangle();
        }
        VelboTriangle* const before = triangle->getBeforeTriangle();
        made->setBeforeTriangle(before);
        if (before != nullptr) {
            before->setNextTriangle(made);
        } else {
            m_triangleFirst = made;
        }
        madeLast->setNextTriangle(following);
        if (following != nullptr) {
            following->setBeforeTriangle(madeLast);
        } else {
            m_triangleLast = madeLast;
        }

        // Its half-edges now belong to the new triangles; only the object goes.
        triangle->releaseEdges();
        delete triangle;
        triangle = following;
    }
    return true;
}

double VelboMesh::m_onLineBound(const Func2Linear& line) const
{
    // The rounding of a line's value at a node, and of the placing of a cut
    // node, scales with the largest terms a*x and b*y met in the mesh.
    double xMax = 0.0;
    double yMax = 0.0;
    for (const VelboNode2D* node = m_nodeFirst; node != nullptr; node = node->getNextNode()) {
        xMax = std::max(xMax, std::fabs(node->xn()));
        yMax = std::max(yMax, std::fabs(node->yn()));
    }
    const double scale = std::fabs(line.a()) * xMax + std::fabs(line.b()) * yMax + std::fabs(line.c());
    return kOnLineRoundings * std::numeric_limits<double>::epsilon() * scale;
}

int VelboMesh::countNodes() const
{
    int count = 0;
    for (const VelboNode2D* node = m_nodeFirst; node != nullptr; node = node->getNextNode()) {
        ++count;
    }
    return count;
}

int VelboMesh::countTriangles() const
{
    int count = 0;
    for (const VelboTriangle* t = m_triangleFirst; t != nullptr; t = t->getNextTriangle()) {
        ++count;
    }
    return count;
}

int VelboMesh::countCircles() const
{
    int count = 0;
    for (const VelboCircle* c = m_circleFirst; c != nullptr; c = c->nextCircle()) {
        ++count;
    }
    return count;
}

void VelboMesh::getNodes(std::vector<VelboNode2D*>& nodes) const
{
    for (VelboNode2D* node = m_nodeFirst; node != nullptr; node = node->getNextNode()) {
        nodes.push_back(node);
    }
}

void VelboMesh::getTriangles(std::vector<VelboTriangle*>& triangles) const
{
    for (VelboTriangle* t = m_triangleFirst; t != nullptr; t = t->getNextTriangle()) {
        triangles.push_back(t);
    }
}

void VelboMesh::getCircles(std::vector<VelboCircle*>& circles) const
{
    for (VelboCircle* c = m_circleFirst; c != nullptr; c = c->nextCircle()) {
        circles.push_back(c);
    }
}

VelboSectionForces VelboMesh::triangleForcesByLaw(const FuncLinear& planeStrain) const
{
    VelboSectionForces forces;
    for (const VelboTriangle* t = m_triangleFirst; t != nullptr; t = t->getNextTriangle()) {
        forces += t->elementForcesByLaw(planeStrain);
    }
    return forces;
}

unsigned int VelboMesh::instances()
{
    return m_instances;
}

// Storage of the class's objects. It is never destroyed, so that objects
// deleted while the process exits still find it.
static VelboStoragePool& meshStorage()
{
    static VelboStoragePool* const pool = new VelboStoragePool(sizeof(VelboMesh));
    return *pool;
}

void* VelboMesh::operator new(std::size_t size)
{
    void* p = meshStorage().allocate(size);
    ++m_instances;
    return p;
}

void VelboMesh::operator delete(void* p, std::size_t size)
{
    if (p == nullptr) {
        return;
    }
    --m_instances;
    meshStorage().release(p, size);
}

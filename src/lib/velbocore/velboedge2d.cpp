#include "velbocore/velboedge2d.h"

#include <algorithm>
#include <new>
#include <utility>

#include "coreobj/func2linear.h"
#include "velbocore/velboedgecut.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbostoragepool.h"

unsigned int VelboEdge2D::m_instances = 0;

VelboEdge2D::VelboEdge2D()
    : VelboEdge2D(nullptr, false)
{
}

VelboEdge2D::VelboEdge2D(VelboSectionElement* element, bool sliced)
    : m_start(nullptr),
      m_end(nullptr),
      m_element(element),
      m_twin(nullptr),
      m_next(nullptr),
      m_before(nullptr),
      m_parentEdge(this),
      m_sliced(sliced)
{
}

VelboEdge2D::VelboEdge2D(const VelboEdge2D* edge)
    : VelboEdge2D(nullptr, false)
{
    m_start = edge->m_start;
    m_end = edge->m_end;
}

VelboEdge2D::~VelboEdge2D() = default;

void VelboEdge2D::setNodes(VelboNode2D* start, VelboNode2D* end)
{
    m_start = start;
    m_end = end;
}

bool VelboEdge2D::edgeIsSlicedFromYRay(const double* yray, const Func2Linear* fray, double onLine) const
{
    if ((yray == nullptr) == (fray == nullptr) || !edgeIsWellDefined()) {
        return false;
    }
    if (yray != nullptr) {
        return VelboEdgeCut::crosses(m_start->yn(), m_end->yn(), *yray);
    }
    const int sideStart = sideOfLine(*fray, *m_start, onLine);
    const int sideEnd = sideOfLine(*fray, *m_end, onLine);
    return sideStart * sideEnd < 0;
}

int VelboEdge2D::sideOfLine(const Func2Linear& line, const VelboNode2D& node, double onLine)
{
    const double v = line.valueFxy(node.xn(), node.yn(), nullptr);
    if (v > onLine) {
        return 1;
    }
    if (v < -onLine) {
        return -1;
    }
    return 0;
}

VelboNode2D* VelboEdge2D::edgeSlice(const double* yray, const Func2Linear* fray, double onLine)
{
    if (!edgeIsSlicedFromYRay(yray, fray, onLine)) {
        return nullptr;
    }
    const double x1 = m_start->xn();
    const double y1 = m_start->yn();
    const double x2 = m_end->xn();
    const double y2 = m_end->yn();
    double x = 0.0;
    double y = 0.0;
    if (yray != nullptr) {
        x = VelboEdgeCut::x(x1, y1, x2, y2, *yray);
        y = *yray;
    } else {
        const double a = fray->a();
        const double b = fray->b();
        if ((y2 - y1) * b - a * (x1 - x2) == 0.0) {
            // Parallel to the line: the opposite signs come from rounding.
            return nullptr;
        }
        // The values have strictly opposite signs, so 0 <= t <= 1 and the
        // node stays on this half-edge however close to parallel it runs.
        const double vStart = fray->valueFxy(x1, y1, nullptr);
        const double vEnd = fray->valueFxy(x2, y2, nullptr);
        const double t = vStart / (vStart - vEnd);
        x = x1 + t * (x2 - x1);
        y = y1 + t * (y2 - y1);
    }

    VelboNode2D* node = new VelboNode2D(0);
    node->setXn(x);
    node->setYn(y);

    edgeFlex(node, true);
    VelboEdge2D* twin = m_twin;
    if (twin == nullptr) {
        return node;
    }
    twin->edgeFlex(node, true);
    // Pair the four pieces crosswise: start->node with node->start and
    // node->end with end->node.
    VelboEdge2D* thisSecond = m_next;
    VelboEdge2D* twinSecond = twin->m_next;
    m_twin = twinSecond;
    twinSecond->m_twin = this;
    thisSecond->m_twin = twin;
    twin->m_twin = thisSecond;
    return node;
}

void VelboEdge2D::edgeFlex(VelboNode2D* internalNode, bool setParent)
{
    VelboEdge2D* second = new VelboEdge2D(m_element, true);
    second->setNodes(internalNode, m_end);
    m_end = internalNode;
    second->m_next = m_next;
    second->m_before = this;
    m_next = second;
    m_sliced = true;
    if (setParent) {
        second->m_parentEdge = m_parentEdge;
    }
}

void VelboEdge2D::edgeFlip()
{
    std::swap(m_start, m_end);
}

VelboEdge2D* VelboEdge2D::edgeFlipAndTwin()
{
    VelboEdge2D* twin = new VelboEdge2D(this);
    twin->edgeFlip();
    twin->m_twin = this;
    m_twin = twin;
    return twin;
}

bool VelboEdge2D::edgeIsWellDefined() const
{
    return m_start != nullptr && m_end != nullptr;
}

bool VelboEdge2D::edgeIsAligned(const VelboEdge2D* edge) const
{
    return edge != nullptr && m_parentEdge == edge->m_parentEdge;
}

double VelboEdge2D::edgeDotProd(const VelboEdge2D* edge) const
{
    // An edge without both nodes has no direction.
    if (edge == nullptr || !edgeIsWellDefined() || !edge->edgeIsWellDefined()) {
        return 0.0;
    }
    const double a1 = m_end->xn() - m_start->xn();
    const double b1 = m_end->yn() - m_start->yn();
    const double a2 = edge->m_end->xn() - edge->m_start->xn();
    const double b2 = edge->m_end->yn() - edge->m_start->yn();
    return a1 * b2 - a2 * b1;
}

double VelboEdge2D::edgeLenght() const
{
    if (!edgeIsWellDefined()) {
        return 0.0;
    }
    return VelboNode2D::measureDistanceFromNodes(m_start, m_end);
}

unsigned int VelboEdge2D::instances()
{
    return m_instances;
}

// Storage of the class's objects. It is never destroyed, so that objects
// deleted while the process exits still find it.
static VelboStoragePool& edgeStorage()
{
    static VelboStoragePool* const pool = new VelboStoragePool(sizeof(VelboEdge2D));
    return *pool;
}

void* VelboEdge2D::operator new(std::size_t size)
{
    void* p = edgeStorage().allocate(size);
    ++m_instances;
    return p;
}

void VelboEdge2D::operator delete(void* p, std::size_t size)
{
    if (p == nullptr) {
        return;
    }
    --m_instances;
    edgeStorage().release(p, size);
}

#include "velbocore/velbotriangle.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <utility>

#include "coreobj/func2linear.h"
#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"
#include "coreobj/funcparabola.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velboedge2d.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbostoragepool.h"
#include "velbocore/velbotriangleintegral.h"

unsigned int VelboTriangle::m_instances = 0;

namespace {
// A sound ring has at most six half-edges; a walk longer than this means
// the ring does not close.
constexpr int kMaxRingSteps = 100;

bool sameNode(const VelboNode2D* a, const VelboNode2D* b)
{
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return *a == *b;
}

VelboNode2D nodeCopy(const VelboNode2D* node)
{
    return node != nullptr ? VelboNode2D(*node) : VelboNode2D();
}

VelboNode2D* deepNode(const VelboNode2D* node)
{
    return node != nullptr ? new VelboNode2D(node->xn(), node->yn(), node->id()) : nullptr;
}

bool onlyOneRay(const double* ray, const Func2Linear* rayf)
{
    return (ray == nullptr) != (rayf == nullptr);
}
}

VelboTriangle::VelboTriangle(int id)
    : VelboSectionElement(id),
      m_edge1(nullptr),
      m_edge2(nullptr),
      m_edge3(nullptr),
      m_next(nullptr),
      m_before(nullptr),
      m_deleteEdges(true)
{
    m_edge1 = new VelboEdge2D(this, false);
    m_edge2 = new VelboEdge2D(this, false);
    m_edge3 = new VelboEdge2D(this, false);
    triangleEdgesReNext();
}

VelboTriangle::VelboTriangle(const VelboTriangle& other)
    : VelboTriangle(other.id())
{
    m_setP1(other.m_P1());
    m_setP2(other.m_P2());
    m_setP3(other.m_P3());
    m_heldNodes = other.m_heldNodes;
}

VelboTriangle::VelboTriangle(const VelboCostitutiveLaw* law, bool withEdge3)
    : VelboSectionElement(0),
      m_edge1(nullptr),
      m_edge2(nullptr),
      m_edge3(withEdge3 ? new VelboEdge2D(this, false) : nullptr),
      m_next(nullptr),
      m_before(nullptr),
      m_deleteEdges(false)
{
    setCostitutiveLaw(law);
}

VelboTriangle& VelboTriangle::operator=(const VelboTriangle& other)
{
    if (this == &other) {
        return *this;
    }
    setId(other.id());
    VelboNode2D* p1 = other.m_P1();
    VelboNode2D* p2 = other.m_P2();
    VelboNode2D* p3 = other.m_P3();
    m_setP1(p1);
    m_setP2(p2);
    m_setP3(p3);
    m_heldNodes = other.m_heldNodes;
    return *this;
}

bool VelboTriangle::operator==(const VelboTriangle& other) const
{
    if (id() != other.id()) {
        return false;
    }
    const VelboEdge2D* mine[3] = {m_edge1, m_edge2, m_edge3};
    const VelboEdge2D* theirs[3] = {other.m_edge1, other.m_edge2, other.m_edge3};
    for (int k = 0; k < 3; ++k) {
        if (mine[k] == nullptr || theirs[k] == nullptr) {
            if (mine[k] != theirs[k]) {
                return false;
            }
            continue;
        }
        if (!sameNode(mine[k]->getNodeStart(), theirs[k]->getNodeStart())
            || !sameNode(mine[k]->getNodeEnd(), theirs[k]->getNodeEnd())) {
            return false;
        }
    }
    return true;
}

VelboTriangle::~VelboTriangle()
{
    if (m_deleteEdges) {
        delete m_edge1;
        delete m_edge2;
        delete m_edge3;
    }
}

VelboTriangle* VelboTriangle::copy() const
{
    VelboTriangle* triangle = new VelboTriangle(id());
    triangle->setCostitutiveLaw(getCostitutiveLaw());
    triangle->m_setP1(deepNode(m_P1()));
    triangle->m_setP2(deepNode(m_P2()));
    triangle->m_setP3(deepNode(m_P3()));
    return triangle;
}

std::string VelboTriangle::typeNameOfStruObject() const
{
    return "triangolo";
}

VelboTriangle* VelboTriangle::clone() const
{
    VelboTriangle* triangle = new VelboTriangle(*this);
    triangle->setCostitutiveLaw(getCostitutiveLaw());
    return triangle;
}

VelboTriangle* VelboTriangle::setP1(VelboNode2D* P1)
{
    m_setP1(P1);
    m_releaseUnusedNodes();
    return this;
}

VelboTriangle* VelboTriangle::setP2(VelboNode2D* P2)
{
    m_setP2(P2);
    m_releaseUnusedNodes();
    return this;
}

VelboTriangle* VelboTriangle::setP3(VelboNode2D* P3)
{
    m_setP3(P3);
    m_releaseUnusedNodes();
    return this;
}

VelboNode2D VelboTriangle::getNodeP1() const
{
    return nodeCopy(m_P1());
}

VelboNode2D VelboTriangle::getNodeP2() const
{
    return nodeCopy(m_P2());
}

VelboNode2D VelboTriangle::getNodeP3() const
{
    return nodeCopy(m_P3());
}

void VelboTriangle::setNodeP1(const VelboNode2D& P1)
{
    std::shared_ptr<VelboNode2D> node(new VelboNode2D(P1));
    m_holdNode(node);
    m_setP1(node.get());
    m_releaseUnusedNodes();
}

void VelboTriangle::setNodeP2(const VelboNode2D& P2)
{
    std::shared_ptr<VelboNode2D> node(new VelboNode2D(P2));
    m_holdNode(node);
    m_setP2(node.get());
    m_releaseUnusedNodes();
}

void VelboTriangle::setNodeP3(const VelboNode2D& P3)
{
    std::shared_ptr<VelboNode2D> node(new VelboNode2D(P3));
    m_holdNode(node);
    m_setP3(node.get());
    m_releaseUnusedNodes();
}

void VelboTriangle::m_holdNode(const std::shared_ptr<VelboNode2D>& node)
{
    m_heldNodes.push_back(node);
}

void VelboTriangle::m_releaseUnusedNodes()
{
    // A held node may serve more than one vertex (setP2(P1())), so it goes
    // only when none uses it; copies sharing it keep it alive.
    const VelboNode2D* const used[3] = {m_P1(), m_P2(), m_P3()};
    const auto unused = [&used](const std::shared_ptr<VelboNode2D>& held) {
        return std::find(std::begin(used), std::end(used), held.get()) == std::end(used);
    };
    m_heldNodes.erase(std::remove_if(m_heldNodes.begin(), m_heldNodes.end(), unused), m_heldNodes.end());
}

VelboNode2D* VelboTriangle::m_P1() const
{
    return m_edge1 != nullptr ? m_edge1->getNodeStart() : nullptr;
}

VelboNode2D* VelboTriangle::m_P2() const
{
    return m_edge2 != nullptr ? m_edge2->getNodeStart() : nullptr;
}

VelboNode2D* VelboTriangle::m_P3() const
{
    return m_edge3 != nullptr ? m_edge3->getNodeStart() : nullptr;
}

void VelboTriangle::m_setP1(VelboNode2D* P1)
{
    m_edge1->setNodeStart(P1);
    m_edge3->setNodeEnd(P1);
}

void VelboTriangle::m_setP2(VelboNode2D* P2)
{
    m_edge2->setNodeStart(P2);
    m_edge1->setNodeEnd(P2);
}

void VelboTriangle::m_setP3(VelboNode2D* P3)
{
    m_edge3->setNodeStart(P3);
    m_edge2->setNodeEnd(P3);
}

VelboNode2D* VelboTriangle::nodeAt(int i) const
{
    switch (i) {
    case 0:
        return m_P1();
    case 1:
        return m_P2();
    case 2:
        return m_P3();
    default:
        return nullptr;
    }
}

int VelboTriangle::sizeOfNodes() const
{
    return 3;
}

bool VelboTriangle::setNode(VelboNode2D* node, int i)
{
    if (node == nullptr) {
        return false;
    }
    switch (i) {
    case 0:
        m_setP1(node);
        break;
    case 1:
        m_setP2(node);
        break;
    case 2:
        m_setP3(node);
        break;
    default:
        return false;
    }
    m_releaseUnusedNodes();
    return true;
}

VelboEdge2D* VelboTriangle::edgeAt(int i) const
{
    switch (i) {
    case 0:
        return m_edge1;
    case 1:
        return m_edge2;
    case 2:
        return m_edge3;
    default:
        return nullptr;
    }
}

int VelboTriangle::sizeOfEdges() const
{
    return 3;
}

bool VelboTriangle::elementIsSolid() const
{
    return true;
}

int VelboTriangle::typeOfStruElement() const
{
    return ELEM_TRIANGLE;
}

double VelboTriangle::elementCalcArea() const
{
    const VelboNode2D& p1 = *m_P1();
    const VelboNode2D& p2 = *m_P2();
    const VelboNode2D& p3 = *m_P3();
    return triangleArea(p1.xn(), p1.yn(), p2.xn(), p2.yn(), p3.xn(), p3.yn());
}

VelboNode2D VelboTriangle::elementCalcBarycenter() const
{
    const VelboNode2D& p1 = *m_P1();
    const VelboNode2D& p2 = *m_P2();
    const VelboNode2D& p3 = *m_P3();
    return VelboNode2D((p1.xn() + p2.xn() + p3.xn()) / 3, (p1.yn() + p2.yn() + p3.yn()) / 3, 0);
}

VelboAreaProperties VelboTriangle::elementCalcAreaProperties() const
{
    const VelboNode2D& p1 = *m_P1();
    const VelboNode2D& p2 = *m_P2();
    const VelboNode2D& p3 = *m_P3();
    return VelboTriangleIntegral::areaProperties(p1.xn(), p1.yn(), p2.xn(), p2.yn(), p3.xn(), p3.yn());
}

double VelboTriangle::elementYtop() const
{
    return std::min({m_P1()->yn(), m_P2()->yn(), m_P3()->yn()});
}

double VelboTriangle::elementYbot() const
{
    return std::max({m_P1()->yn(), m_P2()->yn(), m_P3()->yn()});
}

VelboMesh* VelboTriangle::meshMake()
{
    VelboMesh* mesh = new VelboMesh(this);
    VelboTriangle* triangle = copy();
    triangle->releaseEdges();
    mesh->setTriangleFirst(triangle);
    mesh->setTriangleLast(triangle);

    // Node chain P1 -> P2 -> P3 of the copy.
    VelboNode2D* last = nullptr;
    for (VelboNode2D* node : {triangle->m_P1(), triangle->m_P2(), triangle->m_P3()}) {
        if (node == nullptr) {
            continue;
        }
        if (last == nullptr) {
            mesh->setNodeFirst(node);
        } else {
            last->setNextNode(node);
            node->setBeforeNode(last);
        }
        last = node;
    }
    mesh->setNodeLast(last);

    elementSetMesh(mesh);
    return mesh;
}

VelboSectionForces VelboTriangle::elementForcesByLaw(const FuncLinear& planeStrain) const
{
    VelboSectionForces forces;
    if (mesh() != nullptr) {
        forces += mesh()->triangleForcesByLaw(planeStrain);
    } else {
        forces += m_elementForcesByLaw(planeStrain);
    }
    return forces;
}

int VelboTriangle::pieceCoefficients(const Func1* piece, double* a, double* b, double* c)
{
    return m_pieceCoeff(piece, piece != nullptr ? piece->func1Type() : Func1::FUNC1_UNKNOWN, a, b, c);
}

int VelboTriangle::m_pieceCoeff(const Func1* piece, int type, double* a, double* b, double* c)
{
    switch (type) {
    case Func1::FUNC1_CONST: {
        const FuncConst* f = dynamic_cast<const FuncConst*>(piece);
        if (f == nullptr) {
            return Func1::FUNC1_ERR_CASTING;
        }
        *a = 0.0;
        *b = 0.0;
        *c = f->c();
        return Func1::FUNC1_ERR_OK;
    }
    case Func1::FUNC1_LINEAR: {
        const FuncLinear* f = dynamic_cast<const FuncLinear*>(piece);
        if (f == nullptr) {
            return Func1::FUNC1_ERR_CASTING;
        }
        *a = 0.0;
        *b = f->b();
        *c = f->c();
        return Func1::FUNC1_ERR_OK;
    }
    case Func1::FUNC1_PARABOLA: {
        const FuncParabola* f = dynamic_cast<const FuncParabola*>(piece);
        if (f == nullptr) {
            return Func1::FUNC1_ERR_CASTING;
        }
        *a = f->a();
        *b = f->b();
        *c = f->c();
        return Func1::FUNC1_ERR_OK;
    }
    default:
        return Func1::FUNC1_ERR_TYPE_UNKNOWN;
    }
}

int VelboTriangle::m_lawCoeffQuadLinearConst(double strain, double* a, double* b, double* c) const
{
    const VelboCostitutiveLaw* law = getCostitutiveLaw();
    if (law == nullptr) {
        return Func1::FUNC1_ERR_CASTING;
    }
    int funcIndex = -1;
    int err = Func1::FUNC1_ERR_OK;
    const int type = law->typeFx(strain, &funcIndex, &err);
    if (err != Func1::FUNC1_ERR_OK) {
        return err;
    }
    return m_pieceCoeff(law->getFuncAt(funcIndex), type, a, b, c);
}

VelboSectionForces VelboTriangle::m_elementForcesByLaw(const FuncLinear& planeStrain) const
{
    VelboSectionForces forces;
    const VelboCostitutiveLaw* law = getCostitutiveLaw();
    if (law == nullptr) {
        return forces;
    }

    const double yG = elementCalcBarycenter().yn();
    const double strain = planeStrain.valueFx(yG, nullptr);
    double alpha = 0.0;
    double beta = 0.0;
    double gamma = 0.0;
    int err = m_lawCoeffQuadLinearConst(strain, &alpha, &beta, &gamma);
    if (err == Func1::FUNC1_ERR_OUTLIMITS) {
        // Past the last internal limit and out of the outer limits: the law's
        // own evaluation still uses its last piece there, and so do we.
        const int last = static_cast<int>(law->getInternalLimits().size());
        const Func1* piece = law->getFuncAt(last);
        err = m_pieceCoeff(piece, piece != nullptr ? piece->func1Type() : Func1::FUNC1_UNKNOWN,
                           &alpha, &beta, &gamma);
    }
    if (err != Func1::FUNC1_ERR_OK) {
        return forces;
    }

    // sigma(y) = a*y^2 + b*y + c under eps(y) = g*y + e0.
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    VelboTriangleIntegral::stressInY(alpha, beta, gamma, planeStrain.b(), planeStrain.c(), &a, &b, &c);

    double fz = 0.0;
    double mx = 0.0;
    double my = 0.0;
    VelboTriangleIntegral::forces(a, b, c, elementCalcAreaProperties(), &fz, &mx, &my);
    forces.setFz(fz);
    forces.setMx(mx);
    forces.setMy(my);
    return forces;
}

void VelboTriangle::triangleEdgesReNext()
{
    m_edge1->setNextEdge(m_edge2);
    m_edge1->setBeforeEdge(m_edge3);
    m_edge2->setNextEdge(m_edge3);
    m_edge2->setBeforeEdge(m_edge1);
    m_edge3->setNextEdge(m_edge1);
    m_edge3->setBeforeEdge(m_edge2);
    elementSetFirst(m_edge1);
}

void VelboTriangle::m_adoptRing()
{
    triangleEdgesReNext();
    m_edge1->setUnsliced();
    m_edge2->setUnsliced();
    m_edge3->setUnsliced();
}

bool VelboTriangle::setEdgesIncluded(VelboEdge2D* edge1, VelboEdge2D* edge2)
{
    if (edge1 == nullptr || edge2 == nullptr || edge1->getNodeEnd() != edge2->getNodeStart()) {
        return false;
    }
    if (m_edge1 != edge1) {
        delete m_edge1;
        m_edge1 = edge1;
    }
    edge1->setElement(this);
    if (m_edge2 != edge2) {
        delete m_edge2;
        m_edge2 = edge2;
    }
    edge2->setElement(this);
    if (m_edge3 == nullptr) {
        m_edge3 = new VelboEdge2D(this, false);
    }
    m_edge3->setNodes(edge2->getNodeEnd(), edge1->getNodeStart());
    return true;
}

bool VelboTriangle::setEdgesIncluded(VelboEdge2D* edge1, VelboEdge2D* edge2, VelboEdge2D* edge3)
{
    if (edge1 == nullptr || edge2 == nullptr || edge3 == nullptr
        || edge1->getNodeEnd() != edge2->getNodeStart()
        || edge2->getNodeEnd() != edge3->getNodeStart()
        || edge3->getNodeEnd() != edge1->getNodeStart()) {
        return false;
    }
    VelboEdge2D** own[3] = {&m_edge1, &m_edge2, &m_edge3};
    VelboEdge2D* given[3] = {edge1, edge2, edge3};
    for (int k = 0; k < 3; ++k) {
        if (*own[k] != given[k]) {
            delete *own[k];
            *own[k] = given[k];
        }
        given[k]->setElement(this);
    }
    return true;
}

double VelboTriangle::triangleArea(double x1, double y1, double x2, double y2, double x3, double y3)
{
    return 0.5 * std::fabs((x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1));
}

void VelboTriangle::bounding(double* xtop, double* ytop, double* xbot, double* ybot) const
{
    const VelboNode2D& p1 = *m_P1();
    const VelboNode2D& p2 = *m_P2();
    const VelboNode2D& p3 = *m_P3();
    *xtop = std::min({p1.xn(), p2.xn(), p3.xn()});
    *ytop = std::min({p1.yn(), p2.yn(), p3.yn()});
    *xbot = std::max({p1.xn(), p2.xn(), p3.xn()});
    *ybot = std::max({p1.yn(), p2.yn(), p3.yn()});
}

bool VelboTriangle::triangleIsWellDefined() const
{
    return m_edge1 != nullptr && m_edge2 != nullptr && m_edge3 != nullptr
        && m_edge1->edgeIsWellDefined() && m_edge2->edgeIsWellDefined() && m_edge3->edgeIsWellDefined();
}

int VelboTriangle::triangleAreaSign() const
{
    const double cross = m_edge1->edgeDotProd(m_edge2);
    if (cross < 0.0) {
        return -1;
    }
    if (cross > 0.0) {
        return 1;
    }
    return 0;
}

bool VelboTriangle::intersected(const double* ray, const Func2Linear* rayf, double onLine) const
{
    if (!onlyOneRay(ray, rayf)) {
        return false;
    }
    const VelboNode2D& p1 = *m_P1();
    const VelboNode2D& p2 = *m_P2();
    const VelboNode2D& p3 = *m_P3();
    if (ray != nullptr) {
        const double c = *ray;
        return std::min({p1.yn(), p2.yn(), p3.yn()}) < c && c < std::max({p1.yn(), p2.yn(), p3.yn()});
    }
    const int s1 = VelboEdge2D::sideOfLine(*rayf, p1, onLine);
    const int s2 = VelboEdge2D::sideOfLine(*rayf, p2, onLine);
    const int s3 = VelboEdge2D::sideOfLine(*rayf, p3, onLine);
    const bool positive = s1 > 0 || s2 > 0 || s3 > 0;
    const bool negative = s1 < 0 || s2 < 0 || s3 < 0;
    return positive && negative;
}

VelboNode2D* VelboTriangle::triangleSlice(int* nbEdges, int* nbNodes, const double* yray, const Func2Linear* fray,
                                          double onLine)
{
    VelboEdge2D* const first = elementFirstEdge();
    VelboNode2D* firstNode = nullptr;
    VelboNode2D* lastNode = nullptr;
    VelboEdge2D* edge = first;
    int steps = 0;
    do {
        if (edge == nullptr || ++steps > kMaxRingSteps) {
            *nbEdges = -1;
            return firstNode;
        }
        if (edge->isSliced()) {
            // Half of a side the neighbour has already split in this pass.
            *nbEdges += 1;
            edge = edge->getNext();
            continue;
        }
        VelboNode2D* node = edge->edgeSlice(yray, fray, onLine);
        if (node == nullptr) {
            edge = edge->getNext();
            continue;
        }
        *nbNodes += 1;
        if (firstNode == nullptr) {
            firstNode = node;
        } else {
            lastNode->setNextNode(node);
            node->setBeforeNode(lastNode);
        }
        lastNode = node;
        *nbEdges += 2;
        edge = edge->getNext()->getNext();
    } while (edge != first);
    return firstNode;
}

VelboTriangle* VelboTriangle::triangleRemesh1() const
{
    // Ring U -> N -> V -> W -> U, with U -> N, N -> V the halves of the split side.
    VelboEdge2D* const first = elementFirstEdge();
    VelboEdge2D* un = nullptr;
    VelboEdge2D* edge = first;
    int steps = 0;
    do {
        if (edge == nullptr || edge->getNext() == nullptr || ++steps > kMaxRingSteps) {
            return nullptr;
        }
        if (edge->edgeIsAligned(edge->getNext())) {
            un = edge;
            break;
        }
        edge = edge->getNext();
    } while (edge != first);
    if (un == nullptr) {
        return nullptr;
    }

    VelboEdge2D* const nv = un->getNext();
    VelboEdge2D* const vw = nv->getNext();
    VelboEdge2D* const wu = un->getBefore();
    // The ring must be exactly these four, chained; then neither triangle
    // below can refuse its edges and nothing is moved on failure.
    if (vw == nullptr || wu == nullptr || vw->getNext() != wu || wu->getNext() != un
        || nv->getNodeEnd() != vw->getNodeStart() || vw->getNodeEnd() != wu->getNodeStart()
        || wu->getNodeEnd() != un->getNodeStart() || un->getNodeEnd() != nv->getNodeStart()) {
        return nullptr;
    }

    const VelboCostitutiveLaw* law = getCostitutiveLaw();
    // (N, V, W), closed by its own W -> N.
    VelboTriangle* t1 = new VelboTriangle(law, true);
    t1->setEdgesIncluded(nv, vw);
    // (N, W, U).
    VelboTriangle* t2 = new VelboTriangle(law, false);
    t2->setEdgesIncluded(t1->m_edge3->edgeFlipAndTwin(), wu, un);

    t1->m_adoptRing();
    t2->m_adoptRing();
    t1->releaseEdges();
    t2->releaseEdges();
    t1->setNextTriangle(t2);
    t2->setBeforeTriangle(t1);
    return t1;
}

VelboTriangle* VelboTriangle::triangleRemesh2() const
{
    // Ring U -> N1 -> L -> N2 -> W -> U, L alone on its side of the ray.
    VelboEdge2D* const first = elementFirstEdge();
    VelboEdge2D* aligned[2] = {nullptr, nullptr};
    int found = 0;
    VelboEdge2D* edge = first;
    int steps = 0;
    do {
        if (edge == nullptr || edge->getNext() == nullptr || ++steps > kMaxRingSteps) {
            return nullptr;
        }
        if (edge->edgeIsAligned(edge->getNext())) {
            aligned[found++] = edge;
        }
        edge = edge->getNext();
    } while (edge != first && found < 2);
    if (found < 2) {
        return nullptr;
    }
    if (aligned[0]->getNext()->getNodeEnd() != aligned[1]->getNodeStart()) {
        std::swap(aligned[0], aligned[1]);
    }

    VelboEdge2D* const un1 = aligned[0];
    VelboEdge2D* const n1l = un1->getNext();
    VelboEdge2D* const ln2 = aligned[1];
    VelboEdge2D* const n2w = ln2->getNext();
    VelboEdge2D* const wu = n2w->getNext();
    // The ring must be exactly these five, chained (see triangleRemesh1).
    if (n1l->getNext() != ln2 || wu == nullptr || wu->getNext() != un1
        || un1->getNodeEnd() != n1l->getNodeStart() || n1l->getNodeEnd() != ln2->getNodeStart()
        || ln2->getNodeEnd() != n2w->getNodeStart() || n2w->getNodeEnd() != wu->getNodeStart()
        || wu->getNodeEnd() != un1->getNodeStart()) {
        return nullptr;
    }

    const VelboCostitutiveLaw* law = getCostitutiveLaw();
    // (N1, L, N2), closed by its own N2 -> N1.
    VelboTriangle* t1 = new VelboTriangle(law, true);
    t1->setEdgesIncluded(n1l, ln2);
    // (N1, N2, W), closed by its own W -> N1.
    VelboTriangle* t2 = new VelboTriangle(law, true);
    t2->setEdgesIncluded(t1->m_edge3->edgeFlipAndTwin(), n2w);
    // (N1, W, U).
    VelboTriangle* t3 = new VelboTriangle(law, false);
    t3->setEdgesIncluded(t2->m_edge3->edgeFlipAndTwin(), wu, un1);

    for (VelboTriangle* t : {t1, t2, t3}) {
        t->m_adoptRing();
        t->releaseEdges();
    }
    t1->setNextTriangle(t2);
    t2->setBeforeTriangle(t1);
    t2->setNextTriangle(t3);
    t3->setBeforeTriangle(t2);
    return t1;
}

unsigned int VelboTriangle::instances()
{
    return m_instances;
}

// Storage of the class's objects. It is never destroyed, so that objects
// deleted while the process exits still find it.
static VelboStoragePool& triangleStorage()
{
    static VelboStoragePool* const pool = new VelboStoragePool(sizeof(VelboTriangle));
    return *pool;
}

void* VelboTriangle::operator new(std::size_t size)
{
    void* p = triangleStorage().allocate(size);
    ++m_instances;
    return p;
}

void VelboTriangle::operator delete(void* p, std::size_t size)
{
    if (p == nullptr) {
        return;
    }
    --m_instances;
    triangleStorage().release(p, size);
}

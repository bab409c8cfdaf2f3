#include "velbocore/velbocircle.h"

#include <limits>
#include <new>

#include "coreobj/funclinear.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbosectionforces.h"

unsigned int VelboCircle::m_instances = 0;

namespace {
constexpr double kPi = 3.141592653589793;

// Coordinates of a missing centre: not a number, so nothing derived from
// them passes for a real position.
constexpr double kNoCoord = std::numeric_limits<double>::quiet_NaN();
}

VelboCircle::VelboCircle(int id)
    : VelboSectionElement(id),
      m_center(nullptr),
      m_radius(0.0),
      m_nextCircle(nullptr),
      m_beforeCircle(nullptr)
{
}

VelboCircle::VelboCircle(const VelboCircle& other)
    : VelboSectionElement(other.id()),
      m_center(other.m_center),
      m_radius(other.m_radius),
      m_nextCircle(nullptr),
      m_beforeCircle(nullptr),
      m_heldCenter(other.m_heldCenter),
      m_centerFiledBy(other.m_centerFiledBy)
{
}

VelboCircle& VelboCircle::operator=(const VelboCircle& other)
{
    // Id and geometry only: law, mesh and links stay.
    if (&other == this) {
        return *this;
    }
    setId(other.id());
    m_center = other.m_center;
    m_radius = other.m_radius;
    m_heldCenter = other.m_heldCenter;
    m_centerFiling.reset();
    m_centerFiledBy = other.m_centerFiledBy;
    return *this;
}

bool VelboCircle::operator==(const VelboCircle& other) const
{
    if (id() != other.id() || m_radius != other.m_radius) {
        return false;
    }
    if (m_center == nullptr || other.m_center == nullptr) {
        return m_center == other.m_center;
    }
    return *m_center == *other.m_center;
}

VelboCircle::~VelboCircle() = default;

VelboCircle* VelboCircle::copy() const
{
    VelboCircle* circle = new VelboCircle(id());
    circle->setCostitutiveLaw(getCostitutiveLaw());
    circle->m_radius = m_radius;
    if (m_center != nullptr) {
        circle->m_center = new VelboNode2D(m_center->xn(), m_center->yn(), m_center->id());
    }
    return circle;
}

std::string VelboCircle::typeNameOfStruObject() const
{
    return "cerchio";
}

VelboCircle* VelboCircle::clone() const
{
    VelboCircle* circle = new VelboCircle(*this);
    circle->setCostitutiveLaw(getCostitutiveLaw());
    return circle;
}

VelboCircle* VelboCircle::setCenter(VelboNode2D* center)
{
    if (center != m_heldCenter.get()) {
        m_heldCenter.reset();
        m_centerFiling.reset();
        m_centerFiledBy.reset();
    }
    m_center = center;
    return this;
}

VelboCircle* VelboCircle::shareCenter(const std::shared_ptr<VelboNode2D>& center)
{
    m_heldCenter = center;
    m_center = center.get();
    m_centerFiling = std::make_shared<const bool>(true);
    m_centerFiledBy = m_centerFiling;
    return this;
}

VelboCircle* VelboCircle::ownCenter()
{
    if (m_center != nullptr) {
        m_heldCenter.reset(new VelboNode2D(*m_center));
        m_center = m_heldCenter.get();
    }
    m_centerFiling.reset();
    m_centerFiledBy.reset();
    return this;
}

VelboNode2D VelboCircle::getNodeCenter() const
{
    return m_center != nullptr ? VelboNode2D(*m_center) : VelboNode2D();
}

void VelboCircle::setCenterNode(const VelboNode2D& center)
{
    if (m_center == nullptr) {
        // No node to write into: make one, kept alive by this circle and
        // by every copy made from it from now on.
        m_heldCenter.reset(new VelboNode2D(center));
        m_center = m_heldCenter.get();
        m_centerFiling.reset();
        m_centerFiledBy.reset();
        return;
    }
    // A filed node changing its id would no longer be where its holder
    // looks it up: it takes the coordinates only.
    const int id = m_center->id();
    *m_center = center;
    if (centerIdKept()) {
        m_center->setId(id);
    }
}

VelboCircle* VelboCircle::setRadius(double radius)
{
    m_radius = radius;
    return this;
}

VelboNode2D* VelboCircle::nodeAt(int i) const
{
    return i == 0 ? m_center : nullptr;
}

int VelboCircle::sizeOfNodes() const
{
    return 1;
}

bool VelboCircle::setNode(VelboNode2D* node, int i)
{
    if (node == nullptr || i != 0) {
        return false;
    }
    setCenter(node);
    return true;
}

VelboEdge2D* VelboCircle::edgeAt(int /*i*/) const
{
    return nullptr;
}

int VelboCircle::sizeOfEdges() const
{
    return 0;
}

bool VelboCircle::elementIsSolid() const
{
    return false;
}

double VelboCircle::elementCalcArea() const
{
    return m_radius * (m_radius * kPi);
}

VelboNode2D VelboCircle::elementCalcBarycenter() const
{
    if (m_center == nullptr) {
        return VelboNode2D(kNoCoord, kNoCoord, 0);
    }
    return VelboNode2D(m_center->xn(), m_center->yn(), 0);
}

VelboAreaProperties VelboCircle::elementCalcAreaProperties() const
{
    // The whole area sits at the centre: the disc's own inertia is left out.
    const double a = elementCalcArea();
    const double xc = m_center != nullptr ? m_center->xn() : kNoCoord;
    const double yc = m_center != nullptr ? m_center->yn() : kNoCoord;
    VelboAreaProperties p;
    p.setArea(a);
    p.setSx(yc * a);
    p.setSy(xc * a);
    p.setIxx(yc * (yc * a));
    p.setIyy(xc * (xc * a));
    p.setIxy(yc * (xc * a));
    p.setIxxy(0.0);
    p.setIxxx(0.0);
    return p;
}

double VelboCircle::elementYtop() const
{
    return m_center != nullptr ? m_center->yn() : kNoCoord;
}

double VelboCircle::elementYbot() const
{
    return elementYtop();
}

VelboMesh* VelboCircle::meshMake()
{
    VelboMesh* mesh = new VelboMesh(this);
    VelboCircle* circle = copy();
    mesh->setCircleFirst(circle);
    mesh->setCircleLast(circle);
    mesh->setNodeFirst(circle->center());
    mesh->setNodeLast(circle->center());
    elementSetMesh(mesh);
    return mesh;
}

VelboSectionForces VelboCircle::elementForcesByLaw(const FuncLinear& planeStrain) const
{
    VelboSectionForces forces;
    const VelboCostitutiveLaw* law = getCostitutiveLaw();
    if (law == nullptr || m_center == nullptr) {
        // Nothing to integrate: a bar without law or position carries no force.
        return forces;
    }
    const double a = elementCalcArea();
    const double xc = m_center->xn();
    const double yc = m_center->yn();
    const double strain = planeStrain.valueFx(yc, nullptr);
    const double stress = law->valueFx(strain, nullptr);
    forces.setFz(stress * a);
    forces.setMx(stress * a * yc);
    forces.setMy(stress * a * xc);
    return forces;
}

int VelboCircle::typeOfStruElement() const
{
    return ELEM_CIRCLE;
}

unsigned int VelboCircle::instances()
{
    return m_instances;
}

void* VelboCircle::operator new(std::size_t size)
{
    void* p = ::operator new(size);
    ++m_instances;
    return p;
}

void VelboCircle::operator delete(void* p)
{
    if (p == nullptr) {
        return;
    }
    --m_instances;
    ::operator delete(p);
}

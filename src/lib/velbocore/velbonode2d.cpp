#include "velbocore/velbonode2d.h"

#include <cmath>
#include <cstdlib>
#include <new>

#include "velbocore/velboglobal.h"

unsigned int VelboNode2D::m_instances = 0;

namespace {
constexpr double kDegToRad = 0.017453292519943295;
}

VelboNode2D::VelboNode2D(int id)
    : VelboNode2D(0.0, 0.0, id)
{
}

VelboNode2D::VelboNode2D(double x, double y, int id)
    : VelboSectionObj(id),
      m_x(x),
      m_y(y),
      m_x_cache(x),
      m_y_cache(y),
      m_next(nullptr),
      m_before(nullptr)
{
}

VelboNode2D::VelboNode2D(const VelboNode2D& other)
    : VelboSectionObj(other.id()),
      m_x(other.m_x),
      m_y(other.m_y),
      m_x_cache(other.m_x_cache),
      m_y_cache(other.m_y_cache),
      m_next(nullptr),
      m_before(nullptr)
{
}

VelboNode2D& VelboNode2D::operator=(const VelboNode2D& other)
{
    // The chain links belong to the target's place in its mesh: keep them.
    setId(other.id());
    m_x = other.m_x;
    m_y = other.m_y;
    m_x_cache = other.m_x_cache;
    m_y_cache = other.m_y_cache;
    return *this;
}

bool VelboNode2D::operator==(const VelboNode2D& other) const
{
    return id() == other.id() && m_x == other.m_x && m_y == other.m_y
        && m_x_cache == other.m_x_cache && m_y_cache == other.m_y_cache;
}

VelboNode2D::~VelboNode2D() = default;

int VelboNode2D::typeOfStruObject() const
{
    return OBJ_NODE;
}

std::string VelboNode2D::typeNameOfStruObject() const
{
    return "nodo";
}

VelboNode2D* VelboNode2D::clone() const
{
    return new VelboNode2D(m_x, m_y, id());
}

void VelboNode2D::setXn(double x)
{
    m_x = x;
    m_x_cache = x;
}

void VelboNode2D::setYn(double y)
{
    m_y = y;
    m_y_cache = y;
}

double VelboNode2D::measureDistanceFrom(const VelboNode2D* from) const
{
    return measureDistanceFromNodes(from, this);
}

double VelboNode2D::measureDistanceFromNodes(const VelboNode2D* from, const VelboNode2D* to)
{
    const double dy = to->m_y - from->m_y;
    const double dx = to->m_x - from->m_x;
    return std::sqrt(dy * dy + dx * dx);
}

void VelboNode2D::nodeTranslate(const VelboNode2D& toPoint, const VelboNode2D& basePoint)
{
    m_x += toPoint.m_x - basePoint.m_x;
    m_y += toPoint.m_y - basePoint.m_y;
}

void VelboNode2D::nodeTranslate(double deltaX, double deltaY)
{
    m_x += deltaX;
    m_y += deltaY;
}

void VelboNode2D::nodeRotate(double degree)
{
    m_rotate(degree, m_x, m_y);
}

void VelboNode2D::nodeRotate(double degree, const VelboNode2D& basePoint)
{
    // Read the base first: it may be this very node.
    const double bx = basePoint.m_x;
    const double by = basePoint.m_y;
    double x = m_x - bx;
    double y = m_y - by;
    m_rotate(degree, x, y);
    m_x = x + bx;
    m_y = y + by;
}

void VelboNode2D::nodeRestoreGeometry()
{
    m_x = m_x_cache;
    m_y = m_y_cache;
}

void VelboNode2D::nodeSavingGeometry()
{
    m_x_cache = m_x;
    m_y_cache = m_y;
}

unsigned int VelboNode2D::instances()
{
    return m_instances;
}

void* VelboNode2D::operator new(std::size_t size)
{
    void* p = std::malloc(size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    ++m_instances;
    return p;
}

void VelboNode2D::operator delete(void* p)
{
    if (p == nullptr) {
        return;
    }
    --m_instances;
    std::free(p);
}

void VelboNode2D::m_rotate(double degree, double& x, double& y) const
{
    // Quarter turns are exact; every other angle goes through sin and cos.
    double s = 0.0;
    double c = 0.0;
    if (degree == 90.0) {
        s = 1.0;
        c = 0.0;
    } else if (degree == 180.0) {
        s = 0.0;
        c = -1.0;
    } else if (degree == 270.0) {
        s = -1.0;
        c = 0.0;
    } else {
        const double rad = degree * kDegToRad;
        s = std::sin(rad);
        c = std::cos(rad);
    }
    const double nx = x * c - y * s;
    const double ny = x * s + y * c;
    x = nx;
    y = ny;
}

std::ostream& operator<<(std::ostream& os, const VelboNode2D& obj)
{
    os << "VelboNode2d: id = (" << obj.xn() << "," << obj.yn() << ")" << '\n';
    return os;
}

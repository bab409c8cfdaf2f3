#include "velbocore/velboareaproperties.h"

VelboAreaProperties& VelboAreaProperties::operator+=(const VelboAreaProperties& other)
{
    m_area += other.m_area;
    m_sx += other.m_sx;
    m_sy += other.m_sy;
    m_ixx += other.m_ixx;
    m_iyy += other.m_iyy;
    m_ixy += other.m_ixy;
    m_ixxy += other.m_ixxy;
    m_ixxx += other.m_ixxx;
    return *this;
}

VelboAreaProperties VelboAreaProperties::operator+(const VelboAreaProperties& other)
{
    VelboAreaProperties sum(*this);
    sum += other;
    return sum;
}

VelboAreaProperties VelboAreaProperties::operator*(float v) const
{
    // The third-order integrals are left at 0 (only point-element records,
    // whose third-order integrals are 0, are ever scaled).
    const double f = static_cast<double>(v);
    VelboAreaProperties p;
    p.m_area = m_area * f;
    p.m_sx = m_sx * f;
    p.m_sy = m_sy * f;
    p.m_ixx = m_ixx * f;
    p.m_iyy = m_iyy * f;
    p.m_ixy = m_ixy * f;
    return p;
}

VelboAreaProperties operator+(const VelboAreaProperties& p1, const VelboAreaProperties& p2)
{
    VelboAreaProperties sum(p1);
    sum += p2;
    return sum;
}

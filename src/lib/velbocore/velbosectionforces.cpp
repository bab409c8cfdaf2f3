#include "velbocore/velbosectionforces.h"

#include <cmath>

unsigned int VelboSectionForces::m_instances = 0;

VelboSectionForces::VelboSectionForces()
    : m_fz(0.0), m_mx(0.0), m_my(0.0)
{
    ++m_instances;
}

VelboSectionForces::VelboSectionForces(VelboSectionForces const& other)
    : m_fz(other.m_fz), m_mx(other.m_mx), m_my(other.m_my)
{
    ++m_instances;
}

VelboSectionForces::~VelboSectionForces()
{
    --m_instances;
}

VelboSectionForces& VelboSectionForces::operator=(VelboSectionForces const& other)
{
    m_fz = other.m_fz;
    m_mx = other.m_mx;
    m_my = other.m_my;
    return *this;
}

VelboSectionForces& VelboSectionForces::operator+=(VelboSectionForces const& force)
{
    m_fz += force.m_fz;
    m_mx += force.m_mx;
    m_my += force.m_my;
    return *this;
}

void VelboSectionForces::translate(double odx, double ody)
{
    // A pure couple has the same moments about every point.
    if (m_fz == 0.0)
        return;
    m_my -= m_fz * odx;
    m_mx -= m_fz * ody;
}

void VelboSectionForces::rotate(double odegree)
{
    const double rad = odegree * 0.017453292519943295;
    double s = 0.0;
    double c = 0.0;
    // Quarter turns are exact; every other angle goes through sin/cos.
    if (odegree == 90.0) {
        s = 1.0;
        c = 0.0;
    } else if (odegree == 180.0) {
        s = 0.0;
        c = -1.0;
    } else if (odegree == 270.0) {
        s = -1.0;
        c = 0.0;
    } else {
        s = std::sin(rad);
        c = std::cos(rad);
    }
    const double mx = m_mx * c - m_my * s;
    const double my = m_mx * s + m_my * c;
    m_mx = mx;
    m_my = my;
}

unsigned int VelboSectionForces::instances()
{
    return m_instances;
}

VelboSectionForces operator+(VelboSectionForces const& f1, VelboSectionForces const& f2)
{
    VelboSectionForces sum(f1);
    sum += f2;
    return sum;
}

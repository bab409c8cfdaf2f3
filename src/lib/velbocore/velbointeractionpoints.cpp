#include "velbocore/velbointeractionpoints.h"

#include "velbocore/velbosectionforces.h"
#include "velbocore/xvertexgrid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

unsigned int VelboInteractionPoints::m_instances = 0;

VelboInteractionPoints::VelboInteractionPoints()
    : m_fzMin(0.0), m_fzMax(0.0),
      m_mxMin(0.0), m_mxMax(0.0),
      m_myMin(0.0), m_myMax(0.0),
      m_ratioDivision(0)
{
    ++m_instances;
}

VelboInteractionPoints::VelboInteractionPoints(int size, unsigned int ratioDivision)
    : m_vForces(static_cast<std::size_t>(std::max(size, 0)), nullptr),
      m_fzMin(0.0), m_fzMax(0.0),
      m_mxMin(0.0), m_mxMax(0.0),
      m_myMin(0.0), m_myMax(0.0),
      m_ratioDivision(ratioDivision)
{
    ++m_instances;
}

VelboInteractionPoints::VelboInteractionPoints(std::vector<VelboSectionForces*>&& points,
                                               unsigned int ratioDivision)
    : m_vForces(std::move(points)),
      m_fzMin(0.0), m_fzMax(0.0),
      m_mxMin(0.0), m_mxMax(0.0),
      m_myMin(0.0), m_myMax(0.0),
      m_ratioDivision(ratioDivision)
{
    ++m_instances;
    for (VelboSectionForces const* point : m_vForces)
        if (point != nullptr)
            m_updateBounding(point->fz(), point->mx(), point->my());
}

VelboInteractionPoints::~VelboInteractionPoints()
{
    m_deletePoints();
    --m_instances;
}

void VelboInteractionPoints::m_deletePoints()
{
    for (VelboSectionForces* point : m_vForces)
        delete point;
    m_vForces.clear();
}

void VelboInteractionPoints::interactionPointsDestroy()
{
    m_deletePoints();
}

int VelboInteractionPoints::interactionPointsSize() const
{
    return static_cast<int>(m_vForces.size());
}

void VelboInteractionPoints::interactionPointsInsertAt(int i, VelboSectionForces* point)
{
    if (point == nullptr)
        return;
    // The set owns the point from here on: one that has no slot is released.
    if (i < 0 || static_cast<std::size_t>(i) >= m_vForces.size()) {
        delete point;
        return;
    }
    m_updateBounding(point->fz(), point->mx(), point->my());
    VelboSectionForces*& slot = m_vForces[static_cast<std::size_t>(i)];
    // A filled slot is not expected; its old point is released rather than lost.
    delete slot;
    slot = point;
}

void VelboInteractionPoints::interactionPointsPushBack(VelboSectionForces* point)
{
    if (point == nullptr)
        return;
    m_updateBounding(point->fz(), point->mx(), point->my());
    m_vForces.push_back(point);
}

VelboSectionForces* VelboInteractionPoints::interactionPointAt(int i) const
{
    // A negative index wraps to a huge one, which at() refuses as well.
    return m_vForces.at(static_cast<std::size_t>(i));
}

// An empty slot reads as not-a-number so the slot order of the result holds.
static double componentOf(VelboSectionForces const* point, double (VelboSectionForces::*get)() const)
{
    return point != nullptr ? (point->*get)() : std::numeric_limits<double>::quiet_NaN();
}

std::vector<double> VelboInteractionPoints::interactionPointsFzToVector() const
{
    std::vector<double> values;
    values.reserve(m_vForces.size());
    for (VelboSectionForces const* point : m_vForces)
        values.push_back(componentOf(point, &VelboSectionForces::fz));
    return values;
}

std::vector<double> VelboInteractionPoints::interactionPointsMxToVector() const
{
    std::vector<double> values;
    values.reserve(m_vForces.size());
    for (VelboSectionForces const* point : m_vForces)
        values.push_back(componentOf(point, &VelboSectionForces::mx));
    return values;
}

std::vector<double> VelboInteractionPoints::interactionPointsMyToVector() const
{
    std::vector<double> values;
    values.reserve(m_vForces.size());
    for (VelboSectionForces const* point : m_vForces)
        values.push_back(componentOf(point, &VelboSectionForces::my));
    return values;
}

XVertexGrid* VelboInteractionPoints::interactionPointsGrid() const
{
    if (m_ratioDivision == 0)
        return nullptr;
    const int n = static_cast<int>(m_vForces.size());
    if (n <= 3)
        return nullptr;
    const double paths = static_cast<double>(n) / static_cast<double>(m_ratioDivision);
    if (std::floor(paths) != std::ceil(paths))
        return nullptr;
    // A set with an empty slot is not complete and gives no grid.
    if (std::find(m_vForces.begin(), m_vForces.end(), nullptr) != m_vForces.end())
        return nullptr;
    // Nor does one with a value beyond the float range: it has no float, and
    // converting it is undefined.
    if (!std::all_of(m_vForces.begin(), m_vForces.end(), [](VelboSectionForces const* point) {
            return XVertexGrid::fitsFloat(point->fz()) && XVertexGrid::fitsFloat(point->mx()) &&
                   XVertexGrid::fitsFloat(point->my());
        }))
        return nullptr;

    const unsigned int divR = m_ratioDivision;
    const unsigned int divS = static_cast<unsigned int>(n) / m_ratioDivision;
    XVertexGrid* grid = new XVertexGrid(divR, divS);
    const unsigned int count = divR * divS;
    for (unsigned int i = 0; i < count; ++i) {
        VelboSectionForces const& point = *m_vForces[i];
        grid->dataInsertAt(i,
                           static_cast<float>(point.fz()),
                           static_cast<float>(point.mx()),
                           static_cast<float>(point.my()));
    }
    return grid;
}

unsigned int VelboInteractionPoints::instances()
{
    return m_instances;
}

void VelboInteractionPoints::m_updateBounding(double fz, double mx, double my)
{
    if (fz <= m_fzMin) m_fzMin = fz;
    if (fz >= m_fzMax) m_fzMax = fz;
    if (mx <= m_mxMin) m_mxMin = mx;
    if (mx >= m_mxMax) m_mxMax = mx;
    if (my <= m_myMin) m_myMin = my;
    if (my >= m_myMax) m_myMax = my;
}

#include "velbocore/velbocostitutivelaw.h"

std::string VelboCostitutiveLaw::lawDescriptionMore() const
{
    return m_descriptionMore;
}

void VelboCostitutiveLaw::lawSetDescriptionMore(const std::string& more)
{
    m_descriptionMore = more;
}

std::vector<double> VelboCostitutiveLaw::lawLimits() const
{
    std::vector<double> limits;
    if (isLeftLimited())
        limits.push_back(func1LeftLimit());
    const std::vector<double> internal = getInternalLimits();
    limits.insert(limits.end(), internal.begin(), internal.end());
    if (isRightLimited())
        limits.push_back(func1RightLimit());
    return limits;
}

bool VelboCostitutiveLaw::lawIsComplete() const
{
    return m_complete;
}

void VelboCostitutiveLaw::m_setComplete(bool complete)
{
    m_complete = complete;
}

#include "velbocore/velbosectiondeformator.h"

#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionmodel.h"

VelboSectionDeformator::VelboSectionDeformator(VelboSectionModel* model)
    : m_sectionModel(model)
    , m_angle(0.0)
    , m_defRatio(0.0)
{
}

double VelboSectionDeformator::angle() const
{
    return m_angle;
}

double VelboSectionDeformator::defRatio() const
{
    return m_defRatio;
}

VelboSectionModel* VelboSectionDeformator::sectionModel() const
{
    return m_sectionModel;
}

void VelboSectionDeformator::setAngle(double angle)
{
    m_angle = angle;
    if (!m_sectionModel) {
        return;
    }
    // Always turned from the saved geometry, so turns never accumulate.
    m_sectionModel->sectionRestoreGeometry();
    const VelboNode2D barycenter = m_sectionModel->sectionCalcSolidBarycenter();
    m_sectionModel->sectionRotate(angle, barycenter);
}

void VelboSectionDeformator::setDefRatio(double defRatio)
{
    // Written so that NaN is refused too.
    if (defRatio >= 0.0 && defRatio <= 1.0) {
        m_defRatio = defRatio;
    }
}

double VelboSectionDeformator::deformationAtRatio() const
{
    return deformationMaxLength() * m_defRatio;
}

double VelboSectionDeformator::hRange() const
{
    double yTop = 0.0;
    double yBot = 0.0;
    yRange(&yTop, &yBot);
    return yBot - yTop;
}

double VelboSectionDeformator::yNeutral(bool* inf) const
{
    double xTop = 0.0;
    double xBot = 0.0;
    xRange(&xTop, &xBot);
    if (xTop == xBot) {
        if (inf) {
            *inf = true;
        }
        return 0.0;
    }
    double yTop = 0.0;
    double yBot = 0.0;
    yRange(&yTop, &yBot);
    if (inf) {
        *inf = false;
    }
    return yTop + ((yBot - yTop) / (xTop - xBot)) * xTop;
}

FuncLinear VelboSectionDeformator::deformationLaw() const
{
    double xTop = 0.0;
    double xBot = 0.0;
    double yTop = 0.0;
    double yBot = 0.0;
    xRange(&xTop, &xBot);
    yRange(&yTop, &yBot);
    const double b = (xBot - xTop) / (yBot - yTop);
    FuncLinear law;
    law.setB(b);
    law.setC(xTop - yTop * b);
    return law;
}

double VelboSectionDeformator::deformationAt(double y) const
{
    double xTop = 0.0;
    double xBot = 0.0;
    double yTop = 0.0;
    double yBot = 0.0;
    xRange(&xTop, &xBot);
    yRange(&yTop, &yBot);
    return xTop + ((xTop - xBot) / (yTop - yBot)) * (y - yTop);
}

double VelboSectionDeformator::deformationAt(const VelboNode2D& node) const
{
    return deformationAt(node.yn());
}

double VelboSectionDeformator::ordinateFrom(double deform, bool* undef) const
{
    double xTop = 0.0;
    double xBot = 0.0;
    xRange(&xTop, &xBot);
    if (xTop == xBot) {
        if (undef) {
            *undef = true;
        }
        return 0.0;
    }
    double yTop = 0.0;
    double yBot = 0.0;
    yRange(&yTop, &yBot);
    if (undef) {
        *undef = false;
    }
    return yTop + (deform - xTop) * ((yTop - yBot) / (xTop - xBot));
}

std::vector<double> VelboSectionDeformator::ordinateFrom(const std::vector<double>& deforms, bool* undef) const
{
    std::vector<double> ordinates;
    ordinates.reserve(deforms.size());
    for (const double deform : deforms) {
        bool undefined = false;
        const double y = ordinateFrom(deform, &undefined);
        if (undefined) {
            if (undef) {
                *undef = true;
            }
            return ordinates;
        }
        ordinates.push_back(y);
    }
    if (undef) {
        *undef = false;
    }
    return ordinates;
}

bool VelboSectionDeformator::sectionSolidHasCompression() const
{
    if (!m_sectionModel) {
        return false;
    }
    double top = 0.0;
    double bottom = 0.0;
    m_sectionModel->sectionCalcSolidYRange(&top, &bottom);
    return deformationAt(top) < 0.0 || deformationAt(bottom) < 0.0;
}

bool VelboSectionDeformator::deformatorSliceFromLaw(const VelboCostitutiveLaw* law) const
{
    if (!law || !m_sectionModel) {
        return false;
    }
    bool undef = false;
    const std::vector<double> rays = ordinateFrom(law->lawLimits(), &undef);
    if (undef) {
        // A uniform strain lies on one piece of the law everywhere.
        return true;
    }
    return m_sectionModel->meshesSliceAtYrays(rays);
}

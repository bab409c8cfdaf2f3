#include "velbocore/velboparabola.h"

#include <cmath>

#include "coreobj/funcconst.h"
#include "coreobj/funcparabola.h"

unsigned int VelboParabola::m_instances = 0;

VelboParabola::VelboParabola()
    : VelboParabola(1.0, 1.0, 1.0)
{
}

VelboParabola::VelboParabola(double fcd, double ec2, double ecu)
    : m_fcd(fcd),
      m_ec2(ec2),
      m_ecu(ecu),
      m_funcParabola(new FuncParabola()),
      m_funcConst(new FuncConst()),
      m_funcConstNull(new FuncConst())
{
    ++m_instances;
    // Pieces from the lowest strain up: fcd, parabola, no stress.
    addFunc(m_funcConst);
    addFunc(m_funcParabola);
    addFunc(m_funcConstNull);
    m_update();
}

VelboParabola::~VelboParabola()
{
    --m_instances;
    delete m_funcParabola;
    delete m_funcConst;
    delete m_funcConstNull;
}

void VelboParabola::setParam(double fcd, double ec2, double ecu)
{
    m_fcd = fcd;
    m_ec2 = ec2;
    m_ecu = ecu;
    m_update();
}

void VelboParabola::setFcd(double fcd)
{
    m_fcd = fcd;
    m_update();
}

void VelboParabola::setEc2(double ec2)
{
    m_ec2 = ec2;
    m_update();
}

void VelboParabola::setEcu(double ecu)
{
    m_ecu = ecu;
    m_update();
}

double VelboParabola::fcd() const
{
    return m_fcd;
}

double VelboParabola::ec2() const
{
    return m_ec2;
}

double VelboParabola::ecu() const
{
    return m_ecu;
}

int VelboParabola::lawType() const
{
    return LT_PARABOLA;
}

std::string VelboParabola::lawDescr() const
{
    return "Modello parabola rettangolo";
}

double VelboParabola::maxTractionDef() const
{
    return -1.0;
}

double VelboParabola::maxCompressionDef() const
{
    return m_ecu;
}

double VelboParabola::maxCompUniformDef() const
{
    return m_ec2;
}

unsigned int VelboParabola::instances()
{
    return m_instances;
}

// Refused limits (inconsistent parameters) leave the previous ones in place
// and the law incomplete.
void VelboParabola::m_update()
{
    m_funcConstNull->setC(0.0);
    m_funcConst->setC(m_fcd);

    // fcd * (2 e/ec2 - (e/ec2)^2) as a * e^2 + b * e.
    const double a = -(m_fcd / (m_ec2 * m_ec2));
    const double b = (m_fcd + m_fcd) / m_ec2;
    m_funcParabola->setA(a);
    m_funcParabola->setB(b);
    m_funcParabola->setC(0.0);

    const bool limitsSet = setLimits(FUNC1_LIMITED, FUNC1_NOTLIMITED, m_ecu, 0.0) == FUNCV_ERR_OK;
    int breakpointsSet = setInternalLimits({m_ec2, 0.0});
    if (limitsSet && breakpointsSet == FUNCV_ERR_LIMITSLEFTOUT && m_ec2 == m_ecu) {
        // The parabola reaches fcd right at the ultimate strain: it runs up
        // to ecu and there is no rectangle. A breakpoint on a limited side is
        // refused, so it is set while the left side is open.
        setLimits(FUNC1_NOTLIMITED, FUNC1_NOTLIMITED, m_ecu, 0.0);
        breakpointsSet = setInternalLimits({m_ec2, 0.0});
        setLimits(FUNC1_LIMITED, FUNC1_NOTLIMITED, m_ecu, 0.0);
    }
    m_setComplete(limitsSet && breakpointsSet == FUNCV_ERR_OK && std::isfinite(m_fcd) && std::isfinite(m_ec2)
                  && std::isfinite(m_ecu) && std::isfinite(a) && std::isfinite(b));
}

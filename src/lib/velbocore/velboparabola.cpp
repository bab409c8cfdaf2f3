#include "velbocore/velboparabola.h"

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

// Refused limits (inconsistent parameters) leave the previous ones in place.
void VelboParabola::m_update()
{
    m_funcConstNull->setC(0.0);
    m_funcConst->setC(m_fcd);

    // fcd * (2 e/ec2 - (e/ec2)^2) as a * e^2 + b * e.
    m_funcParabola->setA(-(m_fcd / (m_ec2 * m_ec2)));
    m_funcParabola->setB((m_fcd + m_fcd) / m_ec2);
    m_funcParabola->setC(0.0);

    setLimits(FUNC1_LIMITED, FUNC1_NOTLIMITED, m_ecu, 0.0);
    setInternalLimits({m_ec2, 0.0});
}

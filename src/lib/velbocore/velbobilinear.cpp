#include "velbocore/velbobilinear.h"

#include <cmath>

#include "coreobj/funcconst.h"
#include "coreobj/funclinear.h"

unsigned int VelboBilinear::m_instances = 0;

VelboBilinear::VelboBilinear()
    : VelboBilinear(1.0, 1.0, 1.0)
{
}

VelboBilinear::VelboBilinear(double fyd, double Es, double esu)
    : m_fyd(fyd),
      m_Es(Es),
      m_esu(esu),
      m_funcConstn(new FuncConst()),
      m_funcLinear(new FuncLinear()),
      m_funcConst(new FuncConst())
{
    ++m_instances;
    // Pieces from the lowest strain up: -fyd, Es * strain, +fyd.
    addFunc(m_funcConstn);
    addFunc(m_funcLinear);
    addFunc(m_funcConst);
    m_update();
}

VelboBilinear::~VelboBilinear()
{
    --m_instances;
    delete m_funcConstn;
    delete m_funcLinear;
    delete m_funcConst;
}

void VelboBilinear::setParam(double fyd, double Es, double esu)
{
    m_fyd = fyd;
    m_Es = Es;
    m_esu = esu;
    m_update();
}

void VelboBilinear::setFyd(double fyd)
{
    m_fyd = fyd;
    m_update();
}

void VelboBilinear::setEs(double Es)
{
    m_Es = Es;
    m_update();
}

void VelboBilinear::setEsu(double esu)
{
    m_esu = esu;
    m_update();
}

double VelboBilinear::fyd() const
{
    return m_fyd;
}

double VelboBilinear::Es() const
{
    return m_Es;
}

double VelboBilinear::esu() const
{
    return m_esu;
}

double VelboBilinear::esy() const
{
    return m_fyd / m_Es;
}

int VelboBilinear::lawType() const
{
    return LT_BILINEAR;
}

std::string VelboBilinear::lawDescr() const
{
    return "Acciaio elastoplastico non incrudente";
}

double VelboBilinear::maxTractionDef() const
{
    return m_esu;
}

double VelboBilinear::maxCompressionDef() const
{
    return -m_esu;
}

double VelboBilinear::maxCompUniformDef() const
{
    return 1.0;
}

unsigned int VelboBilinear::instances()
{
    return m_instances;
}

// Refused limits (inconsistent parameters) leave the previous ones in place
// and the law incomplete.
void VelboBilinear::m_update()
{
    m_funcConstn->setC(-m_fyd);
    m_funcLinear->setB(m_Es);
    m_funcLinear->setC(0.0);
    m_funcConst->setC(m_fyd);

    const bool limitsSet = setLimits(FUNC1_LIMITED, FUNC1_LIMITED, -m_esu, m_esu) == FUNCV_ERR_OK;
    const double eyd = m_fyd / m_Es;
    const bool breakpointsSet = setInternalLimits({-eyd, eyd}) == FUNCV_ERR_OK;
    // Without an elastic stretch (a yield strain of zero) there is no
    // middle piece.
    m_setComplete(limitsSet && breakpointsSet && std::isfinite(m_fyd) && std::isfinite(m_Es) && std::isfinite(m_esu)
                  && std::isfinite(eyd) && eyd > 0.0);
}

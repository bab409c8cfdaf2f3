#pragma once

#include <string>

#include "velbocore/velbocostitutivelaw.h"

class FuncConst;
class FuncLinear;

// Elastic-perfectly-plastic steel law without hardening: Es * strain between
// the yield strains, -fyd and +fyd beyond them. Limited to -esu ... +esu.
class VelboBilinear : public VelboCostitutiveLaw {
public:
    VelboBilinear();
    VelboBilinear(double fyd, double Es, double esu);
    ~VelboBilinear() override;

    void setParam(double fyd, double Es, double esu);
    void setFyd(double fyd);
    void setEs(double Es);
    void setEsu(double esu);

    double fyd() const;
    double Es() const;
    double esu() const;
    // Yield strain fyd / Es.
    double esy() const;

    int lawType() const override;
    std::string lawDescr() const override;
    double maxTractionDef() const override;
    double maxCompressionDef() const override;
    double maxCompUniformDef() const override;

    static unsigned int instances();

private:
    void m_update();

    double m_fyd;
    double m_Es;
    double m_esu;
    FuncConst* m_funcConstn;
    FuncLinear* m_funcLinear;
    FuncConst* m_funcConst;

    static unsigned int m_instances;
};

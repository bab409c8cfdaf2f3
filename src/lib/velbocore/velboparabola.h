#pragma once

#include <string>

#include "velbocore/velbocostitutivelaw.h"

class FuncConst;
class FuncParabola;

// Parabola-rectangle concrete law: fcd below ec2, the parabola from ec2 up
// to 0, no stress in tension. Limited on the left at ecu.
class VelboParabola : public VelboCostitutiveLaw {
public:
    VelboParabola();
    VelboParabola(double fcd, double ec2, double ecu);
    ~VelboParabola() override;

    void setParam(double fcd, double ec2, double ecu);
    void setFcd(double fcd);
    void setEc2(double ec2);
    void setEcu(double ecu);

    double fcd() const;
    double ec2() const;
    double ecu() const;

    int lawType() const override;
    std::string lawDescr() const override;
    double maxTractionDef() const override;
    double maxCompressionDef() const override;
    double maxCompUniformDef() const override;

    static unsigned int instances();

private:
    void m_update();

    double m_fcd;
    double m_ec2;
    double m_ecu;
    FuncParabola* m_funcParabola;
    FuncConst* m_funcConst;
    FuncConst* m_funcConstNull;

    static unsigned int m_instances;
};

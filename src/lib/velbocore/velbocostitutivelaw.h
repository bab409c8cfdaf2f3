#pragma once

#include <string>
#include <vector>

#include "coreobj/funcvector.h"

// Stress-strain law of a material: a piecewise function of the strain
// (compression negative) with its strain breakpoints and strain limits.
// Laws are handled by pointer, deleted through this class and never copied.
class VelboCostitutiveLaw : public FuncVector {
public:
    enum LawType {
        LT_BILINEAR = 1,
        LT_PARABOLA = 2,
        LT_STRESSBLOCK = 3
    };

    VelboCostitutiveLaw() = default;
    VelboCostitutiveLaw(const VelboCostitutiveLaw&) = delete;
    VelboCostitutiveLaw& operator=(const VelboCostitutiveLaw&) = delete;
    virtual ~VelboCostitutiveLaw() = default;

    virtual int lawType() const = 0;
    virtual std::string lawDescr() const = 0;
    virtual double maxTractionDef() const = 0;
    virtual double maxCompressionDef() const = 0;
    virtual double maxCompUniformDef() const = 0;

    std::string lawDescriptionMore() const;
    void lawSetDescriptionMore(const std::string& more);

    // Left limit (when limited), internal limits, right limit (when limited).
    std::vector<double> lawLimits() const;

    // True when the last parameters set up every piece, limit and breakpoint
    // of the law with finite values; false after parameters it had to refuse,
    // which leave the law answering with what it had before.
    bool lawIsComplete() const;

protected:
    void m_setComplete(bool complete);

private:
    std::string m_descriptionMore;
    bool m_complete = false;
};

#pragma once

#include <vector>

#include "coreobj/funclinear.h"

class VelboSectionModel;
class VelboSectionForces;
class VelboInteractionPoints;
class VelboCostitutiveLaw;
class VelboNode2D;

// Imposes plane strain states on one section model. The strain field is the
// straight line through (yTop, xTop) and (yBot, xBot): x stands for a strain
// (compression negative), y for an ordinate (the top is the smallest y).
// Subclasses define the limit strains, the path of limit planes and the
// force computations.
class VelboSectionDeformator
{
public:
    explicit VelboSectionDeformator(VelboSectionModel* model);

    virtual VelboSectionForces* deformatorForces(double deltaX, double deltaY, bool* ok) const = 0;
    virtual void xRange(double* xTop, double* xBot) const = 0;
    virtual void yRange(double* yTop, double* yBot) const = 0;
    virtual double maxTopTrac() const = 0;
    virtual double maxBotTrac() const = 0;
    virtual double maxTopComp() const = 0;
    virtual double maxBotComp() const = 0;
    virtual double maxCompUniform() const = 0;
    virtual double yPivot() const = 0;
    virtual double deformationMaxLength() const = 0;
    virtual VelboInteractionPoints* interactionSurface(int degreeDivision, int ratioDivision, int options) = 0;

    double angle() const;
    double defRatio() const;
    VelboSectionModel* sectionModel() const;

    void setAngle(double angle);
    void setDefRatio(double defRatio);

    double deformationAtRatio() const;
    double hRange() const;
    double yNeutral(bool* inf) const;
    FuncLinear deformationLaw() const;
    double deformationAt(double y) const;
    double deformationAt(const VelboNode2D& node) const;
    double ordinateFrom(double deform, bool* undef) const;
    std::vector<double> ordinateFrom(const std::vector<double>& deforms, bool* undef) const;
    bool sectionSolidHasCompression() const;
    bool deformatorSliceFromLaw(const VelboCostitutiveLaw* law) const;

protected:
    // Deformators are never deleted through a base pointer.
    ~VelboSectionDeformator() = default;
    VelboSectionDeformator(const VelboSectionDeformator&) = default;
    VelboSectionDeformator& operator=(const VelboSectionDeformator&) = default;

private:
    VelboSectionModel* m_sectionModel;
    double m_angle;
    double m_defRatio;
};

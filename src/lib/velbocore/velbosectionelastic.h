#pragma once

#include "coreobj/func2linear.h"

class VelboSectionForces;
class VelboSectionModel;

// Evaluates a linear stress plane a*x + b*y + c at the nodes of a section
// model and at the centres of its bars. The plane is the zero plane: nothing
// yet derives it from the section forces.
class VelboSectionElastic {
public:
    explicit VelboSectionElastic(VelboSectionModel* model);

    Func2Linear planUnderForce(const VelboSectionForces& force);
    double stressConcreteNodeAt(int index) const;
    double stressSteelNodeAt(int index) const;

private:
    VelboSectionModel* m_model;
    Func2Linear m_plan;
};

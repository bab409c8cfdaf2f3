#include "velbocore/velbosectionelastic.h"

#include <iostream>

#include <boost/format.hpp>

#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionmodel.h"

VelboSectionElastic::VelboSectionElastic(VelboSectionModel* model)
    : m_model(model), m_plan(0.0, 0.0, 0.0) {}

Func2Linear VelboSectionElastic::planUnderForce(const VelboSectionForces& /*force*/) { return m_plan; }

double VelboSectionElastic::stressConcreteNodeAt(int index) const {
    const int size = m_model->sectionNodesSize();
    if (index >= size) std::cerr << boost::format("Index of secttion nodes out of range %1%") % size;
    const VelboNode2D* node = m_model->sectionNodeAt(index);  // throws std::out_of_range
    return m_plan.valueFxy(node->xn(), node->yn(), nullptr);
}

double VelboSectionElastic::stressSteelNodeAt(int index) const {
    const int size = m_model->sectionPointElementsSize();
    if (index >= size) std::cerr << boost::format("Index of steel out of range %1%") % size;
    const VelboNode2D* node = m_model->sectionPointNodeAt(index);  // throws std::out_of_range
    return m_plan.valueFxy(node->xn(), node->yn(), nullptr);
}

#include "coreobj/customizable.h"

std::string Customizable::m_objname = "Customizable";

Customizable::Customizable() : m_custom(true) {}

Customizable::Customizable(bool const& cust) : m_custom(cust) {}

Customizable::Customizable(Customizable const& c) : m_custom(c.m_custom) {}

Customizable& Customizable::operator=(Customizable const& c) {
    m_custom = c.m_custom;
    return *this;
}

bool Customizable::isCustom() const {
    return m_custom;
}

void Customizable::setCustom(bool const& cust) {
    m_custom = cust;
}

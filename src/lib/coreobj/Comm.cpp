#include "coreobj/Comm.h"

Comm::Comm(const std::string& name, const std::string& surname)
    : m_Name(name), m_Surname(surname) {}

Comm::Comm(const std::string& name, const std::string& surname, const std::string& id)
    : m_Id(id), m_Name(name), m_Surname(surname) {}

std::string Comm::buildSignature() const {
    if (m_Name.empty() && !m_Surname.empty())
        return m_Surname;
    if (!m_Name.empty() && m_Surname.empty())
        return m_Name;
    return m_Surname + m_Name;
}

bool Comm::isEmpty() const {
    return m_Id.empty() && m_Surname.empty();
}

void Comm::setEmpty() {
    m_Id.clear();
    m_Surname.clear();
    m_Name.clear();
}

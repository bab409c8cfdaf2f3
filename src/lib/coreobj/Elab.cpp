#include "coreobj/Elab.h"

Elab::Elab() {
    m_Time_Start.Now();
}

Elab::Elab(const std::string& title) : m_title(title) {
    m_Time_Start.Now();
}

Elab::Elab(const std::string& name, const std::string& title, const PTime& t_start,
           const PTime& t_end)
    : m_Name(name), m_title(title), m_Time_Start(t_start), m_Time_End(t_end) {}

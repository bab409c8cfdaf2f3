#include "coreobj/Work.h"

Work::Work(const std::string& title) : m_title(title) {}

Work::Work(const std::string& title, const std::string& id) : m_Id(id), m_title(title) {}

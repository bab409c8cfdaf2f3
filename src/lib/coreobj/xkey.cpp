#include "coreobj/xkey.h"

void XKey::setXkey(const std::string& key) { m_key = key; }

std::string XKey::getXkey() const { return m_key; }

void XKey::setXdescription(const std::string& description) { m_description = description; }

std::string XKey::getXdescription() const { return m_description; }

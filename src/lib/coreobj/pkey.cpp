#include "coreobj/pkey.h"

std::string PKey::getKeyStr() const { return m_key; }

std::string PKey::getDescr() const { return m_descr; }

bool PKey::isKeyStr() const { return !m_key.empty(); }

bool PKey::isDescr() const { return !m_descr.empty(); }

bool PKey::isEmpty() const { return !isKeyStr() && !isDescr(); }

void PKey::setKeyStr(const std::string& key) { m_key = key; }

void PKey::setKeyStr(const PKey& key) { m_key = key.m_key; }

void PKey::setDescr(const std::string& descr) { m_descr = descr; }

void PKey::setDescr(const PKey& key) { m_descr = key.m_descr; }

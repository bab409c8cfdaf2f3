#include "coreobj/pref.h"

#include "coreobj/pkeylist.h"

std::string PRef::m_objname = "PRef";

PRef::PRef(const PKeyList* plist) { m_appendRefFrom(plist); }

PKeyItem PRef::getRefFrom(const int& iref, int& err) const {
    const unsigned int count = m_count(iref);
    if (count == 1) {
        err = ERR_NONE;
        return m_ref_vector[m_findPos(iref).front()];
    }
    err = count > 1 ? ERR_KEY_NOT_UNIQUE : ERR_GENERIC;
    return PKeyItem();
}

PKeyItem PRef::getRefFrom(const int& iref) const {
    int err = ERR_GENERIC;
    return getRefFrom(iref, err);
}

void PRef::setRefFrom(const PKeyItem& ref_from, int& err) {
    const int tab = ref_from.getTabRef();
    const unsigned int count = m_count(tab);
    if (count == 1) {
        err = ERR_NONE;
        m_ref_vector[m_findPos(tab).front()] = ref_from;
        return;
    }
    err = count > 1 ? ERR_KEY_NOT_UNIQUE : ERR_GENERIC;
}

void PRef::setRefFrom(const PKeyItem& ref_from) {
    int err = ERR_GENERIC;
    setRefFrom(ref_from, err);
}

void PRef::delRefFrom(int tab_ref, int& err) { setRefFrom(PKeyItem(tab_ref), err); }

void PRef::delRefFrom(int tab_ref) { setRefFrom(PKeyItem(tab_ref)); }

PKeyItem& PRef::operator[](unsigned int i) {
    if (i >= m_ref_vector.size()) {
        m_ref_vector.resize(static_cast<std::size_t>(i) + 1);
    }
    return m_ref_vector[i];
}

int PRef::nbRefFrom() const { return static_cast<int>(m_ref_vector.size()); }

int PRef::nbRefFrom(const PKeyItem& ref_from) const {
    const int tab = ref_from.getTabRef();
    const std::string key = ref_from.getKeyStr();
    int count = 0;
    for (const PKeyItem& slot : m_ref_vector) {
        if (slot.getTabRef() == tab && slot.getKeyStr() == key) {
            ++count;
        }
    }
    return count;
}

bool PRef::hasRefFrom(const PKeyItem& key_item) const {
    const int tab = key_item.getTabRef();
    const std::string key = key_item.getKeyStr();
    for (const PKeyItem& slot : m_ref_vector) {
        if (slot.getKeyStr() == key && slot.getTabRef() == tab) {
            return true;
        }
    }
    return false;
}

void PRef::appendRefFrom(const std::vector<PKeyItem>& vec) {
    for (const PKeyItem& item : vec) {
        m_appendRefFrom(item);
    }
}

void PRef::m_appendRefFrom(const PKeyItem& key) { m_ref_vector.push_back(key); }

void PRef::m_appendRefFrom(const PKeyList* plist) {
    if (plist == nullptr) {
        return;
    }
    std::vector<PKeyItem> slots;
    plist->createRef(slots);
    appendRefFrom(slots);
}

unsigned int PRef::m_count(const int& ref_tab) const {
    unsigned int count = 0;
    for (const PKeyItem& slot : m_ref_vector) {
        if (slot.getTabRef() == ref_tab) {
            ++count;
        }
    }
    return count;
}

std::vector<unsigned int> PRef::m_findPos(const int& ref_tab) const {
    std::vector<unsigned int> positions;
    for (std::size_t i = 0; i < m_ref_vector.size(); ++i) {
        if (m_ref_vector[i].getTabRef() == ref_tab) {
            positions.push_back(static_cast<unsigned int>(i));
        }
    }
    return positions;
}

#include "coreobj/pkeyitem.h"

std::string PKeyItem::m_objname = "PKeyItem";

PKeyItem::PKeyItem(int tab_ref) : PKey(), PItem(tab_ref) {}

PKeyItem::PKeyItem(const std::string& key) : PKey(key), PItem() {}

PKeyItem::PKeyItem(const PKeyItem& pk) : PKey(pk), PItem(pk) {}

PKeyItem& PKeyItem::operator=(const PKeyItem& pk) {
    // Virtual bases: assign each one exactly once.
    PKey::operator=(pk);
    PItem::operator=(pk);
    return *this;
}

#pragma once

#include <string>

#include "coreobj/pitem.h"
#include "coreobj/pkey.h"

// Key text, description and table reference: the item of keyed lists and the
// slot of references between them.
class PKeyItem : public virtual PKey, public virtual PItem {
public:
    PKeyItem() = default;
    explicit PKeyItem(int tab_ref);
    explicit PKeyItem(const std::string& key);
    PKeyItem(const PKeyItem& pk);
    ~PKeyItem() = default;

    PKeyItem& operator=(const PKeyItem& pk);

private:
    static std::string m_objname;
};

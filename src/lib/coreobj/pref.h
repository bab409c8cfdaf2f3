#pragma once

#include <string>
#include <vector>

#include "coreobj/pkeyitem.h"

class PKeyList;

// References of one item of a keyed list to items of other lists. Each slot
// is a PKeyItem whose table reference is the registry id of the list referred
// to and whose key text and description name the item there; a slot with
// empty texts refers to no item yet.
class PRef {
public:
    enum errNb {
        ERR_NONE = 1,
        ERR_GENERIC = 0,
        ERR_KEY_NOT_UNIQUE = -1
    };

    PRef() = default;
    // One empty slot for every reference the relations give an item of `plist`.
    explicit PRef(const PKeyList* plist);
    PRef(const PRef& other) = default;
    PRef& operator=(const PRef& other) = default;

    // By table: act only when exactly one slot has the table reference.
    virtual PKeyItem getRefFrom(const int& iref, int& err) const;
    virtual PKeyItem getRefFrom(const int& iref) const;
    virtual void setRefFrom(const PKeyItem& ref_from, int& err);
    virtual void setRefFrom(const PKeyItem& ref_from);
    virtual void delRefFrom(int tab_ref, int& err);
    virtual void delRefFrom(int tab_ref);
    // Slot at position `i`; the vector first grows with empty slots when
    // `i` is at or past the end.
    virtual PKeyItem& operator[](unsigned int i);

    int nbRefFrom() const;
    // Slots matching `ref_from` in both table reference and key text.
    int nbRefFrom(const PKeyItem& ref_from) const;
    bool hasRefFrom(const PKeyItem& key_item) const;

protected:
    void appendRefFrom(const std::vector<PKeyItem>& vec);

private:
    void m_appendRefFrom(const PKeyItem& key);
    void m_appendRefFrom(const PKeyList* plist);
    unsigned int m_count(const int& ref_tab) const;
    std::vector<unsigned int> m_findPos(const int& ref_tab) const;

    std::vector<PKeyItem> m_ref_vector;

    static std::string m_objname;
};

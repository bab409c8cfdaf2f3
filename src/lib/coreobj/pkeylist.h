#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "coreobj/pkeyitem.h"
#include "coreobj/ppc_impl.h"

// Abstract keyed list: an ordered collection of PKeyItem kept by the derived
// class. The base adds key search, a process-wide registry of lists (ids and
// names) and declared relations between lists. A relation (left, right) means
// that every item of the right list refers to items of the left list.
//
// A derived list passes a pointer to itself to the constructor, hands out
// items whose table reference is its own registry id, and calls m_erase()
// before it goes away if its registry entries are to go.
class PKeyList {
public:
    enum TpRel {
        REL_NONE = 0,
        REL_ONE_TO_ONE = 1,
        REL_ONE_TO_MULTIPLE = 2
    };

    enum TpErrList {
        ERR_NONE = 0,
        ERR_POINTER_NOT_FOUND = 1,
        ERR_KEY_POSITION_NOT_FOUND = 2,
        ERR_GENERIC = 100
    };

    typedef std::map<int, PKeyList*> map_TabId_TabPointer;
    typedef std::map<std::string, int> map_TabName_TabId;
    typedef std::map<std::pair<int, int>, std::pair<TpRel, int>> map_TLeftTRight_TpRel;

    // Registers `plist` under the next automatic id (101, 102, ...).
    explicit PKeyList(PKeyList* plist);
    // Registers `plist` under `id_tab`; *err is true, and nothing is entered,
    // when the id is already taken or is -1 (the id of no entry).
    PKeyList(PKeyList* plist, int id_tab, bool* err);

    PKeyList(const PKeyList&) = delete;
    PKeyList& operator=(const PKeyList&) = delete;

    // Keeps the list's registry entries, but its id entry no longer points
    // at it: relation walks pass over a list that has gone.
    virtual ~PKeyList();

    virtual const PKeyItem& getAt(int i) const = 0;
    virtual int sizeOf() const = 0;
    virtual PKeyItem& valueAt(int i) = 0;
    virtual void remove(int i) = 0;
    virtual void insertAt(int i, int j) = 0;
    virtual void rename(int i, const std::string& key, const std::string& descr) = 0;

    virtual void removeAll();

    // Key search compares key texts only.
    virtual std::vector<int> find(const PKeyItem& key) const;
    virtual int findFirst(const PKeyItem& key) const;
    virtual int findFirst(const std::string& key_str) const;
    virtual bool uniqueKey(const PKeyItem& key) const;
    virtual bool uniqueKey(const std::string& key_str) const;
    virtual VectorString keyList() const;

    virtual bool isRegistered() const;
    virtual int getListId() const;
    virtual bool hasListName() const;

    std::string getListName() const;
    // Refused (false, *err -1) for a name already entered, an empty name,
    // or a list without an id entry.
    bool setListName(const std::string& name, int* err) const;

    // Appends to `keyl` the empty reference slots an item of this list has.
    void createRef(std::vector<PKeyItem>& keyl) const;

    static bool isListId(int id);
    static bool isListName(const std::string& name);
    static std::string getListNameFromId(int id);
    static PKeyList* getListPointer(int id, int* err);
    static PKeyList* getListPointer(const PKeyItem& k, int* err);

    static bool declareRelation(int id_tabLeft, int id_tabRight, TpRel rel, int nb_rel);
    static bool declareRelation(PKeyList* p_tabLeft, PKeyList* p_tabRight, TpRel rel, int nb_rel);

protected:
    virtual bool hasRefAt(int row, const PKeyItem& key) const = 0;
    virtual bool setRefAt(int row, const PKeyItem& ref) = 0;

    virtual std::vector<PKeyItem> relatedAdiacentAt(int i) const;
    virtual std::vector<PKeyItem> relatedCascadeAt(int i) const;
    virtual TpErrList removeRelatedAt(int i);
    virtual TpErrList renameRelatedAt(int i, const std::string& key, const std::string& descr);

    // Takes this list out of the registry: its name, the relations on its
    // right side, and its id; relations on its left side move to left id 0.
    // Nothing for a list without an id entry.
    void m_erase();

private:
    // An item of a right list found by the relation walk, with its row.
    struct Related {
        PKeyList* list;
        int row;
        PKeyItem item;
    };

    bool isValidPosition(int i) const;
    // Items of the right lists of this list's relations that refer to
    // `current`; false when a right list is missing from the id table.
    bool collectAdiacent(const PKeyItem& current, std::vector<Related>& result) const;
    // Finds the list and position of a related item.
    static TpErrList locate(const PKeyItem& item, PKeyList*& list, int& pos);
    // Acts on every item related to the item at i, at the row where the walk
    // found it (shifted past rows removed before it when `removing`); stops at
    // the first whose table reference does not lead back to that row.
    TpErrList forEachRelatedAt(int i, bool removing, const std::function<void(PKeyList&, int)>& act);

    static map_TabId_TabPointer init_TabId_TabPointer();
    static map_TabName_TabId init_TabName_TabId();
    static map_TLeftTRight_TpRel init_TLeftTRight_TpRel();

    bool m_registered = false;

    static std::string m_objname;
    static int m_last_id;
    static map_TabId_TabPointer m_tabId_tabPointer;
    static map_TabName_TabId m_tabName_tabId;
    static map_TLeftTRight_TpRel m_tabLeftAndRight_TpRel;
};

#include "coreobj/pkeylist.h"

#include <cstddef>

// Registry tables, built when the library is loaded: each holds only its null
// entry, id 0 standing for no list. Defined in this order on purpose.
std::string PKeyList::m_objname = "PKeyList";
int PKeyList::m_last_id = 100;
PKeyList::map_TabId_TabPointer PKeyList::m_tabId_tabPointer = PKeyList::init_TabId_TabPointer();
PKeyList::map_TabName_TabId PKeyList::m_tabName_tabId = PKeyList::init_TabName_TabId();
PKeyList::map_TLeftTRight_TpRel PKeyList::m_tabLeftAndRight_TpRel =
    PKeyList::init_TLeftTRight_TpRel();

namespace {

const char* const kNullTableName = "TAB_NULL";

}  // namespace

PKeyList::map_TabId_TabPointer PKeyList::init_TabId_TabPointer() {
    map_TabId_TabPointer table;
    table[0] = nullptr;
    return table;
}

PKeyList::map_TabName_TabId PKeyList::init_TabName_TabId() {
    map_TabName_TabId table;
    table[kNullTableName] = 0;
    return table;
}

PKeyList::map_TLeftTRight_TpRel PKeyList::init_TLeftTRight_TpRel() {
    map_TLeftTRight_TpRel table;
    table[std::make_pair(0, 0)] = std::make_pair(REL_NONE, 0);
    return table;
}

PKeyList::PKeyList(PKeyList* plist) {
    ++m_last_id;
    m_tabId_tabPointer[m_last_id] = plist;
    m_registered = true;
}

PKeyList::PKeyList(PKeyList* plist, int id_tab, bool* err) {
    // -1 is what getListId answers for a list without an entry: never an id.
    const bool taken = id_tab == -1 || m_tabId_tabPointer.count(id_tab) != 0;
    if (err != nullptr) {
        *err = taken;
    }
    if (taken) {
        m_registered = false;
        return;
    }
    m_tabId_tabPointer[id_tab] = plist;
    m_registered = true;
}

PKeyList::~PKeyList() {
    // The list's own entries stay, its id entry without the list.
    for (auto& entry : m_tabId_tabPointer) {
        if (entry.second == this) {
            entry.second = nullptr;
        }
    }
    // Only tables left with nothing but their null entry are emptied.
    if (m_tabId_tabPointer.size() == 1 && m_tabId_tabPointer.begin()->first == 0) {
        m_tabId_tabPointer.clear();
    }
    if (m_tabName_tabId.size() == 1 && m_tabName_tabId.begin()->first == kNullTableName &&
        m_tabName_tabId.begin()->second == 0) {
        m_tabName_tabId.clear();
    }
    if (m_tabLeftAndRight_TpRel.size() == 1 &&
        m_tabLeftAndRight_TpRel.begin()->first == std::make_pair(0, 0)) {
        m_tabLeftAndRight_TpRel.clear();
    }
}

void PKeyList::removeAll() {
    while (sizeOf() != 0) {
        remove(0);
    }
}

std::vector<int> PKeyList::find(const PKeyItem& key) const {
    const std::string wanted = key.getKeyStr();
    std::vector<int> positions;
    for (int i = 0; i < sizeOf(); ++i) {
        if (getAt(i).getKeyStr() == wanted) {
            positions.insert(positions.begin(), i);
        }
    }
    return positions;
}

int PKeyList::findFirst(const PKeyItem& key) const { return findFirst(key.getKeyStr()); }

int PKeyList::findFirst(const std::string& key_str) const {
    for (int i = 0; i < sizeOf(); ++i) {
        if (getAt(i).getKeyStr() == key_str) {
            return i;
        }
    }
    return -1;
}

bool PKeyList::uniqueKey(const PKeyItem& key) const { return uniqueKey(key.getKeyStr()); }

bool PKeyList::uniqueKey(const std::string& key_str) const {
    for (int i = 0; i < sizeOf(); ++i) {
        if (getAt(i).getKeyStr() == key_str) {
            return false;
        }
    }
    return true;
}

VectorString PKeyList::keyList() const {
    VectorString keys;
    for (int i = 0; i < sizeOf(); ++i) {
        keys.push_back(getAt(i).getKeyStr());
    }
    return keys;
}

bool PKeyList::isRegistered() const { return m_registered; }

int PKeyList::getListId() const {
    for (const auto& entry : m_tabId_tabPointer) {
        if (entry.second == this) {
            return entry.first;
        }
    }
    return -1;
}

bool PKeyList::hasListName() const { return !getListName().empty(); }

std::string PKeyList::getListName() const { return getListNameFromId(getListId()); }

bool PKeyList::setListName(const std::string& name, int* err) const {
    // An empty name would read as no name, and a list without an id entry
    // would share -1 with every other such list.
    const int id = getListId();
    const bool refused = name.empty() || id == -1 || m_tabName_tabId.count(name) != 0;
    if (err != nullptr) {
        *err = refused ? -1 : 0;
    }
    if (refused) {
        return false;
    }
    if (hasListName()) {
        m_tabName_tabId.erase(getListName());
    }
    m_tabName_tabId[name] = id;
    return true;
}

void PKeyList::createRef(std::vector<PKeyItem>& keyl) const {
    const int id = getListId();
    for (const auto& relation : m_tabLeftAndRight_TpRel) {
        if (relation.first.second != id) {
            continue;
        }
        const int left = relation.first.first;
        int slots = 0;
        switch (relation.second.first) {
        case REL_ONE_TO_ONE:
            slots = 1;
            break;
        case REL_ONE_TO_MULTIPLE:
            slots = relation.second.second;
            break;
        case REL_NONE:
            break;
        }
        for (int k = 0; k < slots; ++k) {
            keyl.push_back(PKeyItem(left));
        }
    }
}

bool PKeyList::isListId(int id) { return m_tabId_tabPointer.count(id) != 0; }

bool PKeyList::isListName(const std::string& name) { return m_tabName_tabId.count(name) != 0; }

std::string PKeyList::getListNameFromId(int id) {
    for (const auto& entry : m_tabName_tabId) {
        if (entry.second == id) {
            return entry.first;
        }
    }
    return std::string();
}

PKeyList* PKeyList::getListPointer(int id, int* err) {
    const auto found = m_tabId_tabPointer.find(id);
    const bool known = found != m_tabId_tabPointer.end();
    if (err != nullptr) {
        *err = known ? 0 : 1;
    }
    return known ? found->second : nullptr;
}

PKeyList* PKeyList::getListPointer(const PKeyItem& k, int* err) {
    return getListPointer(k.getTabRef(), err);
}

bool PKeyList::declareRelation(int id_tabLeft, int id_tabRight, TpRel rel, int nb_rel) {
    if (!isListId(id_tabLeft) || !isListId(id_tabRight) || nb_rel <= 0) {
        return false;
    }
    const auto pair = std::make_pair(id_tabLeft, id_tabRight);
    if (m_tabLeftAndRight_TpRel.count(pair) != 0) {
        return false;
    }
    switch (rel) {
    case REL_ONE_TO_ONE:
        m_tabLeftAndRight_TpRel[pair] = std::make_pair(REL_ONE_TO_ONE, 1);
        return true;
    case REL_ONE_TO_MULTIPLE:
        m_tabLeftAndRight_TpRel[pair] = std::make_pair(REL_ONE_TO_MULTIPLE, nb_rel);
        return true;
    case REL_NONE:
        break;
    }
    return false;
}

bool PKeyList::declareRelation(PKeyList* p_tabLeft, PKeyList* p_tabRight, TpRel rel,
                               int nb_rel) {
    if (p_tabLeft == nullptr || p_tabRight == nullptr) {
        return false;
    }
    const int right = p_tabRight->getListId();
    const int left = p_tabLeft->getListId();
    return declareRelation(left, right, rel, nb_rel);
}

bool PKeyList::isValidPosition(int i) const { return i >= 0 && i < sizeOf(); }

bool PKeyList::collectAdiacent(const PKeyItem& current, std::vector<Related>& result) const {
    // Snapshot of the relations: a derived list may change the table while
    // answering hasRefAt or getAt.
    const map_TLeftTRight_TpRel relations = m_tabLeftAndRight_TpRel;
    for (const auto& relation : relations) {
        if (relation.first.first != getListId()) {
            continue;
        }
        int err = 0;
        PKeyList* right = getListPointer(relation.first.second, &err);
        if (err != 0) {
            return false;
        }
        if (right == nullptr) {
            // The null entry, or a list that has gone: no items.
            continue;
        }
        for (int r = 0; r < right->sizeOf(); ++r) {
            if (right->hasRefAt(r, current)) {
                result.push_back({right, r, right->getAt(r)});
            }
        }
    }
    return true;
}

namespace {

template <typename Found>
std::vector<PKeyItem> itemsOf(const std::vector<Found>& found) {
    std::vector<PKeyItem> items;
    items.reserve(found.size());
    for (const Found& f : found) {
        items.push_back(f.item);
    }
    return items;
}

}  // namespace

std::vector<PKeyItem> PKeyList::relatedAdiacentAt(int i) const {
    if (!isValidPosition(i)) {
        return {};
    }
    const PKeyItem current = getAt(i);
    std::vector<Related> found;
    collectAdiacent(current, found);
    return itemsOf(found);
}

std::vector<PKeyItem> PKeyList::relatedCascadeAt(int i) const {
    if (!isValidPosition(i)) {
        return {};
    }
    const PKeyItem current = getAt(i);
    std::vector<Related> found;
    const bool complete = collectAdiacent(current, found);
    std::vector<PKeyItem> result = itemsOf(found);
    if (!complete) {
        return result;
    }
    const std::vector<PKeyItem> firstLevel = result;
    for (const PKeyItem& item : firstLevel) {
        // An item whose list or key cannot be found has no second level.
        PKeyList* list = nullptr;
        int pos = -1;
        if (locate(item, list, pos) != ERR_NONE) {
            continue;
        }
        const std::vector<PKeyItem> secondLevel = list->relatedAdiacentAt(pos);
        result.insert(result.end(), secondLevel.begin(), secondLevel.end());
    }
    return result;
}

PKeyList::TpErrList PKeyList::locate(const PKeyItem& item, PKeyList*& list, int& pos) {
    int err = 0;
    list = getListPointer(item, &err);
    if (err != 0 || list == nullptr) {
        return ERR_POINTER_NOT_FOUND;
    }
    pos = list->findFirst(item);
    if (pos == -1) {
        return ERR_KEY_POSITION_NOT_FOUND;
    }
    return ERR_NONE;
}

PKeyList::TpErrList PKeyList::forEachRelatedAt(int i, bool removing,
                                               const std::function<void(PKeyList&, int)>& act) {
    if (!isValidPosition(i)) {
        return ERR_KEY_POSITION_NOT_FOUND;
    }
    const PKeyItem current = getAt(i);
    std::vector<Related> related;
    collectAdiacent(current, related);
    for (std::size_t k = 0; k < related.size(); ++k) {
        const Related& hit = related[k];
        // Keys may repeat in a list: act on the row the walk found, not on
        // the first row with the same key. The item's table reference must
        // still lead to that list, and the row still hold that key.
        int err = 0;
        const PKeyList* list = getListPointer(hit.item, &err);
        if (err != 0 || list == nullptr) {
            return ERR_POINTER_NOT_FOUND;
        }
        if (list != hit.list || hit.row >= list->sizeOf() ||
            list->getAt(hit.row).getKeyStr() != hit.item.getKeyStr()) {
            return ERR_KEY_POSITION_NOT_FOUND;
        }
        act(*hit.list, hit.row);
        if (removing) {
            for (std::size_t later = k + 1; later < related.size(); ++later) {
                if (related[later].list == hit.list && related[later].row > hit.row) {
                    --related[later].row;
                }
            }
        }
    }
    return ERR_NONE;
}

PKeyList::TpErrList PKeyList::removeRelatedAt(int i) {
    return forEachRelatedAt(i, true, [](PKeyList& list, int pos) { list.remove(pos); });
}

PKeyList::TpErrList PKeyList::renameRelatedAt(int i, const std::string& key,
                                              const std::string& descr) {
    return forEachRelatedAt(i, false, [&](PKeyList& list, int pos) {
        PKeyItem renewed(key);
        renewed.setDescr(descr);
        renewed.setTabRef(getListId());
        list.setRefAt(pos, renewed);
    });
}

void PKeyList::m_erase() {
    // A list without an id entry has nothing in the registry.
    if (getListId() == -1) {
        return;
    }

    const auto name = m_tabName_tabId.find(getListName());
    if (name != m_tabName_tabId.end() && name->second == getListId()) {
        m_tabName_tabId.erase(name);
    }

    for (auto it = m_tabLeftAndRight_TpRel.begin(); it != m_tabLeftAndRight_TpRel.end();) {
        if (it->first.second == getListId()) {
            it = m_tabLeftAndRight_TpRel.erase(it);
        } else {
            ++it;
        }
    }

    // Relations on the left side now name the null entry, so the right lists'
    // items keep their reference slots. Entries already on id 0 stay as they are.
    if (getListId() != 0) {
        for (auto it = m_tabLeftAndRight_TpRel.begin(); it != m_tabLeftAndRight_TpRel.end();) {
            if (it->first.first == getListId()) {
                m_tabLeftAndRight_TpRel[std::make_pair(0, it->first.second)] = it->second;
                it = m_tabLeftAndRight_TpRel.erase(it);
            } else {
                ++it;
            }
        }
    }

    m_tabId_tabPointer.erase(getListId());
}

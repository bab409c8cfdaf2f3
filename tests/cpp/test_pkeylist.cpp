#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "coreobj/pkeyitem.h"
#include "coreobj/pkeylist.h"

namespace {

// Keyed list kept in a vector. Every row holds an item and the references of
// that item to items of other lists; hasRefAt and setRefAt work on those.
// The destructor takes the list out of the registry, once, unless told
// otherwise.
class KeyedList : public PKeyList {
public:
    KeyedList() : PKeyList(this) {}
    KeyedList(int id_tab, bool* err) : PKeyList(this, id_tab, err) {}
    ~KeyedList() override {
        if (m_eraseOnDestroy && !m_erased) {
            m_erase();
        }
    }

    // Appends an item that carries this list's id, as a registered list must.
    void add(const std::string& key, const std::vector<PKeyItem>& refs = {}) {
        addWithTabRef(key, getListId(), refs);
    }
    // Appends an item with any table reference, to model a broken list.
    void addWithTabRef(const std::string& key, int tab_ref,
                       const std::vector<PKeyItem>& refs = {}) {
        PKeyItem item(key);
        item.setTabRef(tab_ref);
        m_rows.push_back({item, refs});
    }

    const PKeyItem& getAt(int i) const override { return m_rows.at(i).item; }
    int sizeOf() const override { return static_cast<int>(m_rows.size()); }
    PKeyItem& valueAt(int i) override { return m_rows.at(i).item; }
    void remove(int i) override {
        removed.push_back(i);
        m_rows.erase(m_rows.begin() + i);
    }
    void insertAt(int, int) override {}
    void rename(int i, const std::string& key, const std::string& descr) override {
        m_rows.at(i).item.setKeyStr(key);
        m_rows.at(i).item.setDescr(descr);
    }

    const std::vector<PKeyItem>& refsAt(int row) const { return m_rows.at(row).refs; }

    void erase() {
        m_erase();
        m_erased = true;
    }
    void keepRegistryEntries() { m_eraseOnDestroy = false; }

    using PKeyList::relatedAdiacentAt;
    using PKeyList::relatedCascadeAt;
    using PKeyList::removeRelatedAt;
    using PKeyList::renameRelatedAt;

    // Calls the base made: positions given to remove, and (row, reference)
    // pairs given to setRefAt.
    std::vector<int> removed;
    std::vector<std::pair<int, PKeyItem>> setRefCalls;

protected:
    bool hasRefAt(int row, const PKeyItem& key) const override {
        for (const PKeyItem& ref : m_rows.at(row).refs) {
            if (ref.getTabRef() == key.getTabRef() && ref.getKeyStr() == key.getKeyStr()) {
                return true;
            }
        }
        return false;
    }
    bool setRefAt(int row, const PKeyItem& ref) override {
        setRefCalls.emplace_back(row, ref);
        for (PKeyItem& slot : m_rows.at(row).refs) {
            if (slot.getTabRef() == ref.getTabRef()) {
                slot = ref;
                return true;
            }
        }
        return false;
    }

private:
    struct Row {
        PKeyItem item;
        std::vector<PKeyItem> refs;
    };
    std::vector<Row> m_rows;
    bool m_eraseOnDestroy = true;
    bool m_erased = false;
};

// A reference to the item with key text `key` of `list`.
PKeyItem refTo(const PKeyList& list, const std::string& key) {
    PKeyItem ref(key);
    ref.setTabRef(list.getListId());
    return ref;
}

std::vector<std::string> keysOf(const std::vector<PKeyItem>& items) {
    std::vector<std::string> keys;
    for (const PKeyItem& item : items) {
        keys.push_back(item.getKeyStr());
    }
    return keys;
}

std::vector<int> tabRefsOf(const std::vector<PKeyItem>& items) {
    std::vector<int> refs;
    for (const PKeyItem& item : items) {
        refs.push_back(item.getTabRef());
    }
    return refs;
}

std::vector<PKeyItem> slotsOf(const PKeyList& list) {
    std::vector<PKeyItem> slots;
    list.createRef(slots);
    return slots;
}

// Collects failed checks of a body that runs in a child process, where the
// framework's own assertions do not reach the parent.
class Checks {
public:
    void expect(bool ok, const std::string& what) {
        if (!ok) {
            std::cerr << "failed: " << what << '\n';
            m_ok = false;
        }
    }
    bool ok() const { return m_ok; }

private:
    bool m_ok = true;
};

// --- bodies that need the registry as the library's load step leaves it ---

bool checkLoadState() {
    Checks c;
    c.expect(PKeyList::isListId(0), "id 0 is in the id table");
    c.expect(PKeyList::isListName("TAB_NULL"), "TAB_NULL is in the name table");
    c.expect(PKeyList::getListNameFromId(0) == "TAB_NULL", "id 0 is named TAB_NULL");
    int err = -5;
    c.expect(PKeyList::getListPointer(0, &err) == nullptr, "id 0 holds no list");
    c.expect(err == 0, "id 0 is found");

    bool taken = false;
    KeyedList onZero(0, &taken);
    c.expect(taken, "chosen id 0 is taken by the null entry");
    c.expect(!onZero.isRegistered() && onZero.getListId() == -1, "list on id 0 not entered");

    KeyedList first;
    KeyedList second;
    c.expect(first.getListId() == 101, "first automatic id is 101");
    c.expect(second.getListId() == 102, "second automatic id is 102");

    bool failed = true;
    KeyedList chosen(103, &failed);
    c.expect(!failed && chosen.getListId() == 103, "free chosen id 103 is entered");
    KeyedList third;
    c.expect(third.getListId() == 103, "third automatic id is 103 although 103 was chosen");
    c.expect(chosen.getListId() == -1, "the chosen list lost its entry");
    c.expect(chosen.isRegistered(), "the chosen list still reports its registration");
    c.expect(PKeyList::getListPointer(103, &err) == &third, "id 103 now holds the third list");
    return c.ok();
}

bool checkTablesEmptiedByLastList() {
    Checks c;
    auto keep = std::make_unique<KeyedList>();
    auto gone = std::make_unique<KeyedList>();
    int nameErr = 0;
    gone->setListName("gone", &nameErr);
    PKeyList::declareRelation(keep.get(), gone.get(), PKeyList::REL_ONE_TO_ONE, 1);
    // A list whose registration failed has nothing in the registry.
    bool taken = false;
    auto orphan = std::make_unique<KeyedList>(keep->getListId(), &taken);
    c.expect(taken, "orphan registration fails");

    // Each table is emptied on its own, once only its null entry is left.
    gone->erase();
    gone.reset();
    c.expect(PKeyList::isListId(0), "id table kept while another list is entered");
    c.expect(!PKeyList::isListName("TAB_NULL"), "name table emptied once only TAB_NULL was left");
    c.expect(PKeyList::getListNameFromId(0).empty(), "id 0 has no name any more");

    orphan.reset();
    c.expect(PKeyList::isListId(0), "an orphan's going changes no table");

    keep->erase();
    keep.reset();
    c.expect(!PKeyList::isListId(0), "id table emptied once only id 0 was left");

    bool failed = true;
    KeyedList onZero(0, &failed);
    c.expect(!failed && onZero.getListId() == 0, "chosen id 0 is free after emptying");
    c.expect(PKeyList::declareRelation(0, 0, PKeyList::REL_ONE_TO_ONE, 1),
             "relation (0, 0) is free after emptying");
    KeyedList next;
    c.expect(next.getListId() == 103, "automatic ids go on counting");
    return c.ok();
}

bool checkBaseDestructorKeepsEntries() {
    Checks c;
    int id = -1;
    {
        KeyedList list;
        int err = 0;
        list.setListName("kept", &err);
        list.keepRegistryEntries();
        id = list.getListId();
    }
    c.expect(PKeyList::isListId(id), "id stays entered");
    int err = 1;
    c.expect(PKeyList::getListPointer(id, &err) == nullptr && err == 0,
             "the entry no longer points at the list");
    c.expect(PKeyList::getListNameFromId(id) == "kept", "name stays entered");
    c.expect(PKeyList::isListId(0), "null entry stays");
    return c.ok();
}

}  // namespace

// The load-time registry is only seen in a newly started process: each of
// these runs its body in a fresh copy of this test program.
TEST(PKeyListFreshRegistry, LoadStateAndAutomaticIds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(checkLoadState() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(PKeyListFreshRegistry, LastListEmptiesTablesLeftWithOnlyTheirNullEntry) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(checkTablesEmptiedByLastList() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST(PKeyListFreshRegistry, BaseDestructorLeavesTheListsEntries) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(checkBaseDestructorKeepsEntries() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

// The tests below share one registry and assume nothing about the entries
// of other tests: ids are taken from the lists themselves and names differ.

TEST(PKeyListRegistry, AutomaticIdsFollowEachOtherAndAreNeverReused) {
    int firstId = 0;
    int secondId = 0;
    {
        KeyedList first;
        KeyedList second;
        firstId = first.getListId();
        secondId = second.getListId();
        EXPECT_GT(firstId, 100);
        EXPECT_EQ(secondId, firstId + 1);
        EXPECT_TRUE(first.isRegistered());
        EXPECT_TRUE(PKeyList::isListId(firstId));
        EXPECT_TRUE(PKeyList::isListId(secondId));
    }
    EXPECT_FALSE(PKeyList::isListId(firstId));
    const KeyedList later;
    EXPECT_EQ(later.getListId(), secondId + 1);
}

TEST(PKeyListRegistry, ChosenIdIsEnteredOnlyWhenFree) {
    const KeyedList holder;
    struct Case {
        const char* name;
        int id;
        bool taken;
    };
    const Case cases[] = {
        {"free positive id", 5, false},
        {"free negative id", -40, false},
        {"id of a registered list", holder.getListId(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool err = !c.taken;
        const KeyedList list(c.id, &err);
        EXPECT_EQ(err, c.taken);
        EXPECT_EQ(list.isRegistered(), !c.taken);
        EXPECT_EQ(list.getListId(), c.taken ? -1 : c.id);
        int perr = -1;
        const PKeyList* entered = PKeyList::getListPointer(c.id, &perr);
        EXPECT_EQ(perr, 0);
        EXPECT_EQ(entered, c.taken ? static_cast<const PKeyList*>(&holder) : &list);
    }
    EXPECT_FALSE(PKeyList::isListId(5));
}

TEST(PKeyListRegistry, AutomaticIdReplacesAChosenEntryWithTheSameId) {
    const KeyedList automatic;
    const int nextId = automatic.getListId() + 1;
    bool err = true;
    const KeyedList chosen(nextId, &err);
    ASSERT_FALSE(err);
    ASSERT_EQ(chosen.getListId(), nextId);

    const KeyedList replacing;
    EXPECT_EQ(replacing.getListId(), nextId);
    EXPECT_EQ(chosen.getListId(), -1);
    EXPECT_TRUE(chosen.isRegistered());
    int perr = 1;
    EXPECT_EQ(PKeyList::getListPointer(nextId, &perr), &replacing);
}

TEST(PKeyListRegistry, ListPointerByIdAndByItem) {
    KeyedList list;
    list.add("k");
    int gone = 0;
    {
        const KeyedList erased;
        gone = erased.getListId();
    }
    struct Case {
        const char* name;
        int id;
        const PKeyList* pointer;
        int err;
    };
    const Case cases[] = {
        {"registered list", list.getListId(), &list, 0},
        {"erased list", gone, nullptr, 1},
        {"never used id", -123456, nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int err = c.err == 0 ? 7 : 0;
        EXPECT_EQ(PKeyList::getListPointer(c.id, &err), c.pointer);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(PKeyList::isListId(c.id), c.err == 0);

        err = c.err == 0 ? 7 : 0;
        EXPECT_EQ(PKeyList::getListPointer(PKeyItem(c.id), &err), c.pointer);
        EXPECT_EQ(err, c.err);
    }
    int err = 1;
    EXPECT_EQ(PKeyList::getListPointer(list.getAt(0), &err), &list);
    EXPECT_EQ(err, 0);
}

TEST(PKeyListNames, SetListNameEntersReplacesAndRefusesTakenNames) {
    const KeyedList list;
    const KeyedList other;
    EXPECT_FALSE(list.hasListName());
    EXPECT_EQ(list.getListName(), "");

    int err = 5;
    EXPECT_TRUE(list.setListName("names.first", &err));
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(PKeyList::isListName("names.first"));
    EXPECT_TRUE(list.hasListName());
    EXPECT_EQ(list.getListName(), "names.first");
    EXPECT_EQ(PKeyList::getListNameFromId(list.getListId()), "names.first");

    ASSERT_TRUE(other.setListName("names.other", &err));

    struct Refused {
        const char* name;
        const std::string taken;
    };
    const Refused refused[] = {
        {"name of another list", "names.other"},
        {"own name", "names.first"},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.name);
        err = 0;
        EXPECT_FALSE(list.setListName(r.taken, &err));
        EXPECT_EQ(err, -1);
        EXPECT_EQ(list.getListName(), "names.first");
        EXPECT_EQ(other.getListName(), "names.other");
    }

    err = 5;
    EXPECT_TRUE(list.setListName("names.second", &err));
    EXPECT_EQ(err, 0);
    EXPECT_FALSE(PKeyList::isListName("names.first"));
    EXPECT_EQ(list.getListName(), "names.second");
    EXPECT_EQ(other.getListName(), "names.other");
}

TEST(PKeyListNames, NameOfAnUnknownIdIsEmpty) {
    const KeyedList list;
    int err = 0;
    list.setListName("names.known", &err);
    EXPECT_EQ(PKeyList::getListNameFromId(-98765), "");
    const KeyedList unnamed;
    EXPECT_EQ(PKeyList::getListNameFromId(unnamed.getListId()), "");
    EXPECT_FALSE(PKeyList::isListName("names.unknown"));
}

TEST(PKeyListNames, EmptyNameIsRefused) {
    const KeyedList list;
    int err = 0;
    EXPECT_FALSE(list.setListName("", &err));
    EXPECT_EQ(err, -1);
    EXPECT_FALSE(PKeyList::isListName(""));

    ASSERT_TRUE(list.setListName("names.beforeEmpty", &err));
    EXPECT_FALSE(list.setListName("", &err));
    EXPECT_EQ(err, -1);
    EXPECT_EQ(list.getListName(), "names.beforeEmpty");
    // Naming again still replaces the one name.
    EXPECT_TRUE(list.setListName("names.afterEmpty", &err));
    EXPECT_FALSE(PKeyList::isListName("names.beforeEmpty"));
    EXPECT_FALSE(PKeyList::isListName(""));
}

TEST(PKeyListNames, ListWithoutAnIdEntryTakesNoNameAndErasesNothing) {
    // -1 is getListId of a list without an entry, so it is no id to choose.
    {
        bool err = false;
        const KeyedList minusOne(-1, &err);
        EXPECT_TRUE(err);
        EXPECT_FALSE(minusOne.isRegistered());
        EXPECT_FALSE(PKeyList::isListId(-1));
    }

    // A registered list with a name and relations on both sides, which the
    // unregistered lists below must leave alone.
    KeyedList holder;
    KeyedList right;
    int err = 0;
    ASSERT_TRUE(holder.setListName("names.holder", &err));
    ASSERT_TRUE(PKeyList::declareRelation(&holder, &right, PKeyList::REL_ONE_TO_ONE, 1));
    ASSERT_TRUE(PKeyList::declareRelation(&right, &holder, PKeyList::REL_ONE_TO_ONE, 1));

    bool taken = false;
    KeyedList refused(holder.getListId(), &taken);
    ASSERT_TRUE(taken);
    bool chosenErr = true;
    const int nextId = right.getListId() + 1;
    KeyedList displaced(nextId, &chosenErr);
    ASSERT_FALSE(chosenErr);
    const KeyedList automatic;  // takes nextId over
    ASSERT_EQ(automatic.getListId(), nextId);

    struct Case {
        const char* name;
        KeyedList* list;
    };
    const Case cases[] = {
        {"registration refused", &refused},
        {"entry taken over by an automatic id", &displaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.list->getListId(), -1);
        err = 0;
        EXPECT_FALSE(c.list->setListName("names.unregistered", &err));
        EXPECT_EQ(err, -1);
        EXPECT_FALSE(PKeyList::isListName("names.unregistered"));
        EXPECT_EQ(c.list->getListName(), "");
        EXPECT_FALSE(c.list->hasListName());

        c.list->erase();
        EXPECT_EQ(PKeyList::getListNameFromId(holder.getListId()), "names.holder");
        EXPECT_EQ(tabRefsOf(slotsOf(right)), (std::vector<int>{holder.getListId()}));
        EXPECT_EQ(tabRefsOf(slotsOf(holder)), (std::vector<int>{right.getListId()}));
        int perr = 1;
        EXPECT_EQ(PKeyList::getListPointer(holder.getListId(), &perr), &holder);
        EXPECT_EQ(PKeyList::getListPointer(nextId, &perr), &automatic);
    }
}

TEST(PKeyListRelations, DeclareRelationRefusals) {
    KeyedList left;
    KeyedList right;
    const int l = left.getListId();
    const int r = right.getListId();
    ASSERT_TRUE(PKeyList::declareRelation(l, r, PKeyList::REL_ONE_TO_MULTIPLE, 2));
    const int unknown = -424242;

    struct Case {
        const char* name;
        int left;
        int right;
        PKeyList::TpRel rel;
        int nb;
    };
    const Case cases[] = {
        {"count 0, one-to-one", r, l, PKeyList::REL_ONE_TO_ONE, 0},
        {"count 0, one-to-many", r, l, PKeyList::REL_ONE_TO_MULTIPLE, 0},
        {"negative count", r, l, PKeyList::REL_ONE_TO_MULTIPLE, -3},
        {"no relation kind", r, l, PKeyList::REL_NONE, 1},
        {"unknown left id", unknown, l, PKeyList::REL_ONE_TO_ONE, 1},
        {"unknown right id", l, unknown, PKeyList::REL_ONE_TO_ONE, 1},
        {"pair already declared", l, r, PKeyList::REL_ONE_TO_ONE, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(PKeyList::declareRelation(c.left, c.right, c.rel, c.nb));
        // Nothing entered: the left list still has no slots, the right list
        // keeps the two of the first declaration.
        EXPECT_TRUE(slotsOf(left).empty());
        EXPECT_EQ(tabRefsOf(slotsOf(right)), (std::vector<int>{l, l}));
    }
    EXPECT_FALSE(PKeyList::declareRelation(nullptr, &right, PKeyList::REL_ONE_TO_ONE, 1));
    EXPECT_FALSE(PKeyList::declareRelation(&right, nullptr, PKeyList::REL_ONE_TO_ONE, 1));
}

TEST(PKeyListRelations, DeclaredRelationsGiveTheRightListItsSlots) {
    KeyedList a;
    KeyedList b;
    const int ia = a.getListId();
    const int ib = b.getListId();
    struct Case {
        const char* name;
        PKeyList* left;
        PKeyList* right;
        PKeyList::TpRel rel;
        int nb;
        std::vector<int> rightSlots;
    };
    // Cases are applied in order, each on top of the previous ones.
    const Case cases[] = {
        {"one-to-one ignores the count", &a, &b, PKeyList::REL_ONE_TO_ONE, 5, {ia}},
        {"reversed pair is another relation", &b, &a, PKeyList::REL_ONE_TO_MULTIPLE, 3,
         {ib, ib, ib}},
        {"a list related to itself", &b, &b, PKeyList::REL_ONE_TO_ONE, 1, {ia, ib}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(PKeyList::declareRelation(c.left, c.right, c.rel, c.nb));
        const std::vector<PKeyItem> slots = slotsOf(*c.right);
        EXPECT_EQ(tabRefsOf(slots), c.rightSlots);
        for (const PKeyItem& slot : slots) {
            EXPECT_FALSE(slot.isKeyStr());
            EXPECT_FALSE(slot.isDescr());
        }
    }
}

TEST(PKeyListRelations, CreateRefFollowsTableOrderAndAppends) {
    const KeyedList a;
    const KeyedList b;
    const KeyedList list;
    const KeyedList further;
    // Declared B first: the slots still come in the order of the left ids.
    ASSERT_TRUE(PKeyList::declareRelation(b.getListId(), list.getListId(),
                                          PKeyList::REL_ONE_TO_ONE, 1));
    ASSERT_TRUE(PKeyList::declareRelation(a.getListId(), list.getListId(),
                                          PKeyList::REL_ONE_TO_MULTIPLE, 3));
    // A relation where the list is on the left gives it no slots.
    ASSERT_TRUE(PKeyList::declareRelation(list.getListId(), further.getListId(),
                                          PKeyList::REL_ONE_TO_ONE, 1));

    std::vector<PKeyItem> slots{PKeyItem(std::string("already there"))};
    list.createRef(slots);
    const int ia = a.getListId();
    const int ib = b.getListId();
    EXPECT_EQ(tabRefsOf(slots), (std::vector<int>{0, ia, ia, ia, ib}));
    EXPECT_EQ(keysOf(slots), (std::vector<std::string>{"already there", "", "", "", ""}));
}

TEST(PKeyListSearch, KeySearchComparesWholeKeyTextsOnly) {
    KeyedList list;
    list.add("a");
    list.add("b");
    list.add("a");
    list.add("ab");

    PKeyItem aWithOtherFields(std::string("a"));
    aWithOtherFields.setDescr("ignored");
    aWithOtherFields.setTabRef(-999);

    struct Case {
        const char* name;
        PKeyItem key;
        std::vector<int> find;
        int first;
        bool unique;
    };
    const Case cases[] = {
        {"repeated key", PKeyItem(std::string("a")), {2, 0}, 0, false},
        {"single key", PKeyItem(std::string("b")), {1}, 1, false},
        {"longer key", PKeyItem(std::string("ab")), {3}, 3, false},
        {"missing key", PKeyItem(std::string("c")), {}, -1, true},
        {"prefix only", PKeyItem(std::string("b ")), {}, -1, true},
        {"description and table ignored", aWithOtherFields, {2, 0}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.find(c.key), c.find);
        EXPECT_EQ(list.findFirst(c.key), c.first);
        EXPECT_EQ(list.findFirst(c.key.getKeyStr()), c.first);
        EXPECT_EQ(list.uniqueKey(c.key), c.unique);
        EXPECT_EQ(list.uniqueKey(c.key.getKeyStr()), c.unique);
    }
    EXPECT_EQ(list.keyList(), (VectorString{"a", "b", "a", "ab"}));
}

TEST(PKeyListSearch, EmptyListFindsNothing) {
    const KeyedList list;
    EXPECT_TRUE(list.find(PKeyItem(std::string("a"))).empty());
    EXPECT_EQ(list.findFirst("a"), -1);
    EXPECT_EQ(list.findFirst(PKeyItem()), -1);
    EXPECT_TRUE(list.uniqueKey("a"));
    EXPECT_TRUE(list.uniqueKey(PKeyItem()));
    EXPECT_TRUE(list.keyList().empty());
}

TEST(PKeyListSearch, RemoveAllRemovesAtTheFrontUntilEmpty) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        std::vector<int> removed;
    };
    const Case cases[] = {
        {"empty list", {}, {}},
        {"three items", {"a", "b", "c"}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyedList list;
        for (const std::string& key : c.keys) {
            list.add(key);
        }
        list.removeAll();
        EXPECT_EQ(list.sizeOf(), 0);
        EXPECT_EQ(list.removed, c.removed);
    }
}

// Case-insensitive keys: the base's item forms and its relation walks must
// reach the derived string forms.
class CaselessList : public KeyedList {
public:
    using KeyedList::findFirst;
    using KeyedList::uniqueKey;
    int findFirst(const std::string& key_str) const override {
        for (int i = 0; i < sizeOf(); ++i) {
            if (lower(getAt(i).getKeyStr()) == lower(key_str)) {
                return i;
            }
        }
        return -1;
    }
    bool uniqueKey(const std::string& key_str) const override { return findFirst(key_str) == -1; }

private:
    static std::string lower(std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        return text;
    }
};

TEST(PKeyListSearch, DerivedStringFormsServeTheItemForms) {
    CaselessList list;
    list.add("Alpha");
    const PKeyItem key(std::string("ALPHA"));
    EXPECT_EQ(list.findFirst(key), 0);
    EXPECT_FALSE(list.uniqueKey(key));
}

TEST(PKeyListErase, LeftRelationsMoveToIdZeroReplacingAnEarlierMove) {
    KeyedList right;
    int err = 0;
    int one = 0;
    int two = 0;
    {
        KeyedList leftOne;
        KeyedList leftTwo;
        one = leftOne.getListId();
        two = leftTwo.getListId();
        ASSERT_TRUE(leftOne.setListName("erase.leftOne", &err));
        ASSERT_TRUE(PKeyList::declareRelation(&leftOne, &right, PKeyList::REL_ONE_TO_ONE, 1));
        ASSERT_TRUE(PKeyList::declareRelation(&leftTwo, &right, PKeyList::REL_ONE_TO_MULTIPLE, 2));
        ASSERT_EQ(tabRefsOf(slotsOf(right)), (std::vector<int>{one, two, two}));

        leftOne.erase();
        EXPECT_FALSE(PKeyList::isListId(one));
        EXPECT_FALSE(PKeyList::isListName("erase.leftOne"));
        EXPECT_EQ(tabRefsOf(slotsOf(right)), (std::vector<int>{0, two, two}));

        leftTwo.erase();
        // (0, right) now holds the one-to-many relation of the second list.
        EXPECT_EQ(tabRefsOf(slotsOf(right)), (std::vector<int>{0, 0}));
    }
    EXPECT_FALSE(PKeyList::isListId(two));
}

TEST(PKeyListErase, RightRelationsGoWithTheList) {
    KeyedList left;
    const int chosenId = 7777;
    {
        bool err = true;
        KeyedList right(chosenId, &err);
        ASSERT_FALSE(err);
        int nameErr = 0;
        ASSERT_TRUE(right.setListName("erase.right", &nameErr));
        ASSERT_TRUE(PKeyList::declareRelation(&left, &right, PKeyList::REL_ONE_TO_MULTIPLE, 2));
        ASSERT_TRUE(PKeyList::declareRelation(&right, &right, PKeyList::REL_ONE_TO_ONE, 1));
        right.erase();
        EXPECT_FALSE(PKeyList::isListId(chosenId));
        EXPECT_FALSE(PKeyList::isListName("erase.right"));
    }
    // A new list on the same id finds no relation left over.
    bool err = true;
    const KeyedList successor(chosenId, &err);
    ASSERT_FALSE(err);
    EXPECT_TRUE(slotsOf(successor).empty());
    EXPECT_TRUE(PKeyList::declareRelation(left.getListId(), chosenId,
                                          PKeyList::REL_ONE_TO_ONE, 1));
}

// Parts are referred to by orders (one reference each) and by notes; orders
// are in turn referred to by deliveries.
class RelatedLists : public ::testing::Test {
protected:
    void SetUp() override {
        parts.add("p0");
        parts.add("p1");
        parts.add("p2");
        ASSERT_TRUE(PKeyList::declareRelation(&parts, &orders, PKeyList::REL_ONE_TO_ONE, 1));
        ASSERT_TRUE(PKeyList::declareRelation(&parts, &notes, PKeyList::REL_ONE_TO_ONE, 1));
        ASSERT_TRUE(PKeyList::declareRelation(&orders, &deliveries, PKeyList::REL_ONE_TO_ONE, 1));

        orders.add("o0", {refTo(parts, "p0")});
        orders.add("o1", {refTo(parts, "p1")});
        orders.add("o2", {refTo(parts, "p0")});
        notes.add("n0", {refTo(parts, "p0")});
        notes.add("n1", {refTo(parts, "p2")});
        deliveries.add("d0", {refTo(orders, "o2")});
        deliveries.add("d1", {refTo(orders, "o0")});
        deliveries.add("d2", {refTo(orders, "o2")});
        deliveries.add("d3", {refTo(orders, "o1")});
    }

    // Declared in this order, so the ids ascend in the same order.
    KeyedList parts;
    KeyedList orders;
    KeyedList notes;
    KeyedList deliveries;
};

TEST_F(RelatedLists, AdiacentItemsComeRelationByRelationInRowOrder) {
    struct Case {
        const KeyedList* list;
        int row;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {&parts, 0, {"o0", "o2", "n0"}},
        {&parts, 1, {"o1"}},
        {&parts, 2, {"n1"}},
        {&orders, 2, {"d0", "d2"}},
        // Deliveries refer to orders, not the other way round.
        {&deliveries, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list->getAt(c.row).getKeyStr());
        const std::vector<PKeyItem> related = c.list->relatedAdiacentAt(c.row);
        EXPECT_EQ(keysOf(related), c.keys);
    }
    const std::vector<PKeyItem> related = parts.relatedAdiacentAt(0);
    EXPECT_EQ(tabRefsOf(related), (std::vector<int>{orders.getListId(), orders.getListId(),
                                                    notes.getListId()}));
}

TEST_F(RelatedLists, CascadeAddsOneFurtherLevelAfterTheFirst) {
    KeyedList later;  // refers to deliveries: a third level, never reached
    ASSERT_TRUE(PKeyList::declareRelation(&deliveries, &later, PKeyList::REL_ONE_TO_ONE, 1));
    later.add("l0", {refTo(deliveries, "d1")});

    struct Case {
        int row;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {0, {"o0", "o2", "n0", "d1", "d0", "d2"}},
        {1, {"o1", "d3"}},
        {2, {"n1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(keysOf(parts.relatedCascadeAt(c.row)), c.keys);
    }
}

TEST_F(RelatedLists, CascadeSkipsTheSecondLevelOfItemsItCannotLocate) {
    KeyedList stranger;
    orders.addWithTabRef("lost", -31337, {refTo(parts, "p1")});
    orders.addWithTabRef("elsewhere", stranger.getListId(), {refTo(parts, "p1")});
    EXPECT_EQ(keysOf(parts.relatedCascadeAt(1)),
              (std::vector<std::string>{"o1", "lost", "elsewhere", "d3"}));
}

TEST_F(RelatedLists, RemoveRelatedRemovesEveryReferringItemOnly) {
    EXPECT_EQ(parts.removeRelatedAt(0), PKeyList::ERR_NONE);
    EXPECT_EQ(parts.keyList(), (VectorString{"p0", "p1", "p2"}));
    EXPECT_EQ(orders.keyList(), (VectorString{"o1"}));
    EXPECT_EQ(notes.keyList(), (VectorString{"n1"}));
    // One level only: deliveries of removed orders stay.
    EXPECT_EQ(deliveries.keyList(), (VectorString{"d0", "d1", "d2", "d3"}));
    EXPECT_EQ(orders.removed, (std::vector<int>{0, 1}));
}

TEST_F(RelatedLists, RenameRelatedRenewsEachReferenceAtItsOwnRow) {
    EXPECT_EQ(parts.renameRelatedAt(0, "P0", "renamed part"), PKeyList::ERR_NONE);
    EXPECT_EQ(parts.getAt(0).getKeyStr(), "p0");

    ASSERT_EQ(orders.setRefCalls.size(), 2u);
    EXPECT_EQ(orders.setRefCalls[0].first, 0);
    EXPECT_EQ(orders.setRefCalls[1].first, 2);
    ASSERT_EQ(notes.setRefCalls.size(), 1u);
    EXPECT_EQ(notes.setRefCalls[0].first, 0);
    for (const auto& call : {orders.setRefCalls[0], orders.setRefCalls[1], notes.setRefCalls[0]}) {
        EXPECT_EQ(call.second.getKeyStr(), "P0");
        EXPECT_EQ(call.second.getDescr(), "renamed part");
        EXPECT_EQ(call.second.getTabRef(), parts.getListId());
    }
    EXPECT_TRUE(deliveries.setRefCalls.empty());
    EXPECT_EQ(orders.refsAt(1)[0].getKeyStr(), "p1");
    EXPECT_EQ(orders.refsAt(2)[0].getKeyStr(), "P0");
}

TEST(PKeyListRelated, RepeatedKeysActOnTheRowsThatReferToTheItem) {
    // Parts a and x; orders that all share the key r, each referring to one
    // part. Only the orders referring to a are removed or renamed.
    struct Case {
        const char* name;
        bool rename;
        std::vector<std::string> refs;  // part referred to by each order
        std::vector<int> rows;          // rows given to remove or setRefAt
        std::vector<std::string> after; // references left
    };
    const Case cases[] = {
        {"remove, second row", false, {"x", "a"}, {1}, {"x"}},
        {"remove, first and last rows", false, {"a", "x", "a"}, {0, 1}, {"x"}},
        {"rename, second row", true, {"x", "a"}, {1}, {"x", "A"}},
        {"rename, first and last rows", true, {"a", "x", "a"}, {0, 2}, {"A", "x", "A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyedList parts;
        KeyedList orders;
        parts.add("a");
        parts.add("x");
        ASSERT_TRUE(PKeyList::declareRelation(&parts, &orders, PKeyList::REL_ONE_TO_ONE, 1));
        for (const std::string& part : c.refs) {
            orders.add("r", {refTo(parts, part)});
        }

        const PKeyList::TpErrList code =
            c.rename ? parts.renameRelatedAt(0, "A", "") : parts.removeRelatedAt(0);
        EXPECT_EQ(code, PKeyList::ERR_NONE);
        std::vector<int> rows = orders.removed;
        for (const auto& call : orders.setRefCalls) {
            rows.push_back(call.first);
        }
        EXPECT_EQ(rows, c.rows);
        std::vector<std::string> after;
        for (int row = 0; row < orders.sizeOf(); ++row) {
            after.push_back(orders.refsAt(row)[0].getKeyStr());
        }
        EXPECT_EQ(after, c.after);
    }
}

TEST(PKeyListRelated, ListDestroyedWithoutEraseIsPassedOver) {
    // The orders list goes without m_erase: its entry stays, without it, and
    // walks from the parts' side no longer reach it.
    KeyedList parts;
    KeyedList notes;
    parts.add("p0");
    parts.add("p1");
    auto orders = std::make_unique<KeyedList>();
    ASSERT_TRUE(PKeyList::declareRelation(&parts, orders.get(), PKeyList::REL_ONE_TO_ONE, 1));
    ASSERT_TRUE(PKeyList::declareRelation(&parts, &notes, PKeyList::REL_ONE_TO_ONE, 1));
    orders->add("o0", {refTo(parts, "p0")});
    orders->add("o1", {refTo(parts, "p1")});
    notes.add("n0", {refTo(parts, "p0")});
    notes.add("n1", {refTo(parts, "p1")});
    const int ordersId = orders->getListId();
    orders->keepRegistryEntries();
    orders.reset();

    EXPECT_TRUE(PKeyList::isListId(ordersId));
    int err = 1;
    EXPECT_EQ(PKeyList::getListPointer(ordersId, &err), nullptr);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(keysOf(parts.relatedAdiacentAt(0)), (std::vector<std::string>{"n0"}));
    EXPECT_EQ(keysOf(parts.relatedCascadeAt(0)), (std::vector<std::string>{"n0"}));
    EXPECT_EQ(parts.renameRelatedAt(0, "P0", ""), PKeyList::ERR_NONE);
    EXPECT_EQ(notes.refsAt(0)[0].getKeyStr(), "P0");
    EXPECT_EQ(parts.removeRelatedAt(1), PKeyList::ERR_NONE);
    EXPECT_EQ(notes.keyList(), (VectorString{"n0"}));
}

TEST_F(RelatedLists, ItemWithoutReferrersChangesNothing) {
    parts.add("p3");
    EXPECT_TRUE(parts.relatedAdiacentAt(3).empty());
    EXPECT_TRUE(parts.relatedCascadeAt(3).empty());
    EXPECT_EQ(parts.removeRelatedAt(3), PKeyList::ERR_NONE);
    EXPECT_EQ(parts.renameRelatedAt(3, "x", "y"), PKeyList::ERR_NONE);
    for (const KeyedList* list : {&parts, &orders, &notes, &deliveries}) {
        EXPECT_TRUE(list->removed.empty());
        EXPECT_TRUE(list->setRefCalls.empty());
    }
    EXPECT_EQ(orders.sizeOf(), 3);
}

TEST_F(RelatedLists, BrokenReferrerStopsTheWalkAndKeepsEarlierChanges) {
    enum class Broken { UnknownList, KeyNotInList };
    struct Case {
        const char* name;
        Broken broken;
        bool rename;
        PKeyList::TpErrList code;
    };
    const Case cases[] = {
        {"remove, list not registered", Broken::UnknownList, false,
         PKeyList::ERR_POINTER_NOT_FOUND},
        {"remove, key not in its list", Broken::KeyNotInList, false,
         PKeyList::ERR_KEY_POSITION_NOT_FOUND},
        {"rename, list not registered", Broken::UnknownList, true,
         PKeyList::ERR_POINTER_NOT_FOUND},
        {"rename, key not in its list", Broken::KeyNotInList, true,
         PKeyList::ERR_KEY_POSITION_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyedList left;
        KeyedList right;
        KeyedList stranger;  // registered, holds no key of the right list
        left.add("x");
        ASSERT_TRUE(PKeyList::declareRelation(&left, &right, PKeyList::REL_ONE_TO_ONE, 1));
        right.add("r0", {refTo(left, "x")});
        right.addWithTabRef("bad", c.broken == Broken::UnknownList ? -55555 : stranger.getListId(),
                            {refTo(left, "x")});
        right.add("r2", {refTo(left, "x")});

        const PKeyList::TpErrList code =
            c.rename ? left.renameRelatedAt(0, "y", "") : left.removeRelatedAt(0);
        EXPECT_EQ(code, c.code);
        if (c.rename) {
            ASSERT_EQ(right.setRefCalls.size(), 1u);
            EXPECT_EQ(right.setRefCalls[0].first, 0);
            EXPECT_EQ(right.sizeOf(), 3);
        } else {
            EXPECT_EQ(right.keyList(), (VectorString{"bad", "r2"}));
        }
        EXPECT_TRUE(stranger.removed.empty());
        EXPECT_TRUE(stranger.setRefCalls.empty());
    }
}

TEST_F(RelatedLists, PositionOutsideTheListGivesNoItems) {
    for (const int row : {-1, 3, 100}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(parts.relatedAdiacentAt(row).empty());
        EXPECT_TRUE(parts.relatedCascadeAt(row).empty());
        EXPECT_EQ(parts.removeRelatedAt(row), PKeyList::ERR_KEY_POSITION_NOT_FOUND);
        EXPECT_EQ(parts.renameRelatedAt(row, "k", "d"), PKeyList::ERR_KEY_POSITION_NOT_FOUND);
    }
    EXPECT_EQ(orders.sizeOf(), 3);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "coreobj/pkeyitem.h"
#include "coreobj/pkeylist.h"
#include "coreobj/pref.h"

namespace {

// Smallest keyed list: registered under an automatic id, no items, and out of
// the registry again when it goes.
class BareList : public PKeyList {
public:
    BareList() : PKeyList(this) {}
    ~BareList() override { m_erase(); }

    void erase() { m_erase(); }

    const PKeyItem& getAt(int) const override { return m_none; }
    int sizeOf() const override { return 0; }
    PKeyItem& valueAt(int) override { return m_none; }
    void remove(int) override {}
    void insertAt(int, int) override {}
    void rename(int, const std::string&, const std::string&) override {}

protected:
    bool hasRefAt(int, const PKeyItem&) const override { return false; }
    bool setRefAt(int, const PKeyItem&) override { return false; }

private:
    PKeyItem m_none;
};

PKeyItem item(int tab_ref, const std::string& key, const std::string& descr = "") {
    PKeyItem result(key);
    result.setDescr(descr);
    result.setTabRef(tab_ref);
    return result;
}

struct Slot {
    int tabref;
    std::string key;
    std::string descr;
};

void expectSlots(PRef& ref, const std::vector<Slot>& expected) {
    ASSERT_EQ(ref.nbRefFrom(), static_cast<int>(expected.size()));
    for (unsigned int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ref[i].getTabRef(), expected[i].tabref);
        EXPECT_EQ(ref[i].getKeyStr(), expected[i].key);
        EXPECT_EQ(ref[i].getDescr(), expected[i].descr);
    }
}

// An item of `owner` refers to two items of `many` and one of `single`;
// `unrelated` has no slot in it.
class RefFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_LT(many.getListId(), single.getListId());
        // Declared in the reverse order: slots follow the ids, not the calls.
        ASSERT_TRUE(PKeyList::declareRelation(&single, &owner, PKeyList::REL_ONE_TO_ONE, 1));
        ASSERT_TRUE(PKeyList::declareRelation(&many, &owner, PKeyList::REL_ONE_TO_MULTIPLE, 2));
        A = many.getListId();
        B = single.getListId();
        C = unrelated.getListId();
    }

    BareList many;
    BareList single;
    BareList owner;
    BareList unrelated;
    int A = 0;
    int B = 0;
    int C = 0;
};

}  // namespace

TEST(PRef, CodesAreOneForDoneZeroForNoSlotMinusOneForSeveral) {
    EXPECT_EQ(PRef::ERR_NONE, 1);
    EXPECT_EQ(PRef::ERR_GENERIC, 0);
    EXPECT_EQ(PRef::ERR_KEY_NOT_UNIQUE, -1);
}

TEST(PRef, WithoutSlotsEveryTableIsMissing) {
    PRef empty;
    const PRef noList(nullptr);
    for (const PRef* ref : {static_cast<const PRef*>(&empty), &noList}) {
        EXPECT_EQ(ref->nbRefFrom(), 0);
        for (const int tab : {0, 5, -1, 101}) {
            SCOPED_TRACE(tab);
            int err = PRef::ERR_NONE;
            const PKeyItem got = ref->getRefFrom(tab, err);
            EXPECT_EQ(err, PRef::ERR_GENERIC);
            EXPECT_EQ(got.getTabRef(), 0);
            EXPECT_FALSE(got.isKeyStr());
            EXPECT_FALSE(ref->hasRefFrom(PKeyItem(tab)));
        }
    }
    int err = PRef::ERR_NONE;
    empty.setRefFrom(item(5, "k"), err);
    EXPECT_EQ(err, PRef::ERR_GENERIC);
    EXPECT_EQ(empty.nbRefFrom(), 0);
}

TEST(PRef, ListWithoutRelationsGivesNoSlots) {
    const BareList alone;
    const PRef ref(&alone);
    EXPECT_EQ(ref.nbRefFrom(), 0);
}

TEST_F(RefFixture, BuiltFromAListHasAnEmptySlotPerReferenceInTableOrder) {
    PRef ref(&owner);
    expectSlots(ref, {{A, "", ""}, {A, "", ""}, {B, "", ""}});
}

TEST_F(RefFixture, SlotsOfAnErasedLeftListNameTheNullEntry) {
    many.erase();
    PRef ref(&owner);
    expectSlots(ref, {{0, "", ""}, {0, "", ""}, {B, "", ""}});
}

TEST_F(RefFixture, ByTableOperationsActOnlyOnASingleSlot) {
    PRef ref(&owner);
    ref[0] = item(A, "a0", "first");
    ref[1] = item(A, "a1", "second");
    ref[2] = item(B, "b0", "only");

    struct Case {
        int tab;
        int err;
        Slot got;
    };
    const Case gets[] = {
        {A, PRef::ERR_KEY_NOT_UNIQUE, {0, "", ""}},
        {B, PRef::ERR_NONE, {B, "b0", "only"}},
        {C, PRef::ERR_GENERIC, {0, "", ""}},
    };
    for (const Case& c : gets) {
        SCOPED_TRACE(c.tab);
        int err = 99;
        const PKeyItem got = ref.getRefFrom(c.tab, err);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(got.getTabRef(), c.got.tabref);
        EXPECT_EQ(got.getKeyStr(), c.got.key);
        EXPECT_EQ(got.getDescr(), c.got.descr);
    }
    expectSlots(ref, {{A, "a0", "first"}, {A, "a1", "second"}, {B, "b0", "only"}});
}

TEST_F(RefFixture, SetAndDeleteChangeOnlyTheSingleSlotOfATable) {
    struct Case {
        const char* name;
        bool del;
        PKeyItem arg;
        int err;
        std::vector<Slot> after;
    };
    const std::vector<Slot> start{{A, "a0", ""}, {A, "a1", ""}, {B, "b0", "old"}};
    const Case cases[] = {
        {"set single slot", false, item(B, "b9", "new"), PRef::ERR_NONE,
         {{A, "a0", ""}, {A, "a1", ""}, {B, "b9", "new"}}},
        {"set one of several slots", false, item(A, "a9", "new"), PRef::ERR_KEY_NOT_UNIQUE, start},
        {"set table without slot", false, item(C, "c0", "new"), PRef::ERR_GENERIC, start},
        {"delete single slot", true, PKeyItem(B), PRef::ERR_NONE,
         {{A, "a0", ""}, {A, "a1", ""}, {B, "", ""}}},
        {"delete one of several slots", true, PKeyItem(A), PRef::ERR_KEY_NOT_UNIQUE, start},
        {"delete table without slot", true, PKeyItem(C), PRef::ERR_GENERIC, start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool withErr : {true, false}) {
            SCOPED_TRACE(withErr ? "with code" : "without code");
            PRef ref(&owner);
            for (unsigned int i = 0; i < start.size(); ++i) {
                ref[i] = item(start[i].tabref, start[i].key, start[i].descr);
            }
            int err = 99;
            if (c.del && withErr) {
                ref.delRefFrom(c.arg.getTabRef(), err);
            } else if (c.del) {
                ref.delRefFrom(c.arg.getTabRef());
            } else if (withErr) {
                ref.setRefFrom(c.arg, err);
            } else {
                ref.setRefFrom(c.arg);
            }
            if (withErr) {
                EXPECT_EQ(err, c.err);
            }
            expectSlots(ref, c.after);
        }
    }
}

TEST_F(RefFixture, GetWithoutCodeGivesTheSameItem) {
    PRef ref(&owner);
    ref[2] = item(B, "b0", "d");
    struct Case {
        int tab;
        std::string key;
    };
    const Case cases[] = {{B, "b0"}, {A, ""}, {C, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        EXPECT_EQ(ref.getRefFrom(c.tab).getKeyStr(), c.key);
    }
}

TEST_F(RefFixture, IndexPastTheEndGrowsWithEmptySlots) {
    struct Case {
        unsigned int index;
        std::vector<Slot> after;
    };
    const Case cases[] = {
        {5, {{A, "", ""}, {A, "", ""}, {B, "", ""}, {0, "", ""}, {0, "", ""}, {0, "written", ""}}},
        {3, {{A, "", ""}, {A, "", ""}, {B, "", ""}, {0, "written", ""}}},
        {2, {{A, "", ""}, {A, "", ""}, {B, "written", ""}}},
        {0, {{A, "written", ""}, {A, "", ""}, {B, "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        PRef ref(&owner);
        PKeyItem& slot = ref[c.index];
        slot.setKeyStr("written");
        expectSlots(ref, c.after);
    }

    PRef ref(&owner);
    ref[5];

    // Reaching an existing slot does not grow the vector.
    ref[3].setTabRef(C);
    EXPECT_EQ(ref.nbRefFrom(), 6);
    int err = 0;
    EXPECT_EQ(ref.getRefFrom(C, err).getTabRef(), C);
    EXPECT_EQ(err, PRef::ERR_NONE);
}

TEST_F(RefFixture, CountsAndPresenceMatchTableAndKeyButNotDescription) {
    PRef ref(&owner);
    ref[0] = item(A, "x", "one");
    ref[1] = item(A, "x", "two");
    ref[2] = item(B, "x", "three");
    struct Case {
        const char* name;
        PKeyItem probe;
        int count;
    };
    const Case cases[] = {
        {"two slots whatever their descriptions", item(A, "x", "other"), 2},
        {"same key in another table", item(B, "x"), 1},
        {"table without slot", item(C, "x"), 0},
        {"other key", item(A, "y"), 0},
        {"empty key on filled slots", item(A, ""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ref.nbRefFrom(c.probe), c.count);
        EXPECT_EQ(ref.hasRefFrom(c.probe), c.count != 0);
    }
    // Fresh slots are matched by their table and the empty key.
    const PRef fresh(&owner);
    EXPECT_EQ(fresh.nbRefFrom(PKeyItem(A)), 2);
    EXPECT_TRUE(fresh.hasRefFrom(PKeyItem(B)));
}

TEST_F(RefFixture, CopiesTakeTheSlotsAndStayIndependent) {
    PRef original(&owner);
    original[2] = item(B, "b0");
    PRef copy(original);
    PRef assigned;
    PRef& result = (assigned = original);
    EXPECT_EQ(&result, &assigned);

    original[2].setKeyStr("changed");
    original[7];
    for (PRef* ref : {&copy, &assigned}) {
        expectSlots(*ref, {{A, "", ""}, {A, "", ""}, {B, "b0", ""}});
    }
}

namespace {

// Records which forms the one-argument and delete forms reach.
class TracingRef : public PRef {
public:
    explicit TracingRef(const PKeyList* plist) : PRef(plist) {}
    using PRef::getRefFrom;
    using PRef::setRefFrom;

    PKeyItem getRefFrom(const int& iref, int& err) const override {
        calls.push_back("get/2");
        return PRef::getRefFrom(iref, err);
    }
    void setRefFrom(const PKeyItem& ref_from, int& err) override {
        calls.push_back("set/2 " + std::to_string(ref_from.getTabRef()));
        PRef::setRefFrom(ref_from, err);
    }
    void setRefFrom(const PKeyItem& ref_from) override {
        calls.push_back("set/1 " + std::to_string(ref_from.getTabRef()));
        PRef::setRefFrom(ref_from);
    }
    void append(const std::vector<PKeyItem>& vec) { appendRefFrom(vec); }

    mutable std::vector<std::string> calls;
};

}  // namespace

TEST_F(RefFixture, ShortFormsGoThroughTheOverridableForms) {
    TracingRef ref(&owner);
    const std::string b = std::to_string(B);
    struct Case {
        const char* name;
        void (*call)(TracingRef&, int);
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"get without code", [](TracingRef& r, int tab) { r.getRefFrom(tab); }, {"get/2"}},
        {"set without code", [](TracingRef& r, int tab) { r.setRefFrom(PKeyItem(tab)); },
         {"set/1 " + b, "set/2 " + b}},
        {"delete with code",
         [](TracingRef& r, int tab) {
             int err = 0;
             r.delRefFrom(tab, err);
         },
         {"set/2 " + b}},
        {"delete without code", [](TracingRef& r, int tab) { r.delRefFrom(tab); },
         {"set/1 " + b, "set/2 " + b}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ref.calls.clear();
        c.call(ref, B);
        EXPECT_EQ(ref.calls, c.calls);
    }
}

TEST_F(RefFixture, AppendAddsCopiesInOrder) {
    TracingRef ref(&owner);
    std::vector<PKeyItem> extra{item(C, "c0"), item(C, "c1", "d")};
    ref.append(extra);
    extra[0].setKeyStr("changed");
    expectSlots(ref, {{A, "", ""}, {A, "", ""}, {B, "", ""}, {C, "c0", ""}, {C, "c1", "d"}});
    ref.append({});
    EXPECT_EQ(ref.nbRefFrom(), 5);
}

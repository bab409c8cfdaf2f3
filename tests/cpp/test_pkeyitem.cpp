#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>

#include "coreobj/pitem.h"
#include "coreobj/pkey.h"
#include "coreobj/pkeyitem.h"
#include "coreobj/xkey.h"

namespace {

struct Values {
    std::string key;
    std::string descr;
    int tabref;
};

void expectValues(const PKeyItem& item, const Values& expected) {
    EXPECT_EQ(item.getKeyStr(), expected.key);
    EXPECT_EQ(item.getDescr(), expected.descr);
    EXPECT_EQ(item.getTabRef(), expected.tabref);
}

}  // namespace

TEST(PItem, TableReferenceDefaultsToZeroAndStoresAnyInt) {
    EXPECT_EQ(PItem().getTabRef(), 0);
    for (const int value : {0, 7, -1, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(PItem(value).getTabRef(), value);
        PItem item(3);
        item.setTabRef(value);
        EXPECT_EQ(item.getTabRef(), value);
    }
}

TEST(PKey, ConstructorsFillKeyTextAndDescription) {
    const PKey none;
    EXPECT_EQ(none.getKeyStr(), "");
    EXPECT_EQ(none.getDescr(), "");

    const PKey keyOnly("k1");
    EXPECT_EQ(keyOnly.getKeyStr(), "k1");
    EXPECT_EQ(keyOnly.getDescr(), "");

    const PKey both("k1", "first key");
    EXPECT_EQ(both.getKeyStr(), "k1");
    EXPECT_EQ(both.getDescr(), "first key");
}

TEST(PKey, PresenceTestsTellEmptyFromBlank) {
    struct Case {
        std::string key;
        std::string descr;
        bool isKeyStr;
        bool isDescr;
        bool isEmpty;
    };
    const Case cases[] = {
        {"", "", false, false, true},
        {" ", "", true, false, false},
        {"", " ", false, true, false},
        {"k", "d", true, true, false},
        {std::string(1, '\0'), "", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key '" + c.key + "' descr '" + c.descr + "'");
        const PKey key(c.key, c.descr);
        EXPECT_EQ(key.isKeyStr(), c.isKeyStr);
        EXPECT_EQ(key.isDescr(), c.isDescr);
        EXPECT_EQ(key.isEmpty(), c.isEmpty);
    }
}

TEST(PKey, SettersFromAnotherKeyTakeOnlyTheirOwnText) {
    const PKey source("src-key", "src-descr");

    PKey key("old-key", "old-descr");
    key.setKeyStr(source);
    EXPECT_EQ(key.getKeyStr(), "src-key");
    EXPECT_EQ(key.getDescr(), "old-descr");

    PKey descr("old-key", "old-descr");
    descr.setDescr(source);
    EXPECT_EQ(descr.getKeyStr(), "old-key");
    EXPECT_EQ(descr.getDescr(), "src-descr");
}

TEST(PKey, TextSettersStoreAnyTextIncludingEmpty) {
    PKey key("k", "d");
    key.setKeyStr(std::string());
    key.setDescr("new description");
    EXPECT_EQ(key.getKeyStr(), "");
    EXPECT_EQ(key.getDescr(), "new description");
    key.setDescr(std::string());
    EXPECT_TRUE(key.isEmpty());
}

TEST(PKey, CopiesTakeBothTextsAndStayIndependent) {
    PKey original("k", "d");
    PKey copy(original);
    PKey assigned;
    assigned = original;
    original.setKeyStr("changed");
    original.setDescr("changed");
    for (const PKey* key : {&copy, &assigned}) {
        EXPECT_EQ(key->getKeyStr(), "k");
        EXPECT_EQ(key->getDescr(), "d");
    }
}

TEST(PKeyItem, ConstructorsSetTheThreeValues) {
    struct Case {
        const char* name;
        PKeyItem item;
        Values expected;
    };
    const Case cases[] = {
        {"default", PKeyItem(), {"", "", 0}},
        {"table reference", PKeyItem(7), {"", "", 7}},
        {"negative table reference", PKeyItem(-3), {"", "", -3}},
        {"key text", PKeyItem(std::string("k")), {"k", "", 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectValues(c.item, c.expected);
    }
}

TEST(PKeyItem, CopyAndAssignmentTakeKeyDescriptionAndTableReference) {
    PKeyItem original(std::string("k"));
    original.setDescr("d");
    original.setTabRef(42);

    const PKeyItem copy(original);
    expectValues(copy, {"k", "d", 42});

    PKeyItem assigned(5);
    assigned.setKeyStr("other");
    assigned.setDescr("other");
    PKeyItem& result = (assigned = original);
    EXPECT_EQ(&result, &assigned);
    expectValues(assigned, {"k", "d", 42});

    // Chained assignment goes through the returned reference.
    PKeyItem first;
    PKeyItem second;
    first = second = original;
    expectValues(first, {"k", "d", 42});
    expectValues(second, {"k", "d", 42});

    original.setKeyStr("changed");
    original.setTabRef(1);
    expectValues(copy, {"k", "d", 42});
    expectValues(assigned, {"k", "d", 42});
}

TEST(PKeyItem, InheritedSettersActThroughBothBases) {
    PKeyItem item;
    PKey& asKey = item;
    PItem& asItem = item;
    asKey.setKeyStr("k");
    asKey.setDescr("d");
    asItem.setTabRef(9);
    expectValues(item, {"k", "d", 9});
    EXPECT_TRUE(item.isKeyStr());
    EXPECT_FALSE(item.isEmpty());
}

TEST(PKeyItem, IsAKeyAndAnItem) {
    static_assert(std::is_base_of<PKey, PKeyItem>::value, "a keyed item is a key");
    static_assert(std::is_base_of<PItem, PKeyItem>::value, "a keyed item has a table reference");
    static_assert(!std::is_polymorphic<PKey>::value && !std::is_polymorphic<PItem>::value,
                  "keys and items are plain values");
    static_assert(!std::is_convertible<int, PKeyItem>::value,
                  "an int is not silently taken for a keyed item");
    SUCCEED();
}

TEST(XKey, ConstructorsAndAccessors) {
    const XKey none;
    EXPECT_EQ(none.getXkey(), "");
    EXPECT_EQ(none.getXdescription(), "");

    const XKey keyOnly("x1");
    EXPECT_EQ(keyOnly.getXkey(), "x1");
    EXPECT_EQ(keyOnly.getXdescription(), "");

    XKey both("x1", "first");
    EXPECT_EQ(both.getXkey(), "x1");
    EXPECT_EQ(both.getXdescription(), "first");

    both.setXkey("");
    both.setXdescription("second");
    EXPECT_EQ(both.getXkey(), "");
    EXPECT_EQ(both.getXdescription(), "second");

    const XKey copy(both);
    both.setXdescription("third");
    EXPECT_EQ(copy.getXdescription(), "second");
}

#include <gtest/gtest.h>

#include <climits>
#include <type_traits>

#include "coreobj/xid.h"

namespace {

// A derived class has to choose an id of its own to be default-constructible.
class Identified : public XId {
public:
    explicit Identified(int id = 7) : XId(id) {}
};

}  // namespace

TEST(XId, StoresAnyIntUnchecked) {
    for (const int value : {0, 1, -1, 42, -1000, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(value);
        const XId byConstructor(value);
        EXPECT_EQ(byConstructor.id(), value);

        XId bySetter(99);
        bySetter.setId(value);
        EXPECT_EQ(bySetter.id(), value);
    }
}

TEST(XId, HasNoDefaultConstructor) {
    static_assert(!std::is_default_constructible<XId>::value,
                  "every holder of an id must pass one");
    static_assert(std::is_default_constructible<Identified>::value,
                  "a derived class may supply a default id");
    EXPECT_EQ(Identified().id(), 7);
}

TEST(XId, CopiesAreIndependentValues) {
    XId original(3);
    XId copy(original);
    XId assigned(-5);
    assigned = original;
    original.setId(10);

    EXPECT_EQ(copy.id(), 3);
    EXPECT_EQ(assigned.id(), 3);
    EXPECT_EQ(original.id(), 10);
}

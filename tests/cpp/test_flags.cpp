#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "coreobj/Flag.h"
#include "coreobj/customizable.h"
#include "coreobj/flagdvalue.h"
#include "coreobj/flagvalue.h"
#include "coreobj/value.h"

namespace {

// Flag with three named states; records every description request so the
// order of the lookup's arguments can be checked.
class ColourFlag : public Flag {
public:
    void setFlag(int const& flag) override {
        m_intflag = flag;
        m_set = flag >= 0 && flag < getFlagSize();
    }
    bool setFlag(std::string const& flag) override {
        for (int i = 0; i < getFlagSize(); ++i) {
            if (getFlagStr(i) == flag) {
                setFlag(i);
                return true;
            }
        }
        return false;
    }
    std::string getFlagStr(int i) const override {
        static const char* const names[] = {"red", "green", "blue"};
        return i >= 0 && i < getFlagSize() ? names[i] : "?";
    }
    std::string getFlagDescription(TextFormat format, int i) const override {
        requests.emplace_back(format, i);
        return "desc(" + std::to_string(format) + "," + std::to_string(i) + ")";
    }
    int getFlagSize() const override { return 3; }

    using Flag::flagLookDescription;
    using Flag::flagLookStr;

    mutable std::vector<std::pair<TextFormat, int>> requests;
};

// Lookups reached through the base must dispatch to the override.
class LoudColourFlag : public ColourFlag {
public:
    std::string getFlagStr(int i) const override { return "LOUD-" + ColourFlag::getFlagStr(i); }
};

class Ratio : public FlagValue {
public:
    int setFlagValue(double const& value) override {
        m_value = value;
        return 0;
    }
};

class WeightedFlag : public FlagDValue {
public:
    void setFlag(int const& flag) override {
        m_intflag = flag;
        m_set = true;
    }
    bool setFlag(std::string const&) override { return false; }
    std::string getFlagStr(int) const override { return {}; }
    std::string getFlagDescription(TextFormat, int) const override { return {}; }
    int getFlagSize() const override { return 0; }
    int setFlagValue(double const& value) override {
        m_value = value;
        return 1;
    }
};

// Also names Flag and FlagValue as bases: compiles only because FlagDValue
// inherits them virtually, leaving one subobject of each.
class ReWeightedFlag : public WeightedFlag, public virtual Flag, public virtual FlagValue {};

class Measure : public Value {
public:
    void setValue(double const& value) override {
        m_v = value;
        setOn();
    }
    double getValue() const override { return m_v; }
    void clear() { setOff(); }

private:
    double m_v = 0.0;
};

}  // namespace

TEST(FlagFamily, EnumeratorValues) {
    static_assert(Flag::TEXT_FORMAT_UNKNOWN == 0 && Flag::TEXT_FORMAT_HTML == 1 &&
                      Flag::TEXT_FORMAT_KML == 2 && Flag::TEXT_FORMAT_PLAIN == 3 &&
                      Flag::TEXT_FORMAT_TEX == 4,
                  "text formats are stable numbers");
    SUCCEED();
}

TEST(FlagFamily, InterfacesAreAbstractAndNotDeletableThroughBase) {
    static_assert(std::is_abstract<Flag>::value, "");
    static_assert(std::is_abstract<FlagValue>::value, "");
    static_assert(std::is_abstract<FlagDValue>::value, "both bases' pure operations remain");
    static_assert(std::is_abstract<Value>::value, "");
    static_assert(!std::is_abstract<Customizable>::value, "");

    // No virtual destructors, so deleting through these bases is refused.
    static_assert(!std::is_destructible<Flag>::value, "");
    static_assert(!std::is_destructible<FlagValue>::value, "");
    static_assert(!std::is_destructible<FlagDValue>::value, "");
    static_assert(!std::is_destructible<Value>::value, "");
    static_assert(std::is_destructible<ColourFlag>::value, "implementations are");
    SUCCEED();
}

TEST(Flag, FreshImplementationHasNoFlagSet) {
    const ColourFlag flag;
    EXPECT_FALSE(flag.isSetFlag());
    EXPECT_EQ(flag.getFlag(), 0);
}

TEST(Flag, GettersReportWhatTheImplementationStored) {
    const struct {
        int flag;
        bool set;
    } cases[] = {{0, true}, {2, true}, {3, false}, {-1, false}, {INT_MAX, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        ColourFlag flag;
        flag.setFlag(c.flag);
        const Flag& base = flag;
        EXPECT_EQ(base.getFlag(), c.flag);
        EXPECT_EQ(base.isSetFlag(), c.set);
    }

    ColourFlag named;
    EXPECT_TRUE(named.setFlag(std::string("blue")));
    EXPECT_EQ(named.getFlag(), 2);
    EXPECT_FALSE(named.setFlag(std::string("violet")));
    EXPECT_EQ(named.getFlag(), 2);
}

TEST(Flag, DescriptionLookupPassesFormatFirst) {
    const struct {
        int i;
        Flag::TextFormat format;
    } cases[] = {
        {2, Flag::TEXT_FORMAT_HTML},
        {0, Flag::TEXT_FORMAT_TEX},
        {4, Flag::TEXT_FORMAT_UNKNOWN},
        {-1, Flag::TEXT_FORMAT_PLAIN},
        {1, Flag::TEXT_FORMAT_KML},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.i);
        ColourFlag flag;
        const std::string text = flag.flagLookDescription(c.i, c.format);
        ASSERT_EQ(flag.requests.size(), 1u);
        EXPECT_EQ(flag.requests[0].first, c.format);
        EXPECT_EQ(flag.requests[0].second, c.i);
        EXPECT_EQ(text, flag.getFlagDescription(c.format, c.i));
    }
}

TEST(Flag, NameLookupDispatchesToTheMostDerivedOverride) {
    const struct {
        int i;
        const char* plain;
        const char* loud;
    } cases[] = {{0, "red", "LOUD-red"}, {2, "blue", "LOUD-blue"}, {5, "?", "LOUD-?"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.i);
        const ColourFlag plain;
        const LoudColourFlag loud;
        EXPECT_EQ(plain.flagLookStr(c.i), c.plain);
        EXPECT_EQ(loud.flagLookStr(c.i), c.loud);
    }
}

TEST(FlagValue, OneValueForEveryIndex) {
    Ratio ratio;
    EXPECT_EQ(ratio.getFlagValue(0), 0.0);
    for (const double value : {2.5, -7.25, 0.0}) {
        SCOPED_TRACE(value);
        ratio.setFlagValue(value);
        const FlagValue& base = ratio;
        for (const int i : {0, 1, -1, 99, INT_MIN, INT_MAX}) {
            EXPECT_EQ(base.getFlagValue(i), value) << "index " << i;
        }
    }
}

TEST(FlagDValue, CarriesFlagAndValueInOneSubobjectEach) {
    ReWeightedFlag wf;
    Flag& asFlag = wf;
    FlagValue& asValue = wf;
    EXPECT_FALSE(asFlag.isSetFlag());

    asFlag.setFlag(7);
    EXPECT_EQ(asValue.setFlagValue(0.75), 1);

    // Reached through either path, the same state answers.
    const WeightedFlag& viaDerived = wf;
    const Flag& viaDerivedFlag = viaDerived;
    EXPECT_EQ(&viaDerivedFlag, &asFlag);
    EXPECT_EQ(viaDerivedFlag.getFlag(), 7);
    EXPECT_TRUE(viaDerivedFlag.isSetFlag());
    EXPECT_EQ(static_cast<const FlagValue&>(viaDerived).getFlagValue(3), 0.75);
}

TEST(Value, OnOffStateFollowsTheImplementation) {
    Measure m;
    const Value& base = m;
    EXPECT_FALSE(base.isSet());

    m.setValue(4.5);
    EXPECT_TRUE(base.isSet());
    EXPECT_EQ(base.getValue(), 4.5);

    m.clear();
    EXPECT_FALSE(base.isSet());
    EXPECT_EQ(base.getValue(), 4.5) << "switching off keeps the value";

    m.clear();
    EXPECT_FALSE(base.isSet());
    m.setValue(-1.0);
    m.setValue(2.0);
    EXPECT_TRUE(base.isSet());
}

TEST(Customizable, ConstructionSetsTheMarker) {
    EXPECT_TRUE(Customizable().isCustom());
    for (const bool cust : {true, false}) {
        SCOPED_TRACE(cust);
        EXPECT_EQ(Customizable(cust).isCustom(), cust);
    }
    static_assert(!std::is_convertible<bool, Customizable>::value,
                  "a bool does not silently become a Customizable");
}

TEST(Customizable, SetCustomAndCopiesFollowTheCurrentMarker) {
    for (const bool cust : {false, true}) {
        SCOPED_TRACE(cust);
        Customizable original;
        original.setCustom(cust);
        EXPECT_EQ(original.isCustom(), cust);

        const Customizable copy(original);
        Customizable assigned(!cust);
        Customizable& result = (assigned = original);
        EXPECT_EQ(&result, &assigned);
        EXPECT_EQ(copy.isCustom(), cust);
        EXPECT_EQ(assigned.isCustom(), cust);

        // Copies are independent of the original afterwards.
        original.setCustom(!cust);
        EXPECT_EQ(copy.isCustom(), cust);
        EXPECT_EQ(assigned.isCustom(), cust);
    }

    Customizable self(false);
    Customizable& alias = self;
    self = alias;
    EXPECT_FALSE(self.isCustom());
}

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "coreobj/Comm.h"
#include "coreobj/Elab.h"
#include "coreobj/PTime.h"
#include "coreobj/Work.h"

namespace {

struct Fields {
    int hour, min, sec, day, mon, year;
    long time;
};

Fields fieldsOf(const PTime& t) {
    return {t.getHour(), t.getMin(), t.getSec(), t.getDay(), t.getMon(), t.getYear(), t.getTime()};
}

bool operator==(const Fields& a, const Fields& b) {
    return a.hour == b.hour && a.min == b.min && a.sec == b.sec && a.day == b.day &&
           a.mon == b.mon && a.year == b.year && a.time == b.time;
}

std::ostream& operator<<(std::ostream& os, const Fields& f) {
    return os << f.hour << ':' << f.min << ':' << f.sec << ' ' << f.day << '/' << f.mon << '/'
              << f.year << " @" << f.time;
}

// A stamp read from the clock between `before` and `after`, with its
// broken-down fields matching the local time of its own calendar time.
void expectClockReading(const PTime& t, std::time_t before, std::time_t after) {
    EXPECT_GE(t.getTime(), static_cast<long>(before));
    EXPECT_LE(t.getTime(), static_cast<long>(after));
    const std::time_t own = static_cast<std::time_t>(t.getTime());
    const std::tm local = *std::localtime(&own);
    EXPECT_EQ(t.getHour(), local.tm_hour);
    EXPECT_EQ(t.getMin(), local.tm_min);
    EXPECT_EQ(t.getSec(), local.tm_sec);
    EXPECT_EQ(t.getDay(), local.tm_mday);
    EXPECT_EQ(t.getMon(), local.tm_mon + 1);
    EXPECT_EQ(t.getYear(), local.tm_year + 1900);
}

}  // namespace

TEST(PTime, TextForms) {
    const struct {
        Fields f;
        std::string time, date, full;
    } cases[] = {
        {{9, 5, 7, 3, 4, 2024, 0}, "9:5:07", "3/4/2024", "9:5:7 - 3/4/2024"},
        {{14, 30, 0, 1, 12, 2023, 0}, "14:30:00", "1/12/2023", "14:30:0 - 1/12/2023"},
        {{23, 59, 59, 31, 12, 1999, 0}, "23:59:59", "31/12/1999", "23:59:59 - 31/12/1999"},
        {{0, 0, 10, 9, 9, 900, 0}, "0:0:10", "9/9/900", "0:0:10 - 9/9/900"},
        // A two-character seconds text is never padded, a minus sign included.
        {{9, 5, -5, 3, 4, 2024, 0}, "9:5:-5", "3/4/2024", "9:5:-5 - 3/4/2024"},
        {{-1, -2, 123, -3, 0, -44, 0}, "-1:-2:123", "-3/0/-44", "-1:-2:123 - -3/0/-44"},
        {{25, 61, 61, 32, 13, 2024, 0}, "25:61:61", "32/13/2024", "25:61:61 - 32/13/2024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.full);
        const PTime t(c.f.hour, c.f.min, c.f.sec, c.f.day, c.f.mon, c.f.year, c.f.time);
        EXPECT_EQ(t.StrTime(), c.time);
        EXPECT_EQ(t.StrDate(), c.date);
        EXPECT_EQ(t.Str(), c.full);
    }
}

TEST(PTime, ConstructorStoresValuesUnchecked) {
    const PTime t(25, -1, 99, 0, 13, -5, -123456789012L);
    EXPECT_EQ(fieldsOf(t), (Fields{25, -1, 99, 0, 13, -5, -123456789012L}));
}

TEST(PTime, EachSetterChangesOneFieldOnly) {
    const Fields start{9, 5, 7, 3, 4, 2024, 1000};
    const struct {
        const char* name;
        void (*set)(PTime&);
        Fields expected;
    } cases[] = {
        {"hour", [](PTime& t) { t.setHour(25); }, {25, 5, 7, 3, 4, 2024, 1000}},
        {"min", [](PTime& t) { t.setMin(77); }, {9, 77, 7, 3, 4, 2024, 1000}},
        {"sec", [](PTime& t) { t.setSec(-5); }, {9, 5, -5, 3, 4, 2024, 1000}},
        {"day", [](PTime& t) { t.setDay(40); }, {9, 5, 7, 40, 4, 2024, 1000}},
        {"mon", [](PTime& t) { t.setMon(0); }, {9, 5, 7, 3, 0, 2024, 1000}},
        {"year", [](PTime& t) { t.setYear(1); }, {9, 5, 7, 3, 4, 1, 1000}},
        {"time", [](PTime& t) { t.setTime(-1); }, {9, 5, 7, 3, 4, 2024, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PTime t(start.hour, start.min, start.sec, start.day, start.mon, start.year, start.time);
        c.set(t);
        EXPECT_EQ(fieldsOf(t), c.expected);
    }
}

TEST(PTime, NowReadsTheLocalClockIntoEveryField) {
    PTime t(99, 99, 99, 99, 99, 99, -1);
    const std::time_t before = std::time(nullptr);
    t.Now();
    const PTime byDefault;
    const std::time_t after = std::time(nullptr);
    expectClockReading(t, before, after);
    expectClockReading(byDefault, before, after);
}

TEST(PTime, CopiesAreIndependent) {
    PTime original(1, 2, 3, 4, 5, 2006, 7);
    const PTime copy(original);
    PTime assigned(0, 0, 0, 0, 0, 0, 0);
    assigned = original;
    original.setHour(20);
    original.setTime(70);
    EXPECT_EQ(fieldsOf(copy), (Fields{1, 2, 3, 4, 5, 2006, 7}));
    EXPECT_EQ(fieldsOf(assigned), (Fields{1, 2, 3, 4, 5, 2006, 7}));
}

TEST(Elab, ClockConstructorsReadTheStartStampLast) {
    const std::time_t before = std::time(nullptr);
    const Elab plain;
    const Elab titled("run");
    const std::time_t after = std::time(nullptr);

    EXPECT_EQ(plain.getName(), "");
    EXPECT_EQ(plain.getTitle(), "");
    EXPECT_EQ(titled.getName(), "");
    EXPECT_EQ(titled.getTitle(), "run");
    for (const Elab* e : {&plain, &titled}) {
        SCOPED_TRACE(e->getTitle());
        expectClockReading(e->getTimeStart(), before, after);
        expectClockReading(e->getTimeEnd(), before, after);
        EXPECT_GE(e->getTimeStart().getTime(), e->getTimeEnd().getTime());
    }
}

TEST(Elab, FullConstructorStoresEveryField) {
    const PTime start(1, 2, 3, 4, 5, 2006, 100);
    const PTime end(7, 8, 9, 10, 11, 2012, 200);
    const Elab e("name", "title", start, end);
    EXPECT_EQ(e.getName(), "name");
    EXPECT_EQ(e.getTitle(), "title");
    EXPECT_EQ(fieldsOf(e.getTimeStart()), fieldsOf(start));
    EXPECT_EQ(fieldsOf(e.getTimeEnd()), fieldsOf(end));
}

TEST(Elab, NowSettersMoveOneStampOnly) {
    const PTime start(1, 2, 3, 4, 5, 2006, 100);
    const PTime end(7, 8, 9, 10, 11, 2012, 200);

    Elab e("name", "title", start, end);
    std::time_t before = std::time(nullptr);
    e.setTimeEndNow();
    std::time_t after = std::time(nullptr);
    EXPECT_EQ(fieldsOf(e.getTimeStart()), fieldsOf(start));
    expectClockReading(e.getTimeEnd(), before, after);

    Elab f("name", "title", start, end);
    before = std::time(nullptr);
    f.setTimeStartNow();
    after = std::time(nullptr);
    expectClockReading(f.getTimeStart(), before, after);
    EXPECT_EQ(fieldsOf(f.getTimeEnd()), fieldsOf(end));
}

TEST(Elab, StampsAreHandedOutAsCopies) {
    const PTime start(1, 2, 3, 4, 5, 2006, 100);
    const Elab e("n", "t", start, start);
    PTime got = e.getTimeStart();
    got.setHour(22);
    EXPECT_EQ(e.getTimeStart().getHour(), 1);
}

TEST(Elab, NameAndTitleSetters) {
    Elab e("n", "t", PTime(0, 0, 0, 1, 1, 2000, 0), PTime(0, 0, 0, 1, 1, 2000, 0));
    e.setName("other");
    e.setTitle("");
    EXPECT_EQ(e.getName(), "other");
    EXPECT_EQ(e.getTitle(), "");

    const Elab copy(e);
    e.setName("changed");
    EXPECT_EQ(copy.getName(), "other");
}

TEST(Comm, ConstructorsTakeTheIdLast) {
    const Comm full("name", "surname", "id");
    EXPECT_EQ(full.Name(), "name");
    EXPECT_EQ(full.Surname(), "surname");
    EXPECT_EQ(full.Id(), "id");

    const Comm noId("name", "surname");
    EXPECT_EQ(noId.Name(), "name");
    EXPECT_EQ(noId.Surname(), "surname");
    EXPECT_EQ(noId.Id(), "");

    const Comm none;
    EXPECT_EQ(none.Name(), "");
    EXPECT_EQ(none.Surname(), "");
    EXPECT_EQ(none.Id(), "");
}

TEST(Comm, SignatureAndEmptiness) {
    const struct {
        std::string name, surname, id;
        std::string signature;
        bool empty;
    } cases[] = {
        {"A", "B", "", "BA", false},
        {"A", "", "", "A", true},  // the name alone does not count
        {"", "B", "", "B", false},
        {"", "", "", "", true},
        {"A", "", "X", "A", false},  // the id counts for emptiness only
        {"", "", "X", "", false},
        {"Mario", "Rossi", "7", "RossiMario", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + "|" + c.surname + "|" + c.id);
        const Comm p(c.name, c.surname, c.id);
        EXPECT_EQ(p.buildSignature(), c.signature);
        EXPECT_EQ(p.isEmpty(), c.empty);
    }
}

TEST(Comm, SetEmptyClearsEveryField) {
    for (Comm p : {Comm("A", "B", "X"), Comm("A", ""), Comm("", "", "X"), Comm()}) {
        SCOPED_TRACE(p.Name() + "|" + p.Surname() + "|" + p.Id());
        p.setEmpty();
        EXPECT_TRUE(p.isEmpty());
        EXPECT_EQ(p.buildSignature(), "");
        EXPECT_EQ(p.Name(), "");
        EXPECT_EQ(p.Surname(), "");
        EXPECT_EQ(p.Id(), "");
    }
}

TEST(Comm, SettersStoreOneFieldEach) {
    Comm p("A", "B", "X");
    p.Name("N");
    EXPECT_EQ(p.buildSignature(), "BN");
    p.Surname("S");
    EXPECT_EQ(p.buildSignature(), "SN");
    EXPECT_EQ(p.Id(), "X");
    p.Id("");
    p.Surname("");
    EXPECT_TRUE(p.isEmpty());
    EXPECT_EQ(p.Name(), "N");
}

TEST(Work, ConstructorsTakeTheIdLast) {
    const Work full("title", "id");
    EXPECT_EQ(full.title(), "title");
    EXPECT_EQ(full.id(), "id");

    const Work titled("title");
    EXPECT_EQ(titled.title(), "title");
    EXPECT_EQ(titled.id(), "");

    const Work none;
    EXPECT_EQ(none.title(), "");
    EXPECT_EQ(none.id(), "");
}

TEST(Work, SettersStoreOneFieldEach) {
    Work w("title", "id");
    w.title("other");
    EXPECT_EQ(w.title(), "other");
    EXPECT_EQ(w.id(), "id");
    w.id("7");
    EXPECT_EQ(w.title(), "other");
    EXPECT_EQ(w.id(), "7");
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "CHDate.h"

namespace {
class HDate : public ::testing::Test {
protected:
    void SetUp() override { CHDate::SetLocale(CHDate::Locale{}); }
};

struct SerialCase {
    int y, m, d;
    double serial;
};

TEST_F(HDate, SerialsOfKnownDays) {
    const SerialCase cases[] = {{1899, 12, 31, 0}, {1900, 1, 1, 1}, {1900, 3, 1, 60}, {2000, 2, 29, 36585 - 1},
                                {2026, 12, 10, 46365}};
    for (const auto& c : cases) {
        CHDate d;
        EXPECT_EQ(d.SetDate(c.y, c.m, c.d), 0) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_DOUBLE_EQ(d.GetSerial(), c.serial) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(d.Year(), c.y);
        EXPECT_EQ(d.Month(), c.m);
        EXPECT_EQ(d.Day(), c.d);
    }
}

TEST_F(HDate, RoundTripsEveryDayOverTwoCenturies) {
    CHDate d;
    for (double s = 1; s < 80000; s += 1) {
        d.SetSerial(s);
        CHDate e;
        e.SetDate(d.Year(), d.Month(), d.Day());
        ASSERT_DOUBLE_EQ(e.GetSerial(), s) << d.Year() << "-" << d.Month() << "-" << d.Day();
    }
}

TEST_F(HDate, SerialsOutsideTheCalendarHaveNoDate) {
    // As a damaged project may hold them: no part of a date, and no failure.
    for (double serial : {1.9e13, -1.9e13, 2958465.0, std::nan(""), HUGE_VAL}) {
        CHDate d;
        d.SetSerial(serial);
        EXPECT_EQ(d.Year(), 0) << serial;
        EXPECT_EQ(d.Month(), 0) << serial;
        EXPECT_EQ(d.Day(), 0) << serial;
    }
    CHDate last;
    last.SetSerial(2958464.0);
    EXPECT_EQ(last.Year(), 9999);
    EXPECT_EQ(last.Month(), 12);
    EXPECT_EQ(last.Day(), 31);
}

TEST_F(HDate, YearsAndErrorBits) {
    CHDate d;
    d.SetDate(99, 5, 1);
    EXPECT_EQ(d.Year(), 1999);
    d.SetDate(100, 5, 1);
    EXPECT_EQ(d.Year(), 100);
    EXPECT_EQ(d.SetDate(2001, 2, 29), 4);
    EXPECT_EQ(d.Month(), 3);
    EXPECT_EQ(d.Day(), 1);
    EXPECT_EQ(d.SetDate(2001, 13, 1), 2);
    EXPECT_EQ(d.SetDate(2001, 1, 1, 24, 60, 60), 8 | 16 | 32);
    EXPECT_EQ(d.SetTime(12, 30, 15), 0);
    EXPECT_EQ(d.Hour(), 12);
    EXPECT_EQ(d.Minute(), 30);
    EXPECT_EQ(d.Second(), 15);
}

struct MonthCase {
    int y, m, d;
    short n;
    int ey, em, ed;
};

TEST_F(HDate, AddMonths) {
    const MonthCase cases[] = {
        {2001, 1, 31, 1, 2001, 2, 28}, {2004, 1, 31, 1, 2004, 2, 29}, {2001, 3, 31, -1, 2001, 2, 28},
        {2004, 3, 31, -1, 2004, 2, 29}, {2001, 1, 15, -1, 2000, 12, 15}, {2001, 1, 15, -13, 1999, 12, 15},
        {2001, 1, 30, 1, 2001, 3, 2},   {2001, 11, 5, 14, 2003, 1, 5},
    };
    for (const auto& c : cases) {
        CHDate d;
        d.SetDate(c.y, c.m, c.d, 10, 0, 0);
        d.AddMonths(&c.n);
        EXPECT_EQ(d.Year(), c.ey) << c.y << "-" << c.m << "-" << c.d << " + " << c.n;
        EXPECT_EQ(d.Month(), c.em) << c.y << "-" << c.m << "-" << c.d << " + " << c.n;
        EXPECT_EQ(d.Day(), c.ed) << c.y << "-" << c.m << "-" << c.d << " + " << c.n;
        EXPECT_EQ(d.Hour(), 0);
    }
}

TEST_F(HDate, Format) {
    CHDate d;
    d.SetDate(2003, 7, 4, 13, 0, 0);
    EXPECT_EQ(d.Format("h:mm AM/PM"), "1:00 PM");
    EXPECT_EQ(d.Format("hh:mm a/p"), "01:00 p");
    EXPECT_EQ(d.Format("mm/dd/yyyy"), "07/04/2003");
    EXPECT_EQ(d.Format("h:mm"), "13:00");  // mm after h is minutes
    EXPECT_EQ(d.Format("d mmm yy"), "4 Jul 03");
    EXPECT_EQ(d.Format("dddd, mmmm"), "Friday, July");
    EXPECT_EQ(d.Format("yyyy'-'q"), "2003-3");
    EXPECT_EQ(d.Format("yyyy'-'f"), "2003-2");
    EXPECT_EQ(d.Format("m'/'d'/'yyyy"), "7/4/2003");
    EXPECT_EQ(d.Format("yyyy 'open"), "2003 ");  // an unterminated quote ends the text
    char small[5];
    d.Format(small, sizeof small, "yyyy-mm");  // pieces that do not fit are dropped
    EXPECT_STREQ(small, "2003");
}

TEST_F(HDate, Parse) {
    CHDate d;
    EXPECT_EQ(d.Parse("12/31/1999", 10, 0), 0);
    EXPECT_EQ(d.Year(), 1999);
    EXPECT_EQ(d.Month(), 12);
    EXPECT_EQ(d.Day(), 31);
    EXPECT_EQ(d.Parse("31/12/1999", 10, 1), 0);
    EXPECT_EQ(d.Day(), 31);
    EXPECT_EQ(d.Parse("02/30/2001", 10, 0), 4);
    EXPECT_EQ(d.Parse("hello", 5, 0), 64);
    EXPECT_EQ(d.Parse("1/2", 3, 0), 64);
    EXPECT_EQ(d.Parse("July 4 2003", 11, 0), 0);
    EXPECT_EQ(d.Month(), 7);
    EXPECT_EQ(d.Parse("Monday July 4 2003", 18, 0), 128);  // 4 July 2003 was a Friday
    EXPECT_EQ(d.Parse("1/2/2003 13:45:10", 17, 0), 0);
    EXPECT_EQ(d.Hour(), 13);
    EXPECT_EQ(d.Minute(), 45);
}
}  // namespace

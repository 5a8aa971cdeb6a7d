#include "mycommon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

namespace {

struct CalendarTime {
    int year, month, day, hour, minute;
    double second;
};

CalendarTime ut_of(double x)
{
    CalendarTime t{};
    ut(x, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    return t;
}

TEST(Jd, PublishedDates)
{
    struct Case { int y, m, d; double h, expected; };
    const Case cases[] = {
        {2015, 7, 2, 12.0, 2457206.0},
        {2014, 9, 26, 0.0, 2456926.5},
        {2000, 1, 1, 12.0, 2451545.0},
        {-4800, 3, 1, 0.0, -32044.5},
        {1858, 11, 17, 0.0, 2400000.5},   // MJD 0
        {-4713, 11, 24, 12.0, 0.0},        // JD 0 in the proleptic Gregorian calendar
        {1970, 1, 1, 0.0, 2440587.5},      // Unix epoch
    };
    for (const Case &c : cases)
        EXPECT_EQ(jd(c.y, c.m, c.d, c.h), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

TEST(Jd, FieldsOutOfRangeRunOn)
{
    struct Case { int y1, m1, d1, y2, m2, d2; };
    const Case cases[] = {
        {2014, 13, 1, 2015, 1, 1},
        {2014, 0, 1, 2013, 12, 1},
        {2014, 3, 0, 2014, 2, 28},
        {2014, 1, 32, 2014, 2, 1},
        {1900, 2, 29, 1900, 3, 1},
        {2014, 25, 1, 2016, 1, 1},
        {2014, -11, 1, 2013, 1, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(jd(c.y1, c.m1, c.d1, 0), jd(c.y2, c.m2, c.d2, 0))
            << c.y1 << "-" << c.m1 << "-" << c.d1;
    EXPECT_EQ(jd(2014, 1, 1, 36.0), jd(2014, 1, 2, 12.0));
    EXPECT_EQ(jd(2014, 1, 1, -12.0), jd(2013, 12, 31, 12.0));
}

TEST(Jd, ExtremeIntFieldsAreFinite)
{
    const int lim = std::numeric_limits<int>::max();
    const int low = std::numeric_limits<int>::min();
    EXPECT_TRUE(std::isfinite(jd(lim, lim, lim, 0)));
    EXPECT_TRUE(std::isfinite(jd(low, low, low, 0)));
}

TEST(Ut, PublishedDates)
{
    struct Case { double x; CalendarTime t; };
    const Case cases[] = {
        {2457206.0, {2015, 7, 2, 12, 0, 0.0}},
        {2456926.5, {2014, 9, 26, 0, 0, 0.0}},
        {-32044.5, {-4800, 3, 1, 0, 0, 0.0}},
        {2451545.0, {2000, 1, 1, 12, 0, 0.0}},
        {2451544.5 + 0.75, {2000, 1, 1, 18, 0, 0.0}},
    };
    for (const Case &c : cases) {
        CalendarTime t = ut_of(c.x);
        EXPECT_EQ(t.year, c.t.year) << c.x;
        EXPECT_EQ(t.month, c.t.month) << c.x;
        EXPECT_EQ(t.day, c.t.day) << c.x;
        EXPECT_EQ(t.hour, c.t.hour) << c.x;
        EXPECT_EQ(t.minute, c.t.minute) << c.x;
        EXPECT_NEAR(t.second, c.t.second, 1e-4) << c.x;
    }
}

TEST(Ut, CenturyLeapRules)
{
    struct Case { int y, m, d; };
    const Case cases[] = {{1700, 3, 1}, {1800, 3, 1}, {1900, 3, 1}, {2100, 3, 1},
                          {2300, 3, 1}, {2000, 2, 29}, {1600, 2, 29}, {2400, 2, 29}};
    for (const Case &c : cases) {
        CalendarTime t = ut_of(jd(c.y, c.m, c.d, 0));
        EXPECT_EQ(t.year, c.y);
        EXPECT_EQ(t.month, c.m);
        EXPECT_EQ(t.day, c.d);
    }
}

TEST(Ut, SecondIsNotRounded)
{
    CalendarTime t = ut_of(jd(2015, 3, 14, 1.0 / 60.0));
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_GT(t.second, 59.9999);
    EXPECT_LT(t.second, 60.0);
}

// Every day from 1 March -4800 to 31 December 9999 comes back unchanged,
// at midnight and at noon.
TEST(Ut, RoundTripEveryDay)
{
    const double first = jd(-4800, 3, 1, 0);
    const double last = jd(9999, 12, 31, 0);
    int expected_year = -4800, expected_month = 3, expected_day = 1;
    const int month_length[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long failures = 0;
    for (double x = first; x <= last; x += 1.0) {
        CalendarTime midnight = ut_of(x);
        CalendarTime noon = ut_of(x + 0.5);
        bool ok = midnight.year == expected_year && midnight.month == expected_month &&
                  midnight.day == expected_day && midnight.hour == 0 && midnight.minute == 0 &&
                  midnight.second == 0.0 && noon.year == expected_year &&
                  noon.month == expected_month && noon.day == expected_day && noon.hour == 12 &&
                  noon.minute == 0 && noon.second == 0.0 &&
                  jd(expected_year, expected_month, expected_day, 0) == x;
        if (!ok && ++failures < 5)
            ADD_FAILURE() << "JD " << x << " expected " << expected_year << "-" << expected_month
                          << "-" << expected_day << " got " << midnight.year << "-"
                          << midnight.month << "-" << midnight.day << " " << midnight.hour << ":"
                          << midnight.minute << ":" << midnight.second;
        bool leap = (expected_year % 4 == 0 && expected_year % 100 != 0) ||
                    expected_year % 400 == 0;
        int length = month_length[expected_month - 1] + (expected_month == 2 && leap ? 1 : 0);
        if (++expected_day > length) {
            expected_day = 1;
            if (++expected_month > 12) {
                expected_month = 1;
                ++expected_year;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

// From about -3277 on every field is in range, for instants all through the day.
TEST(Ut, FieldsInRangeThroughTheDay)
{
    for (double base : {524287.5, 2400000.5, 2457206.0, 5373484.5}) {
        for (int k = 0; k < 20000; ++k) {
            double x = base + k * 0.000123456789;
            CalendarTime t = ut_of(x);
            ASSERT_GE(t.hour, 0) << x;
            ASSERT_LE(t.hour, 23) << x;
            ASSERT_GE(t.minute, 0) << x;
            ASSERT_LE(t.minute, 59) << x;
            ASSERT_GE(t.second, 0.0) << x;
            ASSERT_LT(t.second, 60.0) << x;
            double back = jd(t.year, t.month, t.day,
                             t.hour + t.minute / 60.0 + t.second / 3600.0);
            ASSERT_NEAR(back, x, 1e-8) << x;
        }
    }
}

TEST(Ut, NoCalendarForNonFiniteOrFarDates)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {std::nan(""), inf, -inf, 1e300, -1e300, 1.5e11, -1.5e11}) {
        CalendarTime t = ut_of(x);
        EXPECT_EQ(t.year, 0) << x;
        EXPECT_EQ(t.month, 0) << x;
        EXPECT_EQ(t.day, 0) << x;
        EXPECT_EQ(t.hour, 0) << x;
        EXPECT_EQ(t.minute, 0) << x;
        EXPECT_TRUE(std::isnan(t.second)) << x;
    }
}

TEST(Ut, FarButInRangeDatesStayConsistent)
{
    for (double x : {1e11, -1e11, 1e9, -1e9}) {
        CalendarTime t = ut_of(x);
        EXPECT_GE(t.month, 1) << x;
        EXPECT_LE(t.month, 12) << x;
        EXPECT_NEAR(jd(t.year, t.month, t.day, t.hour + t.minute / 60.0 + t.second / 3600.0),
                    x, 1e-3)
            << x;
    }
}

TEST(Now, JdNowMatchesSystemClock)
{
    std::time_t before = std::time(nullptr);
    double now = jd_now();
    std::time_t after = std::time(nullptr);
    EXPECT_GE(now, 2440587.5 + before / 86400.0 - 1e-9);
    EXPECT_LE(now, 2440587.5 + after / 86400.0 + 1e-9);
}

TEST(Now, UtNowWritesIsoText)
{
    char text[100];
    std::memset(text, 'x', sizeof text);
    ut_now(text);
    ASSERT_EQ(std::strlen(text), 19u);
    EXPECT_EQ(text[4], '-');
    EXPECT_EQ(text[7], '-');
    EXPECT_EQ(text[10], 'T');
    EXPECT_EQ(text[13], ':');
    EXPECT_EQ(text[16], ':');
    CalendarTime t = ut_of(jd_now());
    char year[5];
    std::snprintf(year, sizeof year, "%04d", t.year);
    EXPECT_EQ(std::strncmp(text, year, 4), 0);
}

} // namespace

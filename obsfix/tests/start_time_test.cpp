#include "start_time.h"

#include "mycommon.h"

#include <fitsio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using obsfix::DateRule;

TEST(DateText, ParsesFitsDates)
{
    struct Case { const char *text; double expected_jd; };
    const Case cases[] = {
        {"2015-07-02T12:00:00", 2457206.0},
        {"2014-09-26T00:00:00", 2456926.5},
        {"2014-09-26", 2456926.5},             // a date alone is 0h UT
        {"2015-07-02T06:00:00.5", 2457205.75 + 0.5 / 86400},
    };
    for (const Case &c : cases) {
        double value = 0;
        EXPECT_EQ(obsfix::date_text_to_jd(c.text, &value), 0) << c.text;
        EXPECT_NEAR(value, c.expected_jd, 1e-9) << c.text;
    }
}

TEST(DateText, RefusesIncompleteOrBadDates)
{
    for (const char *text : {"", "hello", "2015-01-10T00:10", "2015-01-10Tnan:00:00",
                             "2015-01-10T00:10:xx", "2015-13-10", "2015-02-30",
                             "2015-01-10T25:00:00", " 2015-01-10", "2015-1-10",
                             "2015-01-10T00:10:00 junk",
                             "2015-01-10T00:10:00.0000000000000000000000000000000000000000000000000000000000000001"}) {
        double value = 0;
        EXPECT_EQ(obsfix::date_text_to_jd(text, &value), BAD_DATE) << text;
    }
}

TEST(Rules, ThresholdsAreInclusiveFromBelow)
{
    EXPECT_EQ(obsfix::rule_for(2457206.0), DateRule::copy_date_beg);
    EXPECT_EQ(obsfix::rule_for(std::nextafter(2457206.0, 0)), DateRule::computed_start);
    EXPECT_EQ(obsfix::rule_for(2456926.5), DateRule::computed_start);
    EXPECT_EQ(obsfix::rule_for(std::nextafter(2456926.5, 0)), DateRule::copy_date);
    EXPECT_EQ(obsfix::rule_for(NAN), DateRule::none);
}

std::string start_text(const char *date, double exposure, double readtime)
{
    double date_jd = 0;
    EXPECT_EQ(obsfix::date_text_to_jd(date, &date_jd), 0);
    char text[200];
    int status = obsfix::format_start(obsfix::computed_start_jd(date_jd, exposure, readtime),
                                      text, sizeof text);
    return status == 0 ? std::string(text) : "status " + std::to_string(status);
}

TEST(Start, ComputedAndRounded)
{
    struct Case { const char *date; double exposure, readtime; const char *expected; };
    const Case cases[] = {
        {"2015-01-10T00:10:00", 30, 1.0E-05, "2015-01-10T00:08:48"},   // 00:08:48.057
        {"2015-01-01T00:00:10", 20, 0, "2014-12-31T23:59:50"},         // across the year
        {"2015-01-10T00:10:00", 60.3, 0, "2015-01-10T00:09:00"},       // 00:08:59.7 carries
        {"2015-01-01T00:00:00.4", 0.8, 0, "2015-01-01T00:00:00"},      // 23:59:59.6 carries a year
        {"2015-03-01T00:01:00", 60, 0, "2015-03-01T00:00:00"},         // whole minute
        {"2015-01-10T00:10:00", 0.4, 0, "2015-01-10T00:10:00"},        // 00:09:59.6 rounds up
        {"2015-01-10", 3600, 0, "2015-01-09T23:00:00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(start_text(c.date, c.exposure, c.readtime), c.expected) << c.date;
}

TEST(Start, OutsideTheCalendarIsRefused)
{
    char text[200];
    EXPECT_EQ(obsfix::format_start(NAN, text, sizeof text), BAD_DATE);
    EXPECT_EQ(obsfix::format_start(INFINITY, text, sizeof text), BAD_DATE);
    EXPECT_EQ(obsfix::format_start(jd(-1, 1, 1, 0), text, sizeof text), BAD_DATE);
    EXPECT_EQ(obsfix::format_start(jd(10000, 1, 1, 0), text, sizeof text), BAD_DATE);
    EXPECT_EQ(obsfix::format_start(jd(9999, 12, 31, 23.9999999), text, sizeof text), BAD_DATE);
    EXPECT_EQ(obsfix::format_start(jd(0, 1, 1, 0), text, sizeof text), 0);
    EXPECT_STREQ(text, "0000-01-01T00:00:00");
}

} // namespace

// The date rules that decide where the UT start of an exposure comes from,
// and the texts they produce.  Pure functions: no file access.
#pragma once

#include <cstddef>

namespace obsfix {

// Julian dates (UT) at which the camera software changed what it wrote.
constexpr double date_beg_epoch = 2457206.0;  // 2015-07-02 12:00:00 UT
constexpr double computed_epoch = 2456926.5;  // 2014-09-26 00:00:00 UT

// READTIME counts readouts of a 2048x2048 frame clocked at one pixel per
// second: r stands for r * 4194304 s, i.e. r * 48.545185... days.
constexpr double readtime_days = 48.54518518518518;
constexpr double seconds_per_day = 86400;

enum class DateRule {
    none,            // the date is not a number: nothing applies
    copy_date_beg,   // from 2015-07-02 12:00 UT: DATE-BEG holds the start
    computed_start,  // from 2014-09-26 0h UT: DATE - EXPOSURE - READTIME
    copy_date,       // before: DATE itself is the start
};

// Julian date of a FITS date text ("YYYY-MM-DD[Thh:mm:ss[.s...]]", or the
// old "DD/MM/YY").  A date alone means 0h UT.  Returns 0, or CFITSIO's
// BAD_DATE when the text is not a complete, valid FITS date.
int date_text_to_jd(const char *date_text, double *julian_date);

DateRule rule_for(double date_jd);

// Start of the exposure as a Julian date: DATE less the exposure and the
// readout time, in this order of operations.
double computed_start_jd(double date_jd, double exposure_seconds, double readtime);

// Writes the start as "YYYY-MM-DDThh:mm:ss", rounded to the nearest whole
// second with the carry into minute, hour and date.  Returns 0, or
// CFITSIO's BAD_DATE when the start is not finite or falls outside the
// years 0..9999 that the text can hold.
int format_start(double start_jd, char *text, std::size_t capacity);

} // namespace obsfix

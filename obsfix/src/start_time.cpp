#include "start_time.h"

#include "mycommon.h"

#include <fitsio.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace obsfix {

int date_text_to_jd(const char *date_text, double *julian_date)
{
    // ffs2tm takes a non-const text; the value of a FITS keyword is at most
    // 68 characters, anything longer is not a date.
    char text[FLEN_VALUE];
    if (std::strlen(date_text) >= sizeof text)
        return BAD_DATE;
    std::strcpy(text, date_text);

    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0.0;
    int status = 0;
    if (fits_str2time(text, &year, &month, &day, &hour, &minute, &second, &status) != 0)
        return BAD_DATE;
    *julian_date = jd(year, month, day, (hour + minute / 60.0) + second / 3600.0);
    return 0;
}

DateRule rule_for(double date_jd)
{
    if (date_jd >= date_beg_epoch)
        return DateRule::copy_date_beg;
    if (date_jd >= computed_epoch)
        return DateRule::computed_start;
    if (date_jd < computed_epoch)
        return DateRule::copy_date;
    return DateRule::none;
}

double computed_start_jd(double date_jd, double exposure_seconds, double readtime)
{
    return (date_jd - exposure_seconds / seconds_per_day) - readtime_days * readtime;
}

int format_start(double start_jd, char *text, std::size_t capacity)
{
    int year, month, day, hour, minute;
    double second;
    ut(start_jd, &year, &month, &day, &hour, &minute, &second);
    if (std::isnan(second))
        return BAD_DATE;

    // ut() does not round: a start on a whole minute may come back as
    // 59.99999 s.  Round the time of day as a whole so that the carry
    // reaches minute, hour and date alike.
    double second_of_day = std::round((hour * 3600.0 + minute * 60.0) + second);
    if (second_of_day >= 86400.0) {
        double next_noon = jd(year, month, day, 12.0) + 1.0;
        ut(next_noon, &year, &month, &day, &hour, &minute, &second);
        second_of_day -= 86400.0;
    }
    if (year < 0 || year > 9999)
        return BAD_DATE;

    long whole = static_cast<long>(second_of_day);
    int written = std::snprintf(text, capacity, "%04d-%02d-%02dT%02ld:%02ld:%02ld", year, month,
                                day, whole / 3600, whole / 60 % 60, whole % 60);
    if (written < 0 || static_cast<std::size_t>(written) >= capacity)
        return BAD_DATE;
    return 0;
}

} // namespace obsfix

/*
 * mycommon.h - astronomy and numerics routines for FITS-processing tools.
 *
 * One header for the whole library, usable from C (C99 or later) and C++.
 * Every routine has C linkage.  Conventions:
 *
 *   - Julian date (JD): double, days, UT.  x.0 is 12:00 UT, x.5 is 0:00 UT.
 *     1 January 2000 12:00 UT is JD 2451545.0.
 *   - Calendar dates are proleptic Gregorian with astronomical year numbering
 *     (year 0 is 1 BC).  No time zones, no leap seconds.
 *   - Angles are in degrees unless stated otherwise; sidereal time and the
 *     LST argument of the frame conversions are in hours.
 *   - Index ranges are inclusive pairs (first, last) of long; a range whose
 *     last index is below its first is empty.
 *   - Routines check no arguments and report no status: pointers must be
 *     valid and ranges must lie inside the caller's arrays.
 */
#ifndef MYCOMMON_H
#define MYCOMMON_H

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * Julian date and calendar conversion
 * ------------------------------------------------------------------------ */

/*
 * jd - Julian date of a calendar date and time of day.
 *   year:  astronomical year (0 = 1 BC, negative before that)
 *   month: 1 = January; values outside 1..12 run on into adjacent years
 *   day:   day of month; 0 is the last day of the previous month, days past
 *          the month's end run on into the next month
 *   hours: hours since 0h UT of that day, fractions allowed, any value
 * Returns the Julian date in days (UT).  Exact integer-day arithmetic for
 * every date from 1 January -4800 to 31 December 9999.
 */
double jd(int year, int month, int day, double hours);

/*
 * ut - calendar date and time of day of a Julian date (inverse of jd).
 *   x:      Julian date, days (UT)
 *   year, month, day, hour, minute: integer fields (month 1..12, hour 0..23,
 *           minute 0..59)
 *   second: seconds with fraction, in [0, 60), not rounded: a whole minute
 *           can come back as 59.99999...
 * Defined for 1 March -4800 (JD -32044.5) and later.  A Julian date that is
 * not finite, or outside [-1e11, 1e11], has no calendar date: all five
 * integer fields are set to 0 and second to NaN.
 * Thread-safe.
 */
void ut(double x, int *year, int *month, int *day, int *hour, int *minute,
        double *second);

/*
 * jd_now - Julian date (days, UT) of the current system time, to the whole
 * second.  Thread-safe.
 */
double jd_now(void);

/*
 * ut_now - the current UTC time as text "YYYY-MM-DDThh:mm:ss".
 *   text: caller's buffer of at least 100 bytes; receives 19 characters and
 *         a terminating NUL for years 1000..9999.
 * Thread-safe.
 */
void ut_now(char *text);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* MYCOMMON_H */

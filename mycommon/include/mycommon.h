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
/* fmin and fmax below must match the C library's declarations, which are
 * noexcept in C++. */
#define MYCOMMON_NOEXCEPT noexcept(true)
extern "C" {
#else
#define MYCOMMON_NOEXCEPT
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

/* ------------------------------------------------------------------------
 * Sidereal time and sexagesimal angles
 * ------------------------------------------------------------------------ */

/*
 * st - local mean sidereal time (USNO approximate expression).
 *   julian_date: days, UT
 *   longitude:   degrees, east positive
 * Returns hours in [0, 24) for every date (the sum is reduced modulo 24,
 * before 1998 as after).  NaN in gives NaN out.  Prints nothing.
 */
double st(double julian_date, double longitude);

/*
 * dms2d - sexagesimal to signed decimal: seconds/3600 + (|degrees| +
 * minutes/60), negated when sign is '-' (any other character means +).
 * Only the magnitude of degrees is used; minutes and seconds keep their
 * signs.  Works alike for degrees and for hours.
 */
double dms2d(char sign, double degrees, double minutes, double seconds);

/*
 * d2dms - signed decimal to sexagesimal.
 *   sign:    out, '+' or '-'
 *   degrees: in, the signed decimal angle; out, the whole degrees (>= 0)
 *   minutes: out, whole minutes 0..59
 *   seconds: out, seconds with fraction in [0, 60); never carried into the
 *            minutes (-12.51 gives 35.99999999999923 s, not 36)
 */
void d2dms(char *sign, double *degrees, double *minutes, double *seconds);

/* ------------------------------------------------------------------------
 * Direction vectors and axis rotations
 *
 * A direction is a unit vector (x, y, z): x towards angles (0, 0), y towards
 * (90, 0), z towards second angle +90.  The routines serve every frame.
 * ------------------------------------------------------------------------ */

/*
 * radec2xyz - unit vector of a direction.
 *   first_angle, second_angle: degrees (right ascension and declination, or
 *   any longitude-like and latitude-like pair)
 *   x, y, z: out
 */
void radec2xyz(double first_angle, double second_angle, double *x, double *y, double *z);

/*
 * xyz2radec - direction of a unit vector (not normalised).
 *   first_angle:  out, degrees in [0, 360]; -0 stays -0
 *   second_angle: out, degrees in [-90, 90]; z is clamped to [-1, 1], so a
 *                 direction at a pole gives +-90, never NaN
 */
void xyz2radec(double *first_angle, double *second_angle, double x, double y, double z);

/*
 * rotate - turns the vector in place about an axis, right-handed.
 *   axis: 'x', 'y' or 'z' rotate by angle; 'a', 'b', 'c' negate x, y or z
 *         (angle ignored); any other character leaves the vector alone
 *   angle: degrees; positive turns counter-clockwise seen from the axis'
 *          positive end (about z: from x towards y)
 */
void rotate(char axis, double angle, double *x, double *y, double *z);

/*
 * skew - shear in place: the axis' component is scaled by cos(angle) and
 * sin(angle) times it is subtracted from the other two.  Lengths change.
 *   axis: 'x', 'y' or 'z'; any other character leaves the vector alone
 *   angle: degrees
 */
void skew(char axis, double angle, double *x, double *y, double *z);

/* ------------------------------------------------------------------------
 * Coordinate frame conversions (in place on the caller's angle pair)
 *
 * All angles in degrees; lst_hours is the local sidereal time in HOURS
 * (as st() returns it); latitude in degrees, north positive.  Azimuth runs
 * from north (0) through east (90).  Hour angle in degrees [0, 360],
 * growing westward.  Plain geometry: no precession, nutation, aberration or
 * refraction.  First angles come out in [0, 360], second in [-90, 90].
 * ------------------------------------------------------------------------ */

/* eq_to_hor - (right ascension, declination) to (azimuth, altitude). */
void eq_to_hor(double *ra_az, double *dec_alt, double latitude, double lst_hours);

/* hor_to_eq - (azimuth, altitude) to (right ascension, declination). */
void hor_to_eq(double *az_ra, double *alt_dec, double latitude, double lst_hours);

/* eq_to_ha - (right ascension, declination) to (hour angle, declination);
 * hour angle = 15 * lst_hours - right ascension, in degrees [0, 360]. */
void eq_to_ha(double *ra_ha, double *dec, double lst_hours);

/* ha_to_eq - (hour angle in degrees, declination) to (right ascension,
 * declination). */
void ha_to_eq(double *ha_ra, double *dec, double lst_hours);

/* eq_to_ecl - (right ascension, declination) to (ecliptic longitude,
 * latitude), with the fixed obliquity 23.4439281 degrees. */
void eq_to_ecl(double *ra_lambda, double *dec_beta);

/* ecl_to_eq - (ecliptic longitude, latitude) to (right ascension,
 * declination). */
void ecl_to_eq(double *lambda_ra, double *beta_dec);

/* ------------------------------------------------------------------------
 * Sun model, heliocentric Julian date and airmass
 * ------------------------------------------------------------------------ */

/*
 * earth_sun_dist - Sun-Earth distance as light travel time.
 *   julian_date: days
 * Returns SECONDS, between about 490.75 and 507.40.
 */
double earth_sun_dist(double julian_date);

/*
 * sun_ecl_long - the Sun's ecliptic longitude (low precision, within about
 * a degree).
 *   julian_date: days
 * Returns degrees in [0, 360).
 */
double sun_ecl_long(double julian_date);

/*
 * hjd - heliocentric Julian date of an observation of a star.
 *   julian_date: days (the same time scale comes out)
 *   ra, dec:     the star's right ascension and declination, DEGREES
 * Returns days: julian_date minus the light time times the cosine of the
 * star-Sun angle (up to about 500 s either way).
 */
double hjd(double julian_date, double ra, double dec);

/*
 * airmass - relative air mass, Kasten and Young (1989).
 *   zenith_distance: DEGREES (90 - altitude); no bound is applied
 * Returns about 0.9997 at the zenith and 37.92 at the horizon; 0 at
 * 96.07995 degrees and NaN beyond.
 */
double airmass(double zenith_distance);

/* ------------------------------------------------------------------------
 * Sorting, medians and quantiles
 *
 * Element types: long (64-bit signed) and double.  Ranges are inclusive
 * (first, last) and must lie inside the array.  Sorts are ascending and in
 * place, touch nothing outside the range, take O(n log n) time and O(log n)
 * stack.  With NaN (which compares false with everything) or with both -0.0
 * and +0.0 in a range, a double sort leaves the order of the classic
 * middle-pivot quicksort (or gap-halving Shell sort) exactly and may take
 * O(n^2) time.  Median, quantile and weighted median work on a private copy:
 * the caller's arrays are never modified.  If the copy cannot be allocated
 * they return what they return for an empty range.
 * ------------------------------------------------------------------------ */

/* swap_long, swap_double - exchange elements i and j of a. */
void swap_long(long *a, long i, long j);
void swap_double(double *a, long i, long j);

/* sortQ_long, sortQ_double - sort a[first..last] ascending in place. */
void sortQ_long(long *a, long first, long last);
void sortQ_double(double *a, long first, long last);

/* sortS_double - sort a[0..last] ascending in place (Shell sort order). */
void sortS_double(double *a, long last);

/*
 * median_long, median_double - median of a[first..last].  An odd count gives
 * the middle element; an even count the mean of the two middle elements
 * (median_long: their sum halved in integer arithmetic, truncated toward
 * zero, without overflow).  An empty range gives 0 (long) or NaN (double).
 */
long median_long(const long *a, long first, long last);
double median_double(const double *a, long first, long last);

/*
 * quantile_long, quantile_double - the element at position
 * trunc((last - first) * q) of the sorted range, no interpolation.
 *   q: fraction, clamped to [0, 1] (0: smallest, 1: largest)
 * An empty range or a NaN q gives 0 (long) or NaN (double).
 */
long quantile_long(const long *a, long first, long last, double q);
double quantile_double(const double *a, long first, long last, double q);

/*
 * wmedian_double - lower weighted median of values[0..last] with
 * weights[0..last], each weight staying with its own value: the pairs are
 * ordered by value and the result is the first value at which the
 * cumulative weight reaches half the total.
 * All weights 0: the smallest value.  A negative or NaN weight, or an empty
 * range (last < 0): NaN.  NaN values order after all others.
 */
double wmedian_double(const double *values, const double *weights, long last);

/* ------------------------------------------------------------------------
 * Sums, means, deviations and extremes (one pass, nothing allocated)
 * ------------------------------------------------------------------------ */

/* sum_long - sum of a[first..last]; wraps around modulo 2^64 on overflow.
 * 0 for an empty range. */
long sum_long(const long *a, long first, long last);

/* mean_double - mean of a[first..last]; NaN (0/0) for an empty range. */
double mean_double(const double *a, long first, long last);

/*
 * sigma_long, sigma_double - sample standard deviation about a given mean:
 * sqrt(sum (mean - a[i])^2 / (n - 1)).  One element: +inf, or NaN when it
 * equals the mean; an empty range (last = first - 1): -0.0.  sigma_long
 * computes each deviation exactly, whatever its size.
 */
double sigma_long(const long *a, long mean, long first, long last);
double sigma_double(const double *a, double mean, long first, long last);

/* sigma_double2 - sample standard deviation about the range's own mean
 * (two passes).  One element: NaN. */
double sigma_double2(const double *a, long first, long last);

/*
 * minimum_long, maximum_long, minimum_double, maximum_double - the smallest
 * or largest element of a[first..last].  NaN elements are never taken.  An
 * empty range (or one of NaN only) gives the start values 2147483647,
 * -2147483647, 1e99 and -1e99 respectively, which callers may test for.
 */
long minimum_long(const long *a, long first, long last);
long maximum_long(const long *a, long first, long last);
double minimum_double(const double *a, long first, long last);
double maximum_double(const double *a, long first, long last);

/*
 * fmin, fmax - the library's own two-argument minimum and maximum, which
 * replace the maths library's functions of these names in every program
 * linked with mycommon.  fmin returns a when b > a, else b; fmax returns a
 * when a > b, else b.  Whenever the comparison is false (a NaN on either
 * side, or -0 against +0) the SECOND argument is returned:
 *   fmin(NaN, 1) = 1, fmin(1, NaN) = NaN, fmin(-0.0, +0.0) = +0.0.
 * Compilers treat these names as built-ins with the C library's meaning and
 * may evaluate calls inline: compile code that relies on the semantics above
 * with -fno-builtin-fmin -fno-builtin-fmax (pkg-config --cflags mycommon and
 * the CMake target mycommon::mycommon pass them on).
 */
double fmin(double a, double b) MYCOMMON_NOEXCEPT;
double fmax(double a, double b) MYCOMMON_NOEXCEPT;

/* ------------------------------------------------------------------------
 * Grid interpolation, Gaussian noise and timing
 * ------------------------------------------------------------------------ */

/*
 * interp - value at (x, y) of a 3x3 grid of samples.
 *   grid: 9 doubles, row after row: sample (i, j) is grid[3 * i + j] and sits
 *         at grid coordinates x = i, y = j (i, j in 0..2)
 *   x, y: grid coordinates
 * Bilinear inside [0, 2] x [0, 2]; outside, the edge samples' weights fall
 * linearly to 0 one cell beyond them (exactly 0 for x, y <= -1 or >= 3).
 * NaN coordinates give 0.
 */
double interp(const double *grid, double x, double y);

/*
 * gauss_noise - one normally distributed draw (Box-Muller, sine branch).
 *   mean, sigma: of the distribution, in the caller's unit
 * Takes exactly two numbers from rand() per call (never seeds it) and
 * always returns a finite number for finite mean and sigma.  Shares rand()'s
 * state with the whole process.
 */
double gauss_noise(double mean, double sigma);

/*
 * msleep - suspend the calling thread.
 *   milliseconds: duration in MILLISECONDS; 0, negative or NaN returns at
 *                 once; longer than about 31 years (infinity too) sleeps
 *                 about 31 years
 * Never returns early: signals interrupt it, and it sleeps on for the time
 * that remains.  Returns 0.
 */
int msleep(double milliseconds);

/* mclock - monotonic clock reading in SECONDS (arbitrary origin: use only
 * differences); NaN if the clock cannot be read. */
double mclock(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* MYCOMMON_H */

// Julian date <-> proleptic Gregorian calendar.
#include "mycommon.h"

#include <cmath>
#include <ctime>

namespace {

// Tolerance added to every floor argument in ut(): the fractions of a
// Julian date near 2.4 million are only good to ~1e-10 day, so a value a
// hair below an integer must floor to that integer.
constexpr double floor_tolerance = 1e-10;

// Largest |JD| for which every calendar field fits in an int
// (about 270 million years either side of the epoch).
constexpr double ut_jd_limit = 1e11;

double tfloor(double q) { return std::floor(q + floor_tolerance); }

// Day number of 1 March of the century year -4800 + 100*k: the Gregorian
// day-number formula with y = 100*k and m = 0 (March).
double century_march_first(double k)
{
    return 36524.0 * k + std::floor(0.25 * k) - 32044.0;
}

// Number of century years -4700, -4600, ... whose 1 March lies on or before
// day number i: the count of Gregorian century days dropped since -4800.
double dropped_centuries(double i)
{
    double k = std::floor((i + 32044.0) / 36524.25);
    while (century_march_first(k + 1.0) <= i)
        k += 1.0;
    while (century_march_first(k) > i)
        k -= 1.0;
    // Negative before 1 March -4800: the same count run backwards, which
    // keeps the calendar Gregorian there too.
    return k;
}

// Fraction left after a tolerant floor.  Clamped at 0: an instant within the
// tolerance below a boundary (possible only far before our era, where a
// double resolves the day finer than the tolerance) reads as the boundary
// itself instead of as hour -1 or minute -1.
double tolerant_fraction(double q)
{
    double f = q - tfloor(q);
    return f < 0.0 ? 0.0 : f;
}

double jd_of_tm(const std::tm &t)
{
    double hours = (t.tm_hour + t.tm_min / 60.0) + t.tm_sec / 3600.0;
    return jd(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, hours);
}

} // namespace

extern "C" double jd(int year, int month, int day, double hours)
{
    // All in double: no int overflow for any field value.
    double a = std::floor((14.0 - month) / 12.0);
    double y = (static_cast<double>(year) + 4800.0) - a;
    double m = (12.0 * a + month) - 3.0;
    double s = day + std::floor((153.0 * m + 2.0) * 0.2) + 365.0 * y + std::floor(0.25 * y) -
               std::floor(0.01 * y) + std::floor(0.0025 * y) - 32045.5;
    return hours / 24.0 + s;
}

extern "C" void ut(double x, int *year, int *month, int *day, int *hour, int *minute,
                   double *second)
{
    if (!std::isfinite(x) || std::fabs(x) > ut_jd_limit) {
        *year = *month = *day = *hour = *minute = 0;
        *second = NAN;
        return;
    }
    const double T = floor_tolerance;
    double z = x + 0.5;
    double i = tfloor(z);
    double f = z - i; // may be a hair below 0 when the tolerance rounded the day up
    double alpha = dropped_centuries(i);
    double a = i + alpha - std::floor(0.25 * alpha + T) - 38.0;
    double b = a + 1524.0;
    double c = tfloor((b - 122.1) / 365.25);
    double d = tfloor(365.25 * c);
    double e = tfloor((b - d) / 30.61);
    double l = tfloor(e / 14.0);
    double day_with_fraction = (b - d) + f - tfloor((153.0 * e) / 5.0);

    double h = tolerant_fraction(day_with_fraction) * 24.0;
    double n = tolerant_fraction(h) * 60.0;

    *year = static_cast<int>(c - 4716.0 + l);
    *month = static_cast<int>(e - 1.0 - 12.0 * l);
    *day = static_cast<int>(tfloor(day_with_fraction));
    *hour = static_cast<int>(tfloor(h));
    *minute = static_cast<int>(tfloor(n));
    *second = tolerant_fraction(n) * 60.0;
}

extern "C" double jd_now(void)
{
    std::time_t now = std::time(nullptr);
    std::tm broken_down{};
    gmtime_r(&now, &broken_down);
    return jd_of_tm(broken_down);
}

extern "C" void ut_now(char *text)
{
    std::time_t now = std::time(nullptr);
    std::tm broken_down{};
    gmtime_r(&now, &broken_down);
    std::strftime(text, 100, "%Y-%m-%dT%H:%M:%S", &broken_down);
}

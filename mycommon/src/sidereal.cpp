// Local mean sidereal time and sexagesimal angles.
#include "mycommon.h"

#include <cmath>

extern "C" double st(double julian_date, double longitude)
{
    double d = julian_date - 2451545.0;
    double jd0 = std::floor(0.5 + julian_date) - 0.5;
    double d0 = jd0 - 2451545.0;
    double h = (julian_date - jd0) * 24.0;
    double t = d / 36525.0;
    // USNO's approximate GMST: the D0 term is not reduced to one day, so
    // the sum is hundreds of hours now and negative before about 1998.
    double g = 2.6e-05 * t * t + ((6.697374558 + 0.06570982441908 * d0) + 1.00273790935 * h);
    double s = longitude / 15.0 + g;
    double reduced = s - 24.0 * std::floor(s / 24.0);
    // A sum a hair below a multiple of 24 reduces to 24 - tiny, which may
    // round to 24 itself.
    return reduced >= 24.0 ? 0.0 : reduced;
}

extern "C" double dms2d(char sign, double degrees, double minutes, double seconds)
{
    double value = seconds / 3600.0 + (std::fabs(degrees) + minutes / 60.0);
    return sign == '-' ? -value : value;
}

extern "C" void d2dms(char *sign, double *degrees, double *minutes, double *seconds)
{
    double value = *degrees;
    *sign = '+';
    if (value < 0.0) {
        *sign = '-';
        value = -value;
    }
    double whole = std::floor(value);
    double m = std::floor((value - whole) * 60.0);
    *seconds = ((value - whole) * 60.0 - m) * 60.0;
    *minutes = m;
    *degrees = whole;
}

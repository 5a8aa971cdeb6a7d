// A low-precision Sun model, the heliocentric Julian date, and airmass.
#include "mycommon.h"

#include <cmath>

namespace {

constexpr double radians_per_degree = 0.017453292519943295;

} // namespace

// The periodic terms take their arguments in radians as written: 0.017202
// rad/day is one cycle a year, and the phases are in radians too.
extern "C" double earth_sun_dist(double julian_date)
{
    return (0.138764 * std::sin(0.017202 * julian_date - 245.313) + 8.31791) * 60.0;
}

extern "C" double sun_ecl_long(double julian_date)
{
    double d = julian_date - 2450000.0;
    double mean_longitude = 0.985647 * d - 1242.37;
    double l = 1.9121 * std::sin(0.017202 * d - 1547.15) + mean_longitude;
    return l - 360.0 * std::floor(l / 360.0);
}

extern "C" double hjd(double julian_date, double ra, double dec)
{
    double lambda = ra, beta = dec;
    eq_to_ecl(&lambda, &beta);
    double sun_longitude = sun_ecl_long(julian_date);
    double sun_latitude = 0.0;
    double light_days = earth_sun_dist(julian_date) / 86400.0;
    double s = std::sin(sun_latitude * radians_per_degree) * std::sin(beta * radians_per_degree);
    double c = std::cos(sun_latitude * radians_per_degree) * std::cos(beta * radians_per_degree);
    return julian_date -
           (std::cos((lambda - sun_longitude) * radians_per_degree) * c + s) * light_days;
}

// Kasten and Young (1989).
extern "C" double airmass(double zenith_distance)
{
    return 1.0 / (0.50572 * std::pow(96.07995 - zenith_distance, -1.6364) +
                  std::cos(3.141592653589793 * zenith_distance / 180.0));
}

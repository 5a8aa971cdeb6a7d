// Conversions between the equatorial, horizontal, hour-angle and ecliptic
// frames: each a fixed chain of rotations of the direction vector.
#include "mycommon.h"

namespace {

// The obliquity of the ecliptic this library uses for every date, degrees.
constexpr double obliquity = 23.4439281;

struct Vector {
    double x, y, z;
};

Vector to_vector(const double *first_angle, const double *second_angle)
{
    Vector v;
    radec2xyz(*first_angle, *second_angle, &v.x, &v.y, &v.z);
    return v;
}

void turn(Vector &v, char axis, double angle) { rotate(axis, angle, &v.x, &v.y, &v.z); }

void to_angles(const Vector &v, double *first_angle, double *second_angle)
{
    xyz2radec(first_angle, second_angle, v.x, v.y, v.z);
}

} // namespace

extern "C" void eq_to_hor(double *ra_az, double *dec_alt, double latitude, double lst_hours)
{
    Vector v = to_vector(ra_az, dec_alt);
    turn(v, 'z', -15.0 * lst_hours);
    turn(v, 'b', 0);
    turn(v, 'z', 180.0);
    turn(v, 'y', 90.0 - latitude);
    to_angles(v, ra_az, dec_alt);
}

extern "C" void hor_to_eq(double *az_ra, double *alt_dec, double latitude, double lst_hours)
{
    Vector v = to_vector(az_ra, alt_dec);
    turn(v, 'y', latitude - 90.0);
    turn(v, 'z', 180.0);
    turn(v, 'b', 0);
    turn(v, 'z', 15.0 * lst_hours);
    to_angles(v, az_ra, alt_dec);
}

extern "C" void eq_to_ha(double *ra_ha, double *dec, double lst_hours)
{
    Vector v = to_vector(ra_ha, dec);
    turn(v, 'z', -15.0 * lst_hours);
    turn(v, 'b', 0);
    to_angles(v, ra_ha, dec);
}

extern "C" void ha_to_eq(double *ha_ra, double *dec, double lst_hours)
{
    Vector v = to_vector(ha_ra, dec);
    turn(v, 'b', 0);
    turn(v, 'z', 15.0 * lst_hours);
    to_angles(v, ha_ra, dec);
}

extern "C" void eq_to_ecl(double *ra_lambda, double *dec_beta)
{
    Vector v = to_vector(ra_lambda, dec_beta);
    turn(v, 'x', -obliquity);
    to_angles(v, ra_lambda, dec_beta);
}

extern "C" void ecl_to_eq(double *lambda_ra, double *beta_dec)
{
    Vector v = to_vector(lambda_ra, beta_dec);
    turn(v, 'x', obliquity);
    to_angles(v, lambda_ra, beta_dec);
}

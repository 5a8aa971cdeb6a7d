// Direction vectors, axis rotations and skews.
#include "mycommon.h"

#include <cmath>

namespace {

constexpr double radians_per_degree = 0.017453292519943295;

double to_radians(double angle) { return 3.141592653589793 * angle / 180.0; }

} // namespace

extern "C" void radec2xyz(double first_angle, double second_angle, double *x, double *y,
                          double *z)
{
    double a = first_angle * radians_per_degree;
    double b = second_angle * radians_per_degree;
    *x = std::cos(b) * std::cos(a);
    *y = std::cos(b) * std::sin(a);
    *z = std::sin(b);
}

extern "C" void xyz2radec(double *first_angle, double *second_angle, double x, double y,
                          double z)
{
    double a = std::atan2(y, x) / radians_per_degree;
    if (a < 0.0)
        a += 360.0;
    *first_angle = a;
    // Rounding in a chain of rotations can leave |z| a hair above 1 at the
    // pole of the target frame; asin would give NaN there.
    double clamped = z > 1.0 ? 1.0 : z < -1.0 ? -1.0 : z;
    *second_angle = std::asin(clamped) / radians_per_degree;
}

extern "C" void rotate(char axis, double angle, double *x, double *y, double *z)
{
    double r = to_radians(angle);
    double c = std::cos(r), s = std::sin(r);
    double x0 = *x, y0 = *y, z0 = *z;
    switch (axis) {
    case 'x':
        *y = c * y0 - s * z0;
        *z = s * y0 + c * z0;
        break;
    case 'y':
        *x = c * x0 + s * z0;
        *z = c * z0 - s * x0;
        break;
    case 'z':
        *x = c * x0 - s * y0;
        *y = s * x0 + c * y0;
        break;
    case 'a':
        *x = -x0;
        break;
    case 'b':
        *y = -y0;
        break;
    case 'c':
        *z = -z0;
        break;
    default:
        break;
    }
}

extern "C" void skew(char axis, double angle, double *x, double *y, double *z)
{
    double r = to_radians(angle);
    double c = std::cos(r), s = std::sin(r);
    double x0 = *x, y0 = *y, z0 = *z;
    switch (axis) {
    case 'x':
        *x = c * x0;
        *y = y0 - s * x0;
        *z = z0 - s * x0;
        break;
    case 'y':
        *x = x0 - s * y0;
        *y = c * y0;
        *z = z0 - s * y0;
        break;
    case 'z':
        *x = x0 - s * z0;
        *y = y0 - s * z0;
        *z = c * z0;
        break;
    default:
        break;
    }
}

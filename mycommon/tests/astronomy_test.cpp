#include "mycommon.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double deg = 3.141592653589793 / 180.0;

// Difference of two angles in degrees, folded into [-180, 180].
double angle_difference(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0)
        d -= 360.0;
    if (d < -180.0)
        d += 360.0;
    return d;
}

// ---------------------------------------------------------------- sidereal

TEST(SiderealTime, Examples)
{
    struct Case { double jd, longitude, expected_hours; };
    const Case cases[] = {
        {2451545.0, 0, 18.697374558},
        {2455197.5, 0, 6.702508509},
        {2455197.5, 15, 7.702508509},
        {2455197.5, -75, 1.702508509},
        {2451443.5, 0, 0.027827380},
        {2451442.5, 0, 24 - 0.037882445},  // a negative sum reduces like any other
    };
    for (const Case &c : cases)
        EXPECT_NEAR(st(c.jd, c.longitude), c.expected_hours, 1e-8) << c.jd << " " << c.longitude;
}

// Greenwich mean sidereal times from the Astronomical Almanac and Meeus,
// Astronomical Algorithms (examples 12.a and 12.b), to about 0.1 s.
TEST(SiderealTime, PublishedInstants)
{
    struct Case { double jd, expected_hours; };
    const Case cases[] = {
        {2451544.5, 6 + 39 / 60.0 + 52.2707 / 3600.0},           // 2000-01-01 0h UT
        {2446895.5, 13 + 10 / 60.0 + 46.3668 / 3600.0},          // 1987-04-10 0h UT
        {2446896.30625, 8 + 34 / 60.0 + 57.0896 / 3600.0},       // 1987-04-10 19:21 UT
    };
    for (const Case &c : cases)
        EXPECT_NEAR(st(c.jd, 0), c.expected_hours, 0.1 / 3600.0) << c.jd;
}

TEST(SiderealTime, RangeRateAndSilence)
{
    testing::internal::CaptureStdout();
    for (double jd = 2415020.5; jd < 2488070.5; jd += 97.123) {       // 1900 to 2100
        for (double longitude = -180; longitude <= 180; longitude += 45) {
            double now = st(jd, longitude);
            ASSERT_GE(now, 0.0) << jd;
            ASSERT_LT(now, 24.0) << jd;
            // one solar hour later the sidereal time has run 1.00273790935 h
            double later = st(jd + 1.0 / 24.0, longitude);
            double run = std::fmod(later - now + 24.0, 24.0);
            ASSERT_NEAR(run, 1.00273790935, 1e-6) << jd;
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(std::isnan(st(NAN, 0)));
    EXPECT_TRUE(std::isnan(st(2451545.0, NAN)));
}

TEST(Sexagesimal, Dms2d)
{
    EXPECT_DOUBLE_EQ(dms2d('-', 12, 30, 36), -12.51);
    EXPECT_DOUBLE_EQ(dms2d('+', -12, 30, 36), 12.51);
    EXPECT_DOUBLE_EQ(dms2d('-', 0, -30, 0), 0.5);
    EXPECT_DOUBLE_EQ(dms2d(' ', 1, 0, 0), 1.0);
}

TEST(Sexagesimal, D2dms)
{
    struct Case { double in; char sign; double d, m, s; };
    const Case cases[] = {
        {-12.51, '-', 12, 30, 35.99999999999923},
        {12.5, '+', 12, 30, 0},
        {0, '+', 0, 0, 0},
    };
    for (const Case &c : cases) {
        char sign = '?';
        double d = c.in, m = -1, s = -1;
        d2dms(&sign, &d, &m, &s);
        EXPECT_EQ(sign, c.sign) << c.in;
        EXPECT_EQ(d, c.d) << c.in;
        EXPECT_EQ(m, c.m) << c.in;
        EXPECT_NEAR(s, c.s, 1e-12) << c.in;
    }
}

// ---------------------------------------------------------------- vectors

TEST(Vectors, Radec2xyzAndBack)
{
    double x, y, z;
    radec2xyz(90, 0, &x, &y, &z);
    EXPECT_NEAR(x, 6.1e-17, 1e-18);
    EXPECT_EQ(y, 1.0);
    EXPECT_EQ(z, 0.0);
    radec2xyz(0, 90, &x, &y, &z);
    EXPECT_NEAR(x, 6.1e-17, 1e-18);
    EXPECT_EQ(z, 1.0);

    struct Case { double x, y, z, a, b; };
    const Case cases[] = {
        {1, 0, 0, 0, 0}, {-1, 0, 0, 180, 0}, {0, -1, 0, 270, 0}, {0, 0, 1, 0, 90},
        {1, -1e-17, 0, 360, 0},                 // first angle in [0, 360]
        {0, 0, 1.0000000000000002, 0, 90},     // clamped: no NaN at the pole
        {0, 0, -1.0000000000000002, 0, -90},
    };
    for (const Case &c : cases) {
        double a, b;
        xyz2radec(&a, &b, c.x, c.y, c.z);
        EXPECT_EQ(a, c.a) << c.x << " " << c.y << " " << c.z;
        EXPECT_EQ(b, c.b) << c.x << " " << c.y << " " << c.z;
    }
    double a, b;
    xyz2radec(&a, &b, 1, -0.0, 0);
    EXPECT_TRUE(a == 0 && std::signbit(a));
}

TEST(Vectors, RotateAndSkew)
{
    struct Case { char code; double angle; double in[3]; double out[3]; bool is_skew; };
    const Case cases[] = {
        {'z', 90, {1, 0, 0}, {6.1e-17, 1, 0}, false},
        {'x', 90, {0, 1, 0}, {0, 6.1e-17, 1}, false},
        {'y', 90, {0, 0, 1}, {1, 0, 6.1e-17}, false},
        {'y', 90, {1, 0, 0}, {6.1e-17, 0, -1}, false},
        {'b', 33, {1, 2, 3}, {1, -2, 3}, false},
        {'a', 0, {1, 2, 3}, {-1, 2, 3}, false},
        {'c', 0, {1, 2, 3}, {1, 2, -3}, false},
        {'X', 90, {1, 2, 3}, {1, 2, 3}, false},
        {'x', 30, {1, 1, 1}, {0.8660254037844387, 0.5, 0.5}, true},
        {'z', 30, {1, 1, 1}, {0.5, 0.5, 0.8660254037844387}, true},
        {'y', 90, {1, 2, 3}, {-1, 1.2e-16, 1}, true},
        {'a', 90, {1, 2, 3}, {1, 2, 3}, true},
    };
    for (const Case &c : cases) {
        double x = c.in[0], y = c.in[1], z = c.in[2];
        (c.is_skew ? skew : rotate)(c.code, c.angle, &x, &y, &z);
        EXPECT_NEAR(x, c.out[0], 1e-15) << c.code << c.angle;
        EXPECT_NEAR(y, c.out[1], 1e-15) << c.code << c.angle;
        EXPECT_NEAR(z, c.out[2], 1e-15) << c.code << c.angle;
    }
}

// ---------------------------------------------------------------- frames

struct Pair { double a, b; };

Pair eq_to_hor_of(double ra, double dec, double lat, double lst)
{
    eq_to_hor(&ra, &dec, lat, lst);
    return {ra, dec};
}

TEST(Frames, Examples)
{
    struct Case { const char *what; Pair got; Pair expected; double tolerance; };
    Pair p;
    const Case cases[] = {
        {"meridian", eq_to_hor_of(30, 10, 45, 2), {180, 55}, 1e-9},
        {"east", eq_to_hor_of(60, 0, 45, 2), {140.768480, 37.7612439}, 1e-6},
        {"west", eq_to_hor_of(0, 0, 45, 2), {219.231520, 37.7612439}, 1e-6},
        {"lower culmination", eq_to_hor_of(30, 80, 45, 14), {0, 35}, 1e-9},
        {"below horizon", eq_to_hor_of(30, -60, 45, 2), {180, -15}, 1e-9},
        {"hor_to_eq", (p = {180, 55}, hor_to_eq(&p.a, &p.b, 45, 2), p), {30, 10}, 1e-9},
        {"eq_to_ha", (p = {30, 10}, eq_to_ha(&p.a, &p.b, 3), p), {15, 10}, 1e-9},
        {"eq_to_ha east", (p = {60, 10}, eq_to_ha(&p.a, &p.b, 3), p), {345, 10}, 1e-9},
        {"ha_to_eq", (p = {345, 10}, ha_to_eq(&p.a, &p.b, 3), p), {60, 10}, 1e-9},
        {"eq_to_ecl 90", (p = {90, 0}, eq_to_ecl(&p.a, &p.b), p), {90, -23.4439281}, 1e-9},
        {"eq_to_ecl 270", (p = {270, 0}, eq_to_ecl(&p.a, &p.b), p), {270, 23.4439281}, 1e-9},
        {"ecl_to_eq 90", (p = {90, 0}, ecl_to_eq(&p.a, &p.b), p), {90, 23.4439281}, 1e-9},
        {"celestial pole", (p = {0, 90}, eq_to_ecl(&p.a, &p.b), p), {90, 66.5560719}, 1e-9},
        {"ecliptic pole", (p = {0, 90}, ecl_to_eq(&p.a, &p.b), p), {270, 66.5560719}, 1e-9},
        {"Crab", (p = {83.63, 22.01}, eq_to_ecl(&p.a, &p.b), p), {84.0944379, -1.30341353}, 1e-6},
        {"Crab back", (p = {84.0944379, -1.30341353}, ecl_to_eq(&p.a, &p.b), p), {83.63, 22.01},
         1e-6},
    };
    for (const Case &c : cases) {
        EXPECT_NEAR(angle_difference(c.got.a, c.expected.a), 0, c.tolerance) << c.what;
        EXPECT_NEAR(c.got.b, c.expected.b, c.tolerance) << c.what;
    }
}

// Altitude and azimuth from the textbook formulas of spherical astronomy,
// independent of the library's rotation chain.
TEST(Frames, AgreeWithSphericalTrigonometry)
{
    for (double lat = -80; lat <= 80; lat += 20) {
        for (double lst = 0.5; lst < 24; lst += 3.7) {
            for (double ra = 5; ra < 360; ra += 37) {
                for (double dec = -85; dec <= 85; dec += 17) {
                    double H = (15 * lst - ra) * deg, d = dec * deg, phi = lat * deg;
                    double alt = std::asin(std::sin(phi) * std::sin(d) +
                                           std::cos(phi) * std::cos(d) * std::cos(H)) / deg;
                    double az = std::atan2(-std::cos(d) * std::sin(H),
                                           std::sin(d) * std::cos(phi) -
                                               std::cos(d) * std::sin(phi) * std::cos(H)) / deg;
                    Pair hor = eq_to_hor_of(ra, dec, lat, lst);
                    ASSERT_NEAR(hor.b, alt, 1e-9) << ra << " " << dec << " " << lat << " " << lst;
                    if (std::fabs(alt) < 89.999) {
                        ASSERT_NEAR(angle_difference(hor.a, az), 0, 1e-7);
                    }

                    // ecliptic: sin beta = sin dec cos eps - cos dec sin eps sin ra
                    double eps = 23.4439281 * deg, a = ra * deg;
                    double beta = std::asin(std::sin(d) * std::cos(eps) -
                                            std::cos(d) * std::sin(eps) * std::sin(a)) / deg;
                    double lambda = std::atan2(std::sin(a) * std::cos(eps) +
                                                   std::tan(d) * std::sin(eps),
                                               std::cos(a)) / deg;
                    Pair ecl = {ra, dec};
                    eq_to_ecl(&ecl.a, &ecl.b);
                    ASSERT_NEAR(ecl.b, beta, 1e-9);
                    ASSERT_NEAR(angle_difference(ecl.a, lambda), 0, 1e-9);

                    Pair ha = {ra, dec};
                    eq_to_ha(&ha.a, &ha.b, lst);
                    ASSERT_NEAR(angle_difference(ha.a, 15 * lst - ra), 0, 1e-9);
                    ASSERT_NEAR(ha.b, dec, 1e-9);
                }
            }
        }
    }
}

TEST(Frames, RoundTrips)
{
    for (double lat = -60; lat <= 60; lat += 30) {
        for (double lst = 1.1; lst < 24; lst += 5.3) {
            for (double a = 3; a < 360; a += 41) {
                for (double b = -80; b <= 80; b += 20) {
                    Pair p = {a, b};
                    eq_to_hor(&p.a, &p.b, lat, lst);
                    hor_to_eq(&p.a, &p.b, lat, lst);
                    ASSERT_NEAR(angle_difference(p.a, a), 0, 1e-8);
                    ASSERT_NEAR(p.b, b, 1e-9);
                    p = {a, b};
                    eq_to_ha(&p.a, &p.b, lst);
                    ha_to_eq(&p.a, &p.b, lst);
                    ASSERT_NEAR(angle_difference(p.a, a), 0, 1e-9);
                    ASSERT_NEAR(p.b, b, 1e-9);
                    p = {a, b};
                    eq_to_ecl(&p.a, &p.b);
                    ecl_to_eq(&p.a, &p.b);
                    ASSERT_NEAR(angle_difference(p.a, a), 0, 1e-9);
                    ASSERT_NEAR(p.b, b, 1e-9);
                }
            }
        }
    }
}

// Objects at the zenith and at the poles of each frame have a defined
// second angle, never NaN.
TEST(Frames, ZenithAndPolesAreNotNan)
{
    for (double lat = -90; lat <= 90; lat += 0.5) {
        for (double lst = 0; lst < 24; lst += 0.25) {
            // the zenith: declination = latitude, right ascension = LST
            Pair p = eq_to_hor_of(15 * lst, lat, lat, lst);
            ASSERT_FALSE(std::isnan(p.a) || std::isnan(p.b)) << lat << " " << lst;
            // asin is flat at 1: a last-bit error in z is ~1e-6 degree here
            ASSERT_NEAR(p.b, 90, 2e-6);
            Pair pole = eq_to_hor_of(0, 90, lat, lst);
            ASSERT_FALSE(std::isnan(pole.b));
            ASSERT_NEAR(pole.b, lat, 1e-6);
            Pair up = {123, 90};
            hor_to_eq(&up.a, &up.b, lat, lst);
            ASSERT_FALSE(std::isnan(up.b));
            ASSERT_NEAR(up.b, lat, 1e-6);
        }
    }
    for (double b : {90.0, -90.0}) {
        Pair p = {0, b};
        eq_to_ecl(&p.a, &p.b);
        ecl_to_eq(&p.a, &p.b);
        EXPECT_NEAR(p.b, b, 1e-9);
    }
}

// ---------------------------------------------------------------- Sun

TEST(Sun, Examples)
{
    EXPECT_NEAR(earth_sun_dist(2451545.0), 490.755199, 1e-5);
    EXPECT_NEAR(earth_sun_dist(2458000.0), 502.683286, 1e-5);
    EXPECT_NEAR(sun_ecl_long(2451545.0), 280.374205, 1e-5);
    EXPECT_NEAR(sun_ecl_long(2450000.0), 195.724703, 1e-5);
    EXPECT_NEAR(sun_ecl_long(2458000.0), 161.155932, 1e-5);
    EXPECT_NEAR(hjd(2455197.5, 0, 0), 2455197.498970071, 1e-8);
    EXPECT_NEAR(hjd(2455197.5, 100, 20), 2455197.505670686, 1e-8);
    EXPECT_NEAR((hjd(2455197.5, 0, 90) - 2455197.5) * 86400, 192.011, 1e-2);
}

// Within about a degree of the true Sun (the Astronomical Almanac's
// low-precision formula, good to 0.01 degree) through a year, and the
// light time within the range of the Earth's orbit.
TEST(Sun, FollowsTheTrueSunThroughAYear)
{
    for (double jd = 2460310.5; jd < 2460310.5 + 366; jd += 1.0) {
        double n = jd - 2451545.0;
        double mean_longitude = 280.460 + 0.9856474 * n;
        double anomaly = (357.528 + 0.9856003 * n) * deg;
        double true_longitude =
            mean_longitude + 1.915 * std::sin(anomaly) + 0.020 * std::sin(2 * anomaly);
        double longitude = sun_ecl_long(jd);
        ASSERT_GE(longitude, 0.0);
        ASSERT_LT(longitude, 360.0);
        ASSERT_NEAR(angle_difference(longitude, true_longitude), 0, 1.0) << jd;
        double light_time = earth_sun_dist(jd);
        ASSERT_GT(light_time, 490.7);
        ASSERT_LT(light_time, 507.5);
        // a star at the ecliptic longitude of the Sun: heliocentric date earlier
        double ra = longitude, dec = 0;
        ecl_to_eq(&ra, &dec);
        ASSERT_LT(hjd(jd, ra, dec), jd - 480 / 86400.0);
    }
}

TEST(Airmass, KastenYoung)
{
    struct Case { double z, expected; };
    const Case cases[] = {
        {0, 0.999711992}, {30, 1.15399223}, {60, 1.99429285}, {80, 5.58603588},
        {90, 37.9196084}, {95, 2.7874139}, {96, 0.0317762131}, {-10, 1.01517406},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(airmass(c.z), c.expected, c.expected * 1e-8) << c.z;
    EXPECT_EQ(airmass(96.07995), 0.0);
    EXPECT_TRUE(std::isnan(airmass(96.1)));
}

} // namespace

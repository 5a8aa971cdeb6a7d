#include "mycommon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(Sums, SumAndMean)
{
    const std::vector<long> l = {1, 2, 3, 4};
    EXPECT_EQ(sum_long(l.data(), 0, 3), 10);
    EXPECT_EQ(sum_long(l.data(), 0, -1), 0);
    const std::vector<long> big = {LONG_MAX, 1};
    EXPECT_EQ(sum_long(big.data(), 0, 1), LONG_MIN);   // wraps modulo 2^64
    const std::vector<double> d = {1.0, 2.0, 3.0, 4.0};
    EXPECT_EQ(mean_double(d.data(), 0, 3), 2.5);
    EXPECT_TRUE(std::isnan(mean_double(d.data(), 2, 1)));
}

TEST(Sigma, SampleDeviation)
{
    const std::vector<double> d = {2, 4, 4, 4, 5, 5, 7, 9};
    const std::vector<long> l = {2, 4, 4, 4, 5, 5, 7, 9};
    const double expected = std::sqrt(32.0 / 7.0);
    EXPECT_DOUBLE_EQ(sigma_double2(d.data(), 0, 7), expected);
    EXPECT_DOUBLE_EQ(sigma_double(d.data(), 5.0, 0, 7), expected);
    EXPECT_DOUBLE_EQ(sigma_long(l.data(), 5, 0, 7), expected);

    EXPECT_TRUE(std::isnan(sigma_double2(d.data(), 3, 3)));
    EXPECT_EQ(sigma_double(d.data(), 1.0, 3, 3), INFINITY);
    EXPECT_TRUE(std::isnan(sigma_double(d.data(), 4.0, 3, 3)));
    EXPECT_EQ(sigma_long(l.data(), 1, 3, 3), INFINITY);
    for (double s : {sigma_double2(d.data(), 3, 2), sigma_double(d.data(), 1.0, 3, 2),
                     sigma_long(l.data(), 1, 3, 2)}) {
        EXPECT_EQ(s, 0.0);
        EXPECT_TRUE(std::signbit(s));
    }
    // deviations beyond 64 bits are computed, not overflowed
    const std::vector<long> extremes = {LONG_MIN, LONG_MAX};
    EXPECT_DOUBLE_EQ(sigma_long(extremes.data(), LONG_MAX, 0, 1),
                     std::sqrt(std::pow(std::ldexp(1.0, 64) - 1, 2)));
}

TEST(Extremes, TrueExtremeOfAnyNonEmptyRange)
{
    const std::vector<long> l = {1L << 32, 1L << 33};
    EXPECT_EQ(minimum_long(l.data(), 0, 1), 1L << 32);
    EXPECT_EQ(maximum_long(l.data(), 0, 1), 1L << 33);
    const std::vector<long> low = {-2147483648L, LONG_MIN};
    EXPECT_EQ(maximum_long(low.data(), 0, 0), -2147483648L);
    EXPECT_EQ(minimum_long(low.data(), 0, 1), LONG_MIN);
    EXPECT_EQ(minimum_long(l.data(), 0, -1), 2147483647);
    EXPECT_EQ(maximum_long(l.data(), 0, -1), -2147483647);

    const std::vector<double> d = {NAN, 3.0, 1e100, 2e100};
    EXPECT_EQ(minimum_double(d.data(), 0, 1), 3.0);
    EXPECT_EQ(minimum_double(d.data(), 2, 3), 1e100);
    EXPECT_EQ(maximum_double(d.data(), 0, 3), 2e100);
    EXPECT_EQ(minimum_double(d.data(), 0, -1), 1e99);
    EXPECT_EQ(maximum_double(d.data(), 0, -1), -1e99);
    EXPECT_EQ(minimum_double(d.data(), 0, 0), 1e99);   // NaN only: as empty
    const std::vector<double> inf = {INFINITY, -INFINITY};
    EXPECT_EQ(minimum_double(inf.data(), 0, 0), INFINITY);
    EXPECT_EQ(maximum_double(inf.data(), 1, 1), -INFINITY);
}

// Called through pointers as well, so that no compiler folding can stand in
// for the library's functions.
double (*volatile min_fn)(double, double) = fmin;
double (*volatile max_fn)(double, double) = fmax;

TEST(FminFmax, SecondArgumentWinsWhenTheComparisonIsFalse)
{
    for (auto pick : {+[](double a, double b) { return fmin(a, b); },
                      +[](double a, double b) { return min_fn(a, b); }}) {
        EXPECT_EQ(pick(NAN, 1.0), 1.0);
        EXPECT_TRUE(std::isnan(pick(1.0, NAN)));
        EXPECT_FALSE(std::signbit(pick(-0.0, +0.0)));
        EXPECT_TRUE(std::signbit(pick(+0.0, -0.0)));
        EXPECT_EQ(pick(1.0, 2.0), 1.0);
        EXPECT_EQ(pick(2.0, 1.0), 1.0);
    }
    for (auto pick : {+[](double a, double b) { return fmax(a, b); },
                      +[](double a, double b) { return max_fn(a, b); }}) {
        EXPECT_EQ(pick(NAN, 1.0), 1.0);
        EXPECT_TRUE(std::isnan(pick(1.0, NAN)));
        EXPECT_TRUE(std::signbit(pick(+0.0, -0.0)));
        EXPECT_EQ(pick(1.0, 2.0), 2.0);
    }
}

} // namespace

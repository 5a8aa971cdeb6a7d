#include "mycommon.h"

#include "classic_sorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

bool same_bits(const std::vector<double> &a, const std::vector<double> &b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

// Random doubles drawn from a small pool, so that duplicates are common,
// with NaN and both zeros mixed in when asked.
std::vector<double> random_doubles(std::mt19937_64 &rng, size_t n, bool nan, bool zeros)
{
    std::vector<double> pool = {1.5, -2.25, 3.0, 1e300, -1e-300, 7.0, 7.0, 42.0, -INFINITY,
                                INFINITY};
    if (nan)
        pool.push_back(NAN);
    if (zeros) {
        pool.push_back(0.0);
        pool.push_back(-0.0);
    }
    std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
    std::uniform_real_distribution<double> spread(-100, 100);
    std::vector<double> v(n);
    for (double &x : v)
        x = (rng() % 3 == 0) ? spread(rng) : pool[pick(rng)];
    return v;
}

TEST(Sorts, DifferentialAgainstTheClassicSteps)
{
    std::mt19937_64 rng(12345);
    for (size_t n = 0; n <= 300; ++n) {
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<double> input = random_doubles(rng, n, kind & 1, kind & 2);
            std::vector<double> expected = input, got = input;
            classic::quicksort(expected.data(), 0, static_cast<long>(n) - 1);
            sortQ_double(got.data(), 0, static_cast<long>(n) - 1);
            ASSERT_TRUE(same_bits(got, expected)) << "sortQ_double n=" << n << " kind=" << kind;

            expected = input;
            got = input;
            classic::shell_sort(expected.data(), static_cast<long>(n) - 1);
            sortS_double(got.data(), static_cast<long>(n) - 1);
            ASSERT_TRUE(same_bits(got, expected)) << "sortS_double n=" << n << " kind=" << kind;
        }
        std::vector<long> longs(n);
        for (long &x : longs)
            x = static_cast<long>(rng() % 17) - 8 + ((rng() % 5 == 0) ? LONG_MIN / 2 : 0);
        std::vector<long> expected = longs, got = longs;
        classic::quicksort(expected.data(), 0, static_cast<long>(n) - 1);
        sortQ_long(got.data(), 0, static_cast<long>(n) - 1);
        ASSERT_EQ(got, expected) << "sortQ_long n=" << n;
    }
}

TEST(Sorts, SubrangesOnlyAndTheClassicExamples)
{
    std::vector<double> a = {9, 8, 7, 6, 5, 4, 3};
    sortQ_double(a.data(), 2, 5);
    EXPECT_EQ(a, (std::vector<double>{9, 8, 4, 5, 6, 7, 3}));
    std::vector<long> b = {9, 8, 7, 6, 5, 4, 3};
    sortQ_long(b.data(), 2, 5);
    EXPECT_EQ(b, (std::vector<long>{9, 8, 4, 5, 6, 7, 3}));
    sortQ_long(b.data(), 5, 2);
    EXPECT_EQ(b, (std::vector<long>{9, 8, 4, 5, 6, 7, 3}));

    std::vector<double> with_nan = {3.0, NAN, 1.0};
    sortQ_double(with_nan.data(), 0, 2);
    EXPECT_TRUE(std::isnan(with_nan[0]));
    EXPECT_EQ(with_nan[1], 1.0);
    EXPECT_EQ(with_nan[2], 3.0);

    std::vector<double> two = {2.0, 1.0};
    sortS_double(two.data(), 1);
    EXPECT_EQ(two, (std::vector<double>{1.0, 2.0}));
    sortS_double(two.data(), 0);
    sortS_double(two.data(), -3);
    EXPECT_EQ(two, (std::vector<double>{1.0, 2.0}));
}

// Inputs on which the classic quicksort recurses once per element: long
// runs of equal values, and values that rise and then fall.
TEST(Sorts, DeepInputsStayFast)
{
    const size_t n = 2'000'000;
    std::vector<long> equal_longs(n, 65535);
    sortQ_long(equal_longs.data(), 0, static_cast<long>(n) - 1);
    std::vector<double> equal_doubles(n, 1.0);
    sortQ_double(equal_doubles.data(), 0, static_cast<long>(n) - 1);
    sortS_double(equal_doubles.data(), static_cast<long>(n) - 1);
    std::vector<double> organ_pipe(n);
    for (size_t i = 0; i < n; ++i)
        organ_pipe[i] = static_cast<double>(i < n / 2 ? i : n - i);
    std::vector<double> expected = organ_pipe;
    std::sort(expected.begin(), expected.end());
    sortQ_double(organ_pipe.data(), 0, static_cast<long>(n) - 1);
    EXPECT_TRUE(same_bits(organ_pipe, expected));
    EXPECT_EQ(median_long(equal_longs.data(), 0, static_cast<long>(n) - 1), 65535);
}

TEST(Median, Cases)
{
    struct LongCase { std::vector<long> v; long expected; };
    const LongCase long_cases[] = {
        {{4, 1, 2}, 2},
        {{4, 3, 2, 1}, 2},                 // (2 + 3) / 2 truncated
        {{-3, -4, -10}, -4},
        {{-3, -4}, -3},                    // -7 / 2 truncates toward zero
        {{7}, 7},
        {{LONG_MAX, LONG_MAX - 2}, LONG_MAX - 1},   // no overflow in the sum
        {{LONG_MIN, LONG_MIN + 2}, LONG_MIN + 1},
        {{LONG_MIN, LONG_MAX}, 0},
    };
    for (const LongCase &c : long_cases)
        EXPECT_EQ(median_long(c.v.data(), 0, static_cast<long>(c.v.size()) - 1), c.expected);
    long one = 5;
    EXPECT_EQ(median_long(&one, 0, -1), 0);

    struct DoubleCase { std::vector<double> v; double expected; };
    const DoubleCase double_cases[] = {
        {{4.0, 1.0, 2.0}, 2.0}, {{4.0, 3.0, 2.0, 1.0}, 2.5}, {{1.5}, 1.5},
        {{1.0, INFINITY, 3.0}, 3.0},
    };
    for (const DoubleCase &c : double_cases)
        EXPECT_EQ(median_double(c.v.data(), 0, static_cast<long>(c.v.size()) - 1), c.expected);
    EXPECT_TRUE(std::isnan(median_double(nullptr, 0, -1)));
}

// Selection gives what sorting the copy and reading the middle gives.
TEST(Median, AgreesWithSortingTheCopy)
{
    std::mt19937_64 rng(7);
    for (size_t n = 1; n <= 200; ++n) {
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<double> v = random_doubles(rng, n, kind & 1, kind & 2);
            std::vector<double> before = v;
            std::vector<double> sorted = v;
            classic::quicksort(sorted.data(), 0, static_cast<long>(n) - 1);
            double expected = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
            double got = median_double(v.data(), 0, static_cast<long>(n) - 1);
            ASSERT_TRUE(std::memcmp(&got, &expected, sizeof got) == 0 ||
                        (std::isnan(got) && std::isnan(expected)))
                << n << " kind " << kind << " got " << got << " expected " << expected;
            ASSERT_TRUE(same_bits(v, before));
            double q = static_cast<double>(rng() % 1000) / 999.0;
            size_t k = static_cast<size_t>(static_cast<double>(n - 1) * q);
            double quantile = quantile_double(v.data(), 0, static_cast<long>(n) - 1, q);
            ASSERT_TRUE(std::memcmp(&quantile, &sorted[k], sizeof quantile) == 0 ||
                        (std::isnan(quantile) && std::isnan(sorted[k])))
                << n << " q " << q;
            ASSERT_TRUE(same_bits(v, before));
        }
    }
}

TEST(Quantile, Cases)
{
    const std::vector<double> v = {50, 10, 40, 20, 30};
    struct Case { double q, expected; };
    for (Case c : {Case{0.5, 30}, Case{0.99, 40}, Case{1, 50}, Case{1.7, 50}, Case{-3, 10},
                   Case{0, 10}})
        EXPECT_EQ(quantile_double(v.data(), 0, 4, c.q), c.expected) << c.q;
    EXPECT_TRUE(std::isnan(quantile_double(v.data(), 0, 4, NAN)));
    EXPECT_TRUE(std::isnan(quantile_double(v.data(), 3, 2, 0.5)));

    const std::vector<long> l = {9, 4, 3, 2, 1};
    EXPECT_EQ(quantile_long(l.data(), 1, 4, 0.5), 2);
    EXPECT_EQ(quantile_long(l.data(), 0, 4, 7.0), 9);     // clamped, never past the copy
    EXPECT_EQ(quantile_long(l.data(), 0, 4, -1e300), 1);
    EXPECT_EQ(quantile_long(l.data(), 0, 4, NAN), 0);
    EXPECT_EQ(quantile_long(l.data(), 0, -1, 0.5), 0);
    EXPECT_EQ(l, (std::vector<long>{9, 4, 3, 2, 1}));
}

TEST(WeightedMedian, EachWeightStaysWithItsValue)
{
    struct Case { std::vector<double> values, weights; double expected; };
    const Case cases[] = {
        {{4, 3, 2, 1}, {1, 1, 1, 1}, 2},       // cumulative 2 of 4 reached at value 2
        {{3, 1, 2}, {1, 1, 1}, 2},
        {{10, 1, 2, 3}, {1, 3, 1, 1}, 1},      // value 1 carries half the weight
        {{5, 1, 3, 2}, {2, 1, 1, 0}, 3},       // sorted 1(1) 2(0) 3(1) 5(2): 2 of 4 at 3
        {{5, 1, 3, 2}, {0, 0, 0, 0}, 1},       // all weights zero: the smallest value
        {{7}, {2}, 7},
        {{1, 2, 3}, {0, 0, 5}, 3},
        {{1, 2, NAN}, {1, 1, 5}, NAN},          // NaN values order last
        {{1, 2, 3}, {1, -1, 1}, NAN},           // negative weight
        {{1, 2, 3}, {1, NAN, 1}, NAN},
    };
    for (const Case &c : cases) {
        std::vector<double> values = c.values, weights = c.weights;
        double got = wmedian_double(values.data(), weights.data(),
                                    static_cast<long>(values.size()) - 1);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(got));
        else
            EXPECT_EQ(got, c.expected);
        EXPECT_TRUE(same_bits(values, c.values));
        EXPECT_TRUE(same_bits(weights, c.weights));
    }
    EXPECT_TRUE(std::isnan(wmedian_double(nullptr, nullptr, -1)));
}

} // namespace

// gauss_noise with a generator whose draws the test chooses: this program
// defines rand() itself, which takes the C library's place.
#include "mycommon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
std::vector<int> script;
size_t next_draw = 0;
} // namespace

extern "C" int rand(void) noexcept
{
    return next_draw < script.size() ? script[next_draw++] : 0;
}

namespace {

double noise_with(std::vector<int> draws, double mean, double sigma)
{
    script = std::move(draws);
    next_draw = 0;
    double value = gauss_noise(mean, sigma);
    EXPECT_EQ(next_draw, 2u);
    return value;
}

TEST(GaussNoise, BoxMullerSineBranch)
{
    EXPECT_NEAR(noise_with({500000, 250000}, 3.0, 2.0), 3.0 + 2.0 * std::sqrt(2 * std::log(2.0)),
                1e-12);
    EXPECT_NEAR(noise_with({250000, 500000}, 3.0, 2.0), 3.0, 1e-9);
    // only the remainder modulo 1000000 counts
    EXPECT_NEAR(noise_with({1500000, 1250000}, 0.0, 1.0), std::sqrt(2 * std::log(2.0)), 1e-12);
}

TEST(GaussNoise, FirstDrawOfZeroIsFinite)
{
    for (int second : {0, 250000, 500000, 999999}) {
        double value = noise_with({0, second}, 1.0, 1.0);
        EXPECT_TRUE(std::isfinite(value)) << second;
        EXPECT_LT(std::fabs(value - 1.0), 6.0) << second;
    }
    EXPECT_TRUE(std::isfinite(noise_with({1000000, 250000}, 0.0, 1.0)));
}

} // namespace

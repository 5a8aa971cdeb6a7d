#include "mycommon.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/time.h>

#include <cmath>
#include <cstdlib>

namespace {

TEST(Interp, SamplesAlongXAndY)
{
    double grid[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            grid[3 * i + j] = 10 * i + j;
    struct Case { double x, y, expected; };
    const Case cases[] = {
        {1, 1, 11}, {0.5, 0, 5}, {1.25, 0.75, 13.25}, {2, 0, 20}, {0, 2, 2},
        {3, 1, 0}, {-1, 0, 0}, {NAN, 1, 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(interp(grid, c.x, c.y), c.expected, 1e-12) << c.x << "," << c.y;
}

TEST(Interp, ConstantGridFadesOutsideTheSquare)
{
    double ones[9];
    for (double &v : ones)
        v = 1;
    struct Case { double x, y, expected; };
    const Case cases[] = {
        {1, 1, 1}, {0.5, 0, 1}, {1.25, 0.75, 1}, {0.1, 1.9, 1}, {-0.5, 1, 0.5},
        {2.5, 2.5, 0.25}, {3, 1, 0}, {-1, 0, 0}, {1, NAN, 0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(interp(ones, c.x, c.y), c.expected, 1e-12) << c.x << "," << c.y;
}

TEST(GaussNoise, SeededStatisticsAndTwoDrawsPerCall)
{
    std::srand(2024);
    const int draws = 200000;
    double sum = 0, sum_sq = 0;
    for (int i = 0; i < draws; ++i) {
        double g = gauss_noise(10.0, 2.0);
        ASSERT_TRUE(std::isfinite(g));
        sum += g;
        sum_sq += g * g;
    }
    double mean = sum / draws;
    double sd = std::sqrt(sum_sq / draws - mean * mean);
    EXPECT_NEAR(mean, 10.0, 0.03);
    EXPECT_NEAR(sd, 2.0, 0.03);

    // one call consumes exactly two numbers of the generator
    std::srand(99);
    std::rand();
    std::rand();
    int third = std::rand();
    std::srand(99);
    gauss_noise(0, 1);
    EXPECT_EQ(std::rand(), third);
}

void ignore_alarm(int) {}

TEST(Timing, MsleepSleepsAtLeastTheRequest)
{
    for (double ms : {100.0, 1.5, 0.1}) {
        double start = mclock();
        EXPECT_EQ(msleep(ms), 0);
        EXPECT_GE(mclock() - start, ms / 1000.0) << ms;
    }
    for (double ms : {0.0, -5.0, static_cast<double>(NAN)}) {
        double start = mclock();
        EXPECT_EQ(msleep(ms), 0);
        EXPECT_LT(mclock() - start, 0.5);  // no sleep: well under any requested one
    }
}

// A signal every millisecond keeps interrupting the sleep; it must still
// end, neither early nor much late.
TEST(Timing, MsleepResumesAfterSignals)
{
    struct sigaction action = {};
    action.sa_handler = ignore_alarm;
    sigemptyset(&action.sa_mask);
    struct sigaction previous;
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    struct itimerval every_ms = {{0, 1000}, {0, 1000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every_ms, nullptr), 0);
    double start = mclock();
    msleep(300);
    double elapsed = mclock() - start;
    struct itimerval off = {};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_GE(elapsed, 0.3);
    EXPECT_LT(elapsed, 3.0);
}

TEST(Timing, MclockIsMonotonicSeconds)
{
    double a = mclock();
    double b = mclock();
    EXPECT_GE(b, a);
    EXPECT_GT(a, 0.0);
}

} // namespace

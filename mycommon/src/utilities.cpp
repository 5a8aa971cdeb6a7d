// 3x3 grid interpolation, Gaussian noise, millisecond sleep, monotonic clock.
#include "mycommon.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>

extern "C" double interp(const double grid[9], double x, double y)
{
    double x_low = x - 0.5, x_high = x + 0.5;
    double y_low = y - 0.5, y_high = y + 0.5;
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (!(std::fabs(i - x) < 1 && std::fabs(j - y) < 1))
                continue;
            // Overlap of the unit square centred on (x, y) with the sample's cell.
            double wx = x > i ? (i + 0.5) - x_low : x_high - (i - 0.5);
            double wy = y > j ? (j + 0.5) - y_low : y_high - (j - 0.5);
            sum = grid[3 * i + j] * (wx * wy) + sum;
        }
    }
    return sum;
}

extern "C" double gauss_noise(double mean, double sigma)
{
    double u1 = (std::rand() % 1000000) * 1e-6;
    double u2 = (std::rand() % 1000000) * 1e-6;
    // ln 0 is -infinity: a first draw of 0 stands for the middle of its
    // grid step, 0.5e-6, which keeps the radius finite (about 5.4).
    if (u1 == 0.0)
        u1 = 0.5e-6;
    double radius = std::sqrt(-2.0 * std::log(u1));
    return (std::sin(6.283185307179586 * u2) * radius) * sigma + mean;
}

namespace {

// Longest sleep: about 31 years.  Longer requests, infinity included, sleep
// this long; the deadline then still fits the clock's fields.
constexpr double longest_sleep_seconds = 1e9;

} // namespace

extern "C" int msleep(double milliseconds)
{
    if (!(milliseconds > 0.0))
        return 0;
    double seconds = milliseconds / 1000.0;
    if (seconds > longest_sleep_seconds)
        seconds = longest_sleep_seconds;
    auto whole = static_cast<long long>(seconds);
    auto nanoseconds = static_cast<long>(std::ceil((seconds - static_cast<double>(whole)) * 1e9));

    // Sleep to an absolute deadline on the monotonic clock: an interrupted
    // sleep resumes with exactly the time that is left, and never ends early.
    timespec deadline{};
    if (clock_gettime(CLOCK_MONOTONIC, &deadline) != 0)
        return 0;
    deadline.tv_sec += static_cast<time_t>(whole);
    deadline.tv_nsec += nanoseconds;
    while (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    int result;
    do
        result = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
    while (result == EINTR);
    return 0;
}

extern "C" double mclock(void)
{
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return NAN;
    return static_cast<double>(now.tv_nsec) / 1000000000.0 + static_cast<double>(now.tv_sec);
}

// Sums, means, standard deviations and extremes over index ranges.
#include "mycommon.h"

#include <cmath>

extern "C" long sum_long(const long *a, long first, long last)
{
    // Unsigned addition wraps modulo 2^64 where a signed one would overflow.
    unsigned long s = 0;
    for (long i = first; i <= last; ++i)
        s += static_cast<unsigned long>(a[i]);
    return static_cast<long>(s);
}

extern "C" double mean_double(const double *a, long first, long last)
{
    double s = 0.0;
    for (long i = first; i <= last; ++i)
        s = a[i] + s;
    return s / (static_cast<double>(last - first) + 1.0);
}

extern "C" double sigma_long(const long *a, long mean, long first, long last)
{
    double q = 0.0;
    for (long i = first; i <= last; ++i) {
        // The deviation needs 65 bits at worst and its square 130: the
        // deviation is exact in 128-bit arithmetic, its square is formed in
        // double, which rounds exactly as converting the integer square does.
        double deviation = static_cast<double>(static_cast<__int128>(mean) - a[i]);
        q = deviation * deviation + q;
    }
    return std::sqrt(q / static_cast<double>(last - first));
}

extern "C" double sigma_double(const double *a, double mean, long first, long last)
{
    double q = 0.0;
    for (long i = first; i <= last; ++i)
        q = (mean - a[i]) * (mean - a[i]) + q;
    return std::sqrt(q / static_cast<double>(last - first));
}

extern "C" double sigma_double2(const double *a, long first, long last)
{
    return sigma_double(a, mean_double(a, first, last), first, last);
}

extern "C" long minimum_long(const long *a, long first, long last)
{
    if (last < first)
        return 2147483647;
    long m = a[first];
    for (long i = first + 1; i <= last; ++i)
        if (a[i] < m)
            m = a[i];
    return m;
}

extern "C" long maximum_long(const long *a, long first, long last)
{
    if (last < first)
        return -2147483647;
    long m = a[first];
    for (long i = first + 1; i <= last; ++i)
        if (a[i] > m)
            m = a[i];
    return m;
}

namespace {

// The smallest (or largest) non-NaN element; `none` when there is none.
template <bool smallest> double extreme(const double *a, long first, long last, double none)
{
    double m = none;
    bool found = false;
    for (long i = first; i <= last; ++i) {
        double v = a[i];
        if (std::isnan(v))
            continue;
        if (!found || (smallest ? v < m : v > m)) {
            m = v;
            found = true;
        }
    }
    return m;
}

} // namespace

extern "C" double minimum_double(const double *a, long first, long last)
{
    return extreme<true>(a, first, last, 1e99);
}

extern "C" double maximum_double(const double *a, long first, long last)
{
    return extreme<false>(a, first, last, -1e99);
}

// These replace the maths library's functions of the same names for the
// whole program.  Unlike those, a NaN second argument is the result.
extern "C" double fmin(double a, double b) MYCOMMON_NOEXCEPT
{
    return b > a ? a : b;
}

extern "C" double fmax(double a, double b) MYCOMMON_NOEXCEPT
{
    return a > b ? a : b;
}

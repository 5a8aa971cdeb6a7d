// The library's sorts, medians and quantiles against the classic steps.
// Input: byte 0 is the quantile fraction (of 255), the rest 8-byte elements,
// read as doubles and as longs.
#include "mycommon.h"

#include "../tests/classic_sorts.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <cmath>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

bool same(double a, double b)
{
    return memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    double q = data[0] / 255.0;
    size_t n = (size - 1) / 8;
    if (n > 300)
        n = 300;  // the classic steps are quadratic on runs of equal values
    std::vector<double> doubles(n);
    std::vector<long> longs(n);
    if (n > 0) {
        memcpy(doubles.data(), data + 1, n * 8);
        memcpy(longs.data(), data + 1, n * 8);
    }
    long last = static_cast<long>(n) - 1;

    std::vector<double> expected = doubles, got = doubles;
    classic::quicksort(expected.data(), 0, last);
    sortQ_double(got.data(), 0, last);
    check(n == 0 || memcmp(got.data(), expected.data(), n * 8) == 0);

    std::vector<double> shell_expected = doubles, shell_got = doubles;
    classic::shell_sort(shell_expected.data(), last);
    sortS_double(shell_got.data(), last);
    check(n == 0 || memcmp(shell_got.data(), shell_expected.data(), n * 8) == 0);

    std::vector<long> long_expected = longs, long_got = longs;
    classic::quicksort(long_expected.data(), 0, last);
    sortQ_long(long_got.data(), 0, last);
    check(long_got == long_expected);

    if (n > 0) {
        size_t h = n / 2;
        double median = median_double(doubles.data(), 0, last);
        check(same(median, n % 2 ? expected[h] : (expected[h - 1] + expected[h]) / 2.0));
        long long_median = median_long(longs.data(), 0, last);
        __int128 sum = static_cast<__int128>(long_expected[h]) + (n % 2 ? long_expected[h] : long_expected[h - 1]);
        check(long_median == static_cast<long>(sum / 2));
        size_t k = static_cast<size_t>(static_cast<double>(n - 1) * q);
        check(same(quantile_double(doubles.data(), 0, last, q), expected[k]));
        check(quantile_long(longs.data(), 0, last, q) == long_expected[k]);
        std::vector<double> weights(n);
        for (size_t i = 0; i < n; ++i)
            weights[i] = std::fabs(doubles[(i + 1) % n]);
        double weighted = wmedian_double(doubles.data(), weights.data(), last);
        bool found = std::isnan(weighted);
        for (double v : doubles)
            found = found || same(v, weighted);
        check(found);
    }
    return 0;
}

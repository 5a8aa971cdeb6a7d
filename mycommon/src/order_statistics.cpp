// Sorting, medians, quantiles and the weighted median.
//
// The quicksort and the Shell sort are defined by the order they leave.  For
// 64-bit integers, and for doubles without NaN and without both zeros, every
// correct sort leaves the same bits, so those take an introsort (O(n log n),
// O(log n) stack).  A NaN, which compares false with everything, or a mix of
// -0.0 and +0.0, which compare equal, makes the result depend on the exact
// exchanges; such arrays take the classic steps, with the recursion on the
// smaller part so that the stack stays O(log n).
#include "mycommon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

namespace {

// Elements in first..last, 0 for an empty range.  Unsigned arithmetic: no
// overflow whatever the indices.
std::size_t range_size(long first, long last)
{
    if (last < first)
        return 0;
    return static_cast<std::size_t>(static_cast<unsigned long>(last) -
                                    static_cast<unsigned long>(first)) + 1;
}

// True when the order of the sorted doubles is fixed by their values alone.
bool values_fix_the_order(const double *a, std::size_t n)
{
    bool has_positive_zero = false, has_negative_zero = false;
    for (std::size_t i = 0; i < n; ++i) {
        double v = a[i];
        if (std::isnan(v))
            return false;
        if (v == 0.0) {
            if (std::signbit(v))
                has_negative_zero = true;
            else
                has_positive_zero = true;
        }
    }
    return !(has_positive_zero && has_negative_zero);
}

// The classic quicksort: middle element as pivot, strictly smaller elements
// to its left.  Recurses into the smaller part and loops on the larger.
void classic_quicksort(double *a, long first, long last)
{
    while (first < last) {
        swap_double(a, first, first + (last - first) / 2);
        long m = first;
        for (long i = first + 1; i <= last; ++i)
            if (a[i] < a[first])
                swap_double(a, ++m, i);
        swap_double(a, first, m);
        if (m - first < last - m) {
            classic_quicksort(a, first, m - 1);
            first = m + 1;
        } else {
            classic_quicksort(a, m + 1, last);
            last = m - 1;
        }
    }
}

void classic_shell_sort(double *a, long last)
{
    long gap = last / 2;
    if (last == 1)
        gap = 1;
    for (; gap > 0; gap /= 2)
        for (long i = last; i >= gap; --i)
            for (long j = 0; i + j <= last && a[i - gap + j] > a[i + j]; j += gap)
                swap_double(a, i - gap + j, i + j);
}

template <typename T> std::unique_ptr<T[]> copy_of(const T *a, long first, std::size_t n)
{
    std::unique_ptr<T[]> copy(new (std::nothrow) T[n]);
    if (copy)
        std::copy(a + first, a + first + static_cast<long>(n), copy.get());
    return copy;
}

// Mean of two longs, truncated toward zero, without overflow.
long mean_of(long a, long b)
{
    return static_cast<long>((static_cast<__int128>(a) + b) / 2);
}

double mean_of(double a, double b) { return (a + b) / 2.0; }

// The median of n >= 1 elements of a scratch copy, which it reorders:
// selection finds the middle element, and for an even count the largest of
// the lower half is its partner.
template <typename T> T select_median(T *v, std::size_t n)
{
    std::size_t h = n / 2;
    std::nth_element(v, v + h, v + n);
    if (n % 2 == 1)
        return v[h];
    return mean_of(*std::max_element(v, v + h), v[h]);
}

double median_of_sorted(const double *v, std::size_t n)
{
    std::size_t h = n / 2;
    return n % 2 == 1 ? v[h] : mean_of(v[h - 1], v[h]);
}

// Position of the q-quantile among n >= 1 sorted elements: (n - 1) * q
// truncated, q clamped to [0, 1].  q must not be NaN.
std::size_t quantile_position(std::size_t n, double q)
{
    if (q < 0.0)
        q = 0.0;
    if (q > 1.0)
        q = 1.0;
    auto k = static_cast<std::size_t>(static_cast<double>(n - 1) * q);
    return k < n ? k : n - 1;
}

struct WeightedValue {
    double value;
    double weight;
};

// Orders by value with NaN values last: a strict weak order even with NaN.
bool by_value(const WeightedValue &a, const WeightedValue &b)
{
    bool a_nan = std::isnan(a.value), b_nan = std::isnan(b.value);
    if (a_nan || b_nan)
        return !a_nan && b_nan;
    return a.value < b.value;
}

} // namespace

extern "C" void swap_long(long *a, long i, long j)
{
    long t = a[i];
    a[i] = a[j];
    a[j] = t;
}

extern "C" void swap_double(double *a, long i, long j)
{
    double t = a[i];
    a[i] = a[j];
    a[j] = t;
}

extern "C" void sortQ_long(long *a, long first, long last)
{
    if (last > first)
        std::sort(a + first, a + last + 1);
}

extern "C" void sortQ_double(double *a, long first, long last)
{
    if (last <= first)
        return;
    if (values_fix_the_order(a + first, range_size(first, last)))
        std::sort(a + first, a + last + 1);
    else
        classic_quicksort(a, first, last);
}

extern "C" void sortS_double(double *a, long last)
{
    if (last <= 0)
        return;
    if (values_fix_the_order(a, range_size(0, last)))
        std::sort(a, a + last + 1);
    else
        classic_shell_sort(a, last);
}

extern "C" long median_long(const long *a, long first, long last)
{
    std::size_t n = range_size(first, last);
    if (n == 0)
        return 0;
    std::unique_ptr<long[]> copy = copy_of(a, first, n);
    if (!copy)
        return 0;
    return select_median(copy.get(), n);
}

extern "C" double median_double(const double *a, long first, long last)
{
    std::size_t n = range_size(first, last);
    if (n == 0)
        return NAN;
    std::unique_ptr<double[]> copy = copy_of(a, first, n);
    if (!copy)
        return NAN;
    if (values_fix_the_order(copy.get(), n))
        return select_median(copy.get(), n);
    sortQ_double(copy.get(), 0, static_cast<long>(n) - 1);
    return median_of_sorted(copy.get(), n);
}

extern "C" long quantile_long(const long *a, long first, long last, double q)
{
    std::size_t n = range_size(first, last);
    if (n == 0 || std::isnan(q))
        return 0;
    std::unique_ptr<long[]> copy = copy_of(a, first, n);
    if (!copy)
        return 0;
    std::size_t k = quantile_position(n, q);
    std::nth_element(copy.get(), copy.get() + k, copy.get() + n);
    return copy[k];
}

extern "C" double quantile_double(const double *a, long first, long last, double q)
{
    std::size_t n = range_size(first, last);
    if (n == 0 || std::isnan(q))
        return NAN;
    std::unique_ptr<double[]> copy = copy_of(a, first, n);
    if (!copy)
        return NAN;
    std::size_t k = quantile_position(n, q);
    if (values_fix_the_order(copy.get(), n))
        std::nth_element(copy.get(), copy.get() + k, copy.get() + n);
    else
        sortQ_double(copy.get(), 0, static_cast<long>(n) - 1);
    return copy[k];
}

extern "C" double wmedian_double(const double *values, const double *weights, long last)
{
    std::size_t n = range_size(0, last);
    if (n == 0)
        return NAN;
    double total = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isnan(weights[i]) || weights[i] < 0.0)
            return NAN;
        total = weights[i] + total;
    }
    std::unique_ptr<WeightedValue[]> pairs(new (std::nothrow) WeightedValue[n]);
    if (!pairs)
        return NAN;
    for (std::size_t i = 0; i < n; ++i)
        pairs[i] = {values[i], weights[i]};
    std::sort(pairs.get(), pairs.get() + n, by_value);

    double half = 0.5 * total;
    double cumulative = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        cumulative += pairs[i].weight;
        if (cumulative >= half)
            return pairs[i].value;
    }
    // Rounding of the running sum can leave it a hair short of half.
    return pairs[n - 1].value;
}

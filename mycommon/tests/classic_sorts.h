// Plain transcriptions of the classic quicksort and Shell sort, step by
// step, for differential tests of the library's sorts.
#pragma once

namespace classic {

template <typename T> void swap_elements(T *a, long i, long j)
{
    T t = a[i];
    a[i] = a[j];
    a[j] = t;
}

template <typename T> void quicksort(T *a, long first, long last)
{
    if (last <= first)
        return;
    swap_elements(a, first, (first + last) / 2);
    long m = first;
    for (long i = first + 1; i <= last; ++i)
        if (a[i] < a[first])
            swap_elements(a, ++m, i);
    swap_elements(a, first, m);
    quicksort(a, first, m - 1);
    quicksort(a, m + 1, last);
}

inline void shell_sort(double *a, long last)
{
    long gap = last / 2;
    if (last == 1)
        gap = 1;
    while (gap > 0) {
        for (long i = last; i >= gap; --i) {
            long j = 0;
            while (i + j <= last) {
                if (a[i - gap + j] > a[i + j]) {
                    swap_elements(a, i - gap + j, i + j);
                    j += gap;
                } else {
                    break;
                }
            }
        }
        gap /= 2;
    }
}

} // namespace classic

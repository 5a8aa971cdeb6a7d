// Robust statistics of a small frame of pixel values with the library.
//
//   c++ -std=c++17 median.cpp $(pkg-config --cflags --libs mycommon) -o median
//   ./median
#include <mycommon.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main()
{
    // sky of about 1000 counts with two saturated pixels and a cosmic ray
    std::vector<long> pixels = {998, 1003, 1001, 65535, 997, 1002, 1000, 999, 41000, 65535, 1004};
    long last = static_cast<long>(pixels.size()) - 1;

    long median = median_long(pixels.data(), 0, last);
    long q90 = quantile_long(pixels.data(), 0, last, 0.9);
    std::vector<double> as_double(pixels.begin(), pixels.end());
    double mean = mean_double(as_double.data(), 0, last);
    double sigma = sigma_double2(as_double.data(), 0, last);

    std::printf("median %ld, 90%% quantile %ld, mean %.1f, sigma %.1f\n", median, q90, mean,
                sigma);
    // the median ignores the outliers, the mean does not
    return median == 1002 && q90 == 65535 && mean > 10000 ? 0 : 1;
}

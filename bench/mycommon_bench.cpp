// The library's sort and median against the standard library, in one
// process, with the ratios printed at the end.
//   build/bench/mycommon_bench
// Goals: sortQ_double within 1.1x std::sort on 10 million random doubles;
// median_long within 1.3x std::nth_element on a copy of a 4096x4096
// 16-bit image.
#include "mycommon.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<double> &random_doubles()
{
    static const std::vector<double> values = [] {
        std::mt19937_64 rng(42);
        std::uniform_real_distribution<double> uniform(-1e6, 1e6);
        std::vector<double> v(10'000'000);
        for (double &x : v)
            x = uniform(rng);
        return v;
    }();
    return values;
}

// A 4096x4096 16-bit frame: sky of 1000 counts with noise, a few thousand
// stars, and 1% of the pixels saturated at 65535.
const std::vector<long> &synthetic_image()
{
    static const std::vector<long> pixels = [] {
        const int side = 4096;
        std::mt19937_64 rng(7);
        std::normal_distribution<double> sky(1000.0, 30.0);
        std::vector<long> image(static_cast<size_t>(side) * side);
        for (long &p : image)
            p = std::clamp(std::lround(sky(rng)), 0L, 65535L);
        std::uniform_int_distribution<int> position(0, side - 1);
        std::uniform_real_distribution<double> brightness(500, 60000);
        for (int star = 0; star < 3000; ++star) {
            int cx = position(rng), cy = position(rng);
            double peak = brightness(rng);
            for (int dy = -6; dy <= 6; ++dy)
                for (int dx = -6; dx <= 6; ++dx) {
                    int x = cx + dx, y = cy + dy;
                    if (x < 0 || y < 0 || x >= side || y >= side)
                        continue;
                    long &p = image[static_cast<size_t>(y) * side + x];
                    p = std::min(65535L, p + std::lround(peak * std::exp(-(dx * dx + dy * dy) / 4.5)));
                }
        }
        std::uniform_int_distribution<size_t> pixel(0, image.size() - 1);
        for (size_t i = 0; i < image.size() / 100; ++i)
            image[pixel(rng)] = 65535;
        return image;
    }();
    return pixels;
}

void BM_sortQ_double(benchmark::State &state)
{
    std::vector<double> v;
    for (auto _ : state) {
        state.PauseTiming();
        v = random_doubles();
        state.ResumeTiming();
        sortQ_double(v.data(), 0, static_cast<long>(v.size()) - 1);
        benchmark::DoNotOptimize(v.data());
    }
}

void BM_std_sort(benchmark::State &state)
{
    std::vector<double> v;
    for (auto _ : state) {
        state.PauseTiming();
        v = random_doubles();
        state.ResumeTiming();
        std::sort(v.begin(), v.end());
        benchmark::DoNotOptimize(v.data());
    }
}

void BM_median_long(benchmark::State &state)
{
    const std::vector<long> &image = synthetic_image();
    for (auto _ : state)
        benchmark::DoNotOptimize(median_long(image.data(), 0, static_cast<long>(image.size()) - 1));
}

// The baseline does what a caller would: copy, select the middle.
void BM_nth_element_copy(benchmark::State &state)
{
    const std::vector<long> &image = synthetic_image();
    for (auto _ : state) {
        std::vector<long> copy(image);
        std::nth_element(copy.begin(), copy.begin() + copy.size() / 2, copy.end());
        benchmark::DoNotOptimize(copy[copy.size() / 2]);
    }
}

BENCHMARK(BM_sortQ_double)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_std_sort)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_median_long)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_nth_element_copy)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Console output as usual, and each benchmark's real time per iteration kept
// for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds[run.run_name.function_name] = run.real_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    random_doubles();
    synthetic_image();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char *ours, const char *baseline, double goal) {
        auto a = reporter.seconds.find(ours), b = reporter.seconds.find(baseline);
        if (a == reporter.seconds.end() || b == reporter.seconds.end())
            return;
        std::printf("%s / %s = %.3f (goal <= %.1f)\n", ours, baseline, a->second / b->second,
                    goal);
    };
    ratio("BM_sortQ_double", "BM_std_sort", 1.1);
    ratio("BM_median_long", "BM_nth_element_copy", 1.3);
    benchmark::Shutdown();
    return 0;
}

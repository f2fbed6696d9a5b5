// What the benchmarks share: a clock, percentiles and a timed median.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
inline double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / frequency;
}

// The sample at this fraction of the sorted samples: 0.5 the median, 1 the largest.
inline double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    size_t at = static_cast<size_t>(fraction * static_cast<double>(samples.size()));
    return samples[std::min(samples.size() - 1, at)];
}

// The median time of runs of work, in milliseconds.
template <typename Work> double MedianMs(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        work();
        times.push_back(NowMs() - start);
    }
    return Percentile(times, 0.5);
}

} // namespace bench

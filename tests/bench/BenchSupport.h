// What the benchmarks share: a clock, percentiles and a timed median.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"
#include "tests/e2e/MakerProcess.h"

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

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Processor time of another process: Wine reports none (GetProcessTimes
// gives 0 user time), so it is read from Linux, /proc/PID/stat of the
// Unix process, in 10 ms ticks.
// The Unix process of this Wine prefix whose command line holds name.
inline std::string FindUnixProcess(const std::string& name) {
    const std::string prefix = "WINEPREFIX=" + e2e::Env("WINEPREFIX");
    std::string found;
    WIN32_FIND_DATAA entry;
    HANDLE search = ::FindFirstFileA("Z:\\proc\\*", &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search, &entry)) {
        std::string pid = entry.cFileName;
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string dir = "Z:\\proc\\" + pid + "\\";
        std::string environment = ReadAll(dir + "environ");
        if (ReadAll(dir + "cmdline").find(name) != std::string::npos &&
            environment.find(prefix + '\0') != std::string::npos)
            found = pid;
    }
    ::FindClose(search);
    return found;
}

// User plus system time of a Unix process, in milliseconds.
inline double CpuMs(const std::string& pid) {
    std::string stat = ReadAll("Z:\\proc\\" + pid + "\\stat");
    size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    double ticks = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14)
            ticks += std::atof(field.c_str());
    }
    return ticks * 10.0;
}

} // namespace bench

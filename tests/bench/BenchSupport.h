// What the benchmarks share: a clock, percentiles, runs printed, processor
// time read from Linux, list box text, and a burst of pop-ups against the
// real program.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

namespace bench {

// Milliseconds on the performance counter.
inline double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
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

// "1.23x (goal: at most 1.5x)": a ratio to its floor beside its goal.
inline std::string RatioBesideGoal(double ratio, double goal) {
    char text[96];
    std::snprintf(text, sizeof(text), "%.2fx (goal: at most %gx)", ratio, goal);
    return text;
}

// A figure with as many decimals as its size deserves.
inline std::string Figure(double value) {
    char text[64];
    std::snprintf(text, sizeof(text), value >= 100 ? "%.0f" : value >= 1 ? "%.1f" : "%.3f", value);
    return text;
}

// The line that sums a figure up, one per benchmark figure, for a reader and
// for grep: "summary: WHAT: FIGURE, floor FLOOR, ratio R, goal G: met" (or
// "not met"). The figure and its floor are in unit; a figure that could not
// be measured (negative) is not met.
inline void PrintSummary(const std::string& what, double figure, double floor, double goal,
                         const char* unit = "ms") {
    double ratio = figure >= 0 && floor > 0 ? figure / floor : -1;
    std::printf("summary: %s: %s %s, floor %s %s, ratio %.2fx, goal %gx: %s\n", what.c_str(),
                Figure(figure).c_str(), unit, Figure(floor).c_str(), unit, ratio, goal,
                ratio >= 0 && ratio <= goal ? "met" : "not met");
}

// The same line for a goal that is no ratio of the floor (a time, a limit):
// "summary: WHAT: FIGURE, floor FLOOR (or none), ratio R, goal GOAL: met".
inline void PrintSummaryOf(const std::string& what, double figure, double floor,
                           const std::string& goal, bool met, const char* unit = "ms") {
    std::string floorText = floor > 0 ? Figure(floor) + " " + unit : std::string("none");
    std::string ratioText = "-";
    if (floor > 0 && figure >= 0) {
        char ratio[32];
        std::snprintf(ratio, sizeof(ratio), "%.2fx", figure / floor);
        ratioText = ratio;
    }
    std::printf("summary: %s: %s %s, floor %s, ratio %s, goal %s: %s\n", what.c_str(),
                Figure(figure).c_str(), unit, floorText.c_str(), ratioText.c_str(), goal.c_str(),
                met && figure >= 0 ? "met" : "not met");
}

// The port of the local stand-in for the update server that scripts/bench.sh
// starts; empty, and said, without it.
inline std::string UpdateServerPort() {
    std::string port = e2e::Env("VELMORA_HTTP_PORT");
    if (port.empty())
        std::printf("no local HTTP server: run through scripts/bench.sh\n");
    return port;
}

// "median M ms (runs: A B C)"
inline std::string MedianOfRuns(const std::vector<double>& runs) {
    std::string text =
        "median " + std::to_string(static_cast<long>(Percentile(runs, 0.5))) + " ms (runs:";
    for (double run : runs)
        text += " " + std::to_string(static_cast<long>(run));
    return text + ")";
}

// Processor time of another process: Wine reports none (GetProcessTimes
// gives 0 user time), so it is read from Linux, /proc/PID/stat of the
// Unix process, in 10 ms ticks.
// The Unix process of this Wine prefix whose command line holds name.
inline std::string FindUnixProcess(const std::string& name) {
    const std::string prefix = "WINEPREFIX=" + e2e::Env("WINEPREFIX");
    std::string found;
    WIN32_FIND_DATAA entry;
    fw::UniqueFindHandle search(::FindFirstFileA("Z:\\proc\\*", &entry));
    for (bool more = bool(search); more; more = ::FindNextFileA(search.Get(), &entry)) {
        std::string dir = "Z:\\proc\\" + std::string(entry.cFileName) + "\\";
        if (std::string(entry.cFileName).find_first_not_of("0123456789") == std::string::npos &&
            e2e::ReadFileBytes(dir + "cmdline").find(name) != std::string::npos &&
            e2e::ReadFileBytes(dir + "environ").find(prefix + '\0') != std::string::npos)
            found = entry.cFileName;
    }
    return found;
}

// User plus system time of a Unix process, in milliseconds.
inline double CpuMs(const std::string& pid) {
    std::string stat = e2e::ReadFileBytes("Z:\\proc\\" + pid + "\\stat");
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

// The text of a list box entry, asked for in A as the program's own list does.
inline std::string ListBoxText(HWND list, int index) {
    LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, index, 0);
    std::string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
    LRESULT got = ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

// Whether the list box holds the title, entry by entry: the plain algorithm
// the program's index is measured against.
// Runs this thread's messages until the list box shows count entries (the
// banned list's page fills a long list in parts).
inline void ShowWholeList(HWND list, size_t count) {
    MSG msg;
    while (static_cast<size_t>(::SendMessageA(list, LB_GETCOUNT, 0, 0)) < count &&
           ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

inline bool WalkListBoxFor(HWND list, const std::string& title) {
    for (int i = 0; i < static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i)
        if (ListBoxText(list, i) == title)
            return true;
    return false;
}

// Starts the program on the settings stored now, lets the maker open count
// small browser windows "Burst - Opera N", one every intervalMs, and waits
// until every one is gone: the milliseconds from the burst's start until
// the last one went, on the maker's clock; -1 (and why, printed) unless
// every one was closed and recorded once. cpuMs gets the program's
// processor time meanwhile, makerCpuMs the maker's.
inline double TimeBurst(int count, int intervalMs, double* cpuMs = nullptr,
                        double* makerCpuMs = nullptr) {
    e2e::VelmoraProcess app;
    e2e::MakerProcess maker;
    if (!e2e::StartApp(app, "bench-burst") || !maker.Start()) {
        std::printf("Velmora or the window maker did not start\n");
        return -1;
    }
    std::string pid = FindUnixProcess("Velmora.exe");
    std::string makerPid = FindUnixProcess("popup_maker.exe");
    double cpuBefore = CpuMs(pid), makerBefore = CpuMs(makerPid);
    size_t gone = 0;
    double elapsed = -1;
    bool done = maker.Burst(count, intervalMs, 300, 200, "Burst - Opera") &&
                maker.WaitGone(600000, gone, elapsed) && app.Settle(60000);
    if (cpuMs)
        *cpuMs = CpuMs(pid) - cpuBefore;
    if (makerCpuMs)
        *makerCpuMs = CpuMs(makerPid) - makerBefore;
    e2e::Lines lines = app.StatisticsLines();
    app.Close();
    std::set<std::string> titles(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
    if (!done || gone != static_cast<size_t>(count) || titles.size() != gone ||
        lines.size() != gone + 1 || lines[0] != e2e::Counter(count, count)) {
        std::printf("%zu of %d windows gone, %zu lines, %zu different titles\n", gone, count,
                    lines.size(), titles.size());
        return -1;
    }
    return elapsed;
}

} // namespace bench

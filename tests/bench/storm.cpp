// A storm of 2,000 small browser pop-ups made back to back by another
// process: every one closed and counted once, and the time from the storm's
// start until the last is gone, beside the platform's floor measured in the
// same run: the same windows made and then closed by their own maker with
// no blocker running. Both on the making process's own clock, in turns.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/bench/BenchSupport.h"
#include "tests/e2e/Harness.h"
#include "tests/e2e/MakerProcess.h"

namespace {

const int kCount = 2000;
std::vector<double> g_velmoraCpu; // processor time per storm, ms

double TimeStorm() {
    e2e::UseQuietSettings();
    e2e::VelmoraProcess app;
    e2e::MakerProcess maker;
    if (!e2e::StartApp(app, "bench-storm") || !maker.Start()) {
        std::printf("Velmora or the window maker did not start\n");
        return -1;
    }
    std::string pid = bench::FindUnixProcess("Velmora.exe");
    double cpuBefore = bench::CpuMs(pid);
    size_t gone = 0;
    double elapsed = -1;
    bool done = maker.Burst(kCount, 0, 300, 200, "Storm - Opera") &&
                maker.WaitGone(600000, gone, elapsed) && app.Settle(60000);
    g_velmoraCpu.push_back(bench::CpuMs(pid) - cpuBefore);
    e2e::Lines lines = app.StatisticsLines();
    app.Close();
    std::set<std::string> titles(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
    bool countedOnce = lines.size() == kCount + 1 && titles.size() == kCount &&
                       lines[0] == e2e::Counter(kCount, kCount);
    if (!done || gone != kCount || !countedOnce) {
        std::printf("storm: %zu of %d gone, %zu lines, %zu different titles\n", gone, kCount,
                    lines.size(), titles.size());
        return -1;
    }
    return elapsed;
}

double TimeFloor() {
    e2e::MakerProcess maker;
    size_t gone = 0;
    double elapsed = -1;
    if (!maker.Start() || !maker.Burst(kCount, 0, 300, 200, "Storm - Opera") || !maker.CloseAll() ||
        !maker.WaitGone(600000, gone, elapsed) || gone != kCount)
        return -1;
    return elapsed;
}

} // namespace

int main() {
    std::vector<double> storms, floors;
    for (int run = 0; run < 3; ++run) {
        double floor = TimeFloor();
        double storm = TimeStorm();
        if (floor < 0 || storm < 0)
            return 1;
        floors.push_back(floor);
        storms.push_back(storm);
    }
    double storm = bench::Percentile(storms, 0.5), floor = bench::Percentile(floors, 0.5);
    std::printf("storm of %d pop-ups made back to back, all closed and each counted once:\n",
                kCount);
    std::printf("  Velmora closing them: median %.0f ms (runs:", storm);
    for (double t : storms)
        std::printf(" %.0f", t);
    std::printf(")\n  floor, closed by their own maker: median %.0f ms (runs:", floor);
    for (double t : floors)
        std::printf(" %.0f", t);
    std::printf(")\n  ratio to the floor: %.2fx (goal: within 1.1x)\n", storm / floor);
    std::printf("  Velmora's own processor time: median %.2f ms per window\n",
                bench::Percentile(g_velmoraCpu, 0.5) / kCount);
    return 0;
}

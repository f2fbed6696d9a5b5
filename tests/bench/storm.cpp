// A storm of 2,000 small browser pop-ups made back to back by another
// process: every one closed and counted once, and the time from the storm's
// start until the last is gone, beside the platform's floor measured in the
// same run: the same windows made and then closed by their own maker with
// no blocker running. Both on the making process's own clock, in turns.
#include "tests/bench/BenchSupport.h"

namespace {

const int kCount = 2000;

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
    std::vector<double> storms, floors, cpu(3);
    for (int run = 0; run < 3; ++run) {
        floors.push_back(TimeFloor());
        e2e::UseQuietSettings();
        storms.push_back(bench::TimeBurst(kCount, 0, &cpu[run]));
        if (floors.back() < 0 || storms.back() < 0)
            return 1;
    }
    std::printf("storm of %d pop-ups made back to back, all closed and each counted once:\n"
                "  Velmora closing them: %s\n  floor, closed by their own maker: %s\n",
                kCount, bench::MedianOfRuns(storms).c_str(), bench::MedianOfRuns(floors).c_str());
    std::printf("  ratio to the floor: %.2fx (goal: within 1.1x)\n",
                bench::Percentile(storms, 0.5) / bench::Percentile(floors, 0.5));
    std::printf("  Velmora's own processor time: median %.2f ms per window\n",
                bench::Percentile(cpu, 0.5) / kCount);
    return 0;
}

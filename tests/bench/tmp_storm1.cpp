#include "tests/bench/BenchSupport.h"
int main(int argc, char** argv) {
    int count = argc > 1 ? atoi(argv[1]) : 2000;
    bool floorOnly = argc > 2 && !strcmp(argv[2], "floor");
    if (floorOnly) {
        e2e::MakerProcess maker; size_t gone = 0; double elapsed = -1;
        if (!maker.Start() || !maker.Burst(count, 0, 300, 200, "Storm - Opera") || !maker.CloseAll() || !maker.WaitGone(600000, gone, elapsed)) return 1;
        std::printf("floor %d: %.0f ms\n", count, elapsed);
        return 0;
    }
    e2e::UseQuietSettings();
    if (getenv("TMPHIDDEN")) e2e::SetSettingDword("LoadMinimized", 1);
    double cpu = 0;
    std::printf("READY\n"); std::fflush(stdout);
    double t = bench::TimeBurst(count, 0, &cpu);
    std::printf("storm %d: %.0f ms, cpu %.2f ms/window\n", count, t, cpu / count);
    return 0;
}

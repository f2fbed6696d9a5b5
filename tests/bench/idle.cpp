// Processor time of the running program over 60 s with nothing happening,
// then over 60 s that start with 20 windows it keeps watching for a late
// title (ten without a browser title, ten big browser windows no rule
// closes) and that never change, so that the late-title time runs out.
// Wine reports no processor time of another process, so the figures come
// from Linux (/proc/PID/stat of the program's Unix process, in 10 ms ticks),
// beside the Wine server's, which does the work of every window call.
#include "tests/bench/BenchSupport.h"

namespace {

// The program's processor time since the last report.
double Report(const char* what, const std::string& velmora, const std::string& server,
              double& velmoraBefore, double& serverBefore) {
    double v = bench::CpuMs(velmora), s = bench::CpuMs(server);
    std::printf("  %-58s Velmora %5.0f ms, Wine server %5.0f ms\n", what, v - velmoraBefore,
                s - serverBefore);
    double spent = v - velmoraBefore;
    velmoraBefore = v;
    serverBefore = s;
    return spent;
}

} // namespace

int main() {
    e2e::UseQuietSettings();
    e2e::VelmoraProcess app;
    if (!e2e::StartApp(app, "bench-idle"))
        return 1;
    std::string velmora = bench::FindUnixProcess("Velmora.exe");
    std::string server = bench::FindUnixProcess("wineserver");
    if (velmora.empty() || server.empty()) {
        std::printf("the Unix processes of Velmora and the Wine server were not found\n");
        return 1;
    }
    std::printf("processor time (goal: zero while nothing happens):\n");
    double v = bench::CpuMs(velmora), s = bench::CpuMs(server);
    ::Sleep(60000);
    double idle = Report("60 s with nothing happening:", velmora, server, v, s);

    e2e::MakerProcess maker;
    if (!maker.Start())
        return 1;
    for (int i = 0; i < 10; ++i) {
        maker.Open("Loading... " + std::to_string(i), 300, 300);
        maker.Open("Page " + std::to_string(i) + " - Opera", 1200, 800);
    }
    app.Settle();
    v = bench::CpuMs(velmora);
    s = bench::CpuMs(server);
    ::Sleep(10000);
    Report("first 10 s of 20 watched windows (the late-title time):", velmora, server, v, s);
    ::Sleep(50000);
    double after =
        Report("next 50 s, the watch over, the windows still open:", velmora, server, v, s);
    app.Close();
    // Linux counts in 10 ms ticks: one tick is the least it can show.
    bench::PrintSummaryOf("processor time, 60 s with nothing happening", idle, 0,
                          "0 ms (one 10 ms tick at most)", idle <= 10);
    bench::PrintSummaryOf("processor time, 50 s after the late-title watch", after, 0,
                          "0 ms (one 10 ms tick at most)", after <= 10);
    return 0;
}

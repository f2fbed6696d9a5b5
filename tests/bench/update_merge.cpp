// The Update button of the real program with 100,000 and 1,000,000 titles
// from the local stand-in for the update server, into an empty list and into
// one of three titles: the time from the click until the main window is
// usable again, and how quickly the program answers meanwhile (a message
// sent to its main window every 20 ms).
#include <atomic>
#include <thread>

#include "tests/bench/BenchSupport.h"

int main() {
    const std::string port = e2e::Env("VELMORA_HTTP_PORT");
    if (port.empty()) {
        std::printf("no local HTTP server: run through scripts/bench.sh\n");
        return 0;
    }
    std::printf("%-10s %-12s %10s %16s %16s\n", "titles", "list before", "update s",
                "median answer ms", "slowest answer ms");
    for (int count : {100000, 1000000}) {
        for (const char* before : {"", "zz\r\nmm\r\naa\r\n"}) {
            std::string dir = e2e::MakeWorkDir("bench-update");
            e2e::WriteFileBytes(dir + "\\default.lst", before);
            e2e::UseQuietSettings();
            e2e::SetSettingDword("LoadOnStartup", 1);
            std::string url = "http://127.0.0.1:" + port + "/titles/" + std::to_string(count) +
                              "/updates/velmo/latest.lst";
            ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", url.c_str());
            e2e::VelmoraProcess app;
            HWND main = app.Start(dir) ? app.WaitForMainWindow() : nullptr;
            ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr);
            if (!main) {
                std::printf("Velmora did not start\n");
                return 1;
            }
            std::atomic<bool> stop{false};
            std::vector<double> answers;
            std::thread pinger([&] {
                while (!stop) {
                    double start = bench::NowMs();
                    DWORD_PTR ignored = 0;
                    ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
                    answers.push_back(bench::NowMs() - start);
                    ::Sleep(20);
                }
            });
            double start = bench::NowMs();
            app.Click(app.PageControl(e2e::kBannedPage, IDC_UPDATE));
            e2e::WaitUntil([&] { return !::IsWindowEnabled(main); }, 5000);
            e2e::WaitUntil([&] { return ::IsWindowEnabled(main) != FALSE; }, 600000);
            double seconds = (bench::NowMs() - start) / 1000;
            stop = true;
            pinger.join();
            std::printf("%-10d %-12s %10.1f %16.1f %16.1f\n", count,
                        before[0] ? "3 titles" : "empty", seconds, bench::Percentile(answers, 0.5),
                        bench::Percentile(answers, 1));
            app.Close(120000);
        }
    }
    return 0;
}

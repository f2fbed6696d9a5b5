// Start-up of Velmora.exe until its main window answers, beside a minimal
// program timed the same way, taken in turns: with its window shown (no
// list file), beside the minimal program showing one window; and with the
// default settings, in the notification area with a list file of 1,000
// titles, beside the minimal program with its window hidden. Two more
// floors in each turn add the steps of Wine's that any dialog program takes
// (the program's manifest and libraries; the first font). The program's
// own timestamps (VELMORA_STARTUP_TRACE) break each start-up down.
// Then the latency of a report: from a window's creation in this process to
// the main window's handler acting on it (its close request arriving back
// here), beside the platform's floor measured in the same run: a message
// sent to the other process and answered.
#include <cstring>
#include <functional>
#include <map>

#include "tests/bench/BenchSupport.h"

namespace {

const double kShownGoal = 1.5, kHiddenGoal = 1.3, kLatencyGoal = 1.5, kLatencyP99Goal = 2;
const int kRuns = 7;

double g_closeRequestedAt = 0;

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && !g_closeRequestedAt)
        g_closeRequestedAt = bench::NowMs();
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A top-level window's title, read without asking its thread (it may be busy).
std::string CaptionOf(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The window of the process a start-up waits for: shown on the desktop, or
// hidden (the minimal program's, or Velmora's main dialog, on its own or
// already in the tray's hidden parent). Null while there is none.
HWND WindowOf(DWORD pid, const char* title, bool shown) {
    for (HWND top : e2e::TopLevelWindows(pid)) {
        if ((::IsWindowVisible(top) != FALSE) == shown && CaptionOf(top) == title)
            return top;
        HWND inTray = shown ? nullptr : ::FindWindowExA(top, nullptr, nullptr, title);
        if (inTray)
            return inTray;
    }
    return nullptr;
}

struct Startup {
    double answeredMs = -1;
    // Each step the program marked and when it ended, from the process's creation.
    std::vector<std::pair<std::string, double>> steps;
};

// From the process's creation until its window answers a sent message: its
// message loop runs. Velmora writes its steps when asked.
Startup TimeStartup(const std::string& exe, const std::string& workDir, const char* title,
                    bool shown) {
    Startup startup;
    const std::string trace = workDir + "\\startup-trace.txt";
    ::SetEnvironmentVariableA("VELMORA_STARTUP_TRACE", trace.c_str());
    e2e::VelmoraProcess process;
    double start = bench::NowMs();
    bool started = process.Start(workDir, exe);
    ::SetEnvironmentVariableA("VELMORA_STARTUP_TRACE", nullptr);
    for (DWORD begin = ::GetTickCount(); started && ::GetTickCount() - begin < 30000; ::Sleep(1)) {
        DWORD_PTR result = 0;
        HWND window = WindowOf(process.Pid(), title, shown);
        if (window && ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
            startup.answeredMs = bench::NowMs() - start;
            break;
        }
    }
    if (std::strcmp(title, "Minimal Window") && process.WaitForMainWindow()) {
        process.Close();
    } else {
        for (HWND window : e2e::TopLevelWindows(process.Pid()))
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        process.WaitForExit(10000);
    }
    std::istringstream lines(e2e::ReadFileBytes(trace));
    double at = 0;
    std::string step;
    while (lines >> at && std::getline(lines >> std::ws, step))
        startup.steps.emplace_back(step, at - start);
    return startup;
}

// Each step's median end and median length over the runs, in the order they
// end, with the moment the window answered among them.
void PrintBreakdown(const std::vector<Startup>& runs) {
    std::map<std::string, std::vector<double>> ends, lengths;
    std::vector<double> answered;
    for (const Startup& run : runs) {
        double before = 0;
        std::map<std::string, int> seen;
        for (const auto& step : run.steps) {
            // A step marked again (each page is a dialog too) is told apart
            // by its turn.
            int turn = ++seen[step.first];
            std::string name =
                turn == 1 ? step.first : step.first + " (" + std::to_string(turn) + ")";
            ends[name].push_back(step.second);
            lengths[name].push_back(step.second - before);
            before = step.second;
        }
        answered.push_back(run.answeredMs);
    }
    if (ends.empty()) {
        std::printf("  (no timestamps: the program wrote none)\n");
        return;
    }
    std::vector<std::pair<double, std::string>> order;
    for (const auto& step : ends)
        order.emplace_back(bench::Percentile(step.second, 0.5), step.first);
    order.emplace_back(bench::Percentile(answered, 0.5), "");
    std::sort(order.begin(), order.end());
    std::printf("  %-44s %9s %9s\n", "step (medians; the first from process creation)", "ends at",
                "took");
    for (const auto& step : order) {
        if (step.second.empty())
            std::printf("  %-44s %9.1f\n", "-- the window answers (seen from outside)", step.first);
        else
            std::printf("  %-44s %9.1f %9.1f\n", step.second.c_str(), step.first,
                        bench::Percentile(lengths[step.second], 0.5));
    }
}

std::string ListOfTitles(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Start-up title " + std::to_string(i) + " - Opera\r\n";
    return bytes;
}

// Start-ups of Velmora and of the floor, taken in turns so that the load of
// the machine weighs on both alike; settings() prepares each of Velmora's.
// The floors of one start-up, taken in turns with the program: the first
// is the one its goal is set against; the others add steps of Wine's that
// any dialog program takes, to show what they cost.
struct Floor {
    const char* exe;
    const char* what;
};

bool CompareStartups(const char* what, bool shown, const std::string& folder,
                     const std::vector<Floor>& floorsToRun, double goal,
                     const std::function<void(const std::string& workDir)>& settings) {
    std::vector<Startup> runs;
    std::vector<double> figures;
    std::vector<std::vector<double>> floors(floorsToRun.size());
    for (int run = 0; run < kRuns; ++run) {
        std::string workDir = e2e::MakeWorkDir("bench-start");
        settings(workDir);
        runs.push_back(TimeStartup(e2e::Env("VELMORA_DIST") + "\\Velmora.exe", workDir,
                                   "Draxtel Velmora", shown));
        if (runs.back().answeredMs < 0) {
            std::printf("Velmora did not answer (%s)\n", what);
            return false;
        }
        figures.push_back(runs.back().answeredMs);
        for (size_t i = 0; i < floorsToRun.size(); ++i) {
            Startup floor = TimeStartup(folder + "\\" + floorsToRun[i].exe,
                                        e2e::MakeWorkDir("bench-floor"), "Minimal Window", shown);
            if (floor.answeredMs < 0) {
                std::printf("%s did not answer (%s)\n", floorsToRun[i].exe, what);
                return false;
            }
            floors[i].push_back(floor.answeredMs);
        }
    }
    double figure = bench::Percentile(figures, 0.5), floor = bench::Percentile(floors[0], 0.5);
    std::printf(
        "start-up to the main window answering, %s: median %.1f ms, max %.1f ms (%d runs)\n", what,
        figure, bench::Percentile(figures, 1), kRuns);
    std::printf("floor, %s: median %.1f ms, max %.1f ms\n", floorsToRun[0].what, floor,
                bench::Percentile(floors[0], 1));
    std::printf("ratio to the floor: %s\n", bench::RatioBesideGoal(figure / floor, goal).c_str());
    for (size_t i = 1; i < floorsToRun.size(); ++i) {
        double other = bench::Percentile(floors[i], 0.5);
        std::printf("beside %s: median %.1f ms (%+.1f ms on the floor), ratio %.2fx\n",
                    floorsToRun[i].what, other, other - floor, figure / other);
    }
    PrintBreakdown(runs);
    bench::PrintSummary(std::string("start-up, ") + what, figure, floor, goal);
    return true;
}

} // namespace

int main() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string folder(self, std::strrchr(self, '\\'));
    // VELMORA_BENCH_LATENCY_WINDOWS=n measures only the latency, over n
    // windows: short enough to trace the Wine server's calls (WINEDEBUG).
    const std::string latencyOnly = e2e::Env("VELMORA_BENCH_LATENCY_WINDOWS");
    const std::vector<Floor> shownFloors = {
        {"minimal_window.exe", "the minimal program timed the same way"},
        {"minimal_linked_window.exe", "the minimal program with the program's manifest and "
                                      "libraries (common controls 6)"},
        {"minimal_text_window.exe", "the same showing one line of text in the dialog font"},
        {"minimal_dialog_window.exe", "the program's main window and first page from its own "
                                      "templates, by the dialog manager alone"}};
    const std::vector<Floor> hiddenFloors = {
        {"minimal_hidden_window.exe", "the minimal program timed the same way"},
        {"minimal_linked_hidden_window.exe", "the minimal program with the program's manifest "
                                             "and libraries (common controls 6)"},
        {"minimal_text_hidden_window.exe", "the same measuring one line in the dialog font"},
        {"minimal_dialog_hidden_window.exe", "the program's main window and first page from its "
                                             "own templates, by the dialog manager alone"}};
    if (latencyOnly.empty() &&
        !CompareStartups("window shown", true, folder, shownFloors, kShownGoal,
                         [](const std::string&) { e2e::UseQuietSettings(); }))
        return 1;
    std::printf("\n");
    if (latencyOnly.empty() &&
        !CompareStartups("in the tray, default settings, 1,000 titles", false, folder, hiddenFloors,
                         kHiddenGoal, [](const std::string& workDir) {
                             e2e::DeleteProgramKey();
                             e2e::WriteFileBytes(workDir + "\\default.lst", ListOfTitles(1000));
                         }))
        return 1;
    std::printf("\n");

    e2e::UseQuietSettings();
    e2e::VelmoraProcess app;
    if (!app.Start(e2e::MakeWorkDir("bench-latency")) || !app.WaitForMainWindow())
        return 1;
    WNDCLASSA wc{};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmoraBenchPopup";
    ::RegisterClassA(&wc);

    // A window, then the floor's message, each sent while the program has
    // handled everything before it, so that both start from the same rest.
    const int kWindows = latencyOnly.empty() ? 200 : std::max(1, std::atoi(latencyOnly.c_str()));
    std::vector<double> latencies, floor;
    for (int i = 0; i < kWindows; ++i) {
        app.Settle();
        g_closeRequestedAt = 0;
        HWND popup = ::CreateWindowExA(0, wc.lpszClassName, "Bench - Opera", WS_OVERLAPPEDWINDOW,
                                       20, 20, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        double created = bench::NowMs();
        // The size rule closes it: wait for the close request, answering messages.
        for (DWORD start = ::GetTickCount();
             !g_closeRequestedAt && ::GetTickCount() - start < 5000;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        if (g_closeRequestedAt)
            latencies.push_back(g_closeRequestedAt - created);
        if (::IsWindow(popup))
            ::DestroyWindow(popup);
        Pump();

        app.Settle();
        DWORD_PTR result = 0;
        double start = bench::NowMs();
        ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        floor.push_back(bench::NowMs() - start);
    }
    app.Close();
    if (latencies.empty()) {
        std::printf("no window was closed: no latency to report\n");
        return 1;
    }
    double median = bench::Percentile(latencies, 0.5), p99 = bench::Percentile(latencies, 0.99);
    double floorMedian = bench::Percentile(floor, 0.5), floorP99 = bench::Percentile(floor, 0.99);
    std::printf("report latency, window created to close request (%zu of %d windows): "
                "median %.3f ms, p99 %.3f ms\n",
                latencies.size(), kWindows, median, p99);
    std::printf("floor, message sent to the other process and answered: "
                "median %.3f ms, p99 %.3f ms\n",
                floorMedian, floorP99);
    std::printf("ratio to the floor: median %s, p99 %s\n",
                bench::RatioBesideGoal(median / floorMedian, kLatencyGoal).c_str(),
                bench::RatioBesideGoal(p99 / floorP99, kLatencyP99Goal).c_str());
    bench::PrintSummary("report latency, median", median, floorMedian, kLatencyGoal);
    bench::PrintSummary("report latency, p99", p99, floorP99, kLatencyP99Goal);
    return 0;
}

// Storms of small browser pop-ups, every one closed and counted once, each
// beside its floor measured in the same run, in turns: the same windows
// closed by their own makers with no blocker running.
//  - 2,000 made back to back by one process, and where the time goes: a
//    minimal watcher of this process holding the program's two hooks and
//    only counting their reports (the maker closing its windows itself),
//    the same watcher asking each window to close as the program does
//    (nothing read, nothing asked after), the same asking its question
//    after each request as the program does to tell a close it made, and
//    reading each window's title and size first as the program judges, the
//    processor time of Velmora, of the maker and of the Wine server, and
//    the statistics list's growth alone.
//  - 500 made back to back by one process, with the same asking watchers.
//  - 1,200 from 8 threads in 4 processes at once.
// Velmora sits in the notification area, as it starts by default; the two
// storms of one maker are taken once more with its window open.
// Times are from the storm's start until the last window is gone, on the
// makers' clock (the performance counter every process shares).
#include <cstring>
#include <memory>

#include "engine/HookLibrary.h"
#include "hook/hook.h"
#include "tests/bench/BenchSupport.h"

namespace {

const int kStorm = 2000, kSmallStorm = 500, kManyThreads = 8, kManyProcesses = 4, kManyCount = 1200;
const double kStormGoal = 1.3, kSmallStormGoal = 1.1, kManyGoal = 1.3;
const int kRuns = 3;

// Quiet settings for a storm: Velmora in the notification area, or with its
// window open on the screen.
void UseStormSettings(bool windowOpen) {
    e2e::UseQuietSettings();
    e2e::SetSettingDword("LoadMinimized", windowOpen ? 0 : 1);
}

// Processor time of the Wine server's Unix process, in milliseconds.
double ServerCpuMs() {
    std::string server = bench::FindUnixProcess("wineserver");
    return server.empty() ? 0 : bench::CpuMs(server);
}

// What a watcher does with each new window.
enum class Asks {
    Nothing,           // counts the reports, nothing more
    Close,             // asks it to close as the program does, without waiting
    CloseThenQuestion, // and then asks the program's question, without waiting
    ReadThenAsk,       // reads its title and size first, as the program judges
};

// A watcher with the program's hook library on a thread of its own (the
// hooks report to the thread that sets them): it counts the reports and
// asks each new window what it is set to ask, and nothing more.
class Watcher {
public:
    explicit Watcher(Asks what) : ask(what) {
        started = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = ::CreateThread(nullptr, 0, Run, this, 0, &threadId);
        ::WaitForSingleObject(started, 20000);
    }
    ~Watcher() {
        ::PostThreadMessageA(threadId, WM_QUIT, 0, 0);
        ::WaitForSingleObject(thread, 20000);
        ::CloseHandle(thread);
        ::CloseHandle(started);
    }
    bool Watching() const { return watching; }
    long Created() const { return created; }
    long Destroyed() const { return destroyed; }

private:
    static void CALLBACK Answered(HWND, UINT, ULONG_PTR, LRESULT) {}
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Watcher*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg != WM_POPUP_CREATED || !self)
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        HWND window = reinterpret_cast<HWND>(wParam);
        if (lParam == POPUP_EVENT_DESTROYED) {
            ++self->destroyed;
        } else {
            ++self->created;
            if (self->ask == Asks::ReadThenAsk) {
                char title[256];
                RECT rect{};
                ::GetWindowTextA(window, title, sizeof(title));
                ::GetWindowRect(window, &rect);
            }
            if (self->ask != Asks::Nothing)
                ::SendMessageCallbackA(window, WM_SYSCOMMAND, SC_CLOSE, 0, Answered, 0);
            if (self->ask == Asks::CloseThenQuestion || self->ask == Asks::ReadThenAsk)
                ::SendMessageCallbackW(window, WM_GETTEXTLENGTH, 0, 0, Answered, 0);
        }
        return 0;
    }
    static DWORD WINAPI Run(LPVOID param) {
        Watcher& self = *static_cast<Watcher*>(param);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelmoraBenchWatcher";
        ::RegisterClassA(&wc);
        HWND window = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&self));
        engine::HookLibrary hook(e2e::Env("VELMORA_DIST"));
        hook.SetHook(window);
        hook.SetEnable(1);
        self.watching = hook.Loaded() && window;
        ::SetEvent(self.started);
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        // Before the thread ends: Wine keeps the hooks of a thread that did not.
        hook.RemoveHook();
        ::DestroyWindow(window);
        return 0;
    }

    Asks ask;
    HANDLE started = nullptr, thread = nullptr;
    DWORD threadId = 0;
    bool watching = false;
    long created = 0, destroyed = 0;
};

// One maker's storm of count windows: closed by the maker itself (the
// floor), or left to be closed by whoever watches. makerCpuMs gets the
// maker's processor time.
double TimeOneMaker(int count, bool closeOwn, double* makerCpuMs = nullptr) {
    e2e::MakerProcess maker;
    size_t gone = 0;
    double elapsed = -1;
    if (!maker.Start())
        return -1;
    std::string pid = bench::FindUnixProcess("popup_maker.exe");
    double cpuBefore = bench::CpuMs(pid);
    if (!maker.Burst(count, 0, 300, 200, "Storm - Opera") || (closeOwn && !maker.CloseAll()) ||
        !maker.WaitGone(600000, gone, elapsed) || gone != static_cast<size_t>(count))
        return -1;
    if (makerCpuMs)
        *makerCpuMs = bench::CpuMs(pid) - cpuBefore;
    return elapsed;
}

double TimeWatched(int count, Asks what) {
    Watcher watcher(what);
    double elapsed = watcher.Watching() ? TimeOneMaker(count, what == Asks::Nothing) : -1;
    for (DWORD start = ::GetTickCount();
         watcher.Destroyed() < count && ::GetTickCount() - start < 20000;)
        ::Sleep(10);
    // More is fine: the maker's own helper windows are reported too, and
    // Wine may report a window twice; fewer means a window was missed.
    if (watcher.Created() < count || watcher.Destroyed() < count) {
        std::printf("the watcher heard of %ld creations and %ld destructions of %d windows\n",
                    watcher.Created(), watcher.Destroyed(), count);
        return -1;
    }
    return elapsed;
}

// A storm_maker.exe, read through a pipe.
class StormProcess {
public:
    bool Start(const std::string& arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        e2e::OwnedHandle childOut;
        if (!::CreatePipe(fromChild.Put(), childOut.Put(), &inherit, 0))
            return false;
        ::SetHandleInformation(fromChild.Get(), HANDLE_FLAG_INHERIT, 0);
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string exe = std::string(self, std::strrchr(self, '\\')) + "\\storm_maker.exe";
        std::string commandLine = "\"" + exe + "\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = childOut.Get();
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                              CREATE_NO_WINDOW, nullptr, nullptr, &si, &info))
            return false;
        process.Reset(info.hProcess);
        e2e::OwnedHandle thread(info.hThread);
        return true;
    }
    std::string ReadLine(DWORD timeoutMs) {
        return e2e::ReadPipeLine(fromChild.Get(), pending, timeoutMs);
    }
    ~StormProcess() {
        if (process && ::WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0)
            ::TerminateProcess(process.Get(), 1);
    }

private:
    e2e::OwnedHandle process, fromChild;
    std::string pending;
};

// 8 threads in 4 processes make their share of kManyCount at once; the
// time from the start until the last window went.
double TimeManyMakers(bool closeOwn) {
    const std::string event = "VelmoraStormGo-" + std::to_string(::GetCurrentProcessId());
    e2e::OwnedHandle go(::CreateEventA(nullptr, TRUE, FALSE, event.c_str()));
    const int threads = kManyThreads / kManyProcesses;
    const int each = kManyCount / kManyThreads;
    std::vector<std::unique_ptr<StormProcess>> makers;
    for (int i = 0; i < kManyProcesses; ++i) {
        makers.push_back(std::make_unique<StormProcess>());
        if (!makers.back()->Start(std::to_string(threads) + " " + std::to_string(each) +
                                  " \"Storm - Opera\" " + (closeOwn ? "close " : "wait ") + event))
            return -1;
    }
    for (auto& maker : makers)
        if (maker->ReadLine(30000) != "ready")
            return -1;
    double start = bench::NowMs();
    ::SetEvent(go.Get());
    long gone = 0;
    double last = -1;
    for (auto& maker : makers) {
        long count = 0;
        double at = 0;
        if (std::sscanf(maker->ReadLine(660000).c_str(), "gone %ld %lf", &count, &at) != 2)
            return -1;
        gone += count;
        last = at > last ? at : last;
    }
    if (gone != kManyCount) {
        std::printf("%ld of %d windows gone\n", gone, kManyCount);
        return -1;
    }
    return last - start;
}

// Velmora running while the makers storm: every window closed and counted once.
double TimeManyMakersWithVelmora() {
    UseStormSettings(false);
    e2e::VelmoraProcess app;
    if (!e2e::StartApp(app, "bench-storm")) {
        std::printf("Velmora did not start\n");
        return -1;
    }
    double elapsed = TimeManyMakers(false);
    app.Settle(60000);
    e2e::Lines lines = app.StatisticsLines();
    app.Close();
    std::set<std::string> titles(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
    if (elapsed < 0 || lines.size() != kManyCount + 1 || titles.size() != kManyCount ||
        lines[0] != e2e::Counter(kManyCount, kManyCount)) {
        std::printf("%zu lines, %zu different titles after the storm from many makers\n",
                    lines.size(), titles.size());
        return -1;
    }
    return elapsed;
}

// The Statistics page's work for each kill, alone: its counter line
// replaced and the title added, in a list box like the page's, hidden.
double TimeStatisticsList(int kills) {
    HWND list = ::CreateWindowExA(0, "ListBox", "",
                                  WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                                      LBS_NOINTEGRALHEIGHT,
                                  0, 0, 345, 230, nullptr, nullptr, nullptr, nullptr);
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Killed 0 popups"));
    double start = bench::NowMs();
    for (int i = 1; i <= kills; ++i) {
        std::string line = e2e::Counter(i, i);
        std::string title = "Storm - Opera " + std::to_string(i);
        ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        ::SendMessageA(list, LB_DELETESTRING, 0, 0);
        ::SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    }
    double elapsed = bench::NowMs() - start;
    ::DestroyWindow(list);
    return elapsed;
}

// The asking watchers' storms beside the floor, taken in each run: the least
// a blocker does, the least one does that tells a close it made, and the
// least one does that judges by title and size; and Velmora's with its
// window open.
struct AskingRuns {
    std::vector<double> asked, questioned, judged, opened;

    // One run of each at count windows; false when one of them failed.
    bool Take(int count) {
        asked.push_back(TimeWatched(count, Asks::Close));
        questioned.push_back(TimeWatched(count, Asks::CloseThenQuestion));
        judged.push_back(TimeWatched(count, Asks::ReadThenAsk));
        UseStormSettings(true);
        opened.push_back(bench::TimeBurst(count, 0));
        UseStormSettings(false);
        return asked.back() >= 0 && questioned.back() >= 0 && judged.back() >= 0 &&
               opened.back() >= 0;
    }

    void Print(double floor) const {
        Line("each window asked to close by the watcher, as Velmora asks:       ", asked, floor);
        Line("and asked Velmora's question after each request, nothing else:    ", questioned,
             floor);
        Line("and reading its title and size first, as Velmora judges:          ", judged, floor);
        Line("Velmora with its window open:                                     ", opened, floor);
    }

private:
    static void Line(const char* what, const std::vector<double>& runs, double floor) {
        std::printf("    %s %s, %.2fx\n", what, bench::MedianOfRuns(runs).c_str(),
                    bench::Percentile(runs, 0.5) / floor);
    }
};

std::string PerWindow(double ms, int count) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f ms a window", ms / count);
    return text;
}

} // namespace

int main() {
    std::vector<double> floors, hooked, storms;
    AskingRuns asking;
    std::vector<double> velmoraCpu, makerFloor, makerStorm, serverFloor, serverStorm;
    for (int run = 0; run < kRuns; ++run) {
        double server = ServerCpuMs(), maker = 0;
        floors.push_back(TimeOneMaker(kStorm, true, &maker));
        serverFloor.push_back(ServerCpuMs() - server);
        makerFloor.push_back(maker);
        hooked.push_back(TimeWatched(kStorm, Asks::Nothing));
        bool asked = asking.Take(kStorm);
        double cpu = 0;
        server = ServerCpuMs();
        storms.push_back(bench::TimeBurst(kStorm, 0, &cpu, &maker));
        serverStorm.push_back(ServerCpuMs() - server);
        makerStorm.push_back(maker);
        velmoraCpu.push_back(cpu);
        if (floors.back() < 0 || hooked.back() < 0 || !asked || storms.back() < 0)
            return 1;
    }
    const double floor = bench::Percentile(floors, 0.5), storm = bench::Percentile(storms, 0.5);
    std::printf("storm of %d pop-ups made back to back by one process, all closed and each "
                "counted once:\n  Velmora closing them: %s\n  floor, closed by their own maker: "
                "%s\n  ratio to the floor: %s\n",
                kStorm, bench::MedianOfRuns(storms).c_str(), bench::MedianOfRuns(floors).c_str(),
                bench::RatioBesideGoal(storm / floor, kStormGoal).c_str());
    std::printf("  where the time goes, beside the same floor:\n");
    std::printf("    the hooks' reports alone (a watcher counting them, the maker closing): %s, "
                "%.2fx\n",
                bench::MedianOfRuns(hooked).c_str(), bench::Percentile(hooked, 0.5) / floor);
    asking.Print(floor);
    std::printf("    processor time (medians): Velmora %s; the Wine server %s (floor %s); "
                "the maker %s (floor %s)\n",
                PerWindow(bench::Percentile(velmoraCpu, 0.5), kStorm).c_str(),
                PerWindow(bench::Percentile(serverStorm, 0.5), kStorm).c_str(),
                PerWindow(bench::Percentile(serverFloor, 0.5), kStorm).c_str(),
                PerWindow(bench::Percentile(makerStorm, 0.5), kStorm).c_str(),
                PerWindow(bench::Percentile(makerFloor, 0.5), kStorm).c_str());
    std::printf("    the statistics list's growth alone, %d kills in a list box: %.0f ms\n", kStorm,
                TimeStatisticsList(kStorm));

    std::vector<double> smallFloors, smallStorms;
    AskingRuns smallAsking;
    for (int run = 0; run < kRuns; ++run) {
        smallFloors.push_back(TimeOneMaker(kSmallStorm, true));
        bool asked = smallAsking.Take(kSmallStorm);
        smallStorms.push_back(bench::TimeBurst(kSmallStorm, 0));
        if (smallFloors.back() < 0 || !asked || smallStorms.back() < 0)
            return 1;
    }
    const double smallFloor = bench::Percentile(smallFloors, 0.5);
    const double smallStorm = bench::Percentile(smallStorms, 0.5);
    std::printf("\nstorm of %d pop-ups made back to back by one process:\n  Velmora closing them: "
                "%s\n  floor, closed by their own maker: %s\n  ratio to the floor: %s\n",
                kSmallStorm, bench::MedianOfRuns(smallStorms).c_str(),
                bench::MedianOfRuns(smallFloors).c_str(),
                bench::RatioBesideGoal(smallStorm / smallFloor, kSmallStormGoal).c_str());
    std::printf("  beside the same floor:\n");
    smallAsking.Print(smallFloor);

    std::vector<double> manyFloors, manyStorms;
    for (int run = 0; run < kRuns; ++run) {
        manyFloors.push_back(TimeManyMakers(true));
        manyStorms.push_back(TimeManyMakersWithVelmora());
        // Said, and the figure not met; the other figures are still summed up.
        if (manyFloors.back() < 0 || manyStorms.back() < 0)
            break;
    }
    const bool manyMeasured = manyFloors.back() >= 0 && manyStorms.back() >= 0;
    const double manyFloor = bench::Percentile(manyFloors, 0.5);
    const double manyStorm = manyMeasured ? bench::Percentile(manyStorms, 0.5) : -1;
    std::printf("\nstorm of %d pop-ups from %d threads in %d processes at once, all closed and "
                "each counted once:\n  Velmora closing them: %s\n  floor, closed by their own "
                "makers: %s\n  ratio to the floor: %s\n\n",
                kManyCount, kManyThreads, kManyProcesses, bench::MedianOfRuns(manyStorms).c_str(),
                bench::MedianOfRuns(manyFloors).c_str(),
                bench::RatioBesideGoal(manyStorm / manyFloor, kManyGoal).c_str());

    bench::PrintSummary("storm of 2,000 from one maker", storm, floor, kStormGoal);
    bench::PrintSummary("storm of 500 from one maker", smallStorm, smallFloor, kSmallStormGoal);
    bench::PrintSummary("storm of 1,200 from 8 threads in 4 processes", manyStorm, manyFloor,
                        kManyGoal);
    return 0;
}

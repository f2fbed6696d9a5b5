// The hook library on its own, loaded as the program loads it: a window of
// this test process receives the reports of windows that another process
// creates and destroys.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/HookLibrary.h"
#include "hook/hook.h"
#include "tests/win/Support.h"

namespace {

std::string DistFolder(const char* variable) {
    char buffer[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA(variable, buffer, MAX_PATH);
    return n && n < MAX_PATH ? buffer : "";
}
#ifdef _WIN64
const char kOwnDist[] = "VELMORA_DIST_X64", kOtherDist[] = "VELMORA_DIST_X86";
#else
const char kOwnDist[] = "VELMORA_DIST_X86", kOtherDist[] = "VELMORA_DIST_X64";
#endif

struct Report {
    HWND window;
    LPARAM event;
    // Read while a creation report was handled; a destruction report, posted
    // as the window goes, names the title its creation report read.
    std::string title;
    int width;
};

std::vector<Report> g_reports;
HANDLE g_busyUntil = nullptr; // the next creation report waits for this process to end
bool g_endedWhileBusy = false;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_POPUP_CREATED)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    HWND window = reinterpret_cast<HWND>(wParam);
    char title[256] = {};
    ::GetWindowTextA(window, title, sizeof(title));
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::string known = title;
    if (lParam == POPUP_EVENT_DESTROYED)
        for (const Report& r : g_reports)
            if (r.window == window && r.event == POPUP_EVENT_CREATED)
                known = r.title;
    g_reports.push_back({window, lParam, known, rect.right - rect.left});
    // 30 s only guards against a deadlock: the maker must not wait for us.
    if (lParam == POPUP_EVENT_CREATED && g_busyUntil)
        g_endedWhileBusy =
            ::WaitForSingleObject(std::exchange(g_busyUntil, nullptr), 30000) == WAIT_OBJECT_0;
    return 0;
}

class HookLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Loaded()) << library.Problem();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.lpszClassName = "VelmoraHookReceiver";
        ::RegisterClassA(&wc);
        receiver.Reset(::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 9, 9, nullptr,
                                         nullptr, nullptr, nullptr));
    }
    void TearDown() override { RemoveHook(); }

    // Pumps this thread, where the reports arrive, until the maker has ended
    // and every report it caused has been handled; returns the reports about
    // the maker's windows.
    std::vector<Report> RunMaker(const std::string& prefix, int count, int holdMs,
                                 bool busy = false) {
        fw::UniqueKernelHandle maker = wintest::StartWindowMaker(prefix, count, holdMs);
        HANDLE process = maker.Get();
        g_busyUntil = busy ? process : nullptr;
        while (maker && ::MsgWaitForMultipleObjects(1, &process, FALSE, 30000, QS_ALLINPUT) ==
                            WAIT_OBJECT_0 + 1)
            wintest::Pump();
        // Its reports were queued here before it ended.
        wintest::Settle();
        EXPECT_TRUE(maker && ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) << prefix;
        std::vector<Report> found;
        for (const Report& r : g_reports)
            if (r.title.compare(0, prefix.size(), prefix) == 0)
                found.push_back(r);
        return found;
    }

    engine::HookLibrary library{DistFolder(kOwnDist)};
    fw::UniqueWindow receiver;
};

} // namespace

TEST_F(HookLibrary, ReportsCreationAndDestructionWithReadableTitles) {
    SetHook(receiver.Get());
    SetEnable(1);
    std::vector<Report> reports = RunMaker("HookTest A", 3, 100);
    ASSERT_EQ(6u, reports.size()) << "one creation and one destruction report per window";
    std::map<std::pair<std::string, LPARAM>, Report> by;
    for (const Report& r : reports)
        by[{r.title, r.event}] = r;
    for (int i = 0; i < 3; ++i) {
        std::string title = "HookTest A " + std::to_string(i);
        const Report& created = by[{title, POPUP_EVENT_CREATED}];
        EXPECT_EQ(300, created.width) << title << ": the size is read when the report is handled";
        const Report& destroyed = by[{title, POPUP_EVENT_DESTROYED}];
        EXPECT_TRUE(created.window && created.window == destroyed.window) << title;
    }
}

TEST_F(HookLibrary, NothingArrivesWhileSwitchedOff) {
    SetHook(receiver.Get());
    SetEnable(1);
    SetEnable(0);
    EXPECT_TRUE(RunMaker("HookTest B", 2, 50).empty());
}

TEST_F(HookLibrary, SwitchedOnAgainEverythingArrives) {
    SetHook(receiver.Get());
    SetEnable(0);
    SetEnable(1);
    EXPECT_EQ(2u, RunMaker("HookTest C", 1, 50).size());
}

TEST_F(HookLibrary, NothingArrivesOnceRemovedAndRemovingIsHarmlessBeforeAndTwice) {
    RemoveHook();
    SetHook(receiver.Get());
    SetEnable(1);
    RemoveHook();
    RemoveHook();
    EXPECT_TRUE(RunMaker("HookTest D", 1, 50).empty());
}

TEST_F(HookLibrary, ABusyReceiverHoldsUpNeitherCreationNorDestruction) {
    SetHook(receiver.Get());
    SetEnable(1);
    g_endedWhileBusy = false;
    RunMaker("HookTest F", 2, 200, true);
    EXPECT_TRUE(g_endedWhileBusy) << "the other process waited for a receiver that did not answer";
}

TEST_F(HookLibrary, AWindowOfAProcessEndedFromOutsideIsNeverReportedDestroyed) {
    // The premise of the program's own bookkeeping: such a window just goes.
    SetHook(receiver.Get());
    SetEnable(1);
    fw::UniqueKernelHandle maker = wintest::StartWindowMaker("HookTest G", 1, 60000);
    ASSERT_TRUE(maker);
    auto reported = [](LPARAM event) {
        for (const Report& r : g_reports)
            if (r.event == event && r.title == "HookTest G 0")
                return r.window;
        return HWND{};
    };
    wintest::PumpUntil([&] { return reported(POPUP_EVENT_CREATED) != nullptr; }, 20000);
    HWND window = reported(POPUP_EVENT_CREATED);
    ASSERT_TRUE(window);
    ::TerminateProcess(maker.Get(), 1);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(maker.Get(), 10000));
    wintest::PumpUntil([&] { return !::IsWindow(window); });
    ASSERT_FALSE(::IsWindow(window));
    // What the hook could have sent was sent before the window went.
    wintest::Settle();
    EXPECT_FALSE(reported(POPUP_EVENT_DESTROYED));
}

TEST_F(HookLibrary, AThreadThatMadeWindowsBeforeTheHookHasItsNextDestructionAndCreationReported) {
    // Wine remembers per thread which hooks exist; this maker's thread last
    // looked before SetHook and takes no message from then until it goes on.
    const std::string tag = std::to_string(::GetCurrentProcessId());
    fw::UniqueKernelHandle ready(
        ::CreateEventA(nullptr, TRUE, FALSE, ("VelmoraReady" + tag).c_str()));
    fw::UniqueKernelHandle go(::CreateEventA(nullptr, TRUE, FALSE, ("VelmoraGo" + tag).c_str()));
    fw::UniqueKernelHandle maker =
        wintest::StartWaitingWindowMaker("HookTest H", "VelmoraReady" + tag, "VelmoraGo" + tag);
    ASSERT_TRUE(maker && ready && go);
    HANDLE started[] = {ready.Get(), maker.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForMultipleObjects(2, started, FALSE, 30000));
    SetHook(receiver.Get());
    SetEnable(1);
    ::SetEvent(go.Get());
    HANDLE process = maker.Get();
    while (::MsgWaitForMultipleObjects(1, &process, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        wintest::Pump();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process, 0));
    // Posted reports are in this thread's queue by now; a round trip takes
    // them in.
    ::PostMessageA(receiver.Get(), WM_NULL, 0, 0);
    wintest::Pump();
    std::vector<std::pair<std::string, LPARAM>> seen;
    for (const Report& r : g_reports)
        if (r.title.compare(0, 10, "HookTest H") == 0)
            seen.emplace_back(r.title, r.event);
    std::sort(seen.begin(), seen.end());
    const std::vector<std::pair<std::string, LPARAM>> expected = {
        {"HookTest H 0", POPUP_EVENT_CREATED},
        {"HookTest H 0", POPUP_EVENT_DESTROYED},
        {"HookTest H kept", POPUP_EVENT_DESTROYED}};
    EXPECT_EQ(expected, seen) << "each once, none lost";
}

TEST_F(HookLibrary, TwoOfItsHooksInTheChainStillReportEachDestructionOnce) {
    // Wine keeps the hooks of a watcher ended from outside: each runs the
    // library again further down the chain. A second live watcher puts the
    // same second hook in the chain.
    SetHook(receiver.Get());
    SetEnable(1);
    const std::string tag = std::to_string(::GetCurrentProcessId());
    fw::UniqueKernelHandle ready(
        ::CreateEventA(nullptr, TRUE, FALSE, ("VelmoraReady" + tag).c_str()));
    fw::UniqueKernelHandle done(
        ::CreateEventA(nullptr, TRUE, FALSE, ("VelmoraDone" + tag).c_str()));
    fw::UniqueKernelHandle watcher =
        wintest::StartSecondWatcher(receiver.Get(), "VelmoraReady" + tag, "VelmoraDone" + tag);
    ASSERT_TRUE(watcher && ready && done);
    HANDLE started[] = {ready.Get(), watcher.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForMultipleObjects(2, started, FALSE, 30000));
    std::vector<Report> reports = RunMaker("HookTest I", 2, 50);
    ::SetEvent(done.Get());
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(watcher.Get(), 30000));
    std::map<std::string, int> destroyed;
    for (const Report& r : reports)
        destroyed[r.title] += r.event == POPUP_EVENT_DESTROYED;
    EXPECT_EQ((std::map<std::string, int>{{"HookTest I 0", 1}, {"HookTest I 1", 1}}), destroyed);
}

TEST(HookLibraryFile, OnlyTheLibraryOfTheProgramsOwnArchitectureLoads) {
    const std::string own = DistFolder(kOwnDist), other = DistFolder(kOtherDist);
    ASSERT_FALSE(own.empty() || other.empty()) << "the test script names both dist folders";
    {
        engine::HookLibrary same(own);
        EXPECT_TRUE(same.Loaded()) << same.Problem();
    }
    const std::string advice = "\n\nVelmora.exe needs the hook.dll that comes with it, in the same "
                               "folder: copy both files of one folder of the program together.";
    engine::HookLibrary foreign(other);
    EXPECT_FALSE(foreign.Loaded());
    EXPECT_EQ("Velmora cannot start: " + other + "\\hook.dll is not a " +
                  (sizeof(void*) == 8 ? "64-bit" : "32-bit") + " library." + advice,
              foreign.Problem());
    engine::HookLibrary missing(own + "\\nowhere");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ("Velmora cannot start: hook.dll was not found. It was looked for in " + own +
                  "\\nowhere." + advice,
              missing.Problem());
    SetEnable(1); // none loaded: nothing happens
}

// The hook library on its own: a window of this test process receives the
// reports of windows that another process creates and destroys.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hook/hook.h"
#include "tests/win/Support.h"

namespace {

struct Report {
    HWND window;
    LPARAM event;
    std::string title; // read while the report was handled
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
    g_reports.push_back({window, lParam, title, rect.right - rect.left});
    // 30 s only guards against a deadlock: the maker must not wait for us.
    if (lParam == POPUP_EVENT_CREATED && g_busyUntil)
        g_endedWhileBusy =
            ::WaitForSingleObject(std::exchange(g_busyUntil, nullptr), 30000) == WAIT_OBJECT_0;
    return 0;
}

class HookLibrary : public testing::Test {
protected:
    void SetUp() override {
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

namespace {
std::string DistFolder(const char* variable) {
    char buffer[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA(variable, buffer, MAX_PATH);
    return n && n < MAX_PATH ? buffer : "";
}
} // namespace

TEST(HookLibraryFile, OnlyAProgramOfItsOwnArchitectureLoadsIt) {
#ifdef _WIN64
    const std::string own = DistFolder("VELMORA_DIST_X64"), other = DistFolder("VELMORA_DIST_X86");
#else
    const std::string own = DistFolder("VELMORA_DIST_X86"), other = DistFolder("VELMORA_DIST_X64");
#endif
    ASSERT_FALSE(own.empty() || other.empty()) << "the test script names both dist folders";
    HMODULE same = ::LoadLibraryA((own + "\\hook.dll").c_str());
    ASSERT_TRUE(same) << own;
    EXPECT_TRUE(::GetProcAddress(same, "SetHook") && ::GetProcAddress(same, "SetEnable") &&
                ::GetProcAddress(same, "RemoveHook"));
    ::FreeLibrary(same);
    ::SetLastError(0);
    HMODULE foreign = ::LoadLibraryA((other + "\\hook.dll").c_str());
    EXPECT_FALSE(foreign) << "a hook library of the other architecture was loaded";
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), ::GetLastError());
    if (foreign)
        ::FreeLibrary(foreign);
}

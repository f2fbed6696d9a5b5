// The hook library on its own: a window of this test process receives the
// reports of windows that another process creates and destroys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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
    if (lParam == POPUP_EVENT_CREATED && g_busyUntil) {
        // 30 s only guards against a deadlock: the maker must not wait for us.
        g_endedWhileBusy = ::WaitForSingleObject(g_busyUntil, 30000) == WAIT_OBJECT_0;
        g_busyUntil = nullptr;
    }
    return 0;
}

class HookLibrary : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelmoraHookReceiver";
        ::RegisterClassA(&wc);
        receiver.Reset(::CreateWindowExA(0, wc.lpszClassName, "receiver", WS_POPUP, 0, 0, 10, 10,
                                         nullptr, nullptr, wc.hInstance, nullptr));
        g_reports.clear();
    }
    void TearDown() override { RemoveHook(); }

    // Pumps this thread, where the reports arrive, until the maker has ended
    // and a little longer; returns the reports about the maker's windows.
    std::vector<Report> RunMaker(const std::string& prefix, int count, int holdMs,
                                 bool busy = false) {
        fw::UniqueKernelHandle maker = wintest::StartWindowMaker(prefix, count, holdMs);
        EXPECT_TRUE(maker);
        HANDLE process = maker.Get();
        g_busyUntil = busy ? process : nullptr;
        while (maker && ::MsgWaitForMultipleObjects(1, &process, FALSE, 30000, QS_ALLINPUT) ==
                            WAIT_OBJECT_0 + 1)
            wintest::Pump();
        wintest::Pump(300);
        g_busyUntil = nullptr;
        std::vector<Report> found;
        std::copy_if(g_reports.begin(), g_reports.end(), std::back_inserter(found),
                     [&](const Report& r) { return r.title.compare(0, prefix.size(), prefix) == 0; });
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
    for (int i = 0; i < 3; ++i) {
        std::string title = "HookTest A " + std::to_string(i);
        auto find = [&](LPARAM event) {
            return std::find_if(reports.begin(), reports.end(), [&](const Report& r) {
                return r.title == title && r.event == event;
            });
        };
        auto created = find(POPUP_EVENT_CREATED), destroyed = find(POPUP_EVENT_DESTROYED);
        ASSERT_TRUE(created != reports.end() && destroyed != reports.end()) << title;
        EXPECT_EQ(300, created->width) << "the size can be read when the report is handled";
        EXPECT_EQ(created->window, destroyed->window);
    }
}

TEST_F(HookLibrary, NothingArrivesSwitchedOffOrRemovedAndAllAgainOnceBack) {
    RemoveHook(); // before SetHook: harmless
    SetHook(receiver.Get());
    SetEnable(1);
    SetEnable(0);
    EXPECT_TRUE(RunMaker("HookTest B", 2, 50).empty()) << "after SetEnable(0)";
    SetEnable(1);
    EXPECT_EQ(2u, RunMaker("HookTest C", 1, 50).size()) << "switched on again";
    RemoveHook();
    RemoveHook();
    EXPECT_TRUE(RunMaker("HookTest D", 1, 50).empty()) << "after RemoveHook";
    SetHook(receiver.Get());
    SetEnable(1);
    EXPECT_EQ(2u, RunMaker("HookTest E", 1, 50).size()) << "installed again";
}

TEST_F(HookLibrary, ABusyReceiverHoldsUpNeitherCreationNorDestruction) {
    SetHook(receiver.Get());
    SetEnable(1);
    g_endedWhileBusy = false;
    RunMaker("HookTest F", 2, 200, true);
    EXPECT_TRUE(g_endedWhileBusy) << "the other process waited for a receiver that did not answer";
}

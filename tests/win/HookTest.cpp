// The hook library on its own: a window of this test process receives the
// reports of windows that another process creates and destroys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hook/hook.h"
#include "tests/win/WindowMaker.h"

namespace {

struct Report {
    HWND window;
    LPARAM event;
    std::string title; // read while the report was handled
    int width;
};

std::vector<Report> g_reports;
DWORD g_busyMs = 0; // the receiver sleeps this long on its first creation report

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_POPUP_CREATED) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char title[256] = {};
        ::GetWindowTextA(window, title, sizeof(title));
        RECT rect{};
        ::GetWindowRect(window, &rect);
        g_reports.push_back({window, lParam, title, rect.right - rect.left});
        if (lParam == POPUP_EVENT_CREATED && g_busyMs) {
            DWORD busy = g_busyMs;
            g_busyMs = 0;
            ::Sleep(busy);
        }
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

class HookLibrary : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelmoraHookReceiver";
        ::RegisterClassA(&wc);
        receiver_ = ::CreateWindowExA(0, "VelmoraHookReceiver", "receiver", WS_POPUP, 0, 0, 10, 10,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        g_reports.clear();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        resultFile_ = std::string(temp) + "velmora-maker-" + std::to_string(::GetTickCount()) + ".txt";
    }
    void TearDown() override {
        RemoveHook();
        ::DestroyWindow(receiver_);
        ::DeleteFileA(resultFile_.c_str());
    }

    // Pumps this thread (where reports arrive) until the maker has ended,
    // then a little longer for anything still on its way.
    wintest::MakerResult RunMaker(const std::string& prefix, int count, int holdMs) {
        HANDLE maker = wintest::StartWindowMaker(prefix, count, holdMs, resultFile_);
        EXPECT_TRUE(maker);
        if (!maker)
            return {};
        for (;;) {
            DWORD r = ::MsgWaitForMultipleObjects(1, &maker, FALSE, 30000, QS_ALLINPUT);
            if (r != WAIT_OBJECT_0 + 1)
                break;
            PumpPending();
        }
        ::CloseHandle(maker);
        DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 300) {
            PumpPending();
            ::Sleep(10);
        }
        return wintest::ReadMakerResult(resultFile_);
    }
    static void PumpPending() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    static std::vector<Report> ReportsWithPrefix(const std::string& prefix) {
        std::vector<Report> found;
        for (const Report& r : g_reports)
            if (r.title.compare(0, prefix.size(), prefix) == 0)
                found.push_back(r);
        return found;
    }

    HWND receiver_ = nullptr;
    std::string resultFile_;
};

} // namespace

TEST_F(HookLibrary, ReportsCreationAndDestructionWithReadableTitles) {
    SetHook(receiver_);
    SetEnable(1);
    ASSERT_TRUE(RunMaker("HookTest A", 3, 100).ok);

    std::vector<Report> reports = ReportsWithPrefix("HookTest A");
    ASSERT_EQ(6u, reports.size()) << "one creation and one destruction report per window";
    for (int i = 0; i < 3; ++i) {
        std::string title = "HookTest A " + std::to_string(i);
        int created = 0, destroyed = 0;
        HWND window = nullptr;
        for (const Report& r : reports) {
            if (r.title != title)
                continue;
            if (r.event == POPUP_EVENT_CREATED) {
                ++created;
                window = r.window;
                EXPECT_EQ(300, r.width) << "the size can be read when the report is handled";
            } else if (r.event == POPUP_EVENT_DESTROYED) {
                ++destroyed;
                EXPECT_EQ(window, r.window);
            }
        }
        EXPECT_EQ(1, created) << title;
        EXPECT_EQ(1, destroyed) << title;
    }
}

TEST_F(HookLibrary, NothingArrivesAfterReportingIsSwitchedOff) {
    SetHook(receiver_);
    SetEnable(1);
    SetEnable(0);
    PumpPending();
    g_reports.clear();
    ASSERT_TRUE(RunMaker("HookTest B", 3, 50).ok);
    EXPECT_TRUE(g_reports.empty()) << g_reports.size() << " reports after SetEnable(0)";

    SetEnable(1);
    ASSERT_TRUE(RunMaker("HookTest C", 1, 50).ok);
    EXPECT_EQ(2u, ReportsWithPrefix("HookTest C").size()) << "switched on again";
}

TEST_F(HookLibrary, ABusyReceiverHoldsUpNeitherCreationNorDestructionForLong) {
    SetHook(receiver_);
    SetEnable(1);
    g_busyMs = 3000;
    wintest::MakerResult result = RunMaker("HookTest D", 1, 200);
    ASSERT_TRUE(result.ok);
    EXPECT_LT(result.longestCreateMs, 1000u) << "a creation report never waits for the receiver";
    EXPECT_LT(result.longestDestroyMs, 2500u) << "a destruction report waits a bounded time";
}

TEST_F(HookLibrary, RemoveHookIsHarmlessBeforeSetHookAndWhenRepeated) {
    RemoveHook();
    SetHook(receiver_);
    SetEnable(1);
    RemoveHook();
    RemoveHook();
    g_reports.clear();
    ASSERT_TRUE(RunMaker("HookTest E", 1, 50).ok);
    EXPECT_TRUE(g_reports.empty()) << "no reports once removed";
    // Installing again after a removal works.
    SetHook(receiver_);
    SetEnable(1);
    ASSERT_TRUE(RunMaker("HookTest F", 1, 50).ok);
    EXPECT_EQ(2u, ReportsWithPrefix("HookTest F").size());
}

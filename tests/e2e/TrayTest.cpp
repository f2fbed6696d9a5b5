// The notification-area icon and the main window's trips into the tray,
// against the real program and Wine's notification area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/e2e/E2eSupport.h"

using namespace e2e;

namespace {

class Tray : public testing::Test {
protected:
    void SetUp() override {
        UseQuietSettings();
        SetSettingDword("LoadMinimized", 1);
    }
    void Start(const char* name) {
        ASSERT_TRUE(main_ = StartApp(app_, name));
        probe_.reset(new Probe(::GetWindowThreadProcessId(main_, nullptr)));
        ASSERT_TRUE(probe_->Attached());
    }
    // The tray's window is made anew with each change of state.
    HWND TrayWindow() const { return TrayWindowOf(app_); }
    // Right-clicks the icon and reads the menu it opens, left open.
    Lines OpenMenu(UINT iconId, int* defaultPosition = nullptr) {
        Lines items;
        ::PostMessageA(TrayWindow(), kTrayNotify, iconId, WM_RBUTTONUP);
        WaitUntil([&] { return (menu_ = TrackedMenu(app_.Pid())) != nullptr; }, 5000);
        if (!menu_ || !probe_->Ask(main_, probe::kReadMenu))
            return items;
        const probe::Report& report = probe_->Report();
        for (int i = 0; i < report.itemCount && i < probe::kMaxItems; ++i)
            items.push_back(report.texts[i]);
        if (defaultPosition)
            *defaultPosition = report.defaultPosition;
        return items;
    }
    // Picks the item `downs` places down (0: Escape) and waits until it acted.
    bool Pick(int downs) {
        for (int i = 0; i < downs; ++i)
            PostKey(menu_, VK_DOWN);
        PostKey(menu_, downs ? VK_RETURN : VK_ESCAPE);
        return WaitUntil([&] { return !TrackedMenu(app_.Pid()); }) && app_.Settle();
    }
    HWND HiddenParent() const {
        std::vector<HWND> found = TopLevelWindows(app_.Pid(), "VelmoraHiddenParent");
        return found.size() == 1 ? found[0] : nullptr;
    }
    // Only a window with a taskbar button is one of the top-level windows.
    bool HasTaskbarButton() const {
        std::vector<HWND> dialogs = TopLevelWindows(app_.Pid(), "#32770");
        return std::find(dialogs.begin(), dialogs.end(), main_) != dialogs.end();
    }
    std::string StartText() const { return TextOf(app_.Control(IDC_START)); }

    VelmoraProcess app_;
    HWND main_ = nullptr, menu_ = nullptr;
    std::unique_ptr<Probe> probe_;
};

// Wine learns of focus changes from X a moment later, so give it that moment.
bool InFront(HWND window) {
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000);
}

} // namespace

TEST_F(Tray, MenuOffersTheOppositeOfTheStateAndOnlyADoubleClickOpens) {
    Start("tray-menu");
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(TrayWindow(), kTrayNotify, IDR_TRAY_STARTED, mouse,
                                          SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(1u, answer) << mouse;
    }
    // The stopped icon's id on the started icon's window: another icon, ignored.
    ::PostMessageA(TrayWindow(), kTrayNotify, IDR_TRAY_STOPPED, WM_RBUTTONUP);
    ASSERT_TRUE(app_.Settle());
    EXPECT_FALSE(::IsWindowVisible(main_));
    EXPECT_TRUE(!TrackedMenu(app_.Pid()));

    int defaultPosition = -2;
    EXPECT_EQ((Lines{"Open", "Stop", "Close"}), OpenMenu(IDR_TRAY_STARTED, &defaultPosition));
    EXPECT_EQ(0, defaultPosition) << "Open is the default, drawn bold";
    if (!Env("VELMORA_SCREENSHOTS").empty()) {
        EXPECT_TRUE(SaveScreenshot(menu_, "tray-menu"));
    }
    ASSERT_TRUE(Pick(0));
    EXPECT_EQ("Stop", StartText()) << "Escape chose nothing";
    OpenMenu(IDR_TRAY_STARTED);
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Start", StartText());
    EXPECT_FALSE(::IsWindowVisible(main_)) << "the state changes in the tray";

    defaultPosition = -2;
    EXPECT_EQ((Lines{"Open", "Start", "Close"}), OpenMenu(IDR_TRAY_STOPPED, &defaultPosition));
    EXPECT_EQ(0, defaultPosition);
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Stop", StartText());

    ::PostMessageA(TrayWindow(), kTrayNotify, IDR_TRAY_STARTED, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(::IsWindowVisible(main_));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT));
    EXPECT_TRUE(InFront(main_));
}

TEST_F(Tray, LoadMinimizedNeverShowsTheWindowAndHideAndOpenMoveIt) {
    Probe shows(0);
    ASSERT_TRUE(shows.Attached());
    {
        // The probe sees a window shown at start, so its silence below means something.
        SetSettingDword("LoadMinimized", 0);
        VelmoraProcess onScreen;
        ASSERT_TRUE(StartApp(onScreen, "tray-on-screen"));
        EXPECT_GT(shows.Report().mainWindowShows, 0);
        EXPECT_TRUE(onScreen.Close());
        SetSettingDword("LoadMinimized", 1);
    }
    long before = shows.Report().mainWindowShows;
    Start("tray-minimized");
    EXPECT_EQ(before, shows.Report().mainWindowShows) << "never shown at start";
    EXPECT_FALSE(::IsWindowVisible(main_));
    HWND hidden = HiddenParent();
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden, ::GetAncestor(main_, GA_PARENT));
    EXPECT_FALSE(HasTaskbarButton());

    RECT firstFrame{};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        OpenMenu(IDR_TRAY_STARTED);
        ASSERT_TRUE(Pick(1)); // Open
        EXPECT_TRUE(::IsWindowVisible(main_));
        EXPECT_TRUE(HasTaskbarButton());
        EXPECT_TRUE(InFront(main_));
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(main_, nullptr), &info);
        EXPECT_EQ(main_, info.hwndActive);
        RECT frame{};
        ::GetWindowRect(main_, &frame);
        HWND atCentre = ::WindowFromPoint(
            POINT{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2});
        EXPECT_TRUE(atCentre == main_ || ::IsChild(main_, atCentre)) << "nothing covers it";
        if (round == 0)
            firstFrame = frame;
        EXPECT_TRUE(::EqualRect(&firstFrame, &frame)) << "back where it was";

        app_.Click(app_.Control(IDC_HIDE));
        ASSERT_TRUE(app_.Settle());
        EXPECT_FALSE(::IsWindowVisible(main_));
        EXPECT_EQ(hidden, ::GetAncestor(main_, GA_PARENT));
        EXPECT_FALSE(HasTaskbarButton());
    }
    EXPECT_EQ(hidden, HiddenParent()) << "one hidden parent all along";
    EXPECT_TRUE(app_.Close());
    EXPECT_EQ(0u, app_.ExitCode()) << "the hidden parent goes quietly at exit";
}

TEST_F(Tray, TaskbarCreatedBringsBackThePresentIconOnly) {
    Start("tray-taskbar-created");
    EXPECT_TRUE(ShellHasIcon(TrayWindow(), IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(TrayWindow(), IDR_TRAY_STOPPED));
    ASSERT_TRUE(NotifyShell(NIM_DELETE, TrayWindow(), IDR_TRAY_STARTED));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 5000, &answer);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(ShellHasIcon(TrayWindow(), IDR_TRAY_STARTED)) << "the icon is back";
    EXPECT_FALSE(ShellHasIcon(TrayWindow(), IDR_TRAY_STOPPED));

    app_.Click(app_.Control(IDC_START));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(ShellHasIcon(TrayWindow(), IDR_TRAY_STOPPED)) << "the stopped icon replaces it";
    EXPECT_FALSE(ShellHasIcon(TrayWindow(), IDR_TRAY_STARTED));
    HWND stopped = TrayWindow();
    EXPECT_TRUE(app_.Close());
    EXPECT_FALSE(ShellHasIcon(stopped, IDR_TRAY_STOPPED)) << "the icon goes with the program";
}

TEST_F(Tray, HundredStartStopCyclesLeaveNothingBehind) {
    Start("tray-leaks");
    HWND start = app_.Control(IDC_START);
    auto cycle = [&](int round) {
        app_.Click(start);
        app_.Click(start);
        // Now and then out of the tray and back, and the menu opened and closed.
        if (round % 10 == 0) {
            ASSERT_TRUE(app_.Settle());
            ::PostMessageA(TrayWindow(), kTrayNotify, IDR_TRAY_STARTED, WM_LBUTTONDBLCLK);
            ASSERT_TRUE(app_.Settle());
            ASSERT_TRUE(::IsWindowVisible(main_));
            app_.Click(app_.Control(IDC_HIDE));
            ASSERT_FALSE(OpenMenu(IDR_TRAY_STARTED).empty());
            ASSERT_TRUE(Pick(0));
        }
        ASSERT_TRUE(app_.Settle());
    };
    // Shared images and first-use objects are made in the first rounds.
    for (int round = 0; round < 3; ++round)
        cycle(round * 10);
    ASSERT_TRUE(probe_->Ask(main_, probe::kCountObjects));
    probe::Report before = probe_->Report();
    EXPECT_GT(before.objects[probe::kGdi], 0) << "the count sees the objects at all";
    EXPECT_GT(before.objects[probe::kWindows], 0);
    for (int round = 1; round <= 100; ++round)
        cycle(round);
    ASSERT_TRUE(probe_->Ask(main_, probe::kCountObjects));
    const char* const kinds[] = {"GDI", "menus", "icons", "windows"};
    for (int kind = 0; kind < probe::kObjectKinds; ++kind) {
        long was = before.objects[kind], now = probe_->Report().objects[kind];
        std::printf("Velmora's %s over 100 Start/Stop cycles: %ld -> %ld\n", kinds[kind], was, now);
        EXPECT_LE(now, was) << kinds[kind];
    }
    EXPECT_EQ("Stop", StartText());
    EXPECT_TRUE(TrayWindow()) << "one tray window";
    EXPECT_TRUE(HiddenParent()) << "one hidden parent";
    EXPECT_TRUE(ShellHasIcon(TrayWindow(), IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(TrayWindow(), IDR_TRAY_STOPPED));
}

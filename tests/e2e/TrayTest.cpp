// The notification-area icon and the main window's trips into the tray,
// against the real program and Wine's notification area.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// The visible menu ("#32768") of the process, null when none is tracked.
HWND TrackedMenu(DWORD pid) {
    for (HWND menu : TopLevelWindows(pid, "#32768")) {
        if (::IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

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
    // Right-clicks the icon and reads the menu it opens, left open; the
    // default item reads "default <text>".
    Lines OpenMenu(UINT iconId) {
        Lines items;
        ::PostMessageA(TrayWindowOf(app_), kTrayNotify, iconId, WM_RBUTTONUP);
        WaitUntil([&] { return (menu_ = TrackedMenu(app_.Pid())) != nullptr; }, 5000);
        if (!menu_ || !probe_->Ask(main_, probe::kReadMenu))
            return items;
        const probe::Report& report = probe_->Report();
        for (int i = 0; i < report.itemCount && i < probe::kMaxItems; ++i)
            items.push_back((i == report.defaultPosition ? "default " : "") +
                            std::string(report.texts[i]));
        return items;
    }
    // Picks the item `downs` places down (0: Escape) and waits until it acted.
    bool Pick(int downs) {
        for (int i = 0; i < downs; ++i)
            PostKey(menu_, VK_DOWN);
        PostKey(menu_, downs ? VK_RETURN : VK_ESCAPE);
        return WaitUntil([&] { return !TrackedMenu(app_.Pid()); }) && app_.Settle();
    }
    HWND HiddenParent() const { return OnlyWindowOf(app_, "VelmoraHiddenParent"); }
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

TEST_F(Tray, TheIconComesBackOnTaskbarCreatedItsMenuFollowsTheStateAndADoubleClickOpens) {
    Start("tray-menu");
    HWND tray = TrayWindowOf(app_);
    EXPECT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STOPPED));
    ASSERT_TRUE(NotifyShell(NIM_DELETE, tray, IDR_TRAY_STARTED)); // as a new taskbar would
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 5000, &answer);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED)) << "the icon is back";
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STOPPED));

    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
        ASSERT_TRUE(::SendMessageTimeoutA(tray, kTrayNotify, IDR_TRAY_STARTED, mouse, SMTO_NORMAL,
                                          5000, &answer));
        EXPECT_EQ(1u, answer) << mouse;
    }
    ASSERT_TRUE(app_.Settle());
    EXPECT_FALSE(::IsWindowVisible(main_));
    EXPECT_FALSE(TrackedMenu(app_.Pid()));

    EXPECT_EQ((Lines{"default Open", "Stop", "Close"}), OpenMenu(IDR_TRAY_STARTED));
    if (!Env("VELMORA_SCREENSHOTS").empty()) {
        EXPECT_TRUE(SaveScreenshot(menu_, "tray-menu"));
    }
    ASSERT_TRUE(Pick(0));
    EXPECT_EQ("Stop", StartText()) << "Escape chose nothing";
    OpenMenu(IDR_TRAY_STARTED);
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Start", StartText());
    EXPECT_FALSE(::IsWindowVisible(main_)) << "the state changes in the tray";
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STOPPED)) << "the stopped icon";

    EXPECT_EQ((Lines{"default Open", "Start", "Close"}), OpenMenu(IDR_TRAY_STOPPED));
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Stop", StartText());

    ::PostMessageA(TrayWindowOf(app_), kTrayNotify, IDR_TRAY_STARTED, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(::IsWindowVisible(main_));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT));
    EXPECT_TRUE(InFront(main_));
    tray = TrayWindowOf(app_);
    EXPECT_TRUE(app_.Close());
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STARTED)) << "the icon goes with the program";
}

TEST_F(Tray, LoadMinimizedNeverShowsTheWindowAndHideAndOpenMoveIt) {
    Probe shows(0);
    ASSERT_TRUE(shows.Attached());
    SetSettingDword("LoadMinimized", 0);
    ASSERT_TRUE(StartApp(app_, "tray-on-screen"));
    EXPECT_GT(shows.Report().mainWindowShows, 0) << "the probe sees a window shown at start";
    ASSERT_TRUE(app_.Close());
    SetSettingDword("LoadMinimized", 1);
    long before = shows.Report().mainWindowShows;
    Start("tray-minimized");
    EXPECT_EQ(before, shows.Report().mainWindowShows) << "never shown at start";
    EXPECT_FALSE(::IsWindowVisible(main_));
    HWND hidden = HiddenParent();
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden, ::GetAncestor(main_, GA_PARENT)) << "no taskbar button";

    RECT firstFrame{};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        OpenMenu(IDR_TRAY_STARTED);
        ASSERT_TRUE(Pick(1)); // Open
        EXPECT_TRUE(::IsWindowVisible(main_));
        EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT)) << "a taskbar button";
        EXPECT_TRUE(InFront(main_));
        EXPECT_EQ(main_, ThreadInfoOf(main_).hwndActive);
        RECT frame{};
        ::GetWindowRect(main_, &frame);
        if (round == 0)
            firstFrame = frame;
        EXPECT_TRUE(::EqualRect(&firstFrame, &frame)) << "back where it was";

        app_.Click(app_.Control(IDC_HIDE));
        ASSERT_TRUE(app_.Settle());
        EXPECT_FALSE(::IsWindowVisible(main_));
        EXPECT_EQ(hidden, ::GetAncestor(main_, GA_PARENT));
    }
    EXPECT_EQ(hidden, HiddenParent()) << "one hidden parent all along";
    EXPECT_TRUE(app_.Close());
    EXPECT_EQ(0u, app_.ExitCode()) << "the hidden parent goes quietly at exit";
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
            ::PostMessageA(TrayWindowOf(app_), kTrayNotify, IDR_TRAY_STARTED, WM_LBUTTONDBLCLK);
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
    const char* const kinds[] = {"GDI objects", "menus", "windows"};
    for (int kind = 0; kind < probe::kObjectKinds; ++kind) {
        long was = before.objects[kind], now = probe_->Report().objects[kind];
        std::printf("Velmora's %s over 100 Start/Stop cycles: %ld -> %ld\n", kinds[kind], was, now);
        EXPECT_LE(now, was) << kinds[kind];
    }
    EXPECT_EQ("Stop", StartText());
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STOPPED));
}

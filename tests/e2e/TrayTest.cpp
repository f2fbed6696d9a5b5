// The notification-area icon and the main window's trips into the tray,
// against the real program and Wine's notification area.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/Harness.h"

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
    // Right-clicks the icon and reads the menu it opens, left open.
    Lines OpenMenu(UINT iconId) {
        if (!app_.Settle() ||
            !::PostMessageA(TrayWindowOf(app_), kTrayNotify, iconId, WM_RBUTTONUP))
            return Lines{};
        return probe_->ShownMenuItems(app_);
    }
    // Picks the item `downs` places down (0: Escape) and waits until it acted.
    bool Pick(int downs) {
        std::vector<WPARAM> keys(downs, VK_DOWN);
        keys.push_back(downs ? VK_RETURN : VK_ESCAPE);
        return ChooseInMenu(app_, keys);
    }
    // Settled first: the tray window is made anew with each change of state.
    bool DoubleClickIcon(UINT iconId) {
        return app_.Settle() &&
               ::PostMessageA(TrayWindowOf(app_), kTrayNotify, iconId, WM_LBUTTONDBLCLK) &&
               app_.Settle();
    }
    HWND HiddenParent() const { return OnlyWindowOf(app_, "VelmoraHiddenParent"); }
    std::string StartText() const { return TextOf(app_.Control(IDC_START)); }
    RECT Frame() const {
        RECT frame{};
        ::GetWindowRect(main_, &frame);
        return frame;
    }

    VelmoraProcess app_;
    HWND main_ = nullptr;
    std::unique_ptr<Probe> probe_;
};

// Wine learns of focus changes from X a moment later, so give it that moment.
bool InFront(HWND window) {
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000);
}

// The icon's picture once the tray shows one that passes the test.
bool IconShows(const std::function<bool(const ScreenPicture&)>& test) {
    return WaitUntil([&] {
        HWND icon = TrayIconWindow();
        return icon && test(ScreenPicture(icon));
    });
}

} // namespace

TEST_F(Tray, TheIconComesBackWhenTheTaskbarIsMadeAgain) {
    Start("tray-taskbar");
    HWND tray = TrayWindowOf(app_);
    ASSERT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
    ASSERT_TRUE(NotifyShell(NIM_DELETE, tray, IDR_TRAY_STARTED)); // as a new taskbar would
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                          SMTO_ABORTIFHUNG, 5000, &answer);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STOPPED)) << "with the id of the state it is in";
}

TEST_F(Tray, AClickAMoveOrARightPressOnTheIconDoesNothing) {
    Start("tray-mouse");
    DWORD_PTR answer = 0;
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
        ASSERT_TRUE(::SendMessageTimeoutA(TrayWindowOf(app_), kTrayNotify, IDR_TRAY_STARTED, mouse,
                                          SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(1u, answer) << mouse;
    }
    ASSERT_TRUE(app_.Settle());
    EXPECT_FALSE(::IsWindowVisible(main_));
    EXPECT_FALSE(ShownMenu(app_));
}

TEST_F(Tray, TheMenuOffersStopWhileStartedWithOpenInBoldAndEscapeChoosesNothing) {
    Start("tray-menu");
    EXPECT_EQ((Lines{"default Open", "Stop", "Close"}), OpenMenu(IDR_TRAY_STARTED));
    ASSERT_TRUE(Pick(0));
    EXPECT_EQ("Stop", StartText());
}

TEST_F(Tray, StopFromTheMenuStopsInTheTrayAndTheMenuThenOffersStart) {
    Start("tray-stop");
    OpenMenu(IDR_TRAY_STARTED);
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Start", StartText());
    EXPECT_FALSE(::IsWindowVisible(main_)) << "the state changes in the tray";
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STOPPED));
    EXPECT_EQ((Lines{"default Open", "Start", "Close"}), OpenMenu(IDR_TRAY_STOPPED));
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Stop", StartText());
}

TEST_F(Tray, TheIconShowsTheColouredPictureWhileStartedAndTheGreyOneWhileStopped) {
    Start("tray-picture");
    auto coloured = [](const ScreenPicture& icon) { return icon.Count(IsColoured) > 40; };
    // Grey, but a picture: more than a few pixels unlike the corner.
    auto grey = [](const ScreenPicture& icon) {
        COLORREF corner = icon.At(0, 0);
        return icon.Count(IsColoured) == 0 &&
               icon.Count([&](COLORREF c) { return c != corner; }) > 40;
    };
    EXPECT_TRUE(IconShows(coloured)) << "started";
    app_.Click(app_.Control(IDC_START));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(IconShows(grey)) << "stopped";
    app_.Click(app_.Control(IDC_START));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(IconShows(coloured)) << "started again";
}

TEST_F(Tray, ADoubleClickOnTheIconBringsTheWindowOutOfTheTray) {
    Start("tray-double-click");
    ASSERT_TRUE(DoubleClickIcon(IDR_TRAY_STARTED));
    EXPECT_TRUE(::IsWindowVisible(main_));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT)) << "a taskbar button";
    EXPECT_TRUE(InFront(main_));
}

TEST_F(Tray, ADoubleClickWithTheWindowShownLeavesItInPlaceAndBringsItToTheFront) {
    SetSettingDword("LoadMinimized", 0);
    Start("tray-shown");
    RECT before = Frame();
    WindowFactory windows;
    HWND other = windows.Open("In front", 300, 200);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(InFront(other));
    ASSERT_TRUE(DoubleClickIcon(IDR_TRAY_STARTED));
    EXPECT_TRUE(InFront(main_));
    EXPECT_EQ(main_, ThreadInfoOf(main_).hwndActive);
    EXPECT_TRUE(::IsWindowVisible(main_));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT));
    RECT after = Frame();
    EXPECT_TRUE(::EqualRect(&before, &after)) << "where it was";
    EXPECT_TRUE(TopLevelWindows(app_.Pid(), "VelmoraHiddenParent").empty())
        << "never hidden, so no hidden parent";
}

TEST_F(Tray, TheIconGoesWithTheProgram) {
    Start("tray-close");
    HWND tray = TrayWindowOf(app_);
    ASSERT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
    EXPECT_TRUE(app_.Close());
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STARTED));
}

TEST_F(Tray, LoadMinimizedNeverShowsTheWindow) {
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
    ASSERT_TRUE(HiddenParent());
    EXPECT_EQ(HiddenParent(), ::GetAncestor(main_, GA_PARENT)) << "no taskbar button";
}

TEST_F(Tray, OpenAndHideMoveTheWindowOutOfTheTrayAndBackWhereItWas) {
    Start("tray-trips");
    HWND hidden = HiddenParent();
    ASSERT_TRUE(hidden);
    RECT firstFrame{};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        OpenMenu(IDR_TRAY_STARTED);
        ASSERT_TRUE(Pick(1)); // Open
        EXPECT_TRUE(::IsWindowVisible(main_));
        EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(main_, GA_PARENT)) << "a taskbar button";
        EXPECT_TRUE(InFront(main_));
        EXPECT_EQ(main_, ThreadInfoOf(main_).hwndActive);
        RECT frame = Frame();
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
            ASSERT_TRUE(DoubleClickIcon(IDR_TRAY_STARTED));
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

// The notification-area icon and the main window's trips into the tray,
// against the real program and Wine's notification area.
#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

class Tray : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        SetSettingDword("LoadMinimized", 1);
    }
    void StartWithProbe(const char* name) {
        Start(name);
        probe.reset(new Probe(::GetWindowThreadProcessId(mainWindow, nullptr)));
        ASSERT_TRUE(probe->Attached());
    }
    // Sends the icon's notification, settled first: the tray window is made
    // anew with each change of state.
    bool Notify(UINT iconId, UINT mouse) {
        return app.Settle() && ::PostMessageA(TrayWindowOf(app), kTrayNotify, iconId, mouse) &&
               app.Settle();
    }
    // Right-clicks the icon and reads the menu it opens, left open.
    Lines OpenMenu(UINT iconId) {
        return Notify(iconId, WM_RBUTTONUP) ? probe->ShownMenuItems(app) : Lines{};
    }
    // Picks the item `downs` places down (0: Escape) and waits until it acted.
    bool Pick(int downs) {
        std::vector<WPARAM> keys(downs, VK_DOWN);
        keys.push_back(downs ? VK_RETURN : VK_ESCAPE);
        return ChooseInMenu(app, keys);
    }
    // Opens the window from the tray icon: its double-click or the menu's Open.
    bool OpenFromTray(bool doubleClick) {
        if (doubleClick)
            return Notify(IDR_TRAY_STARTED, WM_LBUTTONDBLCLK);
        OpenMenu(IDR_TRAY_STARTED);
        return Pick(1);
    }
    std::string StartText() const { return TextOf(app.Control(IDC_START)); }
    RECT Frame() const {
        RECT frame{};
        ::GetWindowRect(mainWindow, &frame);
        return frame;
    }
    // On screen, with a taskbar button, in front and active.
    void ExpectOutOfTheTray() {
        EXPECT_TRUE(::IsWindowVisible(mainWindow));
        EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(mainWindow, GA_PARENT)) << "a taskbar button";
        // Wine learns of focus changes from X a moment later.
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == mainWindow; }, 2000));
        EXPECT_EQ(mainWindow, ThreadInfoOf(mainWindow).hwndActive);
    }

    std::unique_ptr<Probe> probe;
};

} // namespace

TEST_F(Tray, TheIconComesBackWhenTheTaskbarIsMadeAgainOrTheWorkAreaChanges) {
    Start("tray-taskbar");
    HWND tray = TrayWindowOf(app);
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR answer = 0;
    for (bool broadcast : {true, false}) {
        SCOPED_TRACE(broadcast ? "TaskbarCreated" : "SPI_SETWORKAREA");
        ASSERT_TRUE(NotifyShell(NIM_DELETE, tray, IDR_TRAY_STARTED)); // as a new taskbar would
        if (broadcast)
            ::SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                  &answer);
        else
            ::SendMessageTimeoutA(tray, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_NORMAL, 5000,
                                  &answer);
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
        EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STOPPED)) << "with the id of the state it is in";
    }
}

TEST_F(Tray, AClickAMoveOrARightPressOnTheIconDoesNothing) {
    Start("tray-mouse");
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN})
        ASSERT_TRUE(Notify(IDR_TRAY_STARTED, mouse));
    EXPECT_FALSE(::IsWindowVisible(mainWindow));
    EXPECT_FALSE(ShownMenu(app));
}

TEST_F(Tray, TheMenuOffersTheOtherStateWithOpenInBoldAndStartsAndStopsInTheTray) {
    StartWithProbe("tray-menu");
    EXPECT_EQ((Lines{"default Open", "Stop", "Close"}), OpenMenu(IDR_TRAY_STARTED));
    ASSERT_TRUE(Pick(0));
    EXPECT_EQ("Stop", StartText()) << "Escape chooses nothing";
    OpenMenu(IDR_TRAY_STARTED);
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Start", StartText());
    EXPECT_FALSE(::IsWindowVisible(mainWindow)) << "the state changes in the tray";
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app), IDR_TRAY_STOPPED));
    EXPECT_EQ((Lines{"default Open", "Start", "Close"}), OpenMenu(IDR_TRAY_STOPPED));
    ASSERT_TRUE(Pick(2));
    EXPECT_EQ("Stop", StartText());
}

TEST_F(Tray, TheIconShowsTheColouredPictureWhileStartedAndTheGreyOneWhileStopped) {
    Start("tray-picture");
    auto shows = [](const std::function<bool(const ScreenPicture&)>& test) {
        return WaitUntil([&] {
            HWND icon = TrayIconWindow();
            return icon && test(ScreenPicture(icon));
        });
    };
    auto coloured = [](const ScreenPicture& icon) { return icon.Count(IsColoured) > 40; };
    // Grey, but a picture: more than a few pixels unlike the corner.
    auto grey = [](const ScreenPicture& icon) {
        COLORREF corner = icon.At(0, 0);
        return icon.Count(IsColoured) == 0 &&
               icon.Count([&](COLORREF c) { return c != corner; }) > 40;
    };
    EXPECT_TRUE(shows(coloured)) << "started";
    for (bool started : {false, true}) {
        app.Click(app.Control(IDC_START));
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(shows(started ? coloured : grey)) << (started ? "started again" : "stopped");
    }
}

// Open from the menu and a double-click on the icon, in turns.
TEST_F(Tray, OpenAndADoubleClickBringTheWindowOutOfTheTrayHideTakesItBackAndTheIconGoesAtExit) {
    StartWithProbe("tray-trips");
    HWND hidden = OnlyWindowOf(app, "VelmoraHiddenParent");
    ASSERT_TRUE(hidden);
    RECT firstFrame{};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(OpenFromTray(round == 1));
        ExpectOutOfTheTray();
        RECT frame = Frame();
        firstFrame = round ? firstFrame : frame;
        EXPECT_TRUE(::EqualRect(&firstFrame, &frame)) << "back where it was";
        app.Click(app.Control(IDC_HIDE));
        ASSERT_TRUE(app.Settle());
        EXPECT_FALSE(::IsWindowVisible(mainWindow));
        EXPECT_EQ(hidden, ::GetAncestor(mainWindow, GA_PARENT));
    }
    EXPECT_EQ(hidden, OnlyWindowOf(app, "VelmoraHiddenParent")) << "one hidden parent all along";
    HWND tray = TrayWindowOf(app);
    ASSERT_TRUE(ShellHasIcon(tray, IDR_TRAY_STARTED));
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(0u, app.ExitCode()) << "the hidden parent goes quietly at exit";
    EXPECT_FALSE(ShellHasIcon(tray, IDR_TRAY_STARTED)) << "the icon goes with the program";
}

TEST_F(Tray, OpenOrADoubleClickWithTheWindowShownLeaveItInPlaceAndBringItToTheFront) {
    SetSettingDword("LoadMinimized", 0);
    StartWithProbe("tray-shown");
    RECT before = Frame();
    HWND other = Maker().Open("In front", 300, 200);
    for (bool doubleClick : {true, false}) {
        SCOPED_TRACE(doubleClick ? "double-click" : "Open");
        ::SetForegroundWindow(other);
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == other; }, 2000));
        ASSERT_TRUE(OpenFromTray(doubleClick));
        ExpectOutOfTheTray();
        RECT after = Frame();
        EXPECT_TRUE(::EqualRect(&before, &after)) << "where it was";
    }
    EXPECT_TRUE(TopLevelWindows(app.Pid(), "VelmoraHiddenParent").empty())
        << "never hidden, so no hidden parent";
}

TEST_F(Tray, LoadMinimizedNeverShowsTheWindow) {
    Probe shows(0);
    ASSERT_TRUE(shows.Attached());
    SetSettingDword("LoadMinimized", 0);
    Start("tray-on-screen");
    EXPECT_GT(shows.Report().mainWindowShows, 0) << "the probe sees a window shown at start";
    ASSERT_TRUE(app.Close());
    SetSettingDword("LoadMinimized", 1);
    long before = shows.Report().mainWindowShows;
    Start("tray-minimized");
    EXPECT_EQ(before, shows.Report().mainWindowShows) << "never shown at start";
    EXPECT_FALSE(::IsWindowVisible(mainWindow));
    HWND hidden = OnlyWindowOf(app, "VelmoraHiddenParent");
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden, ::GetAncestor(mainWindow, GA_PARENT)) << "no taskbar button";
}

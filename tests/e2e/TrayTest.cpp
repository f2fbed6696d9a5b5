// The notification-area icon and the main window's trips into the tray,
// against the real program and Wine's notification area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/e2e/TrayDriver.h"

using namespace e2e;

namespace {

constexpr int kStartButton = 1015;
constexpr int kHideButton = 1012;
const char kTip[] = "Draxtel Velmora";

HWND HiddenParentOf(const VelmoraProcess& app) {
    std::vector<HWND> found = TopLevelWindowsOfClass(app.Pid(), "VelmoraHiddenParent");
    return found.size() == 1 ? found[0] : nullptr;
}

// A window with a taskbar button is one of the top-level windows.
bool IsTopLevelWindowOf(const VelmoraProcess& app, HWND window) {
    std::vector<HWND> dialogs = TopLevelWindowsOfClass(app.Pid(), "#32770");
    return std::find(dialogs.begin(), dialogs.end(), window) != dialogs.end();
}

HWND ActiveWindowOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndActive;
}

// Wine learns of focus changes from X a moment later, so give it that moment.
bool InFront(HWND window) {
    return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000);
}

void PostKey(HWND window, UINT key) {
    ::PostMessageA(window, WM_KEYDOWN, key, 0);
    ::PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

std::vector<ShellIcon> WaitForShellIcons(size_t count, const std::vector<ShellIcon>& earlier) {
    std::vector<ShellIcon> icons;
    WaitUntil(
        [&] {
            icons = ShellIconsBesides(earlier);
            return icons.size() == count &&
                   std::all_of(icons.begin(), icons.end(),
                               [](const ShellIcon& icon) { return !icon.tip.empty(); });
        },
        5000);
    return icons;
}

// Opens the icon's menu, reads it and leaves it open.
struct OpenMenu {
    HWND window = nullptr;
    std::vector<VelmoraProbe::MenuItem> items;
    int defaultPosition = -2;
};
OpenMenu RightClick(VelmoraProcess& app, VelmoraProbe& probe, UINT iconId) {
    OpenMenu menu;
    ::PostMessageA(TrayWindowOf(app), kTrayNotify, iconId, WM_RBUTTONUP);
    menu.window = WaitForTrackedMenu(app.Pid());
    if (menu.window)
        probe.ReadTrackedMenu(menu.items, menu.defaultPosition);
    return menu;
}

void ExpectMenu(const OpenMenu& menu, UINT middleId, const char* middleText) {
    ASSERT_TRUE(menu.window) << "no menu shown";
    ASSERT_EQ(3u, menu.items.size());
    EXPECT_EQ(130u, menu.items[0].id);
    EXPECT_EQ("Open", menu.items[0].text);
    EXPECT_EQ(middleId, menu.items[1].id);
    EXPECT_EQ(middleText, menu.items[1].text);
    EXPECT_EQ(132u, menu.items[2].id);
    EXPECT_EQ("Close", menu.items[2].text);
    EXPECT_EQ(0, menu.defaultPosition) << "the first item is the default, drawn bold";
    EXPECT_TRUE(menu.items[0].isDefault);
    EXPECT_FALSE(menu.items[1].isDefault || menu.items[2].isDefault);
}

void StartInTray(VelmoraProcess& app, const char* name) {
    UseQuietSettings();
    SetSettingDword("LoadMinimized", 1);
    ASSERT_TRUE(app.Start(MakeWorkDir(name)));
    ASSERT_TRUE(app.WaitForMainWindow());
    ASSERT_TRUE(app.Settle());
}

} // namespace

TEST(Tray, MenuOffersTheOppositeOfTheStateWithOpenInBold) {
    VelmoraProcess app;
    StartInTray(app, "tray-menu");
    VelmoraProbe probe(app.MainWindow());
    ASSERT_TRUE(probe.Attached());

    OpenMenu started = RightClick(app, probe, kIconStarted);
    ExpectMenu(started, 135, "Stop");
    PostKey(started.window, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return NoMenuTracked(app.Pid()); }, 5000));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ("Stop", TextOf(app.Control(kStartButton))) << "Escape chose nothing";

    // The stopped icon's id on the started icon's window: another icon, ignored.
    ::PostMessageA(TrayWindowOf(app), kTrayNotify, kIconStopped, WM_RBUTTONUP);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(NoMenuTracked(app.Pid()));

    // "Stop" from the menu: the second item.
    started = RightClick(app, probe, kIconStarted);
    ASSERT_TRUE(started.window);
    PostKey(started.window, VK_DOWN);
    PostKey(started.window, VK_DOWN);
    PostKey(started.window, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return NoMenuTracked(app.Pid()); }, 5000));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ("Start", TextOf(app.Control(kStartButton)));
    EXPECT_FALSE(::IsWindowVisible(app.MainWindow())) << "the state changes in the tray";

    OpenMenu stopped = RightClick(app, probe, kIconStopped);
    ExpectMenu(stopped, 131, "Start");
    ASSERT_TRUE(stopped.window);
    PostKey(stopped.window, VK_DOWN);
    PostKey(stopped.window, VK_DOWN);
    PostKey(stopped.window, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return NoMenuTracked(app.Pid()); }, 5000));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ("Stop", TextOf(app.Control(kStartButton)));
    EXPECT_TRUE(app.Close());
}

TEST(Tray, DoubleClickShowsTheWindowAndOtherClicksDoNothing) {
    VelmoraProcess app;
    StartInTray(app, "tray-clicks");
    HWND main = app.MainWindow();
    HWND tray = TrayWindowOf(app);
    ASSERT_TRUE(tray);

    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN}) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(tray, kTrayNotify, kIconStarted, mouse, SMTO_NORMAL,
                                          5000, &answer));
        EXPECT_EQ(1u, answer) << mouse;
    }
    ASSERT_TRUE(app.Settle());
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(NoMenuTracked(app.Pid()));
    EXPECT_EQ("Stop", TextOf(app.Control(kStartButton)));

    ::PostMessageA(tray, kTrayNotify, kIconStarted, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(::GetDesktopWindow(), ParentOf(main));
    EXPECT_TRUE(InFront(main));
    EXPECT_TRUE(app.Close());
}

TEST(Tray, LoadMinimizedNeverShowsTheWindowAndHideAndOpenMoveIt) {
    ShowRecorder shows;
    ASSERT_TRUE(shows.Attached());
    {
        // The recorder sees a window shown at start, so its silence below means something.
        VelmoraProcess onScreen;
        UseQuietSettings();
        ASSERT_TRUE(onScreen.Start(MakeWorkDir("tray-on-screen")));
        ASSERT_TRUE(onScreen.WaitForMainWindow());
        EXPECT_GT(shows.MainWindowShows(), 0);
        EXPECT_TRUE(onScreen.Close());
    }
    long before = shows.MainWindowShows();
    VelmoraProcess app;
    StartInTray(app, "tray-minimized");
    HWND main = app.MainWindow();
    EXPECT_EQ(before, shows.MainWindowShows()) << "never shown at start";
    EXPECT_FALSE(::IsWindowVisible(main));
    HWND hidden = HiddenParentOf(app);
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden, ParentOf(main));
    EXPECT_FALSE(IsTopLevelWindowOf(app, main)) << "no taskbar button";
    EXPECT_FALSE(::IsWindowVisible(hidden));

    VelmoraProbe probe(main);
    ASSERT_TRUE(probe.Attached());
    RECT firstFrame{};
    for (int round = 0; round < 3; ++round) {
        // "Open" from the icon's menu.
        OpenMenu menu = RightClick(app, probe, kIconStarted);
        ASSERT_TRUE(menu.window);
        PostKey(menu.window, VK_DOWN);
        PostKey(menu.window, VK_RETURN);
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(::IsWindowVisible(main)) << round;
        EXPECT_TRUE(IsTopLevelWindowOf(app, main));
        EXPECT_TRUE(InFront(main));
        EXPECT_EQ(main, ActiveWindowOf(main)) << "active";
        RECT frame{};
        ::GetWindowRect(main, &frame);
        HWND atCentre = ::WindowFromPoint(
            POINT{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2});
        EXPECT_TRUE(atCentre == main || ::IsChild(main, atCentre)) << "nothing covers it";
        if (round == 0)
            firstFrame = frame;
        EXPECT_TRUE(::EqualRect(&firstFrame, &frame)) << "back where it was";

        app.Click(app.Control(kHideButton));
        ASSERT_TRUE(app.Settle());
        EXPECT_FALSE(::IsWindowVisible(main));
        EXPECT_EQ(hidden, ParentOf(main));
        EXPECT_FALSE(IsTopLevelWindowOf(app, main));
    }
    EXPECT_EQ(1u, TopLevelWindowsOfClass(app.Pid(), "VelmoraHiddenParent").size());
    EXPECT_TRUE(app.Close());
    EXPECT_EQ(0u, app.ExitCode()) << "the hidden parent goes quietly at exit";
}

TEST(Tray, EndOfSessionReachesTheWindowInTheTray) {
    VelmoraProcess app;
    StartInTray(app, "tray-end-session");
    HWND hidden = HiddenParentOf(app);
    ASSERT_TRUE(hidden);
    ::SendMessageW(app.PageControl(2, 1026), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"250"));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        ::SendMessageTimeoutA(hidden, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_NE(0u, answer) << "the session may end";
    ASSERT_TRUE(
        ::SendMessageTimeoutA(hidden, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer));

    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("Delay", value));
    EXPECT_EQ(250u, value);
    EXPECT_TRUE(GetSettingDword("LoadMinimized", value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(app.Close());
}

TEST(Tray, TaskbarCreatedBringsBackThePresentIcon) {
    std::vector<ShellIcon> earlier = ShellIcons();
    VelmoraProcess app;
    StartInTray(app, "tray-taskbar-created");
    std::vector<ShellIcon> icons = WaitForShellIcons(1, earlier);
    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ(kTip, icons[0].tip);
    std::string startedImage = icons[0].pixels;
    ASSERT_FALSE(startedImage.empty());

    HWND tray = TrayWindowOf(app);
    ASSERT_TRUE(ShellDropIcon(tray, kIconStarted));
    EXPECT_TRUE(WaitForShellIcons(0, earlier).empty());

    UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    icons = WaitForShellIcons(1, earlier);
    ASSERT_EQ(1u, icons.size()) << "the icon is back";
    EXPECT_EQ(kTip, icons[0].tip);
    EXPECT_EQ(startedImage, icons[0].pixels) << "with its image";
    EXPECT_TRUE(ShellHasIcon(tray, kIconStarted));

    // A work-area change leaves the one icon as it is.
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_ABORTIFHUNG,
                          5000, &answer);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(1u, WaitForShellIcons(1, earlier).size());

    // The images differ between the states, so the comparison above means something.
    app.Click(app.Control(kStartButton));
    ASSERT_TRUE(app.Settle());
    WaitUntil([&] {
        icons = ShellIconsBesides(earlier);
        return icons.size() == 1 && icons[0].pixels != startedImage;
    });
    ASSERT_EQ(1u, icons.size());
    EXPECT_NE(startedImage, icons[0].pixels) << "the stopped image";
    EXPECT_EQ(kTip, icons[0].tip);

    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(WaitForShellIcons(0, earlier).empty()) << "the icon goes with the program";
}

TEST(Tray, HundredStartStopCyclesLeaveNothingBehind) {
    std::vector<ShellIcon> earlier = ShellIcons();
    VelmoraProcess app;
    StartInTray(app, "tray-leaks");
    HWND main = app.MainWindow();
    HWND start = app.Control(kStartButton);
    VelmoraProbe probe(main);
    ASSERT_TRUE(probe.Attached());

    auto cycle = [&](int round) {
        app.Click(start);
        app.Click(start);
        // Now and then out of the tray and back, and the menu opened and closed.
        if (round % 10 == 0) {
            ASSERT_TRUE(app.Settle());
            ::PostMessageA(TrayWindowOf(app), kTrayNotify, kIconStarted, WM_LBUTTONDBLCLK);
            ASSERT_TRUE(app.Settle());
            ASSERT_TRUE(::IsWindowVisible(main));
            app.Click(app.Control(kHideButton));
            OpenMenu menu = RightClick(app, probe, kIconStarted);
            ASSERT_TRUE(menu.window);
            PostKey(menu.window, VK_ESCAPE);
            ASSERT_TRUE(WaitUntil([&] { return NoMenuTracked(app.Pid()); }, 5000));
        }
        ASSERT_TRUE(app.Settle());
    };
    // Shared images and first-use objects are made in the first rounds.
    for (int round = 0; round < 3; ++round)
        cycle(round * 10);
    VelmoraProbe::Objects before;
    ASSERT_TRUE(probe.Count(before));
    EXPECT_GT(before.gdi, 0) << "the count sees the objects at all";
    EXPECT_GT(before.windows, 0);

    for (int round = 1; round <= 100; ++round)
        cycle(round);
    VelmoraProbe::Objects after;
    ASSERT_TRUE(probe.Count(after));
    std::printf("Velmora's objects before and after 100 Start/Stop cycles: GDI %ld -> %ld, "
                "menus %ld -> %ld, icons %ld -> %ld, windows %ld -> %ld\n",
                before.gdi, after.gdi, before.menus, after.menus, before.icons, after.icons,
                before.windows, after.windows);
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.menus, before.menus);
    EXPECT_LE(after.icons, before.icons);
    EXPECT_LE(after.windows, before.windows);

    EXPECT_EQ("Stop", TextOf(start));
    EXPECT_EQ(1u, TopLevelWindowsOfClass(app.Pid(), "VelmoraTrayWindow").size());
    EXPECT_EQ(1u, TopLevelWindowsOfClass(app.Pid(), "VelmoraHiddenParent").size());
    EXPECT_EQ(1u, WaitForShellIcons(1, earlier).size()) << "one icon in the notification area";
    EXPECT_TRUE(app.Close());
}

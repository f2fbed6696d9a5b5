// What the real program draws: each page with its icons, hover colours and
// links, and the tray menu, taken from the virtual display. The pictures are
// kept (build/win/screenshots) for the README.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"
#include "tests/e2e/Screenshots.h"

using namespace e2e;

namespace {

constexpr UINT kTrayNotify = WM_APP + 100;
constexpr UINT kStartedTrayIcon = 133;

void PointAt(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A control's rectangle in the coordinates of a shot of the main window.
RECT InShot(HWND main, HWND control) {
    RECT outer{}, r{};
    ::GetWindowRect(main, &outer);
    ::GetWindowRect(control, &r);
    ::OffsetRect(&r, -outer.left, -outer.top);
    return r;
}

bool Greenish(COLORREF c) {
    return GetGValue(c) > 100 && GetGValue(c) > GetRValue(c) + 50 &&
           GetGValue(c) > GetBValue(c) + 50;
}
bool Reddish(COLORREF c) {
    return GetRValue(c) > 150 && GetRValue(c) > GetGValue(c) + 80 &&
           GetRValue(c) > GetBValue(c) + 80;
}
int CountWhere(const ScreenShot& shot, const RECT& area, bool (*test)(COLORREF)) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += test(shot.At(x, y));
    return n;
}

class Look : public ::testing::Test {
protected:
    void SetUp() override {
        UseQuietSettings();
        ASSERT_TRUE(app.Start(MakeWorkDir("look")));
        main = app.WaitForMainWindow();
        ASSERT_TRUE(main);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }));
    }
    void TearDown() override { EXPECT_TRUE(app.Close()); }

    // Shows a page with the pointer resting on a control, and takes the window.
    ScreenShot ShowPage(int page, HWND pointAt) {
        app.SelectTab(page);
        EXPECT_TRUE(app.Settle());
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(app.Page(page)) != FALSE; }));
        PointAt(pointAt);
        ::Sleep(300);
        EXPECT_TRUE(app.Settle());
        ScreenShot shot;
        EXPECT_TRUE(shot.TakeWindow(main));
        return shot;
    }

    VelmoraProcess app;
    HWND main = nullptr;
};

} // namespace

TEST_F(Look, PagesShowTheirIconsHoverColoursAndLinks) {
    HWND add = app.PageControl(0, 3);
    HWND remove = app.PageControl(0, 4);
    ScreenShot banned = ShowPage(0, add);
    banned.Save("banned-list");
    EXPECT_GT(banned.Count(RGB(0, 128, 0), InShot(main, add)), 10)
        << "Add under the pointer: green caption";
    EXPECT_GT(CountWhere(banned, InShot(main, add), Greenish), 20) << "its icon";
    RECT removeCaption = InShot(main, remove);
    removeCaption.left += 20; // the icon's own outline is dark red
    EXPECT_EQ(0, banned.Count(RGB(128, 0, 0), removeCaption)) << "Remove is not hovered";
    EXPECT_GT(CountWhere(banned, InShot(main, remove), Reddish), 10) << "its red cross";

    HWND start = app.Control(1015);
    ScreenShot stats = ShowPage(1, start);
    stats.Save("statistics");
    ASSERT_EQ("Stop", TextOf(start)) << "started at launch";
    EXPECT_GT(stats.Count(RGB(128, 0, 0), InShot(main, start)), 10)
        << "Stop under the pointer: dark red";

    HWND hide = app.Control(1012);
    ScreenShot options = ShowPage(2, hide);
    options.Save("options");
    EXPECT_GT(options.Count(RGB(0, 0, 128), InShot(main, hide)), 10)
        << "Hide under the pointer: navy";
    RECT page = InShot(main, app.Page(2));
    EXPECT_GT(CountWhere(options, page, Greenish), 100) << "ticks of the checked boxes";
    EXPECT_GT(CountWhere(options, page, Reddish), 50) << "crosses of the unchecked boxes";

    HWND website = app.PageControl(3, 1039);
    ScreenShot about = ShowPage(3, website);
    about.Save("about");
    for (int id : {1036, 1037, 1039})
        EXPECT_GT(about.Count(RGB(0, 0, 255), InShot(main, app.PageControl(3, id))), 100) << id;
    EXPECT_GT(about.Count(RGB(255, 0, 0), InShot(main, app.PageControl(3, 1040))), 100);
}

TEST_F(Look, TrayMenuOpensFromTheIcon) {
    // The tray's window is a hidden pop-up of the program.
    HWND tray = FindTopLevelOfProcess(app.Pid(), "VelmoraTrayWindow", false);
    ASSERT_TRUE(tray);
    ::SetCursorPos(700, 400);
    ::PostMessageA(tray, kTrayNotify, kStartedTrayIcon, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (menu = FindTopLevelOfProcess(app.Pid(), "#32768")) != nullptr;
    })) << "the icon's menu did not open";
    ::Sleep(200);
    ScreenShot shot;
    ASSERT_TRUE(shot.TakeWindow(menu));
    shot.Save("tray-menu");
    EXPECT_GT(shot.Width(), 20);
    EXPECT_GT(shot.Height(), 30) << "three items";
    ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return FindTopLevelOfProcess(app.Pid(), "#32768") == nullptr; }));
    EXPECT_TRUE(app.Settle());
}

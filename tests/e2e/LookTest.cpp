// How the real program looks, read from the screen: the check boxes' tick
// and cross and colour changes reaching the controls; its buttons through
// its own message loop; and long use that leaves no objects behind. How
// each control draws and hovers is the Win32 tests'.
#include <cstdio>
#include <memory>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

class Look : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start("look");
    }
    HWND Box(int id) const { return app.PageControl(kOptionsPage, id); }
    bool Checked(int id) const { return ::SendMessageA(Box(id), BM_GETCHECK, 0, 0) == 1; }
    // The 16 x 16 icon beside the caption of a button or box.
    static RECT IconSpot(const ScreenPicture& button) {
        int top = (button.Height() - 16) / 2;
        return RECT{3, top, 19, top + 16};
    }
    bool ShowsCheck(int id) {
        return WaitUntil([&] {
            ScreenPicture box(Box(id));
            RECT icon = IconSpot(box);
            int green = box.Count(IsGreenish, &icon), red = box.Count(IsReddish, &icon);
            return Checked(id) ? green > 10 && red == 0 : red > 10 && green == 0;
        });
    }
    // The system's face colour, as the program's process sees it (under
    // Wine each process keeps its own).
    bool ChangeFace(COLORREF colour) {
        if (!probe)
            probe.reset(new Probe(::GetWindowThreadProcessId(mainWindow, nullptr)));
        return probe->Ask(mainWindow, probe::kSetButtonFace, colour);
    }

    std::unique_ptr<Probe> probe;
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
};

} // namespace

TEST_F(Look, CheckedBoxesShowTheGreenTickAndUncheckedOnesTheRedCross) {
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    int checked = 0;
    for (int id : kCheckBoxes) {
        EXPECT_TRUE(ShowsCheck(id)) << id << (Checked(id) ? " checked" : " unchecked");
        checked += Checked(id);
    }
    EXPECT_TRUE(checked > 0 && checked < 11) << "both kinds seen";
    app.Click(Box(IDC_BY_NAME));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(ShowsCheck(IDC_BY_NAME)) << "after a click";
}

TEST_F(Look, TheMainWindowPassesAColourChangeOnToItsControls) {
    ASSERT_TRUE(app.SelectTab(kAboutPage));
    HWND link = app.PageControl(kAboutPage, IDC_WEBSITE_LINK), hide = app.Control(IDC_HIDE);
    // The right end of the link's control holds no text, and the Hide
    // button's face is the system's face colour.
    auto painted = [&](COLORREF colour) {
        return WaitUntil([&] {
            ScreenPicture label(link), button(hide);
            return label.At(label.Width() - 2, label.Height() / 2) == colour &&
                   button.At(button.Width() / 2, 1) == colour;
        });
    };
    ASSERT_TRUE(painted(face));
    const COLORREF changed = RGB(200, 210, 230);
    ASSERT_TRUE(ChangeFace(changed));
    EXPECT_TRUE(painted(changed));
    ASSERT_TRUE(ChangeFace(face));
    EXPECT_TRUE(painted(face));
}

// A quick second click comes as a double-click, which the program's own
// message loop hands on as a click.
TEST_F(Look, ACheckBoxTogglesOnAClickAndTwiceOnADoubleClick) {
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    HWND box = Box(IDC_ADD_ALT);
    bool before = Checked(IDC_ADD_ALT);
    auto post = [&](UINT msg, WPARAM keys) { ::PostMessageA(box, msg, keys, MAKELPARAM(5, 5)); };
    post(WM_LBUTTONDOWN, MK_LBUTTON);
    post(WM_LBUTTONUP, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_NE(before, Checked(IDC_ADD_ALT)) << "a click";
    post(WM_LBUTTONDBLCLK, MK_LBUTTON);
    post(WM_LBUTTONUP, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(before, Checked(IDC_ADD_ALT)) << "a double-click is a second click";
}

// The first rounds make what the system keeps for good (shared images,
// first-use objects); the rounds after them must leave nothing.
TEST_F(Look, LongUseLeavesNoObjectsBehind) {
    ASSERT_TRUE(ChangeFace(face));
    HWND hide = app.Control(IDC_HIDE), start = app.Control(IDC_START);
    HWND tray = nullptr;
    const COLORREF other = RGB(200, 210, 230);
    auto repaint = [](HWND window) {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    auto use = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            for (int page = kBannedPage; page <= kAboutPage; ++page) {
                ASSERT_TRUE(app.SelectTab(page));
                repaint(app.Page(page));
            }
            // Hover and press on a button, the system's colours changed,
            // Stop and Start, and the tray icon's menu opened and closed.
            ::SendMessageA(hide, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::SendMessageA(hide, BM_SETSTATE, TRUE, 0);
            ::UpdateWindow(hide);
            ::SendMessageA(hide, BM_SETSTATE, FALSE, 0);
            ::SendMessageA(hide, WM_MOUSELEAVE, 0, 0);
            ASSERT_TRUE(ChangeFace(round % 2 ? face : other));
            repaint(mainWindow);
            for (int click = 0; click < 10; ++click)
                app.Click(start);
            ASSERT_TRUE(app.Settle() && (tray = TrayWindowOf(app)));
            ::PostMessageA(tray, kTrayNotify, IDR_TRAY_STARTED, WM_RBUTTONUP);
            ASSERT_TRUE(WaitUntil([&] { return ShownMenu(app) != nullptr; }));
            ASSERT_TRUE(ChooseInMenu(app, {VK_ESCAPE}));
        }
    };
    use(3);
    ASSERT_TRUE(probe->Ask(mainWindow, probe::kCountObjects));
    probe::Report before = probe->Report();
    EXPECT_GT(before.objects[probe::kGdi], 0) << "the count sees the objects at all";
    EXPECT_GT(before.objects[probe::kWindows], 0);
    use(10);
    ASSERT_TRUE(probe->Ask(mainWindow, probe::kCountObjects));
    const char* const kinds[] = {"GDI objects", "menus", "windows"};
    for (int kind = 0; kind < probe::kObjectKinds; ++kind) {
        long was = before.objects[kind], now = probe->Report().objects[kind];
        std::printf("Velmora's %s over 10 rounds of every page, a button hovered and pressed, a "
                    "colour change, 5 Stop/Start cycles and the tray menu: %ld -> %ld\n",
                    kinds[kind], was, now);
        EXPECT_LE(now, was) << kinds[kind];
    }
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app), IDR_TRAY_STARTED));
    EXPECT_FALSE(ShellHasIcon(TrayWindowOf(app), IDR_TRAY_STOPPED));
}

// The image button on real button controls: attaching, the check box, the
// click, the dialog manager's messages, hover, drawing and its options.
#include <gtest/gtest.h>

#include "controls/ImageButton.h"
#include "resources/resource.h"
#include "tests/win/Support.h"

using wintest::PixelAt;

namespace {

constexpr int kFirst = 2001;
constexpr int kSecond = 2002;

bool Greenish(COLORREF c) {
    return GetGValue(c) > 100 && GetGValue(c) > GetRValue(c) + 50 &&
           GetGValue(c) > GetBValue(c) + 50;
}
bool Reddish(COLORREF c) {
    return GetRValue(c) > 150 && GetRValue(c) > GetGValue(c) + 80 &&
           GetRValue(c) > GetBValue(c) + 80;
}
bool Coloured(COLORREF c) {
    return GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
}
LONG ButtonType(HWND button) {
    return ::GetWindowLongA(button, GWL_STYLE) & 0x1F;
}
LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(window, msg, wParam, lParam);
}
// Hover tracking needs the real pointer on the button.
void PointAt(HWND button) {
    RECT rc{};
    ::GetWindowRect(button, &rc);
    ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    wintest::Pump(50);
}
void MoveOver(HWND button, WPARAM keys) {
    Send(button, WM_MOUSEMOVE, keys, MAKELPARAM(5, 5));
}

struct ImageButtonTest : ::testing::Test {
    wintest::HostWindow host;
    ImageButton first, second;

    HWND Attach(ImageButton& button, int id, DWORD type, int y = 10) {
        HWND hwnd = host.Add("BUTTON", id, "Caption", WS_TABSTOP | type, 10, y, 120, 21);
        EXPECT_TRUE(button.SubclassWindow(hwnd));
        return hwnd;
    }
    // The pixels of the 16 x 16 icon spot of a button 21 pixels high.
    int IconPixels(HWND button, bool (*test)(COLORREF)) {
        RECT spot{3, 2, 19, 18};
        return wintest::CountPixels(button, test, &spot);
    }
};

} // namespace

TEST_F(ImageButtonTest, AttachReadsTheRoleAndTheCheckFollowsTheMessages) {
    HWND box = Attach(first, kFirst, BS_AUTOCHECKBOX);
    HWND def = Attach(second, kSecond, BS_DEFPUSHBUTTON, 40);
    EXPECT_TRUE(ButtonType(box) == BS_OWNERDRAW && ButtonType(def) == BS_OWNERDRAW);
    EXPECT_TRUE(first.IsCheckBox() && !first.IsDefaultButton());
    EXPECT_TRUE(second.IsDefaultButton() && !second.IsCheckBox());
    EXPECT_GT(IconPixels(box, Reddish), 10) << "the cross, unchecked";
    EXPECT_EQ(0, IconPixels(box, Greenish));

    // 2 (indeterminate) checks; 3 and anything else unchecks.
    const WPARAM values[] = {1, 0, 2, 3, 1, 7};
    const LRESULT expected[] = {1, 0, 1, 0, 1, 0};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(0, Send(box, BM_SETCHECK, values[i]));
        EXPECT_EQ(expected[i], Send(box, BM_GETCHECK)) << "BM_SETCHECK " << values[i];
    }
    EXPECT_EQ(0, first.SetCheckState(5, false));
    EXPECT_EQ(1, first.GetCheckState());
    EXPECT_GT(IconPixels(box, Greenish), 10) << "the tick, checked";
    EXPECT_EQ(0, IconPixels(box, Reddish));
    Send(def, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, Send(def, BM_GETCHECK)) << "a push button has no check";
}

TEST_F(ImageButtonTest, ClickTogglesBeforeTheParentsHandlerRunsTakesTheFocusAndOpensTheLink) {
    wintest::RecordedShell shell;
    HWND box = Attach(first, kFirst, BS_AUTOCHECKBOX);
    HWND push = Attach(second, kSecond, BS_PUSHBUTTON, 40);
    std::vector<LRESULT> seen;
    host.onCommand = [&](WORD id, WORD code) {
        if (code == BN_CLICKED)
            seen.push_back(id == kFirst ? Send(box, BM_GETCHECK) : -id);
    };
    for (int i = 0; i < 3; ++i)
        Send(box, BM_CLICK);
    EXPECT_EQ(box, ::GetFocus());
    EXPECT_EQ(0, second.SetLinkTarget("http://www.draxtel.example/"));
    Send(push, BM_CLICK);
    EXPECT_EQ(push, ::GetFocus());
    EXPECT_EQ((std::vector<LRESULT>{1, 0, 1, -kSecond}), seen) << "push-button clicks reach it too";
    ASSERT_EQ(1u, shell.requests.size());
    const controls::ShellRequest& request = shell.requests[0];
    EXPECT_EQ("open http://www.draxtel.example/", request.verb + " " + request.file);
    EXPECT_TRUE(request.show == SW_SHOWMAXIMIZED && request.quiet);
    EXPECT_EQ(0, second.SetLinkTarget(std::string(ImageButton::kMaxLinkTarget, 'a').c_str()));
    EXPECT_EQ(7, second.SetLinkTarget(std::string(ImageButton::kMaxLinkTarget + 1, 'a').c_str()))
        << "refused rather than cut short";
    EXPECT_EQ("", second.LinkTarget());
}

TEST_F(ImageButtonTest, StyleChangesKeepItOwnerDrawnAndDisablingMovesTheFocusOn) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
    auto dialogCode = [&] {
        return Send(push, WM_GETDLGCODE) & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON);
    };
    EXPECT_EQ(DLGC_UNDEFPUSHBUTTON, dialogCode());
    Send(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(first.IsDefaultButton());
    EXPECT_EQ(DLGC_DEFPUSHBUTTON, dialogCode());
    EXPECT_EQ(BS_OWNERDRAW, ButtonType(push));
    Send(push, BM_SETSTYLE, BS_AUTOCHECKBOX, TRUE);
    EXPECT_TRUE(first.IsDefaultButton()) << "other types leave the flag";
    Send(push, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(first.IsDefaultButton());
    EXPECT_EQ(BS_OWNERDRAW, ButtonType(push));

    HWND next = Attach(second, kSecond, BS_PUSHBUTTON, 40);
    HWND edit = host.Add("EDIT", 0, "", WS_TABSTOP | WS_BORDER, 10, 70, 80, 20);
    ::SetFocus(edit);
    ::EnableWindow(push, FALSE);
    EXPECT_EQ(next, ::GetFocus()) << "the next tab stop, even when another control had it";
    ::DestroyWindow(edit);
    ::SetFocus(next);
    ::EnableWindow(next, FALSE);
    EXPECT_EQ(host.m_hWnd, ::GetFocus()) << "nothing else to go to: the parent";
}

TEST_F(ImageButtonTest, HoverFollowsThePointerButNotADragOrACheckBox) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
    first.ShadeStateColour(ImageButton::HoverBack, 20);
    PointAt(push);
    Send(push, WM_MOUSELEAVE); // the pointer's arrival lit it: start from outside
    ASSERT_FALSE(first.IsHovering());
    MoveOver(push, MK_LBUTTON);
    EXPECT_FALSE(first.IsHovering()) << "dragging onto the button does not light it";
    MoveOver(push, 0);
    EXPECT_TRUE(first.IsHovering());
    EXPECT_EQ(first.GetStateColour(ImageButton::HoverBack), PixelAt(push, 30, 1)) << "hover face";
    MoveOver(push, MK_LBUTTON);
    EXPECT_TRUE(first.IsHovering()) << "holding the button down keeps an existing hover";
    // Every way out of hover (WM_ACTIVATE with WA_INACTIVE, WM_ENABLE with FALSE).
    for (UINT msg : {WM_MOUSELEAVE, WM_KILLFOCUS, WM_CANCELMODE, WM_ACTIVATE, WM_ENABLE}) {
        MoveOver(push, 0);
        ASSERT_TRUE(first.IsHovering());
        Send(push, msg);
        EXPECT_FALSE(first.IsHovering()) << msg;
    }
    Send(push, WM_SYSCOLORCHANGE);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), first.GetStateColour(ImageButton::HoverBack))
        << "the colours are reset on a colour change";

    HWND box = Attach(second, kSecond, BS_AUTOCHECKBOX, 80);
    PointAt(box);
    MoveOver(box, 0);
    EXPECT_FALSE(second.IsHovering()) << "check boxes never hover";
}

TEST_F(ImageButtonTest, IconsPlacedMovedWhenPressedEngravedWhenDisabledGreyAwayFromThePointer) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
    ASSERT_EQ(0, first.SetIconResources(IDI_REMOVE, 0));
    EXPECT_EQ(6, first.SetPressShift(2)) << "no such press style";
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    COLORREF rest[16][16];
    int inside = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            inside += (rest[y][x] = PixelAt(push, 3 + x, 2 + y)) != face;
    EXPECT_GT(inside, 30) << "the icon sits in the 16 x 16 square at (3, 2)";

    Send(push, BM_SETSTATE, TRUE);
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), PixelAt(push, 30, 0)) << "sunken edge";
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), PixelAt(push, 30, 20));
    int moved = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            moved += rest[y][x] != face && PixelAt(push, 4 + x, 3 + y) == rest[y][x];
    EXPECT_EQ(inside, moved) << "the whole picture moved by (1, 1)";
    Send(push, BM_SETSTATE, FALSE);

    ::EnableWindow(push, FALSE);
    auto is = [](COLORREF want) { return [want](COLORREF c) { return c == want; }; };
    EXPECT_EQ(0, wintest::CountPixels(push, Reddish)) << "the icon embossed, not in colour";
    EXPECT_GT(wintest::CountPixels(push, is(::GetSysColor(COLOR_BTNSHADOW))), 20) << "engraved";

    HWND grey = Attach(second, kSecond, BS_PUSHBUTTON, 40);
    EXPECT_EQ(0, second.SetIconResources(IDI_STARTED, ImageButton::AUTO_GREY_ICON));
    EXPECT_EQ(0, IconPixels(grey, Coloured)) << "the grey copy away from the pointer";
    PointAt(grey);
    MoveOver(grey, 0);
    EXPECT_GT(IconPixels(grey, Coloured), 30) << "the first under the pointer";
    HICON bogus = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7ff0));
    EXPECT_EQ(1, second.SetIconHandles(bogus, nullptr)) << "an unreadable icon";
}

TEST_F(ImageButtonTest, OptionsTheProgramLeavesAloneWorkToo) {
    // The 3-D look: the default button's black frame, and no hover.
    HWND push = Attach(first, kFirst, BS_DEFPUSHBUTTON);
    first.SetFlat(false);
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(push, 30, 0));
    PointAt(push);
    MoveOver(push, 0);
    EXPECT_FALSE(first.IsHovering()) << "a 3-D button does not track hover";
    // An own cursor over the button.
    HCURSOR cross =
        static_cast<HCURSOR>(::CopyImage(::LoadCursorA(nullptr, IDC_CROSS), IMAGE_CURSOR, 0, 0, 0));
    first.SetPointerCursor(cross);
    EXPECT_TRUE(Send(push, WM_SETCURSOR, reinterpret_cast<WPARAM>(push),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(cross, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    // An attached menu: its callback hears of it, its owner gets the choice.
    ASSERT_TRUE(first.SetMenu(IDR_TRAY_STARTED, host.m_hWnd));
    first.SetMenuCallback(host.m_hWnd, WM_APP + 7, 42);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) // the menu's own loop takes these
        ::PostMessageA(host.m_hWnd, WM_KEYDOWN, key, 0);
    Send(push, BM_CLICK);
    wintest::Pump(100);
    bool told = false, chose = false;
    for (const auto& r : host.received) {
        told = told || (r.msg == WM_APP + 7 && r.wParam && r.lParam == 42);
        chose = chose || (r.msg == WM_COMMAND && r.wParam == ID_TRAY_STOP);
    }
    EXPECT_TRUE(told && chose) << "the second item of the tray menu";

    // A see-through face with a bitmap drawn through its mask.
    host.background = RGB(10, 200, 30);
    ::RedrawWindow(host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND clear = Attach(second, kSecond, BS_PUSHBUTTON, 80);
    second.SetSeeThrough(true);
    std::vector<DWORD> pixels(256, 0xFF00FF); // magenta round a blue square
    for (int y = 4; y < 12; ++y)
        std::fill_n(&pixels[y * 16 + 4], 8, 0x0000C8);
    HBITMAP picture = ::CreateBitmap(16, 16, 1, 32, pixels.data());
    ASSERT_EQ(0, second.SetBitmaps(picture, RGB(255, 0, 255), nullptr, 0));
    EXPECT_EQ(RGB(0, 0, 200), PixelAt(clear, 3 + 8, 2 + 8));
    EXPECT_EQ(RGB(10, 200, 30), PixelAt(clear, 3 + 1, 2 + 1)) << "the parent's pixels show";
    ::EnableWindow(clear, FALSE);
    EXPECT_NE(RGB(0, 0, 200), PixelAt(clear, 3 + 8, 2 + 8)) << "disabled: the system's grey";
}

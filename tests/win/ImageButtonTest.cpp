// The image button on real button controls, as the program uses it: the
// role read when attached, the check box's state and click, the dialog
// manager's messages, disabling, hover, the drawn icon and its scale.
#include <gtest/gtest.h>

#include "controls/ImageButton.h"
#include "framework/Dpi.h"
#include "resources/resource.h"
#include "tests/win/Support.h"

using wintest::PixelAt;

namespace {

constexpr int kFirst = 2001;
constexpr int kSecond = 2002;

LONG ButtonType(HWND button) {
    return ::GetWindowLongA(button, GWL_STYLE) & 0x1F;
}
LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(window, msg, wParam, lParam);
}
void MoveOver(HWND button, WPARAM keys) {
    Send(button, WM_MOUSEMOVE, keys, MAKELPARAM(5, 5));
}

struct ImageButtonTest : ::testing::Test {
    wintest::HostWindow host;
    controls::ImageButton first, second;

    HWND Attach(controls::ImageButton& button, int id, DWORD type, int y = 10) {
        HWND hwnd = host.Add("BUTTON", id, "Caption", WS_TABSTOP | type, 10, y, 120, 21);
        EXPECT_TRUE(button.SubclassWindow(hwnd));
        return hwnd;
    }
    // Hover tracking asks where the real pointer is. Once this thread has
    // handled what the move brought, only the test's own messages move it.
    HWND UnderThePointer(controls::ImageButton& button, int id, DWORD type) {
        HWND hwnd = Attach(button, id, type);
        RECT rc{};
        ::GetWindowRect(hwnd, &rc);
        ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        wintest::Settle();
        Send(hwnd, WM_MOUSELEAVE);
        EXPECT_FALSE(button.IsHovering());
        return hwnd;
    }
};

} // namespace

TEST_F(ImageButtonTest, StaysOwnerDrawnAndKnowsItsRoleWhenAttachedAndAsTheDialogManagerRestyles) {
    HWND box = Attach(first, kFirst, BS_AUTOCHECKBOX);
    HWND push = Attach(second, kSecond, BS_DEFPUSHBUTTON, 40);
    EXPECT_EQ(BS_OWNERDRAW, ButtonType(box));
    EXPECT_TRUE(first.IsCheckBox() && !first.IsDefaultButton());
    EXPECT_TRUE(second.IsDefaultButton() && !second.IsCheckBox());
    auto dialogCode = [&] {
        return Send(push, WM_GETDLGCODE) & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON);
    };
    // The dialog manager's restyling in turn; a type of another kind leaves the flag.
    const struct {
        DWORD style;
        bool isDefault;
    } steps[] = {{BS_PUSHBUTTON, false}, {BS_DEFPUSHBUTTON, true}, {BS_AUTOCHECKBOX, true}};
    for (const auto& step : steps) {
        Send(push, BM_SETSTYLE, step.style, TRUE);
        EXPECT_EQ(step.isDefault, second.IsDefaultButton()) << "after style " << step.style;
        EXPECT_EQ(step.isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON, dialogCode());
        EXPECT_EQ(BS_OWNERDRAW, ButtonType(push)) << "after style " << step.style;
    }
}

TEST_F(ImageButtonTest, TheCheckFollowsSetCheckAndEachClickBeforeTheParentHearsOfIt) {
    HWND box = Attach(first, kFirst, BS_AUTOCHECKBOX);
    HWND push = Attach(second, kSecond, BS_PUSHBUTTON, 40);
    // Checked by 1 and 2 (BST_INDETERMINATE), unchecked by anything else.
    const WPARAM values[] = {1, 0, 2, 3, 1, 7};
    for (WPARAM value : values) {
        EXPECT_EQ(0, Send(box, BM_SETCHECK, value));
        EXPECT_EQ(value == 1 || value == 2 ? 1 : 0, Send(box, BM_GETCHECK))
            << "BM_SETCHECK " << value;
    }
    Send(push, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(0, Send(push, BM_GETCHECK)) << "a push button has no check";

    std::vector<LRESULT> seen;
    host.onCommand = [&](WORD id, WORD code) {
        if (code == BN_CLICKED)
            seen.push_back(id == kFirst ? Send(box, BM_GETCHECK) : -id);
    };
    for (int i = 0; i < 3; ++i)
        Send(box, BM_CLICK);
    EXPECT_EQ(box, ::GetFocus());
    Send(push, BM_CLICK);
    EXPECT_EQ(push, ::GetFocus());
    EXPECT_EQ((std::vector<LRESULT>{1, 0, 1, -kSecond}), seen) << "push-button clicks reach it too";
}

TEST_F(ImageButtonTest, DisablingMovesTheFocusToTheNextTabStopOrElseToTheParent) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
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

TEST_F(ImageButtonTest, APushButtonNotACheckBoxHoversUnderThePointerButNotOnADragOntoIt) {
    HWND box = UnderThePointer(second, kSecond, BS_AUTOCHECKBOX);
    MoveOver(box, 0);
    EXPECT_FALSE(second.IsHovering()) << "check boxes never hover";
    ::DestroyWindow(box);

    HWND push = UnderThePointer(first, kFirst, BS_PUSHBUTTON);
    first.ShadeStateColour(controls::ImageButton::HoverBack, 20);
    MoveOver(push, MK_LBUTTON);
    EXPECT_FALSE(first.IsHovering()) << "dragging onto the button does not light it";
    MoveOver(push, 0);
    EXPECT_TRUE(first.IsHovering());
    EXPECT_EQ(first.GetStateColour(controls::ImageButton::HoverBack), PixelAt(push, 30, 1))
        << "hover face";
    MoveOver(push, MK_LBUTTON);
    EXPECT_TRUE(first.IsHovering()) << "holding the button down keeps an existing hover";

    // Leaving, losing the focus, cancelling, deactivating (0) and disabling (0) end it.
    for (UINT msg : {WM_MOUSELEAVE, WM_KILLFOCUS, WM_CANCELMODE, WM_ACTIVATE, WM_ENABLE}) {
        MoveOver(push, 0);
        ASSERT_TRUE(first.IsHovering());
        Send(push, msg);
        EXPECT_FALSE(first.IsHovering()) << msg;
    }
}

TEST_F(ImageButtonTest, AColourChangeResetsEveryStateColour) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
    first.ShadeStateColour(controls::ImageButton::HoverBack, 20);
    first.SetStateColour(controls::ImageButton::HoverText, RGB(0, 128, 0));
    Send(push, WM_SYSCOLORCHANGE);
    for (int slot = controls::ImageButton::HoverBack; slot <= controls::ImageButton::FocusText;
         ++slot)
        EXPECT_EQ(::GetSysColor(slot % 2 ? COLOR_BTNTEXT : COLOR_BTNFACE),
                  first.GetStateColour(slot))
            << slot;
}

TEST_F(ImageButtonTest, TheIconSitsAtThreeTwoMovesOneDownRightWhenPressedAndEmbossesDisabled) {
    HWND push = Attach(first, kFirst, BS_PUSHBUTTON);
    ASSERT_EQ(0, first.SetIconResources(IDI_REMOVE, 0));
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
    auto reddish = [](COLORREF c) { return GetRValue(c) > GetGValue(c) + 80; };
    auto shadow = [](COLORREF c) { return c == ::GetSysColor(COLOR_BTNSHADOW); };
    EXPECT_EQ(0, wintest::CountPixels(push, reddish)) << "the red cross embossed, not in colour";
    EXPECT_GT(wintest::CountPixels(push, shadow), 20) << "engraved";
}

TEST_F(ImageButtonTest, IconsAndMarginsFollowTheWindowsDpiAndComeBackWithIt) {
    HWND push = host.Add("BUTTON", kFirst, "Caption", WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 160, 40);
    ASSERT_TRUE(first.SubclassWindow(push));
    ASSERT_EQ(0, first.SetIconResources(IDI_HIDE, 0));
    EXPECT_EQ(16, first.IconWidth());
    auto arrowRows = [&] {
        int rows = 0;
        for (int y = 0; y < 40; ++y) {
            bool blue = false;
            for (int x = 0; x < 40 && !blue; ++x) {
                COLORREF c = PixelAt(push, x, y);
                blue = GetBValue(c) > GetRValue(c) + 60;
            }
            rows += blue;
        }
        return rows;
    };
    int rows = arrowRows();
    EXPECT_GE(rows, 13) << "the arrow spans its 16 x 16 icon";
    // The host moved to a monitor at 200 %: what the framework tells each
    // window below a dialog that takes WM_DPICHANGED.
    fw::RecordWindowDpi(host.m_hWnd, 192);
    Send(push, fw::kDpiChangedAfterParent);
    EXPECT_EQ(32, first.IconWidth()) << "drawn for 200 %";
    EXPECT_GE(arrowRows(), 2 * rows - 1);
    EXPECT_NE(::GetSysColor(COLOR_BTNFACE), PixelAt(push, 6 + 16, 20)) << "six pixels in, 32 wide";
    fw::RecordWindowDpi(host.m_hWnd, 96);
    Send(push, fw::kDpiChangedAfterParent);
    EXPECT_EQ(16, first.IconWidth());
    EXPECT_EQ(rows, arrowRows());
    fw::ForgetWindowDpi(host.m_hWnd);
}

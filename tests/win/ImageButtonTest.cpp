// The image button on real button controls: attaching, the check box, the
// click, the dialog manager's messages, hover, focus, colours and drawing.
#include <gtest/gtest.h>

#include "controls/ImageButton.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "tests/win/ControlsHost.h"

using wintest::CountPixels;
using wintest::HostWindow;
using wintest::PixelAt;
using wintest::Pump;

namespace {

constexpr int kFirst = 2001;
constexpr int kSecond = 2002;
constexpr int kThird = 2003;

bool Greenish(COLORREF c) {
    return GetGValue(c) > 100 && GetGValue(c) > GetRValue(c) + 50 &&
           GetGValue(c) > GetBValue(c) + 50;
}
bool Reddish(COLORREF c) {
    return GetRValue(c) > 150 && GetRValue(c) > GetGValue(c) + 80 &&
           GetRValue(c) > GetBValue(c) + 80;
}
bool Grey(COLORREF c) {
    return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}

// The pixels of the 16 x 16 icon spot of a button 21 pixels high.
int CountIconPixels(HWND button, bool (*test)(COLORREF)) {
    int n = 0;
    for (int y = 2; y < 18; ++y)
        for (int x = 3; x < 19; ++x)
            if (test(PixelAt(button, x, y)))
                ++n;
    return n;
}

void MoveCursorOnto(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    Pump(50);
}

LRESULT MoveOver(HWND button, WPARAM keys) {
    return ::SendMessageA(button, WM_MOUSEMOVE, keys, MAKELPARAM(5, 5));
}

struct ImageButtonTest : ::testing::Test {
    HostWindow host;
    ImageButton first, second, third;

    HWND CheckBox(ImageButton& button, int id, int y = 10) {
        HWND hwnd = host.AddButton(id, "Check box", WS_TABSTOP | BS_AUTOCHECKBOX, 10, y, 120, 21);
        EXPECT_TRUE(button.SubclassWindow(hwnd));
        return hwnd;
    }
    HWND PushButton(ImageButton& button, int id, DWORD type = BS_PUSHBUTTON, int y = 40) {
        HWND hwnd = host.AddButton(id, "Push", WS_TABSTOP | type, 10, y, 60, 21);
        EXPECT_TRUE(button.SubclassWindow(hwnd));
        return hwnd;
    }
};

} // namespace

TEST_F(ImageButtonTest, AttachMakesEveryButtonOwnerDrawnAndReadsItsRole) {
    HWND box = CheckBox(first, kFirst);
    HWND def = PushButton(second, kSecond, BS_DEFPUSHBUTTON, 40);
    HWND push = PushButton(third, kThird, BS_PUSHBUTTON, 70);
    for (HWND hwnd : {box, def, push})
        EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(hwnd, GWL_STYLE) & 0x1F);
    EXPECT_TRUE(first.IsCheckBox());
    EXPECT_FALSE(first.IsDefaultButton());
    EXPECT_TRUE(second.IsDefaultButton());
    EXPECT_FALSE(second.IsCheckBox());
    EXPECT_FALSE(third.IsDefaultButton());
    EXPECT_TRUE(::GetWindowLongA(box, GWL_STYLE) & WS_TABSTOP) << "other style bits stay";

    // The check box draws the red cross unchecked and the green tick checked.
    EXPECT_GT(CountIconPixels(box, Reddish), 10);
    EXPECT_EQ(0, CountIconPixels(box, Greenish));
    ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_GT(CountIconPixels(box, Greenish), 10);
    EXPECT_EQ(0, CountIconPixels(box, Reddish));
}

TEST_F(ImageButtonTest, CheckStateMessagesAndOperations) {
    HWND box = CheckBox(first, kFirst);
    const WPARAM values[] = {1, 0, 2, 3, 1, 7};
    const LRESULT expected[] = {1, 0, 1, 0, 1, 0};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(0, ::SendMessageA(box, BM_SETCHECK, values[i], 0));
        EXPECT_EQ(expected[i], ::SendMessageA(box, BM_GETCHECK, 0, 0))
            << "BM_SETCHECK " << values[i];
    }
    EXPECT_EQ(0, first.SetCheckState(5, false));
    EXPECT_EQ(1, first.GetCheckState());

    HWND push = PushButton(second, kSecond);
    ::SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, ::SendMessageA(push, BM_GETCHECK, 0, 0)) << "a push button has no check";
}

TEST_F(ImageButtonTest, ClickTogglesBeforeTheParentsHandlerRuns) {
    HWND box = CheckBox(first, kFirst);
    std::vector<LRESULT> seen;
    host.onCommand = [&](const HostWindow::Command& command) {
        if (command.id == kFirst && command.code == BN_CLICKED)
            seen.push_back(::SendMessageA(box, BM_GETCHECK, 0, 0));
    };
    ::SendMessageA(box, BM_CLICK, 0, 0);
    ::SendMessageA(box, BM_CLICK, 0, 0);
    ::SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<LRESULT>{1, 0, 1}), seen);
    EXPECT_EQ(box, ::GetFocus()) << "a click takes the focus";

    HWND push = PushButton(second, kSecond);
    ::SendMessageA(push, BM_CLICK, 0, 0);
    ASSERT_FALSE(host.commands.empty());
    EXPECT_EQ(kSecond, host.commands.back().id) << "the parent hears push-button clicks too";
    EXPECT_EQ(push, ::GetFocus());
}

namespace {
// A modal dialog whose loop delivers a click and a double-click to a check box.
class DoubleClickDialog : public fw::CDialog {
public:
    DoubleClickDialog() : fw::CDialog(IDD_MAIN) {}
    ImageButton box;
    std::vector<LRESULT> seen;

    BEGIN_MSG_MAP(DoubleClickDialog)
    COMMAND_HANDLER(kFirst, BN_CLICKED, OnBoxClicked)
    MESSAGE_HANDLER(WM_APP + 1, OnFinish)
    CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override {
        HWND hwnd = ::CreateWindowExA(
            0, "BUTTON", "Box", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 10, 100,
            21, m_hWnd, reinterpret_cast<HMENU>(kFirst), ::GetModuleHandleA(nullptr), nullptr);
        box.SubclassWindow(hwnd);
        LPARAM at = MAKELPARAM(5, 5);
        ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
        ::PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
        ::PostMessageA(m_hWnd, WM_APP + 1, 0, 0);
        return true;
    }

private:
    LRESULT OnBoxClicked(WORD, WORD, HWND, bool&) {
        seen.push_back(::SendMessageA(box.m_hWnd, BM_GETCHECK, 0, 0));
        return 0;
    }
    LRESULT OnFinish(UINT, WPARAM, LPARAM, bool&) {
        EndDialog(IDOK);
        return 0;
    }
};
} // namespace

TEST(ImageButtonModal, DoubleClickCountsAsTwoClicksThroughTheMessageLoop) {
    DoubleClickDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ((std::vector<LRESULT>{1, 0}), dialog.seen) << "two clicks, each toggling";
    EXPECT_EQ(0, dialog.box.GetCheckState());
}

TEST_F(ImageButtonTest, PreTranslationMakesAnInactiveTooltipAndTurnsDoubleClicksIntoPresses) {
    HWND push = PushButton(first, kFirst);
    EXPECT_EQ(nullptr, first.Tooltip()) << "made on first use";
    MSG msg{push, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
    EXPECT_FALSE(first.PreTranslateMessage(&msg));
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), msg.message);
    HWND tip = first.Tooltip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(400, ::SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0));
    EXPECT_EQ(0, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0)) << "no tip is ever shown";
    MSG other{push, WM_MOUSEMOVE, 0, 0, 0, {}};
    first.PreTranslateMessage(&other);
    EXPECT_EQ(tip, first.Tooltip()) << "one tooltip";
    EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), other.message);
    ::DestroyWindow(push);
    EXPECT_FALSE(::IsWindow(tip)) << "the tooltip goes with its button";
}

TEST_F(ImageButtonTest, DialogManagerStyleChangesKeepItOwnerDrawn) {
    HWND push = PushButton(first, kFirst);
    EXPECT_EQ(DLGC_UNDEFPUSHBUTTON, ::SendMessageA(push, WM_GETDLGCODE, 0, 0) &
                                        (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON));
    ::SendMessageA(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(first.IsDefaultButton());
    EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(push, GWL_STYLE) & 0x1F);
    EXPECT_EQ(DLGC_DEFPUSHBUTTON, ::SendMessageA(push, WM_GETDLGCODE, 0, 0) &
                                      (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON));
    ::SendMessageA(push, BM_SETSTYLE, BS_AUTOCHECKBOX, TRUE);
    EXPECT_TRUE(first.IsDefaultButton()) << "other types leave the flag";
    ::SendMessageA(push, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(first.IsDefaultButton());
    EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(push, GWL_STYLE) & 0x1F);
    EXPECT_TRUE(::GetWindowLongA(push, GWL_STYLE) & WS_VISIBLE);
}

TEST(ImageButtonDialog, RealTemplateCheckBoxesStayOwnerDrawnAsTheFocusMoves) {
    // The options page's own check boxes, with the dialog manager moving the
    // default button about as the focus goes from control to control.
    HostWindow host(460, 380);
    class Page : public fw::CDialog {
    public:
        Page() : fw::CDialog(IDD_OPTIONS) {}
        ImageButton boxes[3];
        void DoDataExchange(fw::DataExchange& dx) override {
            dx.Control(IDC_BY_NAME, boxes[0]);
            dx.Control(IDC_BY_SIZE, boxes[1]);
            dx.Control(IDC_BY_SESSION, boxes[2]);
        }
    } page;
    ASSERT_TRUE(page.Create(host.m_hWnd));
    ::ShowWindow(page.m_hWnd, SW_SHOW);
    for (int i = 0; i < 6; ++i)
        ::SendMessageA(page.m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
    ::SendMessageA(page.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(page.boxes[1].m_hWnd),
                   TRUE);
    for (const ImageButton& box : page.boxes) {
        EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongA(box.m_hWnd, GWL_STYLE) & 0x1F);
        EXPECT_TRUE(box.IsCheckBox());
    }
    EXPECT_TRUE(::CheckDlgButton(page.m_hWnd, IDC_BY_SESSION, BST_CHECKED));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(page.m_hWnd, IDC_BY_SESSION))
        << "the dialog calls reach the button's own state";
}

TEST_F(ImageButtonTest, DisablingMovesTheFocusOnEvenWhenAnotherControlHadIt) {
    HWND a = PushButton(first, kFirst, BS_PUSHBUTTON, 10);
    HWND b = PushButton(second, kSecond, BS_PUSHBUTTON, 40);
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 10,
                                  70, 80, 20, host.m_hWnd, nullptr, nullptr, nullptr);
    ::SetFocus(edit);
    ASSERT_EQ(edit, ::GetFocus());
    ::EnableWindow(a, FALSE);
    EXPECT_EQ(b, ::GetFocus()) << "the next tab stop after the disabled button";

    // Nothing else to go to: the parent takes the focus.
    ::DestroyWindow(edit);
    ::SetFocus(b);
    ::EnableWindow(b, FALSE);
    EXPECT_EQ(host.m_hWnd, ::GetFocus());
}

TEST_F(ImageButtonTest, HoverFollowsThePointerButNotADragOrACheckBox) {
    HWND push = PushButton(first, kFirst);
    first.ShadeStateColour(ImageButton::HoverBack, 20, true);
    first.SetStateColour(ImageButton::HoverText, RGB(0, 0, 128), true);
    COLORREF hoverFace = first.GetStateColour(ImageButton::HoverBack);
    MoveCursorOnto(push);
    // The real pointer's arrival already lit it; start from outside again.
    ::SendMessageA(push, WM_MOUSELEAVE, 0, 0);
    ASSERT_FALSE(first.IsHovering());

    MoveOver(push, MK_LBUTTON);
    EXPECT_FALSE(first.IsHovering()) << "dragging onto the button does not light it";
    MoveOver(push, 0);
    EXPECT_TRUE(first.IsHovering());
    EXPECT_EQ(hoverFace, PixelAt(push, 30, 1)) << "hover face";
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), PixelAt(push, 30, 0)) << "raised hover edge";
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), PixelAt(push, 30, 20));
    MoveOver(push, MK_LBUTTON);
    EXPECT_TRUE(first.IsHovering()) << "holding the button down keeps an existing hover";

    ::SendMessageA(push, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(first.IsHovering());
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), PixelAt(push, 30, 0)) << "no edge when not hovering";

    // Every way out of hover.
    for (UINT msg : {WM_KILLFOCUS, WM_CANCELMODE}) {
        MoveOver(push, 0);
        ASSERT_TRUE(first.IsHovering());
        ::SendMessageA(push, msg, 0, 0);
        EXPECT_FALSE(first.IsHovering()) << msg;
    }
    MoveOver(push, 0);
    ::SendMessageA(push, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(first.IsHovering());
    MoveOver(push, 0);
    ::EnableWindow(push, FALSE);
    EXPECT_FALSE(first.IsHovering());

    HWND box = CheckBox(second, kSecond, 80);
    MoveCursorOnto(box);
    MoveOver(box, 0);
    EXPECT_FALSE(second.IsHovering()) << "check boxes never hover";
}

TEST_F(ImageButtonTest, ColourOperationsAndTheSystemColourReset) {
    PushButton(first, kFirst);
    EXPECT_EQ(0, first.ShadeStateColour(ImageButton::HoverBack, 20));
    EXPECT_EQ(0, first.SetStateColour(ImageButton::HoverText, RGB(0, 128, 0)));
    EXPECT_EQ(3, first.SetStateColour(6, RGB(1, 2, 3)));
    EXPECT_EQ(3, first.ShadeStateColour(9, 10));
    EXPECT_EQ(5, first.ShadeStateColour(ImageButton::NormalBack, 256));
    EXPECT_EQ(5, first.ShadeStateColour(ImageButton::NormalBack, -256));
    EXPECT_EQ(6, first.SetPressShift(2));
    EXPECT_EQ(0, first.SetPressShift(1));
    EXPECT_EQ(RGB(0, 128, 0), first.GetStateColour(ImageButton::HoverText));

    ::SendMessageA(first.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(::GetSysColor(slot % 2 ? COLOR_BTNTEXT : COLOR_BTNFACE),
                  first.GetStateColour(slot))
            << slot;
}

TEST_F(ImageButtonTest, IconLayoutAndPressedLook) {
    HWND push = PushButton(first, kFirst);
    ASSERT_EQ(0, first.SetIconResources(IDI_ADD, 0));
    first.ShadeStateColour(ImageButton::HoverBack, 20);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // The icon's pixels sit in the 16 x 16 square at (3, 2); none outside it
    // on its left and top.
    int inside = 0;
    for (int y = 2; y < 18; ++y)
        for (int x = 3; x < 19; ++x)
            inside += PixelAt(push, x, y) != face;
    EXPECT_GT(inside, 30);
    for (int y = 0; y < 21; ++y)
        EXPECT_EQ(face, PixelAt(push, 2, y)) << y;

    COLORREF rest[16][16];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            rest[y][x] = PixelAt(push, 3 + x, 2 + y);

    // Held down: sunken edge, hover face, icon one pixel down and right.
    ::SendMessageA(push, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), PixelAt(push, 30, 0));
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), PixelAt(push, 30, 20));
    int same = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (rest[y][x] != face)
                same += PixelAt(push, 4 + x, 3 + y) == rest[y][x];
    EXPECT_EQ(inside, same) << "the whole picture moved by (1, 1)";
    ::SendMessageA(push, BM_SETSTATE, FALSE, 0);
}

TEST_F(ImageButtonTest, DisabledButtonIsEngravedInNeitherHoverNorNormalColours) {
    HWND push = PushButton(first, kFirst);
    first.SetIconResources(IDI_REMOVE, 0);
    first.SetStateColour(ImageButton::NormalText, RGB(0, 0, 255));
    first.SetStateColour(ImageButton::HoverText, RGB(0, 255, 0));
    ::EnableWindow(push, FALSE);
    auto is = [](COLORREF want) { return [want](COLORREF c) { return c == want; }; };
    EXPECT_EQ(0, CountPixels(push, is(RGB(0, 0, 255))));
    EXPECT_EQ(0, CountPixels(push, is(RGB(0, 255, 0))));
    EXPECT_EQ(0, CountPixels(push, Reddish)) << "the icon is drawn embossed, not in colour";
    EXPECT_GT(CountPixels(push, is(::GetSysColor(COLOR_BTNSHADOW))), 20);
    EXPECT_GT(CountPixels(push, is(::GetSysColor(COLOR_BTNHIGHLIGHT))), 20);
}

TEST_F(ImageButtonTest, IconHandlesAndGreyIcons) {
    HWND push = PushButton(first, kFirst);
    EXPECT_EQ(0, first.SetIconResources(IDI_STARTED, ImageButton::AUTO_GREY_ICON));
    // Not hovering: the grey second icon.
    int coloured = CountIconPixels(push, [](COLORREF c) { return !Grey(c); });
    EXPECT_EQ(0, coloured);
    MoveCursorOnto(push);
    MoveOver(push, 0);
    ASSERT_TRUE(first.IsHovering());
    EXPECT_GT(CountIconPixels(push, [](COLORREF c) { return !Grey(c); }), 30)
        << "the first under the pointer";

    // An unreadable icon: all images released, code 1.
    HICON bogus = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7ff0));
    EXPECT_EQ(1, first.SetIconHandles(bogus, nullptr));
    EXPECT_EQ(0, first.SetIconResources(9999, 0)) << "a missing resource is no icon";
    EXPECT_EQ(0, first.SetIconHandles(nullptr, nullptr));
}

TEST(ImageButtonGrey, GreyIconKeepsBlackAndGreysEverythingElse) {
    HICON icon =
        static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_STARTED),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon);
    HICON grey = ImageButton::MakeGreyIcon(icon);
    ASSERT_TRUE(grey);
    ICONINFO a{}, b{};
    ASSERT_TRUE(::GetIconInfo(icon, &a));
    ASSERT_TRUE(::GetIconInfo(grey, &b));
    EXPECT_EQ(a.xHotspot, b.xHotspot);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HDC dc2 = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldA = ::SelectObject(dc, a.hbmColor);
    HGDIOBJ oldB = ::SelectObject(dc2, b.hbmColor);
    int greyed = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            COLORREF original = ::GetPixel(dc, x, y) & 0xFFFFFF;
            COLORREF made = ::GetPixel(dc2, x, y) & 0xFFFFFF;
            EXPECT_EQ(controls::GreyPixel(original), made) << x << "," << y;
            greyed += original != 0;
        }
    }
    EXPECT_GT(greyed, 50);
    ::SelectObject(dc, oldA);
    ::SelectObject(dc2, oldB);
    ::DeleteDC(dc);
    ::DeleteDC(dc2);
    for (ICONINFO* info : {&a, &b}) {
        ::DeleteObject(info->hbmColor);
        ::DeleteObject(info->hbmMask);
    }
    ::DestroyIcon(grey);
    ::DestroyIcon(icon);
    EXPECT_EQ(nullptr, ImageButton::MakeGreyIcon(nullptr));
}

TEST_F(ImageButtonTest, LinkTargetOpensMaximisedThroughTheShell) {
    wintest::RecordedShell shell;
    HWND push = PushButton(first, kFirst);
    EXPECT_EQ(0, first.SetLinkTarget("http://www.draxtel.example/"));
    ::SendMessageA(push, BM_CLICK, 0, 0);
    ASSERT_EQ(1u, shell.Requests().size());
    EXPECT_EQ("open", shell.Requests()[0].verb);
    EXPECT_EQ("http://www.draxtel.example/", shell.Requests()[0].file);
    EXPECT_EQ(SW_SHOWMAXIMIZED, shell.Requests()[0].show);
    EXPECT_TRUE(shell.Requests()[0].quiet);
    EXPECT_EQ(1u, host.commands.size()) << "the parent still hears the click";

    std::string longest(ImageButton::kMaxLinkTarget, 'a');
    EXPECT_EQ(0, first.SetLinkTarget(longest.c_str()));
    EXPECT_EQ(longest, first.LinkTarget());
    std::string tooLong(ImageButton::kMaxLinkTarget + 1, 'a');
    EXPECT_EQ(7, first.SetLinkTarget(tooLong.c_str())) << "refused rather than cut short";
    EXPECT_EQ("", first.LinkTarget());
    ::SendMessageA(push, BM_CLICK, 0, 0);
    EXPECT_EQ(1u, shell.Requests().size()) << "no target, nothing opened";
    EXPECT_EQ(0, first.SetLinkTarget(nullptr));
}

TEST_F(ImageButtonTest, ThreeDimensionalLookAndSeeThroughFace) {
    HWND push = PushButton(first, kFirst, BS_DEFPUSHBUTTON);
    first.SetFlat(false);
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(push, 30, 0)) << "the default button's black frame";
    EXPECT_EQ(::GetSysColor(COLOR_BTNHIGHLIGHT), PixelAt(push, 30, 1));
    EXPECT_EQ(::GetSysColor(COLOR_3DLIGHT), PixelAt(push, 30, 2));
    EXPECT_EQ(::GetSysColor(COLOR_3DDKSHADOW), PixelAt(push, 30, 19));
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), PixelAt(push, 30, 18));
    MoveCursorOnto(push);
    MoveOver(push, 0);
    EXPECT_FALSE(first.IsHovering()) << "a 3-D button does not track hover";
    ::SendMessageA(push, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), PixelAt(push, 30, 1)) << "pressed: a shadow frame";
    ::SendMessageA(push, BM_SETSTATE, FALSE, 0);

    host.background = RGB(10, 200, 30);
    ::RedrawWindow(host.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND clear = PushButton(second, kSecond, BS_PUSHBUTTON, 80);
    second.SetSeeThrough(true);
    ::RedrawWindow(clear, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(RGB(10, 200, 30), PixelAt(clear, 2, 2)) << "the parent's pixels show";
}

TEST_F(ImageButtonTest, BitmapsAreDrawnThroughTheirMask) {
    HWND push = PushButton(first, kFirst);
    HDC screen = ::GetDC(nullptr);
    HBITMAP picture = ::CreateCompatibleBitmap(screen, 16, 16);
    ::ReleaseDC(nullptr, screen);
    {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, picture);
        RECT all{0, 0, 16, 16}, middle{4, 4, 12, 12};
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 200));
        ::FillRect(dc, &all, magenta);
        ::FillRect(dc, &middle, blue);
        ::DeleteObject(magenta);
        ::DeleteObject(blue);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    ASSERT_EQ(0, first.SetBitmaps(picture, RGB(255, 0, 255), nullptr, 0));
    EXPECT_EQ(RGB(0, 0, 200), PixelAt(push, 3 + 8, 2 + 8));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), PixelAt(push, 3 + 1, 2 + 1))
        << "the transparent colour";
    ::EnableWindow(push, FALSE);
    EXPECT_NE(RGB(0, 0, 200), PixelAt(push, 3 + 8, 2 + 8))
        << "disabled: the system's grey rendering";
}

TEST_F(ImageButtonTest, AttachedMenuSendsTheChosenCommandToItsOwner) {
    HWND push = PushButton(first, kFirst);
    ASSERT_TRUE(first.SetMenu(IDR_TRAY_STARTED, host.m_hWnd));
    struct Callback : fw::CWindow {
        HMENU told = nullptr;
        BEGIN_MSG_MAP(Callback)
        MESSAGE_HANDLER(WM_APP + 7, OnTold)
        END_MSG_MAP()
        LRESULT OnTold(UINT, WPARAM wParam, LPARAM lParam, bool&) {
            told = reinterpret_cast<HMENU>(wParam);
            EXPECT_EQ(42, lParam);
            // Choose the second item once the menu runs.
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
            return 0;
        }
    } callback;
    fw::CWindow::RegisterPrivateClass("VelmoraMenuCallback");
    callback.CreateEx(0, "VelmoraMenuCallback", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    first.SetMenuCallback(callback.m_hWnd, WM_APP + 7, 42);
    ::SendMessageA(push, BM_CLICK, 0, 0);
    EXPECT_TRUE(callback.told);
    host.commands.clear();
    Pump(100);
    bool chose = false;
    for (const auto& command : host.commands)
        chose = chose || command.id == ID_TRAY_STOP;
    EXPECT_TRUE(chose) << "the second item of the tray menu";
}

TEST_F(ImageButtonTest, OwnCursorOverTheButton) {
    HWND push = PushButton(first, kFirst);
    EXPECT_FALSE(::SendMessageA(push, WM_SETCURSOR, reinterpret_cast<WPARAM>(push),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "no cursor: default handling";
    HCURSOR cross =
        static_cast<HCURSOR>(::CopyImage(::LoadCursorA(nullptr, IDC_CROSS), IMAGE_CURSOR, 0, 0, 0));
    ASSERT_TRUE(cross);
    first.SetPointerCursor(cross);
    EXPECT_TRUE(::SendMessageA(push, WM_SETCURSOR, reinterpret_cast<WPARAM>(push),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(cross, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

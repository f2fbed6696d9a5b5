// The hyperlink label on real static controls, as the About page uses it:
// the control's font, its text colour, the mouse with and without a link,
// its cursor, and what a click opens.
#include <gtest/gtest.h>

#include "controls/HyperLinkLabel.h"
#include "tests/win/Support.h"

using wintest::RecordedShell;

namespace {

const char kCaption[] = "http://caption.draxtel.example/";

struct HyperLinkLabelTest : ::testing::Test {
    wintest::HostWindow host;
    HyperLinkLabel label;

    HWND Attach(const char* text = kCaption) {
        HWND hwnd = host.Add("STATIC", 3001, text, SS_LEFT, 10, 10, 250, 20);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        return hwnd;
    }
    void Click() { label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); }
    LRESULT SetCursor() {
        return label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
};

} // namespace

TEST_F(HyperLinkLabelTest, TakesTheControlsFont) {
    Attach();
    LOGFONTA gui{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, label.FontRecord().lfFaceName);
    EXPECT_EQ(gui.lfHeight, label.FontRecord().lfHeight);
}

TEST_F(HyperLinkLabelTest, DrawsItsTextInItsColour) {
    Attach("WWWWWWWW");
    label.SetTextColour(RGB(0, 0, 255));
    EXPECT_GT(wintest::CountPixels(label.m_hWnd, [](COLORREF c) { return c == RGB(0, 0, 255); }),
              20);
}

TEST_F(HyperLinkLabelTest, WithoutALinkTheMouseGoesToTheParent) {
    Attach();
    EXPECT_EQ(HTTRANSPARENT, label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(15, 15)));
}

TEST_F(HyperLinkLabelTest, AsALinkItTakesTheMouseAndShowsItsCursorIfItHasOne) {
    Attach();
    label.SetUrlLink(true, false);
    EXPECT_EQ(HTCLIENT, label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(15, 15)));
    EXPECT_FALSE(SetCursor()) << "no cursor: default handling";
    HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    label.SetPointerCursor(hand);
    EXPECT_TRUE(SetCursor());
    EXPECT_EQ(hand, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(HyperLinkLabelTest, AClickOpensTheLinkAddressOrWithoutOneTheCaption) {
    RecordedShell shell;
    Attach();
    label.SetUrlLink(true, false).SetLinkUrl("http://url.draxtel.example/");
    Click();
    label.SetLinkUrl("");
    Click();
    ASSERT_EQ(2u, shell.requests.size());
    EXPECT_EQ("open http://url.draxtel.example/",
              shell.requests[0].verb + " " + shell.requests[0].file);
    EXPECT_EQ(kCaption, shell.requests[1].file);
}

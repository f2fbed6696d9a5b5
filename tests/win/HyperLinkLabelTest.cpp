// The hyperlink label on real static controls, as the About page uses it:
// the control's font, its text colour, the mouse with and without a link,
// its cursor, and what a click opens.
#include <gtest/gtest.h>

#include "controls/HyperLinkLabel.h"
#include "tests/win/Support.h"

namespace {

const char kCaption[] = "http://caption.draxtel.example/";

struct HyperLinkLabelTest : ::testing::Test {
    wintest::HostWindow host;
    controls::HyperLinkLabel label;

    void Attach(const char* text = kCaption) {
        HWND hwnd = host.Add("STATIC", 3001, text, SS_LEFT, 10, 10, 250, 20);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
    }
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) {
        return label.SendMessage(msg, wParam, lParam);
    }
};

} // namespace

TEST_F(HyperLinkLabelTest, DrawsItsTextInTheControlsFontAndInItsColour) {
    Attach("WWWWWWWW");
    LOGFONTA gui{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, label.FontRecord().lfFaceName);
    EXPECT_EQ(gui.lfHeight, label.FontRecord().lfHeight);
    label.SetTextColour(RGB(0, 0, 255));
    EXPECT_GT(wintest::CountPixels(label.m_hWnd, [](COLORREF c) { return c == RGB(0, 0, 255); }),
              20);
}

TEST_F(HyperLinkLabelTest, OnlyALinkTakesTheMouseAndShowsItsCursorIfItHasOne) {
    Attach();
    const LPARAM inside = MAKELPARAM(15, 15);
    EXPECT_EQ(HTTRANSPARENT, Send(WM_NCHITTEST, 0, inside)) << "no link: the parent's";
    label.SetUrlLink(true, false);
    EXPECT_EQ(HTCLIENT, Send(WM_NCHITTEST, 0, inside));
    const WPARAM self = reinterpret_cast<WPARAM>(label.m_hWnd);
    EXPECT_FALSE(Send(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "no cursor: default handling";
    HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    label.SetPointerCursor(hand);
    EXPECT_TRUE(Send(WM_SETCURSOR, self, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(HyperLinkLabelTest, AClickOpensTheLinkAddressOrWithoutOneTheCaption) {
    wintest::RecordedShell shell;
    Attach();
    label.SetUrlLink(true, false).SetLinkUrl("http://url.draxtel.example/");
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    label.SetLinkUrl("");
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ASSERT_EQ(2u, shell.requests.size());
    EXPECT_EQ("open http://url.draxtel.example/",
              shell.requests[0].verb + " " + shell.requests[0].file);
    EXPECT_EQ(kCaption, shell.requests[1].file);
}

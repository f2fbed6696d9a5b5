// The hyperlink label on real static controls: the font it takes over, its
// painting, the click in its three modes, the cursor and blinking.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/HyperLinkLabel.h"
#include "tests/win/ControlsHost.h"

using wintest::CountPixels;
using wintest::HostWindow;
using wintest::PixelAt;
using wintest::Pump;
using wintest::RecordedShell;

namespace {

constexpr int kLabel = 3001;
const char kCaption[] = "http://caption.draxtel.example/";

struct HyperLinkLabelTest : ::testing::Test {
    HostWindow host{420, 320, RGB(40, 160, 60)};
    HyperLinkLabel label;

    HWND Attach(DWORD style = SS_LEFT, const char* text = kCaption, int w = 250, int h = 20) {
        HWND hwnd = host.AddStatic(kLabel, text, style, 10, 10, w, h);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        return hwnd;
    }
    LRESULT Click() {
        return ::SendMessageA(label.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    }
    int Count(COLORREF colour) {
        return CountPixels(label.m_hWnd, [colour](COLORREF c) { return c == colour; });
    }
};

} // namespace

TEST_F(HyperLinkLabelTest, AttachTakesTheControlsFontOrTheSystemFont) {
    HWND hwnd = Attach();
    LOGFONTA gui{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, label.FontRecord().lfFaceName);
    EXPECT_EQ(gui.lfHeight, label.FontRecord().lfHeight);
    EXPECT_TRUE(label.Font());
    label.UnsubclassWindow();

    HWND bare = ::CreateWindowExA(0, "STATIC", "no font", WS_CHILD | WS_VISIBLE, 10, 40, 100, 20,
                                  host.m_hWnd, nullptr, nullptr, nullptr);
    HyperLinkLabel second;
    ASSERT_TRUE(second.SubclassWindow(bare));
    LOGFONTA system{};
    ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof(system), &system);
    EXPECT_STREQ(system.lfFaceName, second.FontRecord().lfFaceName);
    (void)hwnd;
}

TEST_F(HyperLinkLabelTest, FontOperationsChangeTheRecord) {
    Attach();
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    label.SetPointSize(12);
    EXPECT_EQ(-::MulDiv(120, dpi, 720), label.FontRecord().lfHeight);
    EXPECT_EQ(0, label.FontRecord().lfWidth);

    label.SetFaceName("Arial", ANSI_CHARSET);
    EXPECT_STREQ("Arial", label.FontRecord().lfFaceName);
    EXPECT_EQ(ANSI_CHARSET, label.FontRecord().lfCharSet);
    std::string longName(40, 'F');
    label.SetFaceName(longName);
    EXPECT_EQ(std::string(31, 'F'), label.FontRecord().lfFaceName)
        << "31 characters and the terminator";

    LOGFONTA record = label.FontRecord();
    record.lfWeight = 600;
    std::memset(record.lfFaceName, 'x', sizeof(record.lfFaceName)); // no terminator
    label.SetFontRecord(record);
    EXPECT_EQ(600, label.FontRecord().lfWeight);
    EXPECT_EQ(31u, std::strlen(label.FontRecord().lfFaceName));
}

TEST_F(HyperLinkLabelTest, PaintsItsBackgroundTextAndShadow) {
    HWND hwnd = Attach(SS_LEFT, "WWWWWWWW");
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), PixelAt(hwnd, 245, 15)) << "default background";
    label.SetTextColour(RGB(0, 0, 255));
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);
    label.SetBackground(RGB(250, 240, 10));
    EXPECT_EQ(RGB(250, 240, 10), PixelAt(hwnd, 245, 19));
    EXPECT_TRUE(label.HasCustomBrush());

    label.SetShadowColour(RGB(255, 0, 0)).SetShadowText(true, true);
    int shadow = Count(RGB(255, 0, 0));
    EXPECT_GT(shadow, 20) << "the shadow copy is drawn over the text";
    EXPECT_GT(Count(RGB(0, 0, 255)), 0) << "the first copy still shows beside it";

    label.SetShadowText(false);
    label.SetBackground(RGB(0, 0, 0), RGB(255, 255, 255), true);
    EXPECT_FALSE(label.HasCustomBrush());
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(hwnd, 0, 10));
    EXPECT_EQ(RGB(252, 252, 252), PixelAt(hwnd, 249, 10)) << "the last of 100 bands";
    EXPECT_EQ(RGB(252, 252, 252), PixelAt(hwnd, 249, 19)) << "down to the bottom row";

    label.SetSeeThrough(true);
    EXPECT_TRUE(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(RGB(40, 160, 60), PixelAt(hwnd, 245, 15)) << "the parent shows through";
}

TEST_F(HyperLinkLabelTest, TextFormatsFromTheStaticStyle) {
    // Centred both ways on one line; from the top when the text has a line break.
    HWND hwnd = Attach(SS_CENTERIMAGE, "Mid", 200, 60);
    label.SetTextColour(RGB(0, 0, 255));
    auto blue = [](COLORREF c) { return c == RGB(0, 0, 255); };
    auto rows = [&](int from, int to) { return CountPixels(hwnd, RECT{0, from, 200, to}, blue); };
    EXPECT_EQ(0, rows(0, 15));
    EXPECT_GT(rows(15, 45), 0);
    EXPECT_EQ(0, rows(45, 60));
    label.SetCaption("Top\r\nTwo");
    EXPECT_GT(rows(0, 15), 0);
    int left = CountPixels(hwnd, RECT{0, 0, 80, 30}, blue);
    EXPECT_EQ(0, left) << "centred horizontally";

    // Rotated: a plain text-out from the centre, on the baseline there.
    label.SetCaption("WWW").SetRotation(0, true);
    EXPECT_EQ(0, CountPixels(hwnd, RECT{0, 0, 99, 60}, blue));
    EXPECT_GT(CountPixels(hwnd, RECT{100, 0, 200, 31}, blue), 10);
    EXPECT_EQ(0, CountPixels(hwnd, RECT{0, 31, 200, 60}, blue));
}

TEST_F(HyperLinkLabelTest, NotifyParentSendsTheLinkCodeAndOpensNothing) {
    RecordedShell shell;
    HWND hwnd = Attach();
    label.SetUrlLink(true, true).SetLinkUrl("http://url.draxtel.example/");
    EXPECT_TRUE(::GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY);
    Click();
    ASSERT_EQ(1u, host.notifications.size());
    EXPECT_EQ(0x8200u, host.notifications[0].code);
    EXPECT_EQ(static_cast<UINT_PTR>(kLabel), host.notifications[0].idFrom);
    EXPECT_EQ(hwnd, host.notifications[0].hwndFrom);
    EXPECT_TRUE(shell.Requests().empty());
}

TEST_F(HyperLinkLabelTest, UrlAndMailLinksOpenThroughTheShell) {
    RecordedShell shell;
    Attach();
    label.SetUrlLink(true, false);
    Click();
    label.SetLinkUrl("http://url.draxtel.example/");
    Click();
    label.SetMailtoLink(true, false);
    Click();
    label.SetMailtoLink(false, false);
    Click();
    ASSERT_EQ(3u, shell.Requests().size());
    EXPECT_EQ(kCaption, shell.Requests()[0].file) << "an empty link URL opens the caption";
    EXPECT_EQ("open", shell.Requests()[0].verb);
    EXPECT_EQ(SW_SHOWNORMAL, shell.Requests()[0].show);
    EXPECT_FALSE(shell.Requests()[0].quiet);
    EXPECT_EQ("http://url.draxtel.example/", shell.Requests()[1].file);
    EXPECT_EQ(std::string("mailto:") + kCaption, shell.Requests()[2].file)
        << "mail uses the caption even with a link URL";
    EXPECT_EQ("", shell.Requests()[2].verb);
    EXPECT_TRUE(host.notifications.empty());
    EXPECT_FALSE(::GetWindowLongA(label.m_hWnd, GWL_STYLE) & SS_NOTIFY);
}

TEST_F(HyperLinkLabelTest, CursorOnlyWithALinkAndACursorSet) {
    HWND hwnd = Attach();
    EXPECT_EQ(HTTRANSPARENT, ::SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(15, 55)))
        << "without a link the parent gets the mouse";
    label.SetUrlLink(true, false);
    EXPECT_EQ(HTCLIENT, ::SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(55, 55)));
    EXPECT_FALSE(::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "no cursor set: default handling";
    HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    ASSERT_TRUE(hand);
    label.SetPointerCursor(hand);
    EXPECT_TRUE(::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(HyperLinkLabelTest, TextBlinksOnItsTimer) {
    HWND hwnd = Attach(SS_LEFT, "WWWWWWWW");
    label.SetTextColour(RGB(0, 0, 255));
    label.SetBlinkText(true);
    EXPECT_EQ(controls::BlinkMode::Text, label.GetBlinkMode());
    EXPECT_FALSE(label.BlinkPhase());
    // Starting does not repaint; the first tick shows the normal text.
    DWORD start = ::GetTickCount();
    while (!label.BlinkPhase() && ::GetTickCount() - start < 3000)
        Pump(20);
    DWORD first = ::GetTickCount() - start;
    EXPECT_TRUE(label.BlinkPhase());
    EXPECT_GE(first, 400u) << "every 500 ms";
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);

    // The off phase: black without a custom brush, the background colour with one.
    ::SendMessageA(hwnd, WM_TIMER, 1, 0);
    EXPECT_EQ(0, Count(RGB(0, 0, 255)));
    EXPECT_GT(Count(RGB(0, 0, 0)), 20);
    label.SetBackground(RGB(200, 200, 0));
    EXPECT_EQ(0, Count(RGB(0, 0, 0)));
    label.SetBackground(RGB(200, 200, 0), RGB(0, 200, 200), true);
    EXPECT_GT(Count(RGB(0, 0, 0)), 20) << "a gradient leaves no custom brush: black";

    label.SetBlinkText(false);
    EXPECT_EQ(controls::BlinkMode::None, label.GetBlinkMode());
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);
}

TEST_F(HyperLinkLabelTest, BackgroundBlinksBetweenItsColourAndTheButtonFace) {
    HWND hwnd = Attach(SS_LEFT, "WWWW");
    label.SetBackground(RGB(250, 240, 10));
    label.SetBlinkBackground(true);
    EXPECT_EQ(controls::BlinkMode::Background, label.GetBlinkMode());
    ::SendMessageA(hwnd, WM_TIMER, 1, 0);
    EXPECT_EQ(RGB(250, 240, 10), PixelAt(hwnd, 245, 15));
    ::SendMessageA(hwnd, WM_TIMER, 1, 0);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), PixelAt(hwnd, 245, 15));

    // Stopping the background leaves the mode and the phase where they were.
    label.SetBlinkText(true);
    ::SendMessageA(hwnd, WM_TIMER, 1, 0);
    bool phase = label.BlinkPhase();
    label.SetBlinkBackground(false);
    EXPECT_EQ(controls::BlinkMode::Text, label.GetBlinkMode());
    Pump(700);
    EXPECT_EQ(phase, label.BlinkPhase()) << "the timer stopped";
}

TEST_F(HyperLinkLabelTest, ColourChangeRebuildsTheDefaultBrushAndSetCaptionNeedsAWindow) {
    HyperLinkLabel detached;
    detached.SetCaption("nothing to set"); // no window: ignored
    detached.SetBold(true).SetTextColour(RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), detached.TextColour());

    HWND hwnd = Attach();
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int index = COLOR_BTNFACE;
    COLORREF changed = RGB(180, 190, 230);
    ASSERT_TRUE(::SetSysColors(1, &index, &changed));
    Pump();
    EXPECT_EQ(changed, PixelAt(hwnd, 245, 15)) << "the host passed the change on";
    ::SetSysColors(1, &index, &face);
    Pump();
    EXPECT_EQ(face, PixelAt(hwnd, 245, 15));
    label.SetCaption("new text");
    EXPECT_EQ("new text", label.GetWindowText());
}

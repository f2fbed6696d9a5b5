// The hyperlink label on real static controls: its font, its painting, the
// click in its three modes, the cursor and blinking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "controls/HyperLinkLabel.h"
#include "tests/win/Support.h"

using wintest::PixelAt;
using wintest::RecordedShell;

namespace {

const char kCaption[] = "http://caption.draxtel.example/";

struct HyperLinkLabelTest : ::testing::Test {
    wintest::HostWindow host{RGB(40, 160, 60)};
    HyperLinkLabel label;

    HWND Attach(DWORD style = SS_LEFT, const char* text = kCaption, int w = 250, int h = 20) {
        HWND hwnd = host.Add("STATIC", 3001, text, style, 10, 10, w, h);
        EXPECT_TRUE(label.SubclassWindow(hwnd));
        return hwnd;
    }
    void Click() { label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); }
    int Count(COLORREF colour, const RECT* area = nullptr) {
        return wintest::CountPixels(
            label.m_hWnd, [colour](COLORREF c) { return c == colour; }, area);
    }
};

} // namespace

TEST_F(HyperLinkLabelTest, FontComesFromTheControlAndItsRecordStaysBounded) {
    Attach();
    LOGFONTA gui{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(gui.lfFaceName, label.FontRecord().lfFaceName);
    label.SetFaceName(std::string(40, 'F'));
    EXPECT_EQ(std::string(31, 'F'), label.FontRecord().lfFaceName) << "31 and the terminator";
    LOGFONTA record = label.FontRecord();
    std::memset(record.lfFaceName, 'x', sizeof(record.lfFaceName)); // no terminator
    label.SetFontRecord(record);
    EXPECT_EQ(31u, std::strlen(label.FontRecord().lfFaceName));

    HyperLinkLabel bare;
    ASSERT_TRUE(bare.SubclassWindow(::CreateWindowExA(0, "STATIC", "no font", WS_CHILD, 0, 40, 99,
                                                      20, host.m_hWnd, nullptr, nullptr, nullptr)));
    LOGFONTA system{};
    ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof(system), &system);
    EXPECT_STREQ(system.lfFaceName, bare.FontRecord().lfFaceName) << "no font: the system's";
}

TEST_F(HyperLinkLabelTest, PaintsBackgroundTextShadowGradientRotationAndSeeThrough) {
    HWND hwnd = Attach(SS_LEFT, "WWWWWWWW", 200, 60);
    // The default background follows a change of the system's colours.
    COLORREF face = ::GetSysColor(COLOR_BTNFACE), changed = RGB(180, 190, 230);
    int index = COLOR_BTNFACE;
    for (COLORREF colour : {changed, face}) {
        ASSERT_TRUE(::SetSysColors(1, &index, &colour));
        wintest::Pump();
        EXPECT_EQ(colour, PixelAt(hwnd, 195, 15)) << "the host passed the change on";
    }
    label.SetTextColour(RGB(0, 0, 255));
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);
    label.SetBackground(RGB(250, 240, 10));
    EXPECT_EQ(RGB(250, 240, 10), PixelAt(hwnd, 195, 59));
    label.SetShadowColour(RGB(255, 0, 0)).SetShadowText(true, true);
    EXPECT_GT(Count(RGB(255, 0, 0)), 20) << "the shadow copy is drawn over the text";
    EXPECT_GT(Count(RGB(0, 0, 255)), 0) << "the first copy still shows beside it";

    label.SetShadowText(false).SetBackground(RGB(0, 0, 0), RGB(255, 255, 255), true);
    EXPECT_EQ(RGB(0, 0, 0), PixelAt(hwnd, 0, 30));
    EXPECT_EQ(RGB(252, 252, 252), PixelAt(hwnd, 199, 59)) << "the last band, to the bottom row";

    // Rotated: a plain text-out from the centre, on the baseline there.
    label.SetBackground(RGB(250, 240, 10)).SetRotation(0, true);
    RECT left{0, 0, 99, 60}, right{100, 0, 200, 31}, below{0, 31, 200, 60};
    EXPECT_EQ(0, Count(RGB(0, 0, 255), &left));
    EXPECT_GT(Count(RGB(0, 0, 255), &right), 10);
    EXPECT_EQ(0, Count(RGB(0, 0, 255), &below));

    label.SetSeeThrough(true);
    EXPECT_TRUE(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(RGB(40, 160, 60), PixelAt(hwnd, 195, 59)) << "the parent shows through";
}

TEST_F(HyperLinkLabelTest, AClickNotifiesTheParentOrOpensTheUrlOrTheMailAddressWithItsCursor) {
    RecordedShell shell;
    HWND hwnd = Attach();
    EXPECT_EQ(HTTRANSPARENT, label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(15, 55)))
        << "without a link the parent gets the mouse";
    label.SetUrlLink(true, true).SetLinkUrl("http://url.draxtel.example/");
    EXPECT_EQ(HTCLIENT, label.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(55, 55)));
    WPARAM target = reinterpret_cast<WPARAM>(hwnd);
    EXPECT_FALSE(label.SendMessage(WM_SETCURSOR, target, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)))
        << "no cursor set: default handling";
    HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    label.SetPointerCursor(hand);
    EXPECT_TRUE(label.SendMessage(WM_SETCURSOR, target, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(hand, ::GetCursor());
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    auto isNotify = [](const wintest::HostWindow::Received& r) { return r.msg == WM_NOTIFY; };
    Click();
    auto told = std::find_if(host.received.begin(), host.received.end(), isNotify);
    ASSERT_TRUE(told != host.received.end());
    EXPECT_TRUE(told->header.code == 0x8200u && told->header.idFrom == 3001u &&
                told->header.hwndFrom == hwnd);
    EXPECT_TRUE(shell.requests.empty()) << "notifying opens nothing";

    label.SetUrlLink(true, false);
    Click();
    label.SetLinkUrl("");
    Click();
    label.SetLinkUrl("http://url.draxtel.example/").SetMailtoLink(true, false);
    Click();
    label.SetMailtoLink(false, false);
    Click();
    ASSERT_EQ(3u, shell.requests.size());
    EXPECT_EQ("open http://url.draxtel.example/",
              shell.requests[0].verb + " " + shell.requests[0].file);
    EXPECT_EQ(kCaption, shell.requests[1].file) << "an empty link URL opens the caption";
    EXPECT_EQ(std::string("mailto:") + kCaption, shell.requests[2].file)
        << "mail uses the caption even with a link URL";
    EXPECT_EQ("", shell.requests[2].verb);
    EXPECT_EQ(1, std::count_if(host.received.begin(), host.received.end(), isNotify))
        << "the parent is told of none of them";
}

TEST_F(HyperLinkLabelTest, TextAndBackgroundBlinkOnTheTimer) {
    HWND hwnd = Attach(SS_LEFT, "WWWWWWWW");
    label.SetTextColour(RGB(0, 0, 255)).SetBlinkText(true);
    // The timer runs by itself; its first tick shows the normal text.
    for (DWORD start = ::GetTickCount(); !label.BlinkPhase() && ::GetTickCount() - start < 3000;)
        wintest::Pump(20);
    EXPECT_TRUE(label.BlinkPhase());
    EXPECT_GT(Count(RGB(0, 0, 255)), 20);
    // The off phase: black without a custom brush, the background colour with one.
    label.SendMessage(WM_TIMER, HyperLinkLabel::kBlinkTimer);
    EXPECT_EQ(0, Count(RGB(0, 0, 255)));
    EXPECT_GT(Count(RGB(0, 0, 0)), 20);
    label.SetBackground(RGB(200, 200, 0));
    EXPECT_EQ(0, Count(RGB(0, 0, 0)));
    label.SetBlinkText(false);

    label.SetBlinkBackground(true);
    std::set<COLORREF> shown;
    for (int tick = 0; tick < 2; ++tick) {
        label.SendMessage(WM_TIMER, HyperLinkLabel::kBlinkTimer);
        shown.insert(PixelAt(hwnd, 245, 15));
    }
    EXPECT_EQ((std::set<COLORREF>{RGB(200, 200, 0), ::GetSysColor(COLOR_BTNFACE)}), shown)
        << "the background colour and the button face in turn";
}

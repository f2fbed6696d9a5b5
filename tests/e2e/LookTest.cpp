// How the real program looks, read from the screen: the check boxes' tick
// and cross, a button's hover colours, colour changes reaching the
// controls; and its buttons through its own message loop, and long use
// that leaves no objects behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const int kCheckBoxes[] = {
    IDC_BY_NAME,         IDC_BY_SIZE, IDC_START_MINIMIZED, IDC_SAVE_ON_EXIT, IDC_ENABLED_ON_STARTUP,
    IDC_LOAD_ON_STARTUP, IDC_ADD_ALT, IDC_ADD_SHIFT,       IDC_ADD_CTRL,     IDC_LOAD_ON_BOOT,
    IDC_BY_SESSION};

class Look : public testing::Test {
protected:
    void SetUp() override {
        UseQuietSettings();
        ASSERT_TRUE(main_ = StartApp(app_, "look"));
    }
    void TearDown() override {
        ::SetCursorPos(0, 1023); // away from every window
    }
    HWND Box(int id) const { return app_.PageControl(kOptionsPage, id); }
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
        if (!probe_)
            probe_.reset(new Probe(::GetWindowThreadProcessId(main_, nullptr)));
        return probe_->Ask(main_, probe::kSetButtonFace, colour);
    }

    VelmoraProcess app_;
    HWND main_ = nullptr;
    std::unique_ptr<Probe> probe_;
    COLORREF face_ = ::GetSysColor(COLOR_BTNFACE);
};

COLORREF Lighter(COLORREF c, int by) {
    int d = std::min({by, 255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)});
    return RGB(GetRValue(c) + d, GetGValue(c) + d, GetBValue(c) + d);
}

} // namespace

TEST_F(Look, CheckedBoxesShowTheGreenTickAndUncheckedOnesTheRedCross) {
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    int checked = 0;
    for (int id : kCheckBoxes) {
        EXPECT_TRUE(ShowsCheck(id)) << id << (Checked(id) ? " checked" : " unchecked");
        checked += Checked(id);
    }
    EXPECT_TRUE(checked > 0 && checked < 11) << "both kinds seen";
    app_.Click(Box(IDC_BY_NAME));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(ShowsCheck(IDC_BY_NAME)) << "after a click";
}

TEST_F(Look, AButtonUnderThePointerTakesItsHoverColours) {
    // Started, the Start button reads "Stop" and turns dark red under the pointer.
    HWND start = app_.Control(IDC_START);
    ASSERT_EQ("Stop", TextOf(start));
    const COLORREF darkRed = RGB(128, 0, 0), hoverFace = Lighter(face_, 20);
    auto looks = [&](COLORREF face, bool redText) {
        return WaitUntil([&] {
            ScreenPicture button(start);
            int red = button.Count([&](COLORREF c) { return c == darkRed; });
            return button.At(button.Width() / 2, 1) == face && (red > 5) == redText;
        });
    };
    EXPECT_TRUE(looks(face_, false)) << "away from the pointer";
    RECT frame{};
    ::GetWindowRect(start, &frame);
    ::SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
    EXPECT_TRUE(looks(hoverFace, true)) << "under the pointer";
    ::SetCursorPos(0, 1023);
    EXPECT_TRUE(looks(face_, false)) << "the pointer gone again";
}

TEST_F(Look, TheMainWindowPassesAColourChangeOnToItsControls) {
    ASSERT_TRUE(app_.SelectTab(kAboutPage));
    HWND link = app_.PageControl(kAboutPage, IDC_WEBSITE_LINK), hide = app_.Control(IDC_HIDE);
    // The right end of the link's control holds no text, and the Hide
    // button's face is the system's face colour.
    auto painted = [&](COLORREF colour) {
        return WaitUntil([&] {
            ScreenPicture label(link), button(hide);
            return label.At(label.Width() - 2, label.Height() / 2) == colour &&
                   button.At(button.Width() / 2, 1) == colour;
        });
    };
    ASSERT_TRUE(painted(face_));
    const COLORREF changed = RGB(200, 210, 230);
    ASSERT_TRUE(ChangeFace(changed));
    EXPECT_TRUE(painted(changed));
    ASSERT_TRUE(ChangeFace(face_));
    EXPECT_TRUE(painted(face_));
}

TEST_F(Look, ButtonsStayOwnerDrawnAsTheDialogManagerMovesTheDefaultButton) {
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    // Tab through the page: the dialog manager restyles the buttons it passes.
    for (int i = 0; i < 2 * 11; ++i) {
        PostKey(ThreadInfoOf(main_).hwndFocus, VK_TAB);
        ASSERT_TRUE(app_.Settle());
    }
    for (int id : kCheckBoxes)
        EXPECT_EQ(BS_OWNERDRAW, ::GetWindowLongA(Box(id), GWL_STYLE) & 0x1F) << id;
}

TEST_F(Look, ACheckBoxTogglesOnAClickAndTwiceOnADoubleClick) {
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    HWND box = Box(IDC_ADD_ALT);
    bool before = Checked(IDC_ADD_ALT);
    auto post = [&](UINT msg, WPARAM keys) { ::PostMessageA(box, msg, keys, MAKELPARAM(5, 5)); };
    post(WM_LBUTTONDOWN, MK_LBUTTON);
    post(WM_LBUTTONUP, 0);
    ASSERT_TRUE(app_.Settle());
    EXPECT_NE(before, Checked(IDC_ADD_ALT)) << "a click";
    post(WM_LBUTTONDBLCLK, MK_LBUTTON);
    post(WM_LBUTTONUP, 0);
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ(before, Checked(IDC_ADD_ALT)) << "a double-click is a second click";
}

TEST_F(Look, LongUseOfEveryPageLeavesNoObjectsBehind) {
    ASSERT_TRUE(ChangeFace(face_));
    HWND hide = app_.Control(IDC_HIDE);
    const COLORREF other = RGB(200, 210, 230);
    auto repaint = [](HWND window) {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    auto use = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            for (int page = kBannedPage; page <= kAboutPage; ++page) {
                ASSERT_TRUE(app_.SelectTab(page));
                repaint(app_.Page(page));
            }
            // Hover and press on a button, and the system's colours changed.
            ::SendMessageA(hide, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::SendMessageA(hide, BM_SETSTATE, TRUE, 0);
            ::UpdateWindow(hide);
            ::SendMessageA(hide, BM_SETSTATE, FALSE, 0);
            ::SendMessageA(hide, WM_MOUSELEAVE, 0, 0);
            ASSERT_TRUE(ChangeFace(round % 2 ? face_ : other));
            repaint(main_);
        }
        ASSERT_TRUE(app_.Settle());
    };
    // The first rounds make what the system keeps for good.
    use(3);
    ASSERT_TRUE(probe_->Ask(main_, probe::kCountObjects));
    long before = probe_->Report().objects[probe::kGdi];
    use(10);
    ASSERT_TRUE(probe_->Ask(main_, probe::kCountObjects));
    long after = probe_->Report().objects[probe::kGdi];
    std::printf("Velmora's GDI objects over 10 rounds of every page and the window repainted, a "
                "button hovered and pressed, and a colour change: %ld -> %ld\n",
                before, after);
    EXPECT_LE(after, before);
}

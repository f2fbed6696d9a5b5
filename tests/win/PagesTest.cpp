// The main window's template with its four pages, set up as the main window
// does it (without the hook, tray and settings): the options page's check
// boxes in the modal loop, and no GDI objects left behind after long use.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "bannedlist/BannedListPage.h"
#include "controls/AboutPage.h"
#include "controls/ImageButton.h"
#include "controls/PageTabCtrl.h"
#include "settings/OptionsPage.h"
#include "stats/StoppedPage.h"
#include "tests/win/Support.h"

namespace {

class PagesWindow : public fw::CDialog {
public:
    PagesWindow() : fw::CDialog(IDD_MAIN) {}
    BannedListPage bannedListPage;
    OptionsPage optionsPage;
    AboutPage aboutPage;
    CStoppedPage statsPage;
    PageTabCtrl tabCtrl;
    ImageButton startButton, hideButton;
    // Run modally: onInit ends the set-up; WM_APP runs onApp(wParam), and
    // with 0 ends the run with 42.
    std::function<void()> onInit;
    std::function<void(WPARAM)> onApp;

    BEGIN_MSG_MAP(PagesWindow)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
        MESSAGE_HANDLER(WM_APP, OnApp)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        dx.Control(IDC_TABS, tabCtrl);
        dx.Control(IDC_START, startButton);
        dx.Control(IDC_HIDE, hideButton);
    }
    bool OnInitDialog() override {
        fw::CDialog::OnInitDialog();
        // Hiding the page would register the hotkey and write the Run value.
        optionsPage.StopApplyingOnHide();
        const char* captions[] = {"Banned List", "Statistics", "Options", "About"};
        fw::CDialog* pages[] = {&bannedListPage, &statsPage, &optionsPage, &aboutPage};
        for (int i = 0; i < 4; ++i) {
            pages[i]->Create(m_hWnd);
            tabCtrl.AddPage(captions[i], i, pages[i]);
        }
        for (ImageButton* button : {&hideButton, &startButton}) {
            button->SetIconResources(button == &hideButton ? IDI_HIDE : IDI_STARTED, 0);
            button->ShadeStateColour(ImageButton::HoverBack, 20, true);
        }
        optionsPage.UpdateData(false);
        if (onInit)
            onInit();
        return !onInit;
    }

private:
    // Passed on to the children, as the main window does.
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
        wintest::SendToDescendants(m_hWnd, msg, wParam, lParam);
        return 0;
    }
    LRESULT OnApp(UINT, WPARAM wParam, LPARAM, bool&) {
        onApp(wParam);
        if (!wParam)
            EndDialog(42);
        return 0;
    }
};

} // namespace

TEST(OptionsCheckBoxes, StayOwnerDrawnAsTheFocusMovesAndADoubleClickTogglesTwice) {
    PagesWindow window;
    HWND box = nullptr;
    std::vector<LRESULT> seen;
    window.onInit = [&] {
        window.tabCtrl.SelectPage(2);
        // The dialog manager moves the default button about with the focus.
        for (int i = 0; i < 6; ++i)
            window.optionsPage.SendMessage(WM_NEXTDLGCTL, 0, FALSE);
        box = window.optionsPage.checkBoxes[0].m_hWnd;
        seen.push_back(::SendMessageA(box, BM_GETCHECK, 0, 0));
        auto post = [](HWND to, UINT msg, WPARAM wParam) {
            ::PostMessageA(to, msg, wParam, MAKELPARAM(5, 5));
        };
        post(box, WM_LBUTTONDOWN, MK_LBUTTON);
        post(box, WM_LBUTTONUP, 0);
        post(window.m_hWnd, WM_APP, 1);
        post(box, WM_LBUTTONDBLCLK, MK_LBUTTON);
        post(box, WM_LBUTTONUP, 0);
        post(window.m_hWnd, WM_APP, 0);
    };
    window.onApp = [&](WPARAM) {
        seen.push_back(::SendMessageA(box, BM_GETCHECK, 0, 0));
        for (const ImageButton& check : window.optionsPage.checkBoxes)
            EXPECT_TRUE(check.IsCheckBox() && (check.GetStyle() & 0x1F) == BS_OWNERDRAW);
    };
    EXPECT_EQ(42, window.DoModal());
    ASSERT_EQ(3u, seen.size());
    EXPECT_NE(seen[0], seen[1]) << "a click toggles";
    EXPECT_EQ(seen[0], seen[2]) << "a double-click is a second click through the message loop";
}

namespace {

void Repaint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Workload(PagesWindow& window, int repaints, int colourChanges, int blinkTicks) {
    fw::CDialog* pages[] = {&window.bannedListPage, &window.statsPage, &window.optionsPage,
                            &window.aboutPage};
    for (int page = 0; page < 4; ++page) {
        window.tabCtrl.SelectPage(page);
        for (int i = 0; i < repaints; ++i)
            Repaint(pages[page]->m_hWnd);
    }
    // Hover, press, the Start button's two states, checked and unchecked boxes.
    HWND hide = window.hideButton.m_hWnd;
    for (int i = 0; i < repaints / 10; ++i) {
        ::SendMessageA(hide, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        ::SendMessageA(hide, BM_SETSTATE, TRUE, 0);
        ::UpdateWindow(hide);
        ::SendMessageA(hide, BM_SETSTATE, FALSE, 0);
        ::SendMessageA(hide, WM_MOUSELEAVE, 0, 0);
        ::SetWindowTextA(window.startButton.m_hWnd, i % 2 ? "Start" : "Stop");
        window.startButton.SetIconResources(i % 2 ? IDI_STARTED : IDI_STOPPED, 0);
        for (ImageButton& box : window.optionsPage.checkBoxes)
            ::SendMessageA(box.m_hWnd, BM_SETCHECK, i % 2, 0);
        Repaint(window.m_hWnd);
    }
    int index = COLOR_BTNFACE;
    COLORREF face = ::GetSysColor(COLOR_BTNFACE), other = RGB(200, 210, 230);
    for (int i = 0; i < colourChanges; ++i) {
        ::SetSysColors(1, &index, i % 2 == 0 ? &other : &face);
        Repaint(window.m_hWnd);
    }
    ::SetSysColors(1, &index, &face);
    window.tabCtrl.SelectPage(3);
    HyperLinkLabel& text = window.aboutPage.webSiteLink;
    HyperLinkLabel& back = window.aboutPage.advertLink;
    text.SetBlinkText(true);
    back.SetBackground(RGB(255, 255, 200)).SetBlinkBackground(true);
    for (int i = 0; i < blinkTicks; ++i) {
        text.SendMessage(WM_TIMER, HyperLinkLabel::kBlinkTimer);
        back.SendMessage(WM_TIMER, HyperLinkLabel::kBlinkTimer);
    }
    text.SetBlinkText(false);
    back.SetBlinkBackground(false);
    wintest::Pump();
}

HICON LoadIconResource(int id) {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                           IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
}

} // namespace

TEST(GdiLeaks, LongUseOfEveryPageLeavesTheObjectCountAsItWas) {
    PagesWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    ::ShowWindow(window.m_hWnd, SW_SHOW);
    // Two short rounds through every path first: the system makes what it
    // keeps for good (cached contexts, stock and font objects), and the
    // controls remake the caches the colour changes dropped.
    Workload(window, 20, 2, 4);
    Workload(window, 20, 2, 4);
    int before = wintest::GdiObjectCount();
    DWORD start = ::GetTickCount();
    Workload(window, 1000, 100, 100);
    int after = wintest::GdiObjectCount();
    std::printf("GDI objects before %d, after %d (1000 repaints of each of 4 pages, 100 colour "
                "changes, 100 blink ticks: %lu ms)\n",
                before, after, static_cast<unsigned long>(::GetTickCount() - start));
    EXPECT_EQ(before, after);
    window.DestroyWindow();
}

TEST(GdiLeaks, TheCountSeesObjectsAndButtonsFreeEveryIconHandedOver) {
    // Grey icons go through the screen's context, which the system keeps
    // cached after its first use: make one before counting.
    HICON warm = LoadIconResource(IDI_ADD);
    ::DestroyIcon(ImageButton::MakeGreyIcon(warm));
    ::DestroyIcon(warm);
    int before = wintest::GdiObjectCount();
    {
        ImageButton button;
        button.SetIconHandles(LoadIconResource(IDI_ADD), ImageButton::AutoGreyIconHandle());
        EXPECT_GT(wintest::GdiObjectCount(), before + 2) << "icons hold bitmaps";
        HICON bogus = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7ff0));
        EXPECT_EQ(1, button.SetIconHandles(bogus, LoadIconResource(IDI_NEW))) << "even unusable";
    }
    EXPECT_EQ(before, wintest::GdiObjectCount());
}

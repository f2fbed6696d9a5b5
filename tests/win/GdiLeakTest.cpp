// The pages, buttons and labels hold no more GDI objects after long use than
// before it: repaints of every page, system colour changes and blink ticks.
#include <gtest/gtest.h>

#include <cstdio>

#include "bannedlist/BannedListPage.h"
#include "controls/AboutPage.h"
#include "controls/ImageButton.h"
#include "controls/PageTabCtrl.h"
#include "framework/DataExchange.h"
#include "settings/OptionsPage.h"
#include "stats/StoppedPage.h"
#include "tests/win/ControlsHost.h"

namespace {

// The main window's template with its four pages and two buttons, set up
// the way the main window does it, without the hook, tray and settings.
class PagesWindow : public fw::CDialog {
public:
    PagesWindow() : fw::CDialog(IDD_MAIN) {}
    BannedListPage bannedListPage;
    OptionsPage optionsPage;
    AboutPage aboutPage;
    CStoppedPage statsPage;
    PageTabCtrl tabCtrl;
    ImageButton startButton;
    ImageButton hideButton;

    void ShowStartState(bool started) {
        ::SetDlgItemTextA(m_hWnd, IDC_START, started ? "Stop" : "Start");
        startButton.SetIconResources(started ? IDI_STOPPED : IDI_STARTED, 0);
        startButton.SetStateColour(ImageButton::HoverText,
                                   started ? RGB(128, 0, 0) : RGB(0, 128, 0));
    }

    BEGIN_MSG_MAP(PagesWindow)
    MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
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
        bannedListPage.Create(m_hWnd);
        statsPage.Create(m_hWnd);
        optionsPage.Create(m_hWnd);
        // Hiding the page would register the hotkey and write the Run value.
        optionsPage.StopApplyingOnHide();
        aboutPage.Create(m_hWnd);
        tabCtrl.AddPage("Banned List", 0, &bannedListPage);
        tabCtrl.AddPage("Statistics", 1, &statsPage);
        tabCtrl.AddPage("Options", 2, &optionsPage);
        tabCtrl.AddPage("About", 3, &aboutPage);
        hideButton.SetIconResources(IDI_HIDE, 0);
        hideButton.ShadeStateColour(ImageButton::HoverBack, 20, true);
        hideButton.SetStateColour(ImageButton::HoverText, RGB(0, 0, 128), true);
        startButton.SetIconResources(IDI_STARTED, 0);
        startButton.ShadeStateColour(ImageButton::HoverBack, 20, true);
        startButton.SetStateColour(ImageButton::HoverText, RGB(0, 128, 0), true);
        optionsPage.UpdateData(false);
        bannedListPage.UpdateData(false);
        return true;
    }

private:
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
        wintest::SendToDescendants(m_hWnd, msg, wParam, lParam);
        return 0;
    }
};

struct Workload {
    PagesWindow& window;
    int repaints;
    int colourChanges;
    int blinkTicks;

    void Run() {
        HWND main = window.m_hWnd;
        fw::CDialog* pages[] = {&window.bannedListPage, &window.statsPage, &window.optionsPage,
                                &window.aboutPage};
        for (int page = 0; page < 4; ++page) {
            window.tabCtrl.SelectPage(page);
            DWORD start = ::GetTickCount();
            for (int i = 0; i < repaints; ++i)
                ::RedrawWindow(pages[page]->m_hWnd, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            if (repaints >= 1000)
                std::printf("page %d: %d repaints in %lu ms\n", page, repaints,
                            static_cast<unsigned long>(::GetTickCount() - start));
        }
        for (int i = 0; i < repaints / 10; ++i)
            ::RedrawWindow(main, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        // Hover, press, the Start button's two states, checked and unchecked boxes.
        HWND hide = window.hideButton.m_hWnd;
        for (int i = 0; i < repaints / 10; ++i) {
            ::SendMessageA(hide, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::SendMessageA(hide, BM_SETSTATE, TRUE, 0);
            ::UpdateWindow(hide);
            ::SendMessageA(hide, BM_SETSTATE, FALSE, 0);
            ::SendMessageA(hide, WM_MOUSELEAVE, 0, 0);
            ::UpdateWindow(hide);
            window.ShowStartState(i % 2 == 0);
            ::UpdateWindow(window.startButton.m_hWnd);
            for (ImageButton& box : window.optionsPage.checkBoxes)
                ::SendMessageA(box.m_hWnd, BM_SETCHECK, i % 2, 0);
        }
        int index = COLOR_BTNFACE;
        COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        COLORREF other = RGB(200, 210, 230);
        for (int i = 0; i < colourChanges; ++i) {
            COLORREF colour = i % 2 == 0 ? other : face;
            ::SetSysColors(1, &index, &colour);
            ::RedrawWindow(main, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        ::SetSysColors(1, &index, &face);
        window.tabCtrl.SelectPage(3);
        window.aboutPage.webSiteLink.SetBlinkText(true);
        window.aboutPage.advertLink.SetBackground(RGB(255, 255, 200)).SetBlinkBackground(true);
        for (int i = 0; i < blinkTicks; ++i) {
            ::SendMessageA(window.aboutPage.webSiteLink.m_hWnd, WM_TIMER, 1, 0);
            ::SendMessageA(window.aboutPage.advertLink.m_hWnd, WM_TIMER, 1, 0);
        }
        window.aboutPage.webSiteLink.SetBlinkText(false);
        window.aboutPage.advertLink.SetBlinkBackground(false);
        wintest::Pump();
    }
};

} // namespace

TEST(GdiLeaks, LongUseOfEveryPageLeavesTheObjectCountAsItWas) {
    PagesWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    ::ShowWindow(window.m_hWnd, SW_SHOW);
    wintest::Pump();

    // A first short round lets the system make what it keeps for good
    // (cached contexts, stock and font objects).
    Workload{window, 5, 2, 4}.Run();
    int before = wintest::GdiObjectCount();
    DWORD start = ::GetTickCount();
    Workload{window, 1000, 100, 100}.Run();
    DWORD elapsed = ::GetTickCount() - start;
    int after = wintest::GdiObjectCount();
    std::printf("GDI objects before %d, after %d (1000 repaints of each of 4 pages, 100 colour "
                "changes, 100 blink ticks: %lu ms)\n",
                before, after, static_cast<unsigned long>(elapsed));
    EXPECT_EQ(before, after);
    EXPECT_GT(before, 20) << "the count sees this process's objects";
    window.DestroyWindow();
}

TEST(GdiLeaks, TheCountSeesObjectsComeAndGo) {
    auto load = [](int id) {
        return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    };
    // Grey icons are made through the screen's context, which the system
    // keeps cached after its first use: make one before counting.
    ::DestroyIcon(load(IDI_ADD));
    {
        HICON icon = load(IDI_ADD);
        ::DestroyIcon(ImageButton::MakeGreyIcon(icon));
        ::DestroyIcon(icon);
    }

    int before = wintest::GdiObjectCount();
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    HFONT font = ::CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    EXPECT_EQ(before + 2, wintest::GdiObjectCount());
    ::DeleteObject(brush);
    ::DeleteObject(font);
    EXPECT_EQ(before, wintest::GdiObjectCount());
    {
        ImageButton button;
        HICON icon = load(IDI_ADD);
        int withIcon = wintest::GdiObjectCount();
        EXPECT_GT(withIcon, before) << "an icon holds bitmaps";
        button.SetIconHandles(icon, ImageButton::AutoGreyIconHandle());
        EXPECT_GT(wintest::GdiObjectCount(), withIcon);
    }
    EXPECT_EQ(before, wintest::GdiObjectCount()) << "the button freed both icons";

    // Icons handed over are the button's even when it cannot use them.
    ImageButton button;
    EXPECT_EQ(0, button.SetIconHandles(nullptr, load(IDI_NEW)));
    HICON bogus = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7ff0));
    EXPECT_EQ(1, button.SetIconHandles(bogus, load(IDI_NEW)));
    EXPECT_EQ(before, wintest::GdiObjectCount()) << "no second icon left behind";
}

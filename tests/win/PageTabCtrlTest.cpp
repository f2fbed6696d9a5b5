// The page tab control with real windows: sizing into the display area,
// switching by SelectPage and by clicks, the focus kept per page, and the
// order in which pages go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/PageTabCtrl.h"
#include "resources/resource.h"
#include "tests/win/Support.h"

namespace {

class LoggingPage : public fw::Dialog {
public:
    LoggingPage(UINT dialogId, std::string pageName, std::vector<std::string>* events)
        : fw::Dialog(dialogId), name(std::move(pageName)), log(events) {}
    ~LoggingPage() override { log->push_back("delete " + name); }
    int showNotices = 0;
    int focusOnHide = 0; // where the page puts the focus as it is hidden, as a failed check does

    BEGIN_MSG_MAP(LoggingPage)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

private:
    LRESULT OnShowWindow(UINT, WPARAM show, LPARAM, bool& bHandled) {
        ++showNotices;
        if (!show && focusOnHide)
            ::SetFocus(GetDlgItem(focusOnHide));
        bHandled = false;
        return 0;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
        log->push_back("destroy " + name);
        bHandled = false;
        return 0;
    }
    std::string name;
    std::vector<std::string>* log;
};

RECT RectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class PageTabs : public ::testing::Test {
protected:
    void TearDown() override { tabs.DestroyWindow(); }

    HWND MakeTabControl(int cx = 420, int cy = 320) {
        HWND tab = host.Add(WC_TABCONTROLA, IDC_TABS, "", WS_CLIPSIBLINGS, 10, 10, cx, cy);
        tabs.SubclassWindow(tab);
        return tab;
    }
    void AddPages(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(pages[i].Create(host.m_hWnd));
            ASSERT_EQ(i, tabs.AddPage(("Page " + std::to_string(i)).c_str(), i, &pages[i]));
        }
        wintest::Settle();
    }
    HWND Control(int page, int id) const { return pages[page].GetDlgItem(id); }
    bool Visible(int page) const { return ::IsWindowVisible(pages[page].m_hWnd) != FALSE; }
    void ClickTab(int index) {
        RECT item{};
        tabs.SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        ::PostMessageA(tabs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(tabs.m_hWnd, WM_LBUTTONUP, 0, at);
        wintest::Settle();
    }
    // The page fills the display area below the band of tabs, 4 pixels in.
    void ExpectFitted(int page) {
        RECT client{}, item{}, placed = RectInParent(pages[page].m_hWnd);
        ::GetClientRect(tabs.m_hWnd, &client);
        tabs.SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        int band = (item.bottom - item.top) * static_cast<int>(tabs.SendMessage(TCM_GETROWCOUNT));
        EXPECT_EQ((std::vector<LONG>{4, band + 4, client.right - 4, client.bottom - 4}),
                  (std::vector<LONG>{placed.left, placed.top, placed.right, placed.bottom}))
            << "page " << page;
    }

    wintest::HostWindow host;
    std::vector<std::string> log;
    controls::PageTabCtrl tabs;
    LoggingPage pages[4] = {{IDD_OPTIONS, "page0", &log},
                            {IDD_BANNEDLIST, "page1", &log},
                            {IDD_STATS, "page2", &log},
                            {IDD_ABOUT, "page3", &log}};
};

} // namespace

TEST_F(PageTabs, PagesAreReparentedAndFittedToTheControlAsItIsWhenShownAndOnlyTheFirstShows) {
    HWND tab = MakeTabControl();
    AddPages(4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tab, ::GetParent(pages[i].m_hWnd)) << i;
        EXPECT_EQ(i == 0, Visible(i)) << i;
        ExpectFitted(i);
    }
    ::SetWindowPos(tab, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tabs.SelectPage(1));
    ExpectFitted(1);
    EXPECT_FALSE(Visible(0));
}

TEST_F(PageTabs, SelectingNoPageOrTheCurrentOneShowsHidesAndFocusesNothing) {
    MakeTabControl();
    AddPages(3);
    HWND delay = Control(0, IDC_DELAY);
    ::SetFocus(delay);
    auto notices = [&] {
        return std::vector<int>{pages[0].showNotices, pages[1].showNotices, pages[2].showNotices};
    };
    const std::vector<int> shown = notices();
    for (int index : {-1, 3, 1000})
        EXPECT_FALSE(tabs.SelectPage(index)) << index;
    EXPECT_TRUE(tabs.SelectPage(0));
    wintest::Settle();
    EXPECT_EQ(0, tabs.SendMessage(TCM_GETCURSEL));
    EXPECT_EQ(shown, notices());
    EXPECT_EQ(delay, ::GetFocus());
}

// By SelectPage and by a click on the tab alike; a page not yet visited
// gives its first control.
TEST_F(PageTabs, EachPageGetsBackTheFocusItHadWhenLeftOrThatItTookAsItWasLeft) {
    MakeTabControl();
    AddPages(2);
    HWND delay = Control(0, IDC_DELAY);
    ::SetFocus(delay);
    ASSERT_TRUE(tabs.SelectPage(1));
    EXPECT_EQ(Control(1, IDC_SAVE), ::GetFocus()) << "the first control";
    ::SetFocus(Control(1, IDC_ENTRY));
    ASSERT_TRUE(tabs.SelectPage(0));
    EXPECT_EQ(delay, ::GetFocus());
    ::SetFocus(tabs.m_hWnd);
    EXPECT_EQ(delay, ::GetFocus()) << "the strip passes the focus on to the page";
    ClickTab(1);
    EXPECT_EQ(Control(1, IDC_ENTRY), ::GetFocus()) << "by a click";

    pages[1].focusOnHide = IDC_LOAD;
    ClickTab(0);
    EXPECT_FALSE(Visible(1));
    ClickTab(1);
    EXPECT_EQ(Control(1, IDC_LOAD), ::GetFocus()) << "where the page put it as it went";
}

TEST_F(PageTabs, DestroyingTakesThePagesDownLastToFirstAndLeavesTheObjectsToTheirOwner) {
    MakeTabControl();
    AddPages(2);
    tabs.DestroyWindow();
    EXPECT_EQ((std::vector<std::string>{"destroy page1", "destroy page0"}), log);
    EXPECT_TRUE(pages[1].m_hWnd == nullptr && pages[0].m_hWnd == nullptr) << "windows gone";
}

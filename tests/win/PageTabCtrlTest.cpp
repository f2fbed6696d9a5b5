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

class LoggingPage : public fw::CDialog {
public:
    LoggingPage(UINT templateId, std::string name, std::vector<std::string>* log)
        : fw::CDialog(templateId), name_(std::move(name)), log_(log) {}
    ~LoggingPage() override { log_->push_back("delete " + name_); }
    int showNotices = 0;
    int focusOnHide = 0; // where the page puts the focus as it is hidden, as a failed check does

    BEGIN_MSG_MAP(LoggingPage)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

private:
    LRESULT OnShowWindow(UINT, WPARAM show, LPARAM, bool& bHandled) {
        ++showNotices;
        if (!show && focusOnHide)
            ::SetFocus(GetDlgItem(focusOnHide));
        bHandled = false;
        return 0;
    }
    std::string name_;
    std::vector<std::string>* log_;
};

class RecordingTabs : public PageTabCtrl {
public:
    explicit RecordingTabs(std::vector<std::string>* log) : log_(log) {}

protected:
    bool PageAdded(int index, int32_t id) override { return Note("added", index, id), true; }
    void PageActivated(int index, int32_t id) override { Note("activated", index, id); }
    void PageDeactivating(int index, int32_t id) override { Note("deactivating", index, id); }
    void PageRemoved(int index, int32_t id) override { Note("removed", index, id); }

private:
    void Note(const char* what, int index, int32_t id) {
        log_->push_back(std::string(what) + " " + std::to_string(index) + "/" + std::to_string(id));
    }
    std::vector<std::string>* log_;
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

    HWND MakeTabControl(int cx, int cy) {
        HWND tab = host.Add(WC_TABCONTROLA, IDC_TABS, "", WS_CLIPSIBLINGS, 10, 10, cx, cy);
        tabs.SubclassWindow(tab);
        return tab;
    }
    void AddPages(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(pages[i].Create(host.m_hWnd));
            ASSERT_EQ(i, tabs.AddPage(("Page " + std::to_string(i)).c_str(), 10 + i, &pages[i]));
        }
        wintest::Pump();
    }
    HWND Control(int page, int id) const { return pages[page].GetDlgItem(id); }
    void ClickTab(int index) {
        RECT item{};
        tabs.SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        ::PostMessageA(tabs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(tabs.m_hWnd, WM_LBUTTONUP, 0, at);
        wintest::Pump(50);
    }
    // The page fills the display area below the band of tabs, 4 pixels in.
    void ExpectFitted(HWND page) {
        RECT client{}, item{}, placed = RectInParent(page);
        ::GetClientRect(tabs.m_hWnd, &client);
        tabs.SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        int band = (item.bottom - item.top) * static_cast<int>(tabs.SendMessage(TCM_GETROWCOUNT));
        EXPECT_EQ((std::vector<LONG>{4, band + 4, client.right - 4, client.bottom - 4}),
                  (std::vector<LONG>{placed.left, placed.top, placed.right, placed.bottom}));
    }

    wintest::HostWindow host;
    std::vector<std::string> log;
    RecordingTabs tabs{&log};
    LoggingPage pages[4] = {{IDD_OPTIONS, "page0", &log},
                            {IDD_BANNEDLIST, "page1", &log},
                            {IDD_STATS, "page2", &log},
                            {IDD_ABOUT, "page3", &log}};
};

} // namespace

TEST_F(PageTabs, AddedPagesAreReparentedFittedAndOnlyTheFirstIsShown) {
    HWND tab = MakeTabControl(420, 320);
    AddPages(4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tab, ::GetParent(pages[i].m_hWnd));
        EXPECT_EQ(i == 0, ::IsWindowVisible(pages[i].m_hWnd) != FALSE);
        ExpectFitted(pages[i].m_hWnd);
        EXPECT_EQ(::GetWindow(pages[i].m_hWnd, GW_CHILD), tabs.FocusTarget(i)) << "first control";
    }
    EXPECT_EQ((std::vector<std::string>{"added 0/10", "added 1/11", "added 2/12", "added 3/13"}),
              log);
    ::SetWindowPos(tab, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tabs.SelectPage(1));
    ExpectFitted(pages[1].m_hWnd);
    EXPECT_FALSE(::IsWindowVisible(pages[0].m_hWnd));
}

TEST_F(PageTabs, SelectPageOutOfRangeOrOnTheCurrentPageDoesNothingAndEachPageKeepsItsFocus) {
    MakeTabControl(420, 320);
    AddPages(3);
    log.clear();
    HWND delay = Control(0, IDC_DELAY);
    ::SetFocus(delay);
    auto shows = [&] { return std::vector<int>{pages[0].showNotices, pages[1].showNotices}; };
    const std::vector<int> shown = shows();
    for (int index : {-1, 3, 1000})
        EXPECT_FALSE(tabs.SelectPage(index)) << index;
    EXPECT_TRUE(tabs.SelectPage(0)) << "the current page: nothing shown, hidden or focused";
    wintest::Pump();
    EXPECT_EQ(shown, shows());
    EXPECT_EQ(delay, ::GetFocus());

    ASSERT_TRUE(tabs.SelectPage(1));
    EXPECT_EQ(Control(1, IDC_SAVE), ::GetFocus()) << "a page not yet visited: its first control";
    HWND entry = Control(1, IDC_ENTRY);
    ::SetFocus(entry);
    ASSERT_TRUE(tabs.SelectPage(0));
    EXPECT_EQ(delay, ::GetFocus());
    EXPECT_TRUE(log.empty()) << "SelectPage calls neither PageDeactivating nor PageActivated";

    // By clicking the tabs, with the notifications; a page that moves the
    // focus as it is left gets that focus back.
    pages[0].focusOnHide = IDC_BY_SIZE;
    ClickTab(1);
    EXPECT_EQ(entry, ::GetFocus());
    EXPECT_FALSE(::IsWindowVisible(pages[0].m_hWnd));
    ClickTab(0);
    EXPECT_EQ(Control(0, IDC_BY_SIZE), ::GetFocus());
    EXPECT_EQ((std::vector<std::string>{"deactivating 0/10", "activated 1/11", "deactivating 1/11",
                                        "activated 0/10"}),
              log);
    ::SetFocus(tabs.m_hWnd);
    EXPECT_EQ(Control(0, IDC_BY_SIZE), ::GetFocus()) << "the strip never keeps the focus";
}

TEST_F(PageTabs, DestroyingTakesThePagesDownLastToFirstAndDeletesOnlyOwnedOnes) {
    MakeTabControl(420, 320);
    EXPECT_EQ(-1, tabs.AddPage("Nothing", 0, nullptr)) << "no page, no tab";
    EXPECT_EQ(0, tabs.SendMessage(TCM_GETITEMCOUNT));
    AddPages(2);
    auto* owned = new LoggingPage(IDD_ABOUT, "owned", &log);
    ASSERT_TRUE(owned->Create(host.m_hWnd));
    ASSERT_EQ(2, tabs.AddPage("Owned", 7, owned, 1));
    log.clear();
    tabs.DestroyWindow();
    EXPECT_EQ(
        (std::vector<std::string>{"removed 2/7", "delete owned", "removed 1/11", "removed 0/10"}),
        log);
    EXPECT_TRUE(pages[1].m_hWnd == nullptr && pages[0].m_hWnd == nullptr)
        << "windows gone, objects kept by their owner";
    EXPECT_EQ(0, tabs.PageCount());
}

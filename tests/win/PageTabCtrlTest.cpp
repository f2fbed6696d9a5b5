// The page tab control with real windows: sizing into the display area,
// switching by SelectPage and by clicks, the focus kept per page, what is
// passed on to the parent, and the order in which pages go.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/PageTabCtrl.h"
#include "resources/resource.h"
#include "tests/win/WinTestSupport.h"

using wintest::PumpMessages;

namespace {

class LoggingPage : public fw::CDialog {
public:
    LoggingPage(UINT templateId, std::string name, std::vector<std::string>* log,
                bool* deleted = nullptr)
        : fw::CDialog(templateId), name_(std::move(name)), log_(log), deleted_(deleted) {}
    ~LoggingPage() override {
        if (deleted_)
            *deleted_ = true;
    }
    int showNotices = 0;
    // Where the page puts the focus when it is hidden (as a failed check does).
    int focusOnHide = 0;

    BEGIN_MSG_MAP(LoggingPage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
        log_->push_back("destroy " + name_);
        bHandled = false;
        return 0;
    }
    LRESULT OnShowWindow(UINT, WPARAM show, LPARAM, bool& bHandled) {
        ++showNotices;
        if (!show && focusOnHide)
            ::SetFocus(GetDlgItem(focusOnHide));
        bHandled = false;
        return 0;
    }
    std::string name_;
    std::vector<std::string>* log_;
    bool* deleted_;
};

class RecordingTabs : public PageTabCtrl {
public:
    explicit RecordingTabs(std::vector<std::string>* log) : log_(log) {}
    bool pageAddedResult = true;

protected:
    bool PageAdded(int index, int32_t pageId) override {
        Note("added", index, pageId);
        return pageAddedResult;
    }
    void PageActivated(int index, int32_t pageId) override { Note("activated", index, pageId); }
    void PageDeactivating(int index, int32_t pageId) override {
        Note("deactivating", index, pageId);
    }
    void PageRemoved(int index, int32_t pageId) override { Note("removed", index, pageId); }

private:
    void Note(const char* what, int index, int32_t pageId) {
        log_->push_back(std::string(what) + " " + std::to_string(index) + "/" +
                        std::to_string(pageId));
    }
    std::vector<std::string>* log_;
};

RECT RectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct Placement {
    int x, y, cx, cy;
};

Placement PlacementOf(HWND window) {
    RECT r = RectInParent(window);
    return Placement{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

#define EXPECT_PLACEMENT(expected, actual)                                                         \
    do {                                                                                           \
        Placement e_ = (expected), a_ = (actual);                                                  \
        EXPECT_EQ(e_.x, a_.x);                                                                     \
        EXPECT_EQ(e_.y, a_.y);                                                                     \
        EXPECT_EQ(e_.cx, a_.cx);                                                                   \
        EXPECT_EQ(e_.cy, a_.cy);                                                                   \
    } while (0)

class PageTabs : public ::testing::Test {
protected:
    void SetUp() override {
        tabs.reset(new RecordingTabs(&log));
        for (int i = 0; i < 4; ++i)
            pages[i].reset(new LoggingPage(kTemplates[i], "page" + std::to_string(i), &log));
    }
    void TearDown() override {
        if (tabs->m_hWnd)
            tabs->DestroyWindow();
        PumpMessages();
    }

    HWND MakeTabControl(DWORD style, int cx, int cy) {
        HWND tab = ::CreateWindowExA(
            0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE | style,
            10, 10, cx, cy, host.m_hWnd, reinterpret_cast<HMENU>(IDC_TABS),
            ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(tab, WM_SETFONT,
                       reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        tabs->SubclassWindow(tab);
        return tab;
    }

    void AddAllPages() {
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(pages[i]->Create(host.m_hWnd));
            ASSERT_EQ(i, tabs->AddPage(kCaptions[i], 10 + i, pages[i].get()));
        }
        PumpMessages();
    }

    HWND Control(int page, int id) const { return pages[page]->GetDlgItem(id); }

    void ClickTab(int index) {
        RECT item{};
        tabs->SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        ::PostMessageA(tabs->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(tabs->m_hWnd, WM_LBUTTONUP, 0, at);
        PumpMessages(50);
    }

    // The display-area placement the tab band leaves for a page, by style.
    Placement Expected(int width, int height) const {
        RECT item{};
        tabs->SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        int rows = static_cast<int>(tabs->SendMessage(TCM_GETROWCOUNT));
        DWORD style = tabs->GetStyle();
        if (style & TCS_VERTICAL) {
            int band = (item.right - item.left) * rows;
            return Placement{(style & TCS_RIGHT) ? 4 : band + 4, 4, width - band - 8, height - 8};
        }
        int band = (item.bottom - item.top) * rows;
        return Placement{4, (style & TCS_BOTTOM) ? 4 : band + 4, width - 8, height - band - 8};
    }

    static constexpr UINT kTemplates[4] = {IDD_OPTIONS, IDD_BANNEDLIST, IDD_STATS, IDD_ABOUT};
    static constexpr const char* kCaptions[4] = {"Options", "Banned List", "Statistics", "About"};

    wintest::TestHost host;
    std::vector<std::string> log;
    std::unique_ptr<RecordingTabs> tabs;
    std::unique_ptr<LoggingPage> pages[4];
};

constexpr UINT PageTabs::kTemplates[4];
constexpr const char* PageTabs::kCaptions[4];

} // namespace

TEST_F(PageTabs, AddedPagesAreReparentedSizedAndOnlyTheFirstIsShown) {
    HWND tab = MakeTabControl(0, 420, 320);
    AddAllPages();
    EXPECT_EQ(4, tabs->PageCount());
    RECT client{};
    ::GetClientRect(tab, &client);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tab, ::GetParent(pages[i]->m_hWnd));
        EXPECT_EQ(i == 0, ::IsWindowVisible(pages[i]->m_hWnd) != FALSE);
        EXPECT_PLACEMENT(Expected(client.right, client.bottom), PlacementOf(pages[i]->m_hWnd));
        EXPECT_EQ(::GetWindow(pages[i]->m_hWnd, GW_CHILD), tabs->FocusTarget(i))
            << "the first control of the template";
    }
    EXPECT_EQ((std::vector<std::string>{"added 0/10", "added 1/11", "added 2/12", "added 3/13"}),
              log);
}

TEST_F(PageTabs, FitPageTakesTheBandFromTheSideTheTabsAreOn) {
    const DWORD styles[] = {0, TCS_BOTTOM, TCS_VERTICAL, TCS_VERTICAL | TCS_RIGHT};
    for (DWORD style : styles) {
        SCOPED_TRACE(style);
        SetUp();
        HWND tab = MakeTabControl(style, 360, 300);
        ASSERT_TRUE(pages[0]->Create(host.m_hWnd));
        ASSERT_EQ(0, tabs->AddPage("A page with a long caption", 0, pages[0].get()));
        // Enough tabs for a second row, so the band is item size times rows.
        if (!(style & TCS_VERTICAL)) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>("Another long caption");
            for (int i = 0; i < 6; ++i)
                ::SendMessageA(tab, TCM_INSERTITEMA, 1 + i, reinterpret_cast<LPARAM>(&item));
            EXPECT_GE(::SendMessageA(tab, TCM_GETROWCOUNT, 0, 0), 2);
        }
        tabs->FitPage(0, 300, 200);
        Placement placed = PlacementOf(pages[0]->m_hWnd);
        EXPECT_PLACEMENT(Expected(300, 200), placed);
        if (style & (TCS_BOTTOM | TCS_RIGHT)) {
            EXPECT_EQ(4, placed.x);
            EXPECT_EQ(4, placed.y);
        }
        // No page at the index: nothing moves.
        tabs->FitPage(-1, 100, 100);
        tabs->FitPage(1, 100, 100);
        EXPECT_PLACEMENT(placed, PlacementOf(pages[0]->m_hWnd));
        TearDown();
    }
}

TEST_F(PageTabs, APageAddedToAnEmptyAreaIsSizedWhenFirstSelected) {
    HWND tab = MakeTabControl(0, 0, 0);
    ASSERT_TRUE(pages[0]->Create(host.m_hWnd));
    ASSERT_TRUE(pages[1]->Create(host.m_hWnd));
    Placement before = PlacementOf(pages[1]->m_hWnd);
    ASSERT_EQ(0, tabs->AddPage("One", 0, pages[0].get()));
    ASSERT_EQ(1, tabs->AddPage("Two", 1, pages[1].get()));
    EXPECT_PLACEMENT(before, PlacementOf(pages[1]->m_hWnd));

    ::SetWindowPos(tab, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(tabs->SelectPage(1));
    RECT client{};
    ::GetClientRect(tab, &client);
    EXPECT_PLACEMENT(Expected(client.right, client.bottom), PlacementOf(pages[1]->m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(pages[1]->m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(pages[0]->m_hWnd));
}

TEST_F(PageTabs, SelectPageOutOfRangeOrOnTheCurrentPageChangesNothing) {
    HWND tab = MakeTabControl(0, 420, 320);
    AddAllPages();
    HWND hotkey = Control(0, IDC_HOTKEY);
    ::SetFocus(hotkey);
    log.clear();
    int shows[4];
    for (int i = 0; i < 4; ++i)
        shows[i] = pages[i]->showNotices;

    EXPECT_FALSE(tabs->SelectPage(-1));
    EXPECT_FALSE(tabs->SelectPage(4)) << "an index equal to the number of pages";
    EXPECT_FALSE(tabs->SelectPage(1000));
    EXPECT_TRUE(tabs->SelectPage(0)) << "the current page";
    PumpMessages();

    EXPECT_EQ(0, ::SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    EXPECT_EQ(hotkey, ::GetFocus()) << "the focus is not touched";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(shows[i], pages[i]->showNotices) << "page " << i << " was shown or hidden";
    EXPECT_TRUE(::IsWindowVisible(pages[0]->m_hWnd));
    EXPECT_TRUE(log.empty());
}

TEST_F(PageTabs, EachPageGetsBackTheFocusItHadWhenItWasLeft) {
    MakeTabControl(0, 420, 320);
    AddAllPages();
    log.clear();
    HWND delay = Control(0, IDC_DELAY);
    ::SetFocus(delay);

    ASSERT_TRUE(tabs->SelectPage(1));
    EXPECT_EQ(Control(1, IDC_SAVE), ::GetFocus()) << "a page not yet visited: its first control";
    EXPECT_FALSE(::IsWindowVisible(pages[0]->m_hWnd));
    HWND entry = Control(1, IDC_ENTRY);
    ::SetFocus(entry);

    ASSERT_TRUE(tabs->SelectPage(0));
    EXPECT_EQ(delay, ::GetFocus());
    ASSERT_TRUE(tabs->SelectPage(1));
    EXPECT_EQ(entry, ::GetFocus());
    EXPECT_TRUE(log.empty()) << "SelectPage calls neither PageDeactivating nor PageActivated";

    // The same by clicking the tabs, with the notifications.
    log.clear();
    ClickTab(0);
    EXPECT_EQ(0, tabs->SendMessage(TCM_GETCURSEL));
    EXPECT_EQ(delay, ::GetFocus());
    EXPECT_TRUE(::IsWindowVisible(pages[0]->m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(pages[1]->m_hWnd));
    HWND byName = Control(0, IDC_BY_NAME);
    ::SetFocus(byName);
    ClickTab(1);
    EXPECT_EQ(entry, ::GetFocus());
    ClickTab(0);
    EXPECT_EQ(byName, ::GetFocus());
    EXPECT_EQ((std::vector<std::string>{"deactivating 1/11", "activated 0/10", "deactivating 0/10",
                                        "activated 1/11", "deactivating 1/11", "activated 0/10"}),
              log);

    // The strip itself never keeps the focus while a page is shown.
    ::SetFocus(tabs->m_hWnd);
    EXPECT_EQ(byName, ::GetFocus());
}

TEST_F(PageTabs, CommandsAndNotificationsGoOnToTheParentUnchanged) {
    MakeTabControl(0, 420, 320);
    AddAllPages();
    host.received.clear();
    host.answer = 1234;
    HWND from = Control(0, IDC_DELAY);
    EXPECT_EQ(1234, tabs->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DELAY, EN_CHANGE),
                                      reinterpret_cast<LPARAM>(from)));
    NMHDR header{from, IDC_DELAY, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(1234, tabs->SendMessage(WM_NOTIFY, IDC_DELAY, reinterpret_cast<LPARAM>(&header)));
    ASSERT_EQ(2u, host.received.size());
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), host.received[0].msg);
    EXPECT_EQ(MAKEWPARAM(IDC_DELAY, EN_CHANGE), host.received[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(from), host.received[0].lParam);
    EXPECT_EQ(static_cast<UINT>(WM_NOTIFY), host.received[1].msg);
    EXPECT_EQ(static_cast<WPARAM>(IDC_DELAY), host.received[1].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&header), host.received[1].lParam);
}

TEST_F(PageTabs, DestroyingTakesThePagesDownLastToFirstAndDeletesOnlyOwnedOnes) {
    MakeTabControl(0, 420, 320);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(pages[i]->Create(host.m_hWnd));
        ASSERT_EQ(i, tabs->AddPage(kCaptions[i], i, pages[i].get()));
    }
    bool ownedDeleted = false;
    auto* owned = new LoggingPage(IDD_ABOUT, "page3", &log, &ownedDeleted);
    ASSERT_TRUE(owned->Create(host.m_hWnd));
    ASSERT_EQ(3, tabs->AddPage("About", 3, owned, 1));
    log.clear();

    tabs->DestroyWindow();
    EXPECT_EQ(
        (std::vector<std::string>{"removed 3/3", "destroy page3", "removed 2/2", "destroy page2",
                                  "removed 1/1", "destroy page1", "removed 0/0", "destroy page0"}),
        log);
    EXPECT_TRUE(ownedDeleted);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(nullptr, pages[i]->m_hWnd) << "window gone, object kept by its owner";
    EXPECT_EQ(0, tabs->PageCount());
}

TEST_F(PageTabs, ANullPageIsRefusedAndARefusingPageAddedKeepsTheCurrentFocus) {
    HWND tab = MakeTabControl(0, 420, 320);
    EXPECT_EQ(-1, tabs->AddPage("Nothing", 0, nullptr));
    EXPECT_EQ(0, ::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0)) << "the tab it inserted is removed";
    EXPECT_EQ(0, tabs->PageCount());

    ASSERT_TRUE(pages[0]->Create(host.m_hWnd));
    ASSERT_EQ(0, tabs->AddPage("One", 0, pages[0].get()));
    // Creating a dialog moves the focus into it, so the page comes first.
    ASSERT_TRUE(pages[1]->Create(host.m_hWnd));
    HWND focused = Control(0, IDC_HOTKEY);
    ::SetFocus(focused);
    tabs->pageAddedResult = false;
    ASSERT_EQ(1, tabs->AddPage("Two", 1, pages[1].get()));
    EXPECT_EQ(focused, tabs->FocusTarget(1));
    EXPECT_EQ(2, ::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
}

TEST_F(PageTabs, WhereAPageMovesTheFocusWhileBeingLeftIsWhereItComesBackTo) {
    MakeTabControl(0, 420, 320);
    AddAllPages();
    ::SetFocus(Control(0, IDC_BY_NAME));
    pages[0]->focusOnHide = IDC_DELAY;
    ClickTab(1);
    EXPECT_EQ(Control(1, IDC_SAVE), ::GetFocus()) << "the focus follows the switch";
    ClickTab(0);
    EXPECT_EQ(Control(0, IDC_DELAY), ::GetFocus());

    ::SetFocus(Control(0, IDC_HOTKEY));
    pages[0]->focusOnHide = IDC_BY_SIZE;
    ASSERT_TRUE(tabs->SelectPage(2));
    ASSERT_TRUE(tabs->SelectPage(0));
    EXPECT_EQ(Control(0, IDC_BY_SIZE), ::GetFocus());
}

// The options page's data exchange on a real dialog: where a failed read
// stops, what it shows, where it leaves the focus; the fields that follow
// their check boxes; and Enter and Escape inside the pages.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "bannedlist/BannedListPage.h"
#include "settings/OptionsPage.h"
#include "stats/StoppedPage.h"
#include "tests/win/WinTestSupport.h"

using wintest::MessageBoxWatcher;
using wintest::PumpMessages;

namespace {

class Options : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page.Create(host.m_hWnd));
        // Hiding the page here is the end of a test, not a change of tab.
        page.StopApplyingOnHide();
        ::ShowWindow(page.m_hWnd, SW_SHOW);
        page.Height = 700;
        page.Width = 1000;
        page.ByName = 1;
        page.BySize = 1;
        page.Key = "x";
        page.AutoStart = 1;
        page.Delay = 250;
        page.Sessions = 3;
        page.BySess = 0;
        page.UpdateData(false);
        // As By Window Size and By Session leave them: a disabled field cannot take the focus.
        ::EnableWindow(Item(IDC_HEIGHT), TRUE);
        ::EnableWindow(Item(IDC_WIDTH), TRUE);
        ::EnableWindow(Item(IDC_SESSIONS), TRUE);
        PumpMessages();
    }

    HWND Item(int id) const { return page.GetDlgItem(id); }
    void Type(int id, const char* text) const { ::SetWindowTextA(Item(id), text); }
    void Check(int id, bool on) const {
        ::SendMessageA(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

    // Everything read from the controls at once, as the user left them.
    void TypeNewValues(const char* delay, const char* key = "q") const {
        Type(IDC_HEIGHT, "123");
        Type(IDC_WIDTH, "456");
        Check(IDC_BY_NAME, false);
        Type(IDC_HOTKEY, key);
        Check(IDC_LOAD_ON_BOOT, false);
        Type(IDC_DELAY, delay);
        Type(IDC_SESSIONS, "9");
        Check(IDC_BY_SESSION, true);
    }

    wintest::TestHost host;
    OptionsPage page;
};

} // namespace

TEST_F(Options, AFailedReadKeepsEarlierFieldsNewAndTheFailingOneAndLaterOld) {
    TypeNewValues("x1");
    std::vector<std::string> shown;
    bool ok;
    {
        MessageBoxWatcher watcher;
        ok = page.UpdateData(true);
        shown = watcher.Texts();
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(std::vector<std::string>{"Please enter a positive integer."}, shown);
    EXPECT_EQ(123, page.Height);
    EXPECT_EQ(456, page.Width);
    EXPECT_EQ(0, page.ByName);
    EXPECT_EQ("q", page.Key);
    EXPECT_EQ(0, page.AutoStart);
    EXPECT_EQ(250u, page.Delay) << "the failing field keeps its value";
    EXPECT_EQ(3, page.Sessions) << "later fields are not read";
    EXPECT_EQ(0, page.BySess);
    EXPECT_EQ(Item(IDC_DELAY), ::GetFocus());
    DWORD start, end;
    wintest::SelectionOf(Item(IDC_DELAY), start, end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(2u, end) << "all its text selected";

    // Corrected, the same read goes through to the end.
    Type(IDC_DELAY, "  40ms");
    {
        MessageBoxWatcher watcher;
        EXPECT_TRUE(page.UpdateData(true));
        EXPECT_TRUE(watcher.Texts().empty());
    }
    EXPECT_EQ(40u, page.Delay) << "blanks before the number skipped, text after it ignored";
    EXPECT_EQ(9, page.Sessions);
    EXPECT_EQ(1, page.BySess);
}

TEST_F(Options, EachFieldHasItsOwnMessage) {
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {IDC_HEIGHT, "", "Please enter an integer."},
        {IDC_WIDTH, "abc", "Please enter an integer."},
        {IDC_HOTKEY, "ab", "Please enter no more than 1 characters."},
        {IDC_DELAY, "", "Please enter a positive integer."},
        {IDC_SESSIONS, "+", "Please enter an integer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        page.UpdateData(false);
        Type(c.id, c.text);
        MessageBoxWatcher watcher;
        EXPECT_FALSE(page.UpdateData(true));
        EXPECT_EQ(std::vector<std::string>{c.message}, watcher.Texts());
        EXPECT_EQ(Item(c.id), ::GetFocus());
    }
}

TEST_F(Options, AQuietReadFailsWithoutAMessageOrAFocusChange) {
    TypeNewValues("", "ab");
    ::SetFocus(Item(IDC_BY_NAME));
    MessageBoxWatcher watcher;
    EXPECT_FALSE(page.UpdateData(true, true));
    PumpMessages(100);
    EXPECT_TRUE(watcher.Texts().empty());
    EXPECT_EQ(Item(IDC_BY_NAME), ::GetFocus());
    EXPECT_EQ("x", page.Key);
    EXPECT_EQ(456, page.Width);
}

TEST_F(Options, BySizeAndBySessionEnableExactlyTheirFields) {
    ::EnableWindow(Item(IDC_HEIGHT), FALSE);
    ::EnableWindow(Item(IDC_WIDTH), FALSE);
    ::EnableWindow(Item(IDC_SESSIONS), FALSE);
    Check(IDC_BY_SIZE, false);
    ::SendMessageA(Item(IDC_BY_SIZE), BM_CLICK, 0, 0);
    EXPECT_EQ(1, page.BySize);
    EXPECT_TRUE(Enabled(IDC_HEIGHT));
    EXPECT_TRUE(Enabled(IDC_WIDTH));
    EXPECT_FALSE(Enabled(IDC_SESSIONS));
    ::SendMessageA(Item(IDC_BY_SIZE), BM_CLICK, 0, 0);
    EXPECT_FALSE(Enabled(IDC_HEIGHT));
    EXPECT_FALSE(Enabled(IDC_WIDTH));

    ::SendMessageA(Item(IDC_BY_SESSION), BM_CLICK, 0, 0);
    EXPECT_EQ(1, page.BySess);
    EXPECT_TRUE(Enabled(IDC_SESSIONS));
    EXPECT_FALSE(Enabled(IDC_HEIGHT));
    EXPECT_FALSE(Enabled(IDC_WIDTH));
    EXPECT_TRUE(Enabled(IDC_DELAY)) << "never touched";
    ::SendMessageA(Item(IDC_BY_SESSION), BM_CLICK, 0, 0);
    EXPECT_FALSE(Enabled(IDC_SESSIONS));

    // A bad Height stops the read before the check box: nothing changes.
    ::SendMessageA(Item(IDC_BY_SIZE), BM_CLICK, 0, 0);
    ASSERT_TRUE(Enabled(IDC_HEIGHT));
    Type(IDC_HEIGHT, "");
    MessageBoxWatcher watcher;
    ::SendMessageA(Item(IDC_BY_SIZE), BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<std::string>{"Please enter an integer."}, watcher.Texts());
    EXPECT_EQ(1, page.BySize);
    EXPECT_TRUE(Enabled(IDC_HEIGHT));
    EXPECT_TRUE(Enabled(IDC_WIDTH));
}

namespace {

// A modal dialog whose own OK and Cancel would end it, hosting pages that
// receive Enter and Escape through the framework's message loop.
class KeyHost : public fw::CDialog {
public:
    KeyHost() : fw::CDialog(IDD_MAIN) {}
    BannedListPage banned;
    OptionsPage options;
    CStoppedPage stats;
    bool pagesAlive = false;
    std::string entryText;
    int listed = -1;

    static constexpr UINT kDone = WM_APP + 7;
    BEGIN_MSG_MAP(KeyHost)
        MESSAGE_HANDLER(kDone, OnDone)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override {
        fw::CDialog::OnInitDialog();
        banned.Create(m_hWnd);
        options.Create(m_hWnd);
        options.StopApplyingOnHide();
        stats.Create(m_hWnd);
        ::ShowWindow(banned.m_hWnd, SW_SHOW);
        ::SetWindowTextA(banned.GetDlgItem(IDC_ENTRY), "typed");
        const HWND targets[] = {banned.GetDlgItem(IDC_ENTRY), banned.GetDlgItem(IDC_BANNED_LIST),
                                options.GetDlgItem(IDC_DELAY), options.GetDlgItem(IDC_BY_NAME),
                                stats.GetDlgItem(IDC_KILL_LIST)};
        for (HWND target : targets) {
            for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                ::PostMessageA(target, WM_KEYDOWN, key, 1);
                ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
            }
        }
        ::PostMessageA(m_hWnd, kDone, 0, 0);
        // Typing in the entry field, as a user about to press Enter would be.
        ::SetFocus(banned.GetDlgItem(IDC_ENTRY));
        return false;
    }

private:
    LRESULT OnDone(UINT, WPARAM, LPARAM, bool&) {
        pagesAlive = banned.IsWindow() && options.IsWindow() && stats.IsWindow();
        entryText = wintest::TextOf(banned.GetDlgItem(IDC_ENTRY));
        listed = banned.titles.Count();
        EndDialog(42);
        return 0;
    }
};

} // namespace

TEST(PageKeys, EnterAndEscapeInsideAPageDoNothing) {
    KeyHost host;
    EXPECT_EQ(42, host.DoModal()) << "Enter or Escape reached the hosting dialog";
    EXPECT_TRUE(host.pagesAlive);
    EXPECT_EQ("typed", host.entryText);
    EXPECT_EQ(0, host.listed) << "Enter is no Add, even with Add a default button";
}

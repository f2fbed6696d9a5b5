// The Browsers tab against the real program: the browser names and the
// never-close words edited there act on the next window, and are stored
// once changed. The matching itself is the engine's unit tests.
#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

const Lines kDefaultNames = {"Microsoft Internet Explorer", "Netscape", "Opera", "AOL"};

class Browsers : public ProgramTest {
protected:
    HWND Item(int id) const { return app.PageControl(kBrowsersPage, id); }
    Lines Names() const { return ListBoxEntries(Item(IDC_BROWSER_LIST)); }
    Lines NeverClose() const { return ListBoxEntries(Item(IDC_NEVER_LIST)); }
    // Types into an entry field and presses its Add.
    bool Add(int entry, int button, const std::string& text) {
        SetText(Item(entry), text);
        app.Click(Item(button));
        return app.Settle();
    }
    // Selects entries of a list and presses Delete in it.
    bool RemoveWithDelete(int list, const std::vector<int>& positions) {
        ::SendMessageA(Item(list), LB_SETSEL, FALSE, -1);
        for (int position : positions)
            ::SendMessageA(Item(list), LB_SETSEL, TRUE, position);
        PostKey(Item(list), VK_DELETE);
        return app.Settle();
    }
};

} // namespace

TEST_F(Browsers, ANameAddedOnTheTabMakesTheNextSmallWindowWithItABrowsersAndTodaysComeOnce) {
    Start("names");
    ASSERT_TRUE(app.SelectTab(kBrowsersPage));
    EXPECT_EQ(kDefaultNames, Names());
    EXPECT_TRUE(Stays("Ad - Pale Moon"));
    ASSERT_TRUE(Add(IDC_BROWSER_ENTRY, IDC_BROWSER_ADD, "Pale Moon"));
    EXPECT_EQ("", TextOf(Item(IDC_BROWSER_ENTRY)));
    EXPECT_FALSE(Stays("Ad - Pale Moon")) << "closed by the size rule now";
    // Enter in the field adds too.
    SetText(Item(IDC_BROWSER_ENTRY), "Ladybird");
    ::PostMessageA(Item(IDC_BROWSER_ENTRY), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::PostMessageA(Item(IDC_BROWSER_ENTRY), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    PostKey(Item(IDC_BROWSER_ENTRY), VK_RETURN);
    ASSERT_TRUE(app.Settle());

    app.Click(Item(IDC_ADD_TODAYS_BROWSERS));
    ASSERT_TRUE(app.Settle());
    Lines expected = kDefaultNames;
    for (const char* name : {"Pale Moon", "Ladybird", "Google Chrome", "Mozilla Firefox",
                             "Microsoft Edge", "Microsoft?Edge", "Brave", "Vivaldi", "Chromium"})
        expected.push_back(name);
    EXPECT_EQ(expected, Names());
    EXPECT_FALSE(Stays("New tab - Google Chrome"));
}

// When a list is stored or taken out is the settings' unit tests; here the
// registry's lists, and the page's edits that lead there.
TEST_F(Browsers, TheListsAreStoredOnceChangedAndRemovingEveryNameBringsBackTheDefaults) {
    Start("stored");
    ASSERT_TRUE(app.SelectTab(kBrowsersPage));
    ASSERT_TRUE(Add(IDC_BROWSER_ENTRY, IDC_BROWSER_ADD, "Brave"));
    ASSERT_TRUE(Add(IDC_NEVER_ENTRY, IDC_NEVER_ADD, "Sign in"));
    ASSERT_TRUE(app.Close());
    DWORD type = 0;
    EXPECT_EQ(std::string("Microsoft Internet Explorer\0Netscape\0Opera\0AOL\0Brave\0\0", 54),
              SettingRaw("BrowserNames", type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_EQ(std::string("Sign in\0\0", 9), SettingRaw("NeverClose", type));

    Start("stored");
    ASSERT_TRUE(app.SelectTab(kBrowsersPage));
    Lines stored = kDefaultNames;
    stored.push_back("Brave");
    EXPECT_EQ(stored, Names()) << "read back at the next start";
    EXPECT_EQ(Lines{"Sign in"}, NeverClose());
    ASSERT_TRUE(RemoveWithDelete(IDC_BROWSER_LIST, {0, 1, 2, 3, 4}));
    EXPECT_EQ(kDefaultNames, Names()) << "no name at all brings the defaults back";
    EXPECT_TRUE(Stays("Ad - Brave")) << "no browser name now";
    ASSERT_TRUE(RemoveWithDelete(IDC_NEVER_LIST, {0}));
    EXPECT_EQ(Lines{}, NeverClose());
    ASSERT_TRUE(app.Close());
    SettingRaw("BrowserNames", type);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), type) << "the defaults followed again";
    SettingRaw("NeverClose", type);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), type);
}

// From a mistake to an exception in one step: Never Close on a line of the
// Statistics page keeps the next window of that title open. That such a
// title is closed by no rule yet counts is the engine's unit tests.
TEST_F(Browsers, NeverCloseOnAStatisticsLineKeepsTheNextWindowOfThatTitleOpen) {
    Start("never-close");
    EXPECT_FALSE(Stays("Sign in - Opera"));
    ASSERT_TRUE(app.SelectTab(kStatsPage));
    HWND list = app.PageControl(kStatsPage, IDC_KILL_LIST);
    HWND button = app.PageControl(kStatsPage, IDC_NEVER_CLOSE);
    auto select = [&](int line) {
        ::SendMessageA(list, LB_SETCURSEL, line, 0);
        ::SendMessageA(app.Page(kStatsPage), WM_COMMAND, MAKEWPARAM(IDC_KILL_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
        return app.Settle();
    };
    EXPECT_FALSE(::IsWindowEnabled(button)) << "nothing selected";
    ASSERT_TRUE(select(0));
    EXPECT_FALSE(::IsWindowEnabled(button)) << "the counter line is no title";
    ASSERT_TRUE(select(1));
    EXPECT_TRUE(::IsWindowEnabled(button));
    app.Click(button);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(Lines{"Sign in - Opera"}, NeverClose());
    EXPECT_TRUE(Stays("Sign in - Opera"));
    EXPECT_EQ((Lines{Counter(1, 1), "Sign in - Opera"}), app.StatisticsLines());
}

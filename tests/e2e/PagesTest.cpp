// The pages of the real program driven from outside: the banned list, the
// focus kept per page, the About item and page, the options page's
// validation and fields.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <set>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {
const char kPositive[] = "Please enter a positive integer.";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// True when this combination is registered by another program.
bool HotkeyHeldElsewhere(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0x7A11, modifiers, key))
        return ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
    ::UnregisterHotKey(nullptr, 0x7A11);
    return false;
}

// HKCU\...\CurrentVersion\Run, value "Velmora".
std::string RunValue() {
    char data[1024] = "<no string>";
    DWORD size = sizeof(data) - 1, type = 0;
    ::SHGetValueA(HKEY_CURRENT_USER, kRunKey, "Velmora", &type, data, &size);
    return type == REG_SZ ? data : "<no string>";
}

std::string QuotedExecutableOf(HANDLE process) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
    return "\"" + std::string(path) + "\"";
}

void SelectOnly(HWND list, const std::vector<int>& indices) {
    ::SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int i : indices)
        ::SendMessageW(list, LB_SETSEL, TRUE, i);
}

// The tab is the current one and only its page shows.
bool Shows(const VelmoraProcess& app, int page) {
    for (int other = kBannedPage; other <= kAboutPage; ++other)
        if ((::IsWindowVisible(app.Page(other)) != FALSE) != (other == page))
            return false;
    return ::SendMessageA(app.Control(IDC_TABS), TCM_GETCURSEL, 0, 0) == page;
}

// The program's windows on screen.
std::set<HWND> ShownWindowsOf(const VelmoraProcess& app) {
    std::set<HWND> shown;
    for (HWND window : TopLevelWindows(app.Pid()))
        if (::IsWindowVisible(window))
            shown.insert(window);
    return shown;
}

std::vector<int> Selected(HWND list) {
    std::vector<int> selected;
    for (int i = 0, n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        if (::SendMessageW(list, LB_GETSEL, i, 0) > 0)
            selected.push_back(i);
    }
    return selected;
}
} // namespace

class BannedListPage : public testing::Test {
protected:
    void SetUp() override {
        UseQuietSettings();
        ASSERT_TRUE(StartApp(app_, "banned-list"));
    }
    HWND Entry() const { return app_.PageControl(kBannedPage, IDC_ENTRY); }
    HWND List() const { return app_.PageControl(kBannedPage, IDC_BANNED_LIST); }
    // "0 - Opera" to "9 - Opera".
    void AddDigits() {
        for (char digit = '0'; digit <= '9'; ++digit)
            ASSERT_TRUE(AddTitle(app_, digit + std::string(" - Opera")));
    }
    static Lines Digits(const char* digits) {
        Lines titles;
        for (const char* digit = digits; *digit; ++digit)
            titles.push_back(*digit + std::string(" - Opera"));
        return titles;
    }
    // Selects the entries and removes them with the key (0: the Remove button).
    bool Remove(const std::vector<int>& selection, WPARAM key = 0) {
        SelectOnly(List(), selection);
        if (key)
            PostKey(List(), key);
        else
            app_.Click(app_.PageControl(kBannedPage, IDC_REMOVE));
        return app_.Settle();
    }

    VelmoraProcess app_;
};

TEST_F(BannedListPage, AddInsertsATitleAtItsSortedPlace) {
    for (const char* title : {"pear", "apple", "Mango"})
        ASSERT_TRUE(AddTitle(app_, title));
    EXPECT_EQ((Lines{"apple", "Mango", "pear"}), app_.BannedList());
}

TEST_F(BannedListPage, AddRefusesAnEmptyOrListedTitleSilentlyAndEmptiesTheField) {
    ASSERT_TRUE(AddTitle(app_, "pear"));
    for (const char* title : {"pear", ""}) {
        ASSERT_TRUE(AddTitle(app_, title));
        EXPECT_EQ("", TextOf(Entry())) << title;
    }
    EXPECT_EQ(Lines{"pear"}, app_.BannedList());
    EXPECT_TRUE(DialogsOf(app_).empty()) << "no message";
}

TEST_F(BannedListPage, LetterCaseAndBlanksMakeOtherTitles) {
    for (const char* title : {"pear", "Pear", "pear ", " pear"})
        ASSERT_TRUE(AddTitle(app_, title));
    Lines listed = app_.BannedList();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((Lines{" pear", "Pear", "pear", "pear "}), listed);
}

TEST_F(BannedListPage, EnterAndEscapeInTheEntryFieldDoNothing) {
    ASSERT_TRUE(AddTitle(app_, "pear"));
    SetText(Entry(), "kiwi");
    ::PostMessageA(Entry(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)); // the focus into it
    ::PostMessageA(Entry(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostKey(Entry(), VK_RETURN);
    PostKey(Entry(), VK_ESCAPE);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(::IsWindowVisible(app_.Page(kBannedPage)));
    EXPECT_EQ(Lines{"pear"}, app_.BannedList());
    EXPECT_EQ("kiwi", TextOf(Entry()));
}

TEST_F(BannedListPage, RemoveTakesTheSelectionOutAndSelectsTheEntryAfterIt) {
    AddDigits();
    ASSERT_TRUE(Remove({2, 3, 7}));
    EXPECT_EQ(Digits("0145689"), app_.BannedList());
    EXPECT_EQ(std::vector<int>{5}, Selected(List())) << "the entry that was at index 8";
}

TEST_F(BannedListPage, RemovingTheLastEntryLeavesNothingSelected) {
    AddDigits();
    ASSERT_TRUE(Remove({5, 9}));
    EXPECT_EQ(Digits("01234678"), app_.BannedList());
    EXPECT_TRUE(Selected(List()).empty());
}

TEST_F(BannedListPage, DeleteAndBackspaceRemoveAsTheButtonDoes) {
    AddDigits();
    ASSERT_TRUE(Remove({2, 3, 7}, VK_DELETE));
    EXPECT_EQ(Digits("0145689"), app_.BannedList());
    ASSERT_TRUE(Remove({0}, VK_BACK));
    EXPECT_EQ(Digits("145689"), app_.BannedList());
}

TEST_F(BannedListPage, WithNothingSelectedRemoveDoesNothing) {
    AddDigits();
    ASSERT_TRUE(Remove({}));
    ASSERT_TRUE(Remove({}, VK_DELETE));
    EXPECT_EQ(Digits("0123456789"), app_.BannedList());
}

TEST_F(BannedListPage, RemoveEmptiesTheFieldOfTextTypedSinceAdd) {
    AddDigits();
    SetText(Entry(), "typed");
    ASSERT_TRUE(Remove({0}));
    EXPECT_EQ("", TextOf(Entry())) << "the text last read, which Add emptied";
    EXPECT_EQ(Digits("123456789"), app_.BannedList()) << "and the typed text is not added";
}

TEST_F(BannedListPage, TheNameRuleFollowsRemovesAndAdds) {
    AddDigits();
    WindowFactory windows;
    ASSERT_TRUE(Remove({2, 3, 7}));
    EXPECT_TRUE(StaysOpen(app_, windows, "3 - Opera", 1200, 800));
    EXPECT_FALSE(StaysOpen(app_, windows, "5 - Opera", 1200, 800));
    ASSERT_TRUE(AddTitle(app_, "3 - Opera"));
    EXPECT_FALSE(StaysOpen(app_, windows, "3 - Opera", 1200, 800));
}

TEST(Pages, EachTabGivesBackTheFocusItsPageHadWhenLeft) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "focus");
    ASSERT_TRUE(main);
    auto focus = [&] { return ThreadInfoOf(main).hwndFocus; };
    auto focusOn = [&](HWND control) {
        ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        return app.Settle() && focus() == control;
    };
    EXPECT_TRUE(Shows(app, kBannedPage));
    HWND list = app.PageControl(kBannedPage, IDC_BANNED_LIST);
    ASSERT_TRUE(focusOn(list));
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    EXPECT_TRUE(Shows(app, kOptionsPage));
    EXPECT_EQ(app.PageControl(kOptionsPage, IDC_BY_NAME), focus()) << "first visit";
    HWND delay = app.PageControl(kOptionsPage, IDC_DELAY);
    ASSERT_TRUE(focusOn(delay));
    ASSERT_TRUE(app.SelectTab(kBannedPage));
    EXPECT_EQ(list, focus());
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    EXPECT_EQ(delay, focus());
}

TEST(Pages, TheSystemMenusAboutItemSelectsTheAboutPageAndOpensNoWindow) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "about-item");
    ASSERT_TRUE(main);
    Probe probe(::GetWindowThreadProcessId(main, nullptr));
    ASSERT_TRUE(probe.Attached());
    std::set<HWND> windows = ShownWindowsOf(app);
    for (int time = 0; time < 2; ++time) {
        SCOPED_TRACE(time ? "again, on the About page" : "from the Banned List page");
        ::PostMessageA(main, WM_SYSCOMMAND, SC_KEYMENU, ' '); // Alt+Space
        Lines items = probe.ShownMenuItems(app);
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ((Lines{"", "About Velmora..."}), Lines(items.end() - 2, items.end()))
            << "a separator and the item, last";
        ASSERT_TRUE(ChooseInMenu(app, {VK_UP, VK_RETURN})); // up from the first: the last
        EXPECT_TRUE(Shows(app, kAboutPage));
        EXPECT_TRUE(DialogsOf(app).empty());
        EXPECT_EQ(windows, ShownWindowsOf(app)) << "no window opened or closed";
    }
}

TEST(Pages, EscapeOnTheMainWindowNeitherEndsNorHidesTheProgram) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "escape");
    ASSERT_TRUE(main);
    HWND hide = app.Control(IDC_HIDE);
    ::PostMessageA(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hide), TRUE);
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ(hide, ThreadInfoOf(main).hwndFocus);
    PostKey(hide, VK_ESCAPE);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
}

TEST(AboutPage, EnterAndEscapeChangeNothingAndCloseNothing) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "about-keys");
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.SelectTab(kAboutPage));
    HWND page = app.Page(kAboutPage);
    std::set<HWND> windows = ShownWindowsOf(app);
    // The keys where the focus is, and the page's own accept and cancel.
    for (WPARAM key : {VK_RETURN, VK_ESCAPE})
        PostKey(ThreadInfoOf(main).hwndFocus, key);
    ::PostMessageA(page, WM_COMMAND, IDOK, 0);
    ::PostMessageA(page, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(Shows(app, kAboutPage));
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(windows, ShownWindowsOf(app)) << "no window opened or closed";
    EXPECT_TRUE(app.Close()) << "and it still closes as it should";
}

TEST(OptionsPage, LeavingWithABadDelayShowsTheMessageAndStillAppliesTheRest) {
    UseQuietSettings();
    SetSettingDword("Delay", 120);
    ::SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
    ASSERT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q'));
    VelmoraProcess app;
    HWND main = StartApp(app, "bad-delay");
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    SetText(app.PageControl(kOptionsPage, IDC_DELAY), "");
    SetText(app.PageControl(kOptionsPage, IDC_HOTKEY), "q");
    app.Click(app.PageControl(kOptionsPage, IDC_LOAD_ON_BOOT));

    ASSERT_TRUE(app.SelectTab(kStatsPage));
    ASSERT_TRUE(DismissMessageBox(app, kPositive));
    EXPECT_EQ(kStatsPage, ::SendMessageA(app.Control(IDC_TABS), TCM_GETCURSEL, 0, 0))
        << "the switch goes ahead";
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q')) << "the hotkey applied all the same";
    EXPECT_EQ(QuotedExecutableOf(app.Process()), RunValue()) << "Run applied all the same";

    // Closing reads the page once more: the message again, the old delay saved.
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(DismissMessageBox(app, kPositive));
    ASSERT_TRUE(app.WaitForExit(20000));
    EXPECT_EQ(120u, SettingDword("Delay")) << "the last good delay";
    EXPECT_EQ("q", SettingString("Key"));

    ::SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
}

TEST(OptionsPage, BySizeAndBySessionEnableExactlyTheirFields) {
    UseQuietSettings();
    SetSettingDword("BySize", 0);
    VelmoraProcess app;
    ASSERT_TRUE(StartApp(app, "fields"));
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    auto enabled = [&] { // Height, Width, Sessions, Delay, By Name
        std::string flags;
        for (int field : {IDC_HEIGHT, IDC_WIDTH, IDC_SESSIONS, IDC_DELAY, IDC_BY_NAME})
            flags += ::IsWindowEnabled(app.PageControl(kOptionsPage, field)) ? '1' : '0';
        return flags;
    };
    auto click = [&](int id) {
        app.Click(app.PageControl(kOptionsPage, id));
        EXPECT_TRUE(app.Settle());
        return enabled();
    };
    EXPECT_EQ("00011", enabled());
    EXPECT_EQ("11011", click(IDC_BY_SIZE));
    // Each report reads the fields as they stand, without leaving the tab.
    WindowFactory windows;
    SetText(app.PageControl(kOptionsPage, IDC_WIDTH), "200");
    EXPECT_TRUE(StaysOpen(app, windows, "Ad - Opera")) << "300 wide is no longer below 200";
    SetText(app.PageControl(kOptionsPage, IDC_WIDTH), "1000");
    EXPECT_FALSE(StaysOpen(app, windows, "Ad - Opera"));

    EXPECT_EQ("11111", click(IDC_BY_SESSION));
    EXPECT_EQ("00111", click(IDC_BY_SIZE));
    EXPECT_EQ("00011", click(IDC_BY_SESSION));
}

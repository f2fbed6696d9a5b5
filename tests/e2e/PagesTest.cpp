// The pages of the real program driven from outside: the banned list, the
// focus kept per page, the options page's validation and fields, and
// pictures of every page.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>

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

std::vector<int> Selected(HWND list) {
    std::vector<int> selected;
    for (int i = 0, n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        if (::SendMessageW(list, LB_GETSEL, i, 0) > 0)
            selected.push_back(i);
    }
    return selected;
}
} // namespace

TEST(BannedListPage, AddRefusesEmptyAndDuplicateTitlesSilentlyAndInsertsSorted) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartApp(app, "add"));
    for (const char* title : {"pear", "apple", "Mango", "pear", "", "Pear", "pear "})
        ASSERT_TRUE(AddTitle(app, title));
    EXPECT_EQ("", TextOf(app.PageControl(kBannedPage, IDC_ENTRY))) << "emptied every time";
    EXPECT_TRUE(DialogsOf(app).empty()) << "refusals are silent";
    Lines listed = app.BannedList();
    ASSERT_EQ(5u, listed.size());
    EXPECT_EQ((Lines{"apple", "Mango"}), Lines(listed.begin(), listed.begin() + 2)) << "sorted";
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((Lines{"Mango", "Pear", "apple", "pear", "pear "}), listed)
        << "one of each; case and a blank make other titles";

    // Enter and Escape in the entry field are the page's OK and Cancel: nothing.
    HWND entry = app.PageControl(kBannedPage, IDC_ENTRY);
    SetText(entry, "kiwi");
    ::PostMessageA(entry, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)); // the focus into it
    ::PostMessageA(entry, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostKey(entry, VK_RETURN);
    PostKey(entry, VK_ESCAPE);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(::IsWindowVisible(app.Page(kBannedPage)));
    EXPECT_EQ(5u, app.BannedList().size());
    EXPECT_EQ("kiwi", TextOf(entry));
}

TEST(BannedListPage, RemoveDeleteAndBackspaceTakeTheSelectionOutOfListAndIndex) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartApp(app, "remove"));
    WindowFactory windows;
    for (char digit = '0'; digit <= '9'; ++digit)
        ASSERT_TRUE(AddTitle(app, digit + std::string(" - Opera")));
    HWND list = app.PageControl(kBannedPage, IDC_BANNED_LIST);
    // Each step: the selection, the key (0: the Remove button), what is left
    // and what is selected after it.
    const struct {
        std::vector<int> select;
        WPARAM key;
        const char* left;
        std::vector<int> selected;
    } steps[] = {
        {{2, 3, 7}, 0, "0145689", {5}},   // the entry that was at index 8
        {{5, 6}, VK_DELETE, "01456", {}}, // the last one among them: none after
        {{0}, VK_BACK, "1456", {0}},      {{}, VK_DELETE, "1456", {}}, {{}, 0, "1456", {}},
    };
    for (const auto& step : steps) {
        SelectOnly(list, step.select);
        if (step.key)
            PostKey(list, step.key);
        else
            app.Click(app.PageControl(kBannedPage, IDC_REMOVE));
        ASSERT_TRUE(app.Settle());
        Lines left;
        for (const char* digit = step.left; *digit; ++digit)
            left.push_back(*digit + std::string(" - Opera"));
        EXPECT_EQ(left, app.BannedList()) << step.left;
        EXPECT_EQ(step.selected, Selected(list)) << step.left;
    }
    // The index behind the list lost the same titles, and takes one back.
    EXPECT_TRUE(StaysOpen(app, windows, "8 - Opera", 1200, 800));
    EXPECT_FALSE(StaysOpen(app, windows, "5 - Opera", 1200, 800));
    ASSERT_TRUE(AddTitle(app, "8 - Opera"));
    EXPECT_FALSE(StaysOpen(app, windows, "8 - Opera", 1200, 800));
}

TEST(Pages, EachTabGivesBackTheFocusItsPageHadWhenLeft) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "focus");
    ASSERT_TRUE(main);
    auto shown = [&](int page) {
        return ::SendMessageA(app.Control(IDC_TABS), TCM_GETCURSEL, 0, 0) == page &&
               ::IsWindowVisible(app.Page(page)) && !::IsWindowVisible(app.Page((page + 1) % 4));
    };
    auto focus = [&] { return ThreadInfoOf(main).hwndFocus; };
    auto focusOn = [&](HWND control) {
        ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        return app.Settle() && focus() == control;
    };
    EXPECT_TRUE(shown(kBannedPage));
    HWND list = app.PageControl(kBannedPage, IDC_BANNED_LIST);
    ASSERT_TRUE(focusOn(list));
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    EXPECT_TRUE(shown(kOptionsPage));
    EXPECT_EQ(app.PageControl(kOptionsPage, IDC_BY_NAME), focus()) << "first visit";
    HWND delay = app.PageControl(kOptionsPage, IDC_DELAY);
    ASSERT_TRUE(focusOn(delay));
    ASSERT_TRUE(app.SelectTab(kBannedPage));
    EXPECT_EQ(list, focus());
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    EXPECT_EQ(delay, focus());

    // The system menu's About item selects the About tab; once there, again does nothing.
    for (int i = 0; i < 2; ++i) {
        ::PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(shown(kAboutPage)) << i;
    }
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    EXPECT_EQ(delay, focus()) << "the About item kept the focus of the page it left";
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

// Pictures of the pages for the README (build/win/screenshots).
TEST(Look, EveryPageIsSavedAsAPicture) {
    if (Env("VELMORA_SCREENSHOTS").empty())
        GTEST_SKIP() << "no screenshot folder (run through scripts/test.sh)";
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "look");
    ASSERT_TRUE(main);
    const char* const names[] = {"banned-list", "statistics", "options", "about"};
    for (int page = kBannedPage; page <= kAboutPage; ++page) {
        ASSERT_TRUE(app.SelectTab(page));
        ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(SaveScreenshot(main, names[page])) << names[page];
    }
}

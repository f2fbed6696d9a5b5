// The pages of the real program driven from outside: Enter and Escape, the
// About item and page, the options page's validation and fields. What one
// page does alone is the Win32 tests'.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>

#include <set>

#include "tests/e2e/ProgramTest.h"

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

class Pages : public ProgramTest {
protected:
    // The tab is the current one and only its page shows.
    bool Shows(int page) const {
        for (int other = kBannedPage; other <= kAboutPage; ++other)
            if ((::IsWindowVisible(app.Page(other)) != FALSE) != (other == page))
                return false;
        return ::SendMessageA(app.Control(IDC_TABS), TCM_GETCURSEL, 0, 0) == page;
    }
    // The program's windows on screen.
    std::set<HWND> ShownWindows() const {
        std::set<HWND> shown;
        for (HWND window : TopLevelWindows(app.Pid()))
            if (::IsWindowVisible(window))
                shown.insert(window);
        return shown;
    }
    HWND Focus() const { return ThreadInfoOf(mainWindow).hwndFocus; }
    // A click into a control, as the mouse gives the focus.
    bool FocusOn(HWND control) {
        ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        return app.Settle() && Focus() == control;
    }
};

} // namespace

TEST_F(Pages, TheSystemMenusAboutItemSelectsTheAboutPageAndOpensNoWindow) {
    Start("about-item");
    Probe probe(::GetWindowThreadProcessId(mainWindow, nullptr));
    ASSERT_TRUE(probe.Attached());
    std::set<HWND> windows = ShownWindows();
    for (int time = 0; time < 2; ++time) {
        SCOPED_TRACE(time ? "again, on the About page" : "from the Banned List page");
        ::PostMessageA(mainWindow, WM_SYSCOMMAND, SC_KEYMENU, ' '); // Alt+Space
        Lines items = probe.ShownMenuItems(app);
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ((Lines{"", "About Velmora..."}), Lines(items.end() - 2, items.end()))
            << "a separator and the item, last";
        ASSERT_TRUE(ChooseInMenu(app, {VK_UP, VK_RETURN})); // up from the first: the last
        EXPECT_TRUE(Shows(kAboutPage));
        EXPECT_EQ(windows, ShownWindows()) << "no window opened or closed";
    }
}

// Enter and Escape in the banned list's entry field, Escape on the main
// window, and Enter and Escape on the About page, where the focus is and as
// the page's own accept and cancel: nothing changes.
TEST_F(Pages, EnterAndEscapeChangeNothingAndCloseNothing) {
    Start("keys");
    std::set<HWND> windows = ShownWindows();
    ASSERT_TRUE(AddTitle(app, "pear"));
    HWND entry = app.PageControl(kBannedPage, IDC_ENTRY);
    SetText(entry, "kiwi");
    ASSERT_TRUE(FocusOn(entry));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE})
        PostKey(entry, key);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(Lines{"pear"}, app.BannedList());
    EXPECT_EQ("kiwi", TextOf(entry));
    HWND hide = app.Control(IDC_HIDE);
    ::PostMessageA(mainWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hide), TRUE);
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ(hide, Focus());
    PostKey(hide, VK_ESCAPE);
    ASSERT_TRUE(app.SelectTab(kAboutPage));
    HWND page = app.Page(kAboutPage);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE})
        PostKey(Focus(), key);
    ::PostMessageA(page, WM_COMMAND, IDOK, 0);
    ::PostMessageA(page, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(Shows(kAboutPage));
    EXPECT_EQ(windows, ShownWindows()) << "no window opened, closed or hidden";
    EXPECT_TRUE(app.Close()) << "and it still closes as it should";
}

TEST_F(Pages, LeavingOptionsWithABadDelayShowsTheMessageAndStillAppliesTheRest) {
    SetSettingDword("Delay", 120);
    ::SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
    ASSERT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q'));
    Start("bad-delay");
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    SetText(app.PageControl(kOptionsPage, IDC_DELAY), "");
    SetText(app.PageControl(kOptionsPage, IDC_HOTKEY), "q");
    app.Click(app.PageControl(kOptionsPage, IDC_LOAD_ON_BOOT));

    ASSERT_TRUE(app.SelectTab(kStatsPage));
    ASSERT_TRUE(DismissMessageBox(app, kPositive));
    EXPECT_TRUE(Shows(kStatsPage)) << "the switch goes ahead";
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q')) << "the hotkey applied all the same";
    EXPECT_EQ(QuotedExecutableOf(app.Process()), RunValue()) << "Run applied all the same";

    // Closing reads the page once more: the message again, the old delay saved.
    ::PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(DismissMessageBox(app, kPositive));
    ASSERT_TRUE(app.WaitForExit(20000));
    EXPECT_EQ(120u, SettingDword("Delay")) << "the last good delay";
    EXPECT_EQ("q", SettingString("Key"));
    ::SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
}

TEST_F(Pages, BySizeAndBySessionEnableExactlyTheirFieldsWhichActAtTheNextWindow) {
    SetSettingDword("BySize", 0);
    Start("fields");
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
    SetText(app.PageControl(kOptionsPage, IDC_WIDTH), "200");
    EXPECT_TRUE(Stays("Ad - Opera")) << "300 wide is no longer below 200";
    SetText(app.PageControl(kOptionsPage, IDC_WIDTH), "1000");
    EXPECT_FALSE(Stays("Ad - Opera"));
    EXPECT_EQ("11111", click(IDC_BY_SESSION));
    EXPECT_EQ("00111", click(IDC_BY_SIZE));
    EXPECT_EQ("00011", click(IDC_BY_SESSION));
}

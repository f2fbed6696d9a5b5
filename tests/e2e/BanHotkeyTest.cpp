// The ban hotkey through real key presses on the virtual display (xdotool),
// over windows of the driver brought to the front.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const char kAd[] = "Ad - Microsoft Internet Explorer";

class BanHotkey : public testing::Test {
protected:
    // No rule closes anything by itself, so only the hotkey acts.
    void Start(const char* key) {
        UseQuietSettings();
        for (const char* rule : {"ByName", "BySize", "BySess"})
            SetSettingDword(rule, 0);
        SetSettingString("Key", key);
        ASSERT_TRUE(StartApp(app_, "hotkey"));
    }
    HWND PressOver(const std::string& title, const char* keys) {
        HWND window = windows_.Open(title, 400, 300);
        EXPECT_TRUE(PressKeysOver(window, keys)) << keys;
        return window;
    }
    bool Closes(const char* keys, const std::string& title = kAd) {
        HWND window = PressOver(title, keys);
        return WaitUntil([&] { return !windows_.IsOpen(window); }) && app_.Settle();
    }
    // Gives the key the time it needs to reach the display's window, and the
    // program everything queued since.
    bool Stays(const char* keys, const std::string& title = kAd) {
        HWND window = PressOver(title, keys);
        ::Sleep(300);
        return app_.Settle() && windows_.IsOpen(window);
    }
    VelmoraProcess app_;
    WindowFactory windows_;
};

} // namespace

TEST_F(BanHotkey, CtrlXBansTheBrowserWindowInFrontOnceWhetherStartedOrStopped) {
    Start("x");
    EXPECT_TRUE(Closes("ctrl+x"));
    EXPECT_EQ(Lines{kAd}, app_.BannedList());
    EXPECT_EQ(Lines{Counter(0, 0)}, app_.StatisticsLines()) << "nothing recorded for the hotkey";
    EXPECT_TRUE(Stays("ctrl+x")) << "a title already listed is neither added nor closed";
    EXPECT_TRUE(Stays("ctrl+x", "Untitled - Notepad")) << "no browser";
    EXPECT_EQ(Lines{kAd}, app_.BannedList());

    app_.Click(app_.Control(IDC_START));
    ASSERT_TRUE(app_.Settle());
    ASSERT_EQ("Start", TextOf(app_.Control(IDC_START))) << "stopped";
    EXPECT_TRUE(Closes("ctrl+x", "Pop - Netscape"));
    EXPECT_EQ((Lines{kAd, "Pop - Netscape"}), app_.BannedList());
    EXPECT_EQ(Lines{Counter(0, 0)}, app_.StatisticsLines());
}

TEST_F(BanHotkey, AChangedKeyActsOnceTheOptionsTabIsLeftAndAnEmptyOneNever) {
    Start("X");
    EXPECT_TRUE(Closes("ctrl+x", "Upper - Opera")) << "X is the same key as x";
    HWND edit = app_.PageControl(kOptionsPage, IDC_HOTKEY);
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    SetText(edit, "q");
    EXPECT_TRUE(Stays("ctrl+q", "First - Opera")) << "not before the tab is left";
    EXPECT_TRUE(Closes("ctrl+x", "Second - Opera")) << "the old key works until then";
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    EXPECT_TRUE(Stays("ctrl+x", "Third - AOL"));
    EXPECT_TRUE(Closes("ctrl+q", "Third - AOL"));

    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    SetText(edit, "");
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    for (const char* keys : {"ctrl+q", "ctrl+x", "ctrl+space", "ctrl+0"})
        EXPECT_TRUE(Stays(keys, "Fourth - AOL")) << "an empty key never fires: " << keys;
    EXPECT_EQ((Lines{"Second - Opera", "Third - AOL", "Upper - Opera"}), app_.BannedList());
}

TEST_F(BanHotkey, ACombinationHeldByAnotherProgramIsNamedWhenTheOptionsTabIsLeft) {
    Start("x");
    ASSERT_TRUE(::RegisterHotKey(nullptr, 0x7A12, MOD_CONTROL | MOD_SHIFT, 'Q'));
    HWND edit = app_.PageControl(kOptionsPage, IDC_HOTKEY);
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    SetText(edit, "q");
    app_.Click(app_.PageControl(kOptionsPage, IDC_ADD_SHIFT));
    ASSERT_TRUE(app_.Settle());
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    EXPECT_TRUE(DismissMessageBox(app_, "The hotkey Ctrl+Shift+Q is held by another program"));

    // Once the other program lets it go, leaving the tab takes it, saying nothing.
    ::UnregisterHotKey(nullptr, 0x7A12);
    ASSERT_TRUE(app_.SelectTab(kOptionsPage));
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    EXPECT_TRUE(DialogsOf(app_).empty());
    EXPECT_TRUE(Closes("ctrl+shift+q", "Held - Opera"));
}

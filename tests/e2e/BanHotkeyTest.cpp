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
    void Start(const char* key, DWORD alt = 0, DWORD ctrl = 1, DWORD shift = 0) {
        UseQuietSettings();
        for (const char* rule : {"ByName", "BySize", "BySess"})
            SetSettingDword(rule, 0);
        SetSettingString("Key", key);
        SetSettingDword("AddAlt", alt);
        SetSettingDword("AddCtrl", ctrl);
        SetSettingDword("AddShift", shift);
        ASSERT_TRUE(StartApp(app_, "hotkey"));
    }
    // Opens a window, types the keys over it and lets the program handle
    // what they fired: true when the window is still open then.
    bool StaysAfter(const char* keys, const std::string& title = kAd) {
        HWND window = windows_.Open(title, 400, 300);
        EXPECT_TRUE(windows_.Type(window, keys)) << keys;
        return app_.Settle() && windows_.IsOpen(window);
    }
    bool Closes(const char* keys, const std::string& title = kAd) {
        return !StaysAfter(keys, title);
    }
    void ChangeKey(const char* key) {
        ASSERT_TRUE(app_.SelectTab(kOptionsPage));
        SetText(app_.PageControl(kOptionsPage, IDC_HOTKEY), key);
    }

    VelmoraProcess app_;
    WindowFactory windows_;
};

} // namespace

TEST_F(BanHotkey, CtrlXBansAndClosesTheBrowserWindowInFrontAndRecordsNoKill) {
    Start("x");
    EXPECT_TRUE(Closes("ctrl+x"));
    EXPECT_EQ(Lines{kAd}, app_.BannedList());
    EXPECT_EQ(Lines{Counter(0, 0)}, app_.StatisticsLines());
}

TEST_F(BanHotkey, ATitleAlreadyListedIsNeitherAddedAgainNorClosed) {
    Start("x");
    ASSERT_TRUE(AddTitle(app_, kAd));
    EXPECT_TRUE(StaysAfter("ctrl+x"));
    EXPECT_EQ(Lines{kAd}, app_.BannedList());
}

TEST_F(BanHotkey, AWindowNamingNoBrowserIsLeftAlone) {
    Start("x");
    EXPECT_TRUE(StaysAfter("ctrl+x", "Untitled - Notepad"));
    EXPECT_TRUE(app_.BannedList().empty());
}

TEST_F(BanHotkey, WorksWhileBlockingIsStopped) {
    Start("x");
    app_.Click(app_.Control(IDC_START));
    ASSERT_TRUE(app_.Settle());
    ASSERT_EQ("Start", TextOf(app_.Control(IDC_START))) << "stopped";
    EXPECT_TRUE(Closes("ctrl+x", "Pop - Netscape"));
    EXPECT_EQ(Lines{"Pop - Netscape"}, app_.BannedList());
}

TEST_F(BanHotkey, AnUpperCaseKeyIsTheSameKey) {
    Start("X");
    EXPECT_TRUE(Closes("ctrl+x", "Upper - Opera"));
}

TEST_F(BanHotkey, AChangedKeyActsOnlyOnceTheOptionsTabIsLeft) {
    Start("x");
    ChangeKey("q");
    EXPECT_TRUE(StaysAfter("ctrl+q", "First - Opera")) << "not before the tab is left";
    EXPECT_TRUE(Closes("ctrl+x", "Second - Opera")) << "the old key works until then";
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    EXPECT_TRUE(StaysAfter("ctrl+x", "Third - AOL")) << "the old key is gone";
    EXPECT_TRUE(Closes("ctrl+q", "Third - AOL"));
}

TEST_F(BanHotkey, AnEmptyKeyNeverFires) {
    Start("x");
    ChangeKey("");
    ASSERT_TRUE(app_.SelectTab(kBannedPage));
    for (const char* keys : {"ctrl+x", "ctrl+space", "ctrl+0"})
        EXPECT_TRUE(StaysAfter(keys, "Fourth - AOL")) << keys;
    EXPECT_TRUE(app_.BannedList().empty());
}

TEST_F(BanHotkey, AltTakesThePlaceOfCtrl) {
    Start("x", 1, 0, 0);
    EXPECT_TRUE(StaysAfter("ctrl+x")) << "Ctrl is off";
    EXPECT_TRUE(StaysAfter("shift+x"));
    EXPECT_TRUE(Closes("alt+x"));
}

TEST_F(BanHotkey, ShiftTakesThePlaceOfCtrl) {
    Start("x", 0, 0, 1);
    EXPECT_TRUE(StaysAfter("ctrl+x")) << "Ctrl is off";
    EXPECT_TRUE(StaysAfter("alt+x"));
    EXPECT_TRUE(Closes("shift+x"));
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

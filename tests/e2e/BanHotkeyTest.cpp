// The ban hotkey through real key presses on the virtual display (xdotool),
// over windows of the driver brought to the front.
#include <gtest/gtest.h>

#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kHotkeyEdit = 1020;
const char kAd[] = "Ad - Microsoft Internet Explorer";
const char kNoKills[] = "Killed 0 popups in total, 0 in this session";
using Lines = std::vector<std::string>;

class BanHotkey : public testing::Test {
protected:
    // No rule closes anything by itself, so only the hotkey acts.
    void Start(const char* key = nullptr, DWORD loadStart = 1) {
        UseQuietSettings();
        SetSettingDword("ByName", 0);
        SetSettingDword("BySize", 0);
        SetSettingDword("BySess", 0);
        SetSettingDword("LoadStart", loadStart);
        if (key)
            SetSettingString("Key", key);
        ASSERT_TRUE(app_.Start(MakeWorkDir("hotkey")));
        ASSERT_TRUE(app_.WaitForMainWindow());
    }

    // Brings the window to the front and presses the keys over it.
    void PressOver(HWND window, const char* keys) {
        ASSERT_TRUE(MakeForeground(window));
        ASSERT_TRUE(PressKeys(keys));
    }
    // After a press that should do nothing: the key has reached the
    // display's window and every message queued since has been handled.
    void SettleAfterKeys() {
        ::Sleep(300);
        ASSERT_TRUE(app_.Settle());
    }
    void ExpectBannedAndClosed(HWND window, const Lines& list) {
        EXPECT_TRUE(WaitUntil([&] { return !windows_.IsOpen(window); })) << "closed";
        ASSERT_TRUE(app_.Settle());
        EXPECT_EQ(list, app_.BannedList());
    }

    VelmoraProcess app_;
    WindowFactory windows_;
};

} // namespace

TEST_F(BanHotkey, CtrlXBansTheBrowserWindowInFrontOnceAndRecordsNoKill) {
    Start();
    HWND ad = windows_.Open(kAd, 400, 300);
    ASSERT_TRUE(ad);
    PressOver(ad, "ctrl+x");
    ExpectBannedAndClosed(ad, {kAd});
    EXPECT_EQ((Lines{kNoKills}), app_.StatisticsLines()) << "nothing recorded for the hotkey";

    // A second window of a title already listed is neither added nor closed.
    HWND again = windows_.Open(kAd, 400, 300);
    ASSERT_TRUE(again);
    PressOver(again, "ctrl+x");
    SettleAfterKeys();
    EXPECT_TRUE(windows_.IsOpen(again));
    EXPECT_EQ((Lines{kAd}), app_.BannedList());
    EXPECT_EQ((Lines{kNoKills}), app_.StatisticsLines());
}

TEST_F(BanHotkey, AWindowThatNamesNoBrowserIsLeftAlone) {
    Start();
    HWND editor = windows_.Open("Untitled - Notepad", 400, 300);
    ASSERT_TRUE(editor);
    PressOver(editor, "ctrl+x");
    SettleAfterKeys();
    EXPECT_TRUE(windows_.IsOpen(editor));
    EXPECT_TRUE(app_.BannedList().empty());

    // The same press over a browser window acts: the keys did arrive.
    HWND browser = windows_.Open("Pop - Netscape", 400, 300);
    PressOver(browser, "ctrl+x");
    ExpectBannedAndClosed(browser, {"Pop - Netscape"});
    EXPECT_TRUE(windows_.IsOpen(editor));
}

TEST_F(BanHotkey, WorksWhileBlockingIsStopped) {
    Start(nullptr, 0);
    ASSERT_EQ("Start", TextOf(app_.Control(1015))) << "stopped";
    HWND ad = windows_.Open(kAd, 400, 300);
    PressOver(ad, "ctrl+x");
    ExpectBannedAndClosed(ad, {kAd});
}

TEST_F(BanHotkey, AnUpperCaseKeyGivesTheSameHotkey) {
    Start("X");
    HWND ad = windows_.Open(kAd, 400, 300);
    PressOver(ad, "ctrl+x");
    ExpectBannedAndClosed(ad, {kAd});
    ASSERT_TRUE(app_.Close());
    std::string key;
    EXPECT_TRUE(GetSettingString("Key", key));
    EXPECT_EQ("X", key) << "the key keeps the case it was given in";
}

TEST_F(BanHotkey, AnEmptyKeyRegistersNothingThatFires) {
    Start("");
    ASSERT_EQ("", TextOf(app_.PageControl(2, kHotkeyEdit)));
    HWND ad = windows_.Open(kAd, 400, 300);
    for (const char* keys : {"ctrl+x", "ctrl+space", "ctrl+0"}) {
        PressOver(ad, keys);
        SettleAfterKeys();
    }
    EXPECT_TRUE(windows_.IsOpen(ad));
    EXPECT_TRUE(app_.BannedList().empty());
}

TEST_F(BanHotkey, AChangedKeyActsOnceTheOptionsTabIsLeft) {
    Start();
    app_.SelectTab(2);
    ASSERT_TRUE(app_.Settle());
    HWND edit = app_.PageControl(2, kHotkeyEdit);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"q"), SMTO_NORMAL, 5000,
                          &result);
    ASSERT_TRUE(app_.Settle());

    // Still on the Options tab: the new key does nothing, the old one works.
    HWND first = windows_.Open("First - Opera", 400, 300);
    PressOver(first, "ctrl+q");
    SettleAfterKeys();
    EXPECT_TRUE(windows_.IsOpen(first));
    EXPECT_TRUE(app_.BannedList().empty());
    PressOver(first, "ctrl+x");
    ExpectBannedAndClosed(first, {"First - Opera"});

    // Leaving the tab applies the new key and drops the old one.
    app_.SelectTab(0);
    ASSERT_TRUE(app_.Settle());
    HWND second = windows_.Open("Second - AOL", 400, 300);
    PressOver(second, "ctrl+x");
    SettleAfterKeys();
    EXPECT_TRUE(windows_.IsOpen(second));
    PressOver(second, "ctrl+q");
    ExpectBannedAndClosed(second, (Lines{"First - Opera", "Second - AOL"}));
    EXPECT_EQ("q", TextOf(edit));
}

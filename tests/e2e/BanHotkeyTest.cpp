// The ban hotkey through real key presses on the virtual display (xdotool),
// over windows of the maker brought to the front.
#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

const char kAd[] = "Ad - Microsoft Internet Explorer";

class BanHotkey : public ProgramTest {
protected:
    // No rule closes anything by itself, so only the hotkey acts.
    void StartWith(const char* key, DWORD alt = 0, DWORD ctrl = 1, DWORD shift = 0) {
        for (const char* rule : {"ByName", "BySize", "BySess"})
            SetSettingDword(rule, 0);
        SetSettingString("Key", key);
        SetSettingDword("AddAlt", alt);
        SetSettingDword("AddCtrl", ctrl);
        SetSettingDword("AddShift", shift);
        Start("hotkey");
    }
    // Opens a window, types the keys over it and lets the program handle
    // what they fired: true when the window is still open then.
    bool StaysAfter(const char* keys, const std::string& title = kAd) {
        HWND window = Maker().Open(title, 400, 300);
        EXPECT_TRUE(TypeKeys(maker, window, keys)) << keys;
        return SettleWith(app, maker) && ::IsWindow(window);
    }
    bool Closes(const char* keys, const std::string& title = kAd) {
        return !StaysAfter(keys, title);
    }
    // Types the key into the Options page and leaves the page, or stays on it.
    void ChangeKey(const char* key, bool leave = true) {
        ASSERT_TRUE(app.SelectTab(kOptionsPage));
        SetText(app.PageControl(kOptionsPage, IDC_HOTKEY), key);
        ASSERT_TRUE(!leave || app.SelectTab(kBannedPage));
    }
};

} // namespace

// Only a browser window whose title is not listed yet is banned and closed,
// whether blocking is started or stopped.
TEST_F(BanHotkey, CtrlXBansAndClosesTheBrowserWindowInFrontOnceAndRecordsNoKill) {
    StartWith("x");
    EXPECT_TRUE(StaysAfter("ctrl+x", "Untitled - Notepad")) << "a window naming no browser";
    EXPECT_TRUE(app.BannedList().empty());
    EXPECT_TRUE(Closes("ctrl+x"));
    EXPECT_EQ(Lines{kAd}, app.BannedList());
    EXPECT_EQ(Lines{Counter(0, 0)}, app.StatisticsLines());
    EXPECT_TRUE(StaysAfter("ctrl+x")) << "a title already listed is not closed";
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ("Start", TextOf(app.Control(IDC_START))) << "stopped";
    EXPECT_TRUE(Closes("ctrl+x", "Pop - Netscape"));
    EXPECT_EQ((Lines{kAd, "Pop - Netscape"}), app.BannedList()) << "each added once";
}

TEST_F(BanHotkey, AChangedKeyActsOnlyOnceTheOptionsTabIsLeftAndAnEmptyOneNeverFires) {
    StartWith("x");
    ChangeKey("q", false);
    EXPECT_TRUE(StaysAfter("ctrl+q", "First - Opera")) << "not before the tab is left";
    EXPECT_TRUE(Closes("ctrl+x", "Second - Opera")) << "the old key works until then";
    ASSERT_TRUE(app.SelectTab(kBannedPage));
    EXPECT_TRUE(StaysAfter("ctrl+x", "Third - AOL")) << "the old key is gone";
    EXPECT_TRUE(Closes("ctrl+q", "Third - AOL"));
    ChangeKey("");
    for (const char* keys : {"ctrl+q", "ctrl+space", "ctrl+0"})
        EXPECT_TRUE(StaysAfter(keys, "Fourth - AOL")) << keys;
    EXPECT_EQ((Lines{"Second - Opera", "Third - AOL"}), app.BannedList());
}

// Alt, then Shift, in the place of Ctrl; a key stored in upper case is the same key.
TEST_F(BanHotkey, AltAndShiftAreModifiersOfTheirOwnAndTheKeysCaseDoesNotCount) {
    const struct {
        const char* key;
        DWORD alt, ctrl, shift;
        const char* closes;
        const char* others[2];
    } cases[] = {{"x", 1, 0, 0, "alt+x", {"ctrl+x", "shift+x"}},
                 {"x", 0, 0, 1, "shift+x", {"ctrl+x", "alt+x"}},
                 {"X", 0, 1, 0, "ctrl+x", {"alt+x", "shift+x"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.closes);
        StartWith(c.key, c.alt, c.ctrl, c.shift);
        for (const char* keys : c.others)
            EXPECT_TRUE(StaysAfter(keys)) << keys;
        EXPECT_TRUE(Closes(c.closes));
        ASSERT_TRUE(app.Close()); // before the next settings are stored
    }
}

// The keyboard layout's key, never the one whose code is the character's.
TEST_F(BanHotkey, AKeyThatNoKeyTypesIsRefusedOnTheOptionsPageAndReadAsTheDefault) {
    StartWith(".");
    EXPECT_TRUE(StaysAfter("ctrl+Delete")) << "0x2E, the code of \".\", is Delete's";
    EXPECT_TRUE(Closes("ctrl+period"));
    ChangeKey("\x80"); // the euro sign: no key of the display's layout types it
    EXPECT_TRUE(DismissMessageBox(
        app, "The hotkey cannot be \"\x80\": no key of this keyboard layout types it. Choose a "
             "letter, a digit or another key."));
    ChangeKey("."); // mended, or every report would ask again
    EXPECT_TRUE(Closes("ctrl+period", "Dot again - Opera"));
    ASSERT_TRUE(app.Close());
    StartWith("\x80");
    EXPECT_TRUE(Closes("ctrl+x", "Default - Opera")) << "stored, it reads as the default";
}

TEST_F(BanHotkey, ACombinationHeldByAnotherProgramIsNamedWhenTheOptionsTabIsLeft) {
    StartWith("x");
    ASSERT_TRUE(::RegisterHotKey(nullptr, 0x7A12, MOD_CONTROL | MOD_SHIFT, 'Q'));
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    SetText(app.PageControl(kOptionsPage, IDC_HOTKEY), "q");
    app.Click(app.PageControl(kOptionsPage, IDC_ADD_SHIFT));
    ASSERT_TRUE(app.Settle());
    ASSERT_TRUE(app.SelectTab(kBannedPage));
    EXPECT_TRUE(DismissMessageBox(app, "The hotkey Ctrl+Shift+Q is held by another program"));

    // Once the other program lets it go, leaving the tab takes it, saying nothing.
    ::UnregisterHotKey(nullptr, 0x7A12);
    ASSERT_TRUE(app.SelectTab(kOptionsPage));
    ASSERT_TRUE(app.SelectTab(kBannedPage));
    EXPECT_TRUE(DialogsOf(app).empty());
    EXPECT_TRUE(Closes("ctrl+shift+q", "Held - Opera"));
}

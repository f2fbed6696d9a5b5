// The options page of the real program: validation when the tab is left,
// the hotkey and the Run value applied on leaving, and the fields that
// follow their check boxes.
#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {
constexpr int kByNameId = 1004;
constexpr int kBySizeId = 1005;
constexpr int kHeightId = 1006;
constexpr int kWidthId = 1007;
constexpr int kHotkeyId = 1020;
constexpr int kAddCtrlId = 1023;
constexpr int kLoadOnBootId = 1025;
constexpr int kDelayId = 1026;
constexpr int kSessionsId = 1027;
constexpr int kBySessionId = 1038;
const char kPositive[] = "Please enter a positive integer.";

// Leaves the Options tab for `tab`, answers the message the read shows, and
// returns its text ("" when none came).
std::string LeaveOptionsExpectingMessage(VelmoraProcess& app, int tab) {
    app.SelectTab(tab);
    HWND box = WaitForMessageBox(app.Pid(), kPositive);
    if (!box)
        return std::string();
    std::string text = MessageBoxText(box);
    DismissMessageBox(box);
    EXPECT_TRUE(app.Settle());
    return text;
}
} // namespace

TEST(OptionsPage, LeavingWithABadDelayShowsTheMessageAndStillAppliesTheRest) {
    UseQuietSettings();
    SetSettingDword("Delay", 120);
    DeleteRunValue();
    ASSERT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q'));
    VelmoraProcess app;
    HWND main = StartAndSettle(app, "bad-delay");
    ASSERT_TRUE(main);
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, 'X')) << "Ctrl+X from the start";

    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    HWND delay = app.PageControl(2, kDelayId);
    PostClick(delay);
    SetText(delay, "");
    SetText(app.PageControl(2, kHotkeyId), "q");
    app.Click(app.PageControl(2, kLoadOnBootId));
    ASSERT_TRUE(app.Settle());

    EXPECT_EQ(kPositive, LeaveOptionsExpectingMessage(app, 1));
    EXPECT_EQ(1, CurrentTab(app)) << "the switch goes ahead";
    EXPECT_TRUE(::IsWindowVisible(app.Page(1)));
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, 'Q')) << "the hotkey applied all the same";
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, 'X')) << "and the old one let go";
    std::string run;
    ASSERT_TRUE(GetRunValue(run)) << "the Run value applied all the same";
    EXPECT_EQ("\"" + ExecutablePathOf(app.Process()) + "\"", run);
    EXPECT_EQ("q", TextOf(app.PageControl(2, kHotkeyId))) << "the field keeps what was typed";

    // Back on Options the failing field has the focus, all its text selected.
    SetText(delay, "x5");
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(kPositive, LeaveOptionsExpectingMessage(app, 0));
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(delay, FocusOf(main));
    DWORD start = 9, end = 9;
    SelectionOf(delay, start, end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(2u, end);

    // Closing reads the page once more: the message again, and the previous
    // delay is what is saved.
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = WaitForMessageBox(app.Pid(), kPositive);
    ASSERT_TRUE(box);
    DismissMessageBox(box);
    ASSERT_TRUE(app.WaitForExit(20000));
    EXPECT_EQ(nullptr, AnyMessageBox(app.Pid()));
    DWORD saved = 0;
    EXPECT_TRUE(GetSettingDword("Delay", saved));
    EXPECT_EQ(120u, saved);
    std::string key;
    EXPECT_TRUE(GetSettingString("Key", key));
    EXPECT_EQ("q", key) << "stored as typed";
    DeleteRunValue();
}

TEST(OptionsPage, LeavingTheTabRegistersTheHotkeyAndKeepsTheRunValue) {
    UseQuietSettings();
    SetSettingDword("AutoStart", 1);
    DeleteRunValue();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "apply"));
    std::string run;
    EXPECT_FALSE(GetRunValue(run)) << "applied only when the page is left";

    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    SetText(app.PageControl(2, kHotkeyId), "5");
    app.Click(app.PageControl(2, kAddCtrlId));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, 'X')) << "nothing applied before leaving";
    app.SelectTab(0);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(nullptr, AnyMessageBox(app.Pid()));
    EXPECT_TRUE(HotkeyHeldElsewhere(0, '5')) << "the bare key 5";
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, 'X'));
    EXPECT_TRUE(GetRunValue(run));
    EXPECT_EQ("\"" + ExecutablePathOf(app.Process()) + "\"", run);

    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    SetText(app.PageControl(2, kHotkeyId), "");
    app.Click(app.PageControl(2, kLoadOnBootId));
    ASSERT_TRUE(app.Settle());
    app.SelectTab(1);
    ASSERT_TRUE(app.Settle());
    EXPECT_FALSE(HotkeyHeldElsewhere(0, '5')) << "an empty key lets the old one go";
    EXPECT_FALSE(GetRunValue(run)) << "unchecked: the value is gone";
    EXPECT_TRUE(app.Close());
}

TEST(OptionsPage, BySizeAndBySessionEnableExactlyTheirFields) {
    UseQuietSettings();
    SetSettingDword("BySize", 0);
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "enable"));
    auto enabled = [&](int id) { return ::IsWindowEnabled(app.PageControl(2, id)) != FALSE; };
    EXPECT_FALSE(enabled(kHeightId));
    EXPECT_FALSE(enabled(kWidthId));
    EXPECT_FALSE(enabled(kSessionsId));
    EXPECT_TRUE(enabled(kDelayId));

    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    app.Click(app.PageControl(2, kBySizeId));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(enabled(kHeightId));
    EXPECT_TRUE(enabled(kWidthId));
    EXPECT_FALSE(enabled(kSessionsId));

    app.Click(app.PageControl(2, kBySessionId));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(enabled(kSessionsId));
    EXPECT_TRUE(enabled(kHeightId));

    app.Click(app.PageControl(2, kBySizeId));
    ASSERT_TRUE(app.Settle());
    EXPECT_FALSE(enabled(kHeightId));
    EXPECT_FALSE(enabled(kWidthId));
    EXPECT_TRUE(enabled(kSessionsId));
    EXPECT_TRUE(enabled(kByNameId));
    EXPECT_TRUE(app.Close());
}

TEST(OptionsPage, ChangesActOnTheNextWindowWithoutLeavingTheTab) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "live"));
    WindowFactory windows;
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    SetText(app.PageControl(2, kWidthId), "200");
    ASSERT_TRUE(app.Settle());
    HWND kept = windows.Open("Ad - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(windows.IsOpen(kept)) << "300 wide is no longer below the width limit";
    SetText(app.PageControl(2, kWidthId), "1000 and text pasted after it");
    ASSERT_TRUE(app.Settle());
    HWND closed = windows.Open("Ad - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    EXPECT_FALSE(windows.IsOpen(closed)) << "the width reads as 1000";

    app.Click(app.PageControl(2, kBySizeId));
    ASSERT_TRUE(app.Settle());
    HWND unchecked = windows.Open("Ad - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(windows.IsOpen(unchecked)) << "By Window Size unchecked";
    EXPECT_TRUE(app.Close());
}

TEST(OptionsPage, ABadFieldShowsItsMessageWithEveryReportUntilCorrected) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "every-report"));
    WindowFactory windows;
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    SetText(app.PageControl(2, kDelayId), "");
    ASSERT_TRUE(app.Settle());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        HWND popup = windows.Open("Ad - Opera", 300, 200);
        HWND box = WaitForMessageBox(app.Pid(), kPositive);
        ASSERT_TRUE(box);
        DismissMessageBox(box);
        ASSERT_TRUE(app.Settle());
        EXPECT_FALSE(windows.IsOpen(popup)) << "judged with the fields as they stand";
    }
    SetText(app.PageControl(2, kDelayId), "0");
    HWND popup = windows.Open("Ad - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(nullptr, AnyMessageBox(app.Pid()));
    EXPECT_FALSE(windows.IsOpen(popup));
    EXPECT_TRUE(app.Close());
}

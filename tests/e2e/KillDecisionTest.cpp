// The kill decision against the real program: windows of another process
// judged by the session, size and name rules, counted and listed on the
// statistics page. The rules' branches are the engine's unit tests; these
// prove each path through the program once.
#include "hook/hook.h"
#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {
class KillDecision : public ProgramTest {
protected:
    // One browser window at a time, no size rule.
    void OneSession() {
        SetSettingDword("BySess", 1);
        SetSettingDword("Sessions", 1);
        SetSettingDword("BySize", 0);
    }
};
} // namespace

TEST_F(KillDecision, TheSizeRuleClosesOnlyBrowserWindowsSmallerBothWaysAndEachKillIsCounted) {
    SetSettingDword("nKills", 41);
    Start("size");
    EXPECT_EQ(Lines{Counter(41, 0)}, app.StatisticsLines());
    EXPECT_FALSE(Stays("Ad - Opera", 999, 699));
    EXPECT_TRUE(Stays("Ad - Opera", 1000, 699));
    EXPECT_TRUE(Stays("Ad - Opera", 999, 700));
    EXPECT_TRUE(Stays("Untitled - Notepad")) << "no browser";
    EXPECT_FALSE(Stays("Ad - Opera")) << "the same title again is another line";
    EXPECT_EQ((Lines{Counter(43, 2), "Ad - Opera", "Ad - Opera"}), app.StatisticsLines());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(43u, SettingDword("nKills"));
}

TEST_F(KillDecision, TheNameRuleClosesABannedBrowserWindowTheSizeRuleLetsByAsListedExactly) {
    Start("name");
    ASSERT_TRUE(AddTitle(app, "News - Netscape"));
    ASSERT_TRUE(AddTitle(app, "Big - Notepad"));
    for (const char* title : {"news - Netscape", "News - Netscape 7", "Big - Notepad"})
        EXPECT_TRUE(Stays(title, 1200, 800)) << title;
    EXPECT_FALSE(Stays("News - Netscape", 1200, 800));
    EXPECT_EQ((Lines{Counter(1, 1), "News - Netscape"}), app.StatisticsLines());
}

TEST_F(KillDecision, OnlyTheFirst254CharactersOfATitleCount) {
    Start("long-titles");
    const std::string title = "Opera " + std::string(300, 'a');
    ASSERT_TRUE(AddTitle(app, title));
    EXPECT_TRUE(Stays(title, 1200, 800)) << "an entry longer than 254 characters never matches";
    ASSERT_TRUE(AddTitle(app, title.substr(0, 254)));
    EXPECT_FALSE(Stays(title, 1200, 800));
    EXPECT_TRUE(Stays(std::string(260, 'b') + " - Opera")) << "a browser name past 254 is unseen";
}

TEST_F(KillDecision, TheSessionRuleLetsOneBrowserWindowStayAtATime) {
    OneSession();
    // Open before the program starts: its destruction must not make room.
    HWND before = Maker().Open("Earlier - Opera", 300, 200);
    Start("session");
    ASSERT_TRUE(maker.Close(before));
    HWND first = maker.Open("One - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(::IsWindow(first));
    EXPECT_FALSE(Stays("Two - Opera"));
    ASSERT_TRUE(maker.Close(first));
    EXPECT_TRUE(Stays("Three - Opera")) << "the first one's place is free again";
    EXPECT_FALSE(Stays("Four - Opera"));
    EXPECT_EQ((Lines{Counter(2, 2), "Two - Opera", "Four - Opera"}), app.StatisticsLines());
}

TEST_F(KillDecision, AWindowWhoseDestructionWasNeverReportedStopsCountingOnceGone) {
    OneSession();
    Start("lost-report");
    HWND first = Maker().Open("First - Opera", 300, 200);
    ASSERT_TRUE(first && app.Settle());
    ASSERT_TRUE(::IsWindow(first)) << "the one browser window allowed";
    // Ended from outside, the maker runs no hook for its window: its
    // destruction is never reported, as for any process the hook library
    // cannot reach (one of the other architecture, one that hangs).
    maker.Kill();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(first); }));
    EXPECT_TRUE(Stays("Second - Opera")) << "the first one still held the only place";
    EXPECT_FALSE(Stays("Third - Opera"));
}

TEST_F(KillDecision, ADestructionReportClosesNothing) {
    SetSettingDword("LoadStart", 0); // stopped: the hook reports nothing, this test does
    Start("destruction-report");
    HWND popup = Maker().Open("Ad - Opera", 300, 200);
    ::PostMessageA(mainWindow, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(popup),
                   POPUP_EVENT_DESTROYED);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(::IsWindow(popup));
    EXPECT_EQ(Lines{Counter(0, 0)}, app.StatisticsLines());
}

TEST_F(KillDecision, ABurstWithADelayIsClosedInTheOrderItCameEachWindowAfterItsDelayAndOnce) {
    SetSettingDword("Delay", 500);
    Start("burst");
    const int kCount = 40;
    ASSERT_TRUE(Maker().Burst(kCount, 50, 300, 200, "Burst - Opera"));
    size_t gone = 0;
    double elapsedMs = 0;
    ASSERT_TRUE(maker.WaitGone(60000, gone, elapsedMs));
    EXPECT_EQ(static_cast<size_t>(kCount), gone);
    EXPECT_GE(elapsedMs, (kCount - 1) * 50 + 500) << "the last one waited its delay";
    ASSERT_TRUE(app.Settle());
    Lines expected{Counter(kCount, kCount)};
    for (int i = 0; i < kCount; ++i)
        expected.push_back("Burst - Opera " + std::to_string(i));
    EXPECT_EQ(expected, app.StatisticsLines());
}

TEST_F(KillDecision, DelayInTurnWaitsOnTheOnlyThread) {
    SetSettingDword("LoadStart", 0); // stopped: the hook reports nothing, this test does
    SetSettingDword("Delay", 3000);
    SetSettingDword("DelayInTurn", 1);
    Start("delay-in-turn");
    HWND popup = Maker().Open("Next - Opera", 300, 200);
    DWORD start = ::GetTickCount();
    ::PostMessageA(mainWindow, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(popup),
                   POPUP_EVENT_CREATED);
    ASSERT_TRUE(app.Settle(20000));
    EXPECT_GE(::GetTickCount() - start, 2900u) << "the report held up the round trip";
    EXPECT_FALSE(::IsWindow(popup)) << "and was judged before it returned";
}

TEST_F(KillDecision, ASmallWindowThatNamesABrowserOnlyAfterItsCreationIsClosed) {
    Start("late-title");
    HWND popup = Maker().Open("Loading...", 300, 300);
    ASSERT_TRUE(popup && app.Settle());
    ASSERT_TRUE(::IsWindow(popup)) << "no browser title yet";
    ASSERT_TRUE(maker.SetTitle(popup, "Ad - Opera"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(popup); }));
    EXPECT_EQ((Lines{Counter(1, 1), "Ad - Opera"}), app.StatisticsLines());
}

TEST_F(KillDecision, TodaysBrowserNamesSetWithRegAddAreJudgedAndKeptAtExit) {
    const std::string names = "Microsoft Internet Explorer\\0Netscape\\0Opera\\0AOL\\0Google "
                              "Chrome\\0Mozilla Firefox\\0Microsoft Edge\\0Brave\\0Vivaldi";
    ASSERT_TRUE(RunProgram("reg.exe add \"HKCU\\Software\\Draxtel\\Velmora\\Settings\" /v "
                           "BrowserNames /t REG_MULTI_SZ /d \"" +
                           names + "\" /f"));
    Start("browser-names");
    for (const char* title :
         {"Ad - Google Chrome", "Ad - Mozilla Firefox", "Ad - Brave", "Ad - Opera"})
        EXPECT_FALSE(Stays(title)) << title;
    EXPECT_TRUE(Stays("Ad - Safari")) << "not among the names";
    EXPECT_TRUE(Stays("Ad - google chrome")) << "letter case counts";
    DWORD type = 0;
    const std::string before = SettingRaw("BrowserNames", type);
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(before, SettingRaw("BrowserNames", type)) << "the exit save leaves it alone";
}

// The 64-bit program and a 32-bit browser, where this machine runs both.
TEST_F(KillDecision, PopupsOfAProcessOfTheOtherArchitectureAreClosedAndCounted) {
    const std::string otherMaker = Env("VELMORA_OTHER_ARCH_MAKER");
    if (otherMaker.empty())
        GTEST_SKIP() << "no process of the other architecture can run here";
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    Start("other-arch");
    ASSERT_TRUE(maker.Start(otherMaker));
    HWND big = maker.Open("Big - Opera", 1200, 800);
    ASSERT_TRUE(big && app.Settle());
    EXPECT_TRUE(::IsWindow(big)) << "the one browser window allowed";
    EXPECT_FALSE(Stays("Second - Opera", 1200, 800)) << "closed by the session rule";
    EXPECT_FALSE(Stays("Small - Opera")) << "closed by the size rule";
    ASSERT_TRUE(maker.Close(big));
    EXPECT_TRUE(Stays("Again - Opera", 1200, 800)) << "the first one's place is free again";
    EXPECT_EQ((Lines{Counter(2, 2), "Second - Opera", "Small - Opera"}), app.StatisticsLines());
}

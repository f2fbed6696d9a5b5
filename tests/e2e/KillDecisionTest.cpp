// The kill decision against the real program: windows of another process
// judged by the session, size and name rules, counted and listed on the
// statistics page. The rules' branches are the engine's unit tests; these
// prove each path through the program once.
#include <algorithm>

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

TEST_F(KillDecision, TitlesAreJudgedWholeWhateverTheirLength) {
    Start("long-titles");
    const std::string at255 = std::string(247, 'x') + " - Opera";
    EXPECT_FALSE(Stays(at255)) << "the browser name past the 254th character";
    const std::string banned = "Banned - Opera " + std::string(285, 'a'); // 300
    ASSERT_TRUE(AddTitle(app, banned));
    EXPECT_FALSE(Stays(banned, 1200, 800)) << "an entry of the whole title";
    const std::string cut = "Cut - Opera " + std::string(288, 'b');
    EXPECT_TRUE(Stays(cut, 1200, 800));
    ASSERT_TRUE(AddTitle(app, cut.substr(0, 254)));
    EXPECT_FALSE(Stays(cut, 1200, 800))
        << "an entry of its first 254 characters, as kept lists hold";
    EXPECT_EQ((Lines{Counter(3, 3), at255, banned, cut}), app.StatisticsLines());
}

TEST_F(KillDecision, TheSessionRuleCountsTheBrowserWindowsOpenWhenBlockingStarts) {
    OneSession();
    HWND before = Maker().Open("Earlier - Opera", 1100, 800);
    Start("session");
    EXPECT_FALSE(Stays("One - Opera")) << "the window open before the program started counts";
    ASSERT_TRUE(maker.Close(before));
    HWND first = maker.Open("Two - Opera", 300, 200);
    ASSERT_TRUE(SettleWith(app, maker));
    EXPECT_TRUE(::IsWindow(first)) << "the earlier one's place is free again";
    EXPECT_FALSE(Stays("Three - Opera"));
    ASSERT_TRUE(maker.Close(first));

    // Stop, a browser window opens, Start: it counts too.
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_TRUE(maker.Open("PreStop - Opera", 1100, 800));
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ("Stop", TextOf(app.Control(IDC_START))) << "started again";
    EXPECT_FALSE(Stays("AfterStart - Opera", 1100, 800));
    EXPECT_EQ((Lines{Counter(3, 3), "One - Opera", "Three - Opera", "AfterStart - Opera"}),
              app.StatisticsLines());
}

TEST_F(KillDecision, WindowsThatRefuseOrThatTheirMakerDestroysAreNotCounted) {
    Start("not-closed");
    std::vector<HWND> refusing;
    for (int i = 0; i < 5; ++i)
        refusing.push_back(Maker().OpenRefusing("Refuses - Opera", 300, 200));
    EXPECT_FALSE(Stays("Closes - Opera"));
    EXPECT_EQ(6, maker.CloseRequests()) << "each asked once";
    EXPECT_TRUE(std::all_of(refusing.begin(), refusing.end(), ::IsWindow));
    EXPECT_EQ((Lines{Counter(1, 1), "Closes - Opera"}), app.StatisticsLines());

    // Destroyed by their maker at once, or after a short life: counted only
    // when the request reached them first.
    for (int life : {0, 15}) {
        int before = maker.CloseRequests();
        ASSERT_TRUE(maker.Flash(100, life, 300, 200, "Brief - Opera"));
        ASSERT_TRUE(SettleWith(app, maker));
        int closed = 1 + maker.CloseRequests() - before;
        EXPECT_EQ(Counter(closed, closed), app.StatisticsLines().at(0)) << "a life of " << life;
    }
}

TEST_F(KillDecision, PopupsSlowToCloseLeaveTheProgramAnsweringPostedMessagesInTime) {
    Start("slow-close");
    std::vector<HWND> slow;
    for (int i = 0; i < 5; ++i)
        slow.push_back(Maker().OpenSlow(3000, "Slow " + std::to_string(i) + " - Opera", 300, 200));
    // A message sent to the program is answered even while its thread waits
    // in a send of its own; a posted one is not: time a posted one's effect.
    HWND edit = app.PageControl(kBannedPage, IDC_ENTRY);
    std::vector<DWORD> delays;
    for (WPARAM limit = 0x60000000u; std::any_of(slow.begin(), slow.end(), ::IsWindow); ++limit) {
        DWORD posted = ::GetTickCount();
        ASSERT_TRUE(::PostMessageA(edit, EM_SETLIMITTEXT, limit, 0));
        for (DWORD_PTR seen = 0; seen != limit; ::Sleep(1))
            ASSERT_TRUE(
                ::SendMessageTimeoutA(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 10000, &seen));
        delays.push_back(::GetTickCount() - posted);
        ::Sleep(20);
    }
    ASSERT_GE(delays.size(), 10u);
    std::sort(delays.begin(), delays.end());
    RecordProperty("posted_median_ms", static_cast<int>(delays[delays.size() / 2]));
    RecordProperty("posted_slowest_ms", static_cast<int>(delays.back()));
    EXPECT_LE(delays[delays.size() / 2], 50u) << "median, ms";
    EXPECT_LE(delays.back(), 250u) << "slowest, ms";
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(Counter(5, 5), app.StatisticsLines().at(0)) << "each closed in the end";
}

TEST_F(KillDecision, StopDropsTheWindowsStillInTheirDelay) {
    SetSettingDword("Delay", 2000);
    Start("stop-in-delay");
    HWND waiting[] = {Maker().Open("Waiting 1 - Opera", 300, 200),
                      maker.Open("Waiting 2 - Opera", 300, 200)};
    ASSERT_TRUE(app.Settle()); // their reports handled: both in their delay
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ("Start", TextOf(app.Control(IDC_START))) << "stopped";
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    HWND later = maker.Open("Later - Opera", 300, 200);
    // Its delay ends after theirs: once it is closed, theirs are long over.
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(later); }));
    ASSERT_TRUE(SettleWith(app, maker));
    EXPECT_TRUE(::IsWindow(waiting[0]) && ::IsWindow(waiting[1]));
    EXPECT_EQ((Lines{Counter(1, 1), "Later - Opera"}), app.StatisticsLines());
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
    ASSERT_TRUE(maker.Sync());
    EXPECT_FALSE(::IsWindow(popup)) << "and was judged before it returned";
}

TEST_F(KillDecision, ASmallWindowThatNamesABrowserOnlyAfterItsCreationIsClosed) {
    Start("late-title");
    HWND popup = Maker().Open("Loading...", 300, 300);
    ASSERT_TRUE(popup && app.Settle());
    ASSERT_TRUE(::IsWindow(popup)) << "no browser title yet";
    ASSERT_TRUE(maker.SetTitle(popup, "Ad - Opera"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(popup); }));
    ASSERT_TRUE(SettleWith(app, maker));
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

// The count is unsigned and stops at its top: a count gone back to 0 or
// below it would say something false.
TEST_F(KillDecision, TheCountShowsUnsignedAndStopsAtItsTop) {
    SetSettingDword("nKills", 4294967294u);
    Start("count-top");
    EXPECT_FALSE(Stays("One - Opera"));
    EXPECT_FALSE(Stays("Two - Opera"));
    EXPECT_EQ((Lines{"Killed 4294967295 popups in total, 2 in this session", "One - Opera",
                     "Two - Opera"}),
              app.StatisticsLines());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(4294967295u, SettingDword("nKills"));
}

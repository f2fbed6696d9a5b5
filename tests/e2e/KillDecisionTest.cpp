// The kill decision against the real program: windows of another process
// judged by the session, size and name rules, counted and listed on the
// statistics page. The rules' branches are the engine's unit tests; these
// prove each path through the program once.
#include <algorithm>

#include "hook/hook.h"
#include "tests/e2e/ProgramTest.h"

using namespace e2e;

using KillDecision = ProgramTest;

// The rules' limits and exact titles are the engine's unit tests, the count
// kept in the registry the start-up's; here the size and the whole title of
// real windows, read across their limits, and each kill listed.
TEST_F(KillDecision, EachRuleClosesARealBrowserWindowReadAcrossItsLimitsAndEachKillIsListed) {
    Start("rules");
    const std::string at255 = std::string(247, 'x') + " - Opera"; // the name past 254 characters
    const std::string banned = "Banned - Opera " + std::string(285, 'a'); // a whole entry of 300
    ASSERT_TRUE(AddTitle(app, banned));
    const struct {
        std::string title;
        int width, height;
        bool stays;
    } windows[] = {
        {"Ad - Opera", 999, 699, false},
        {"Ad - Opera", 1000, 699, true},
        {at255, 300, 200, false},
        {banned, 1200, 800, false},
        {"b" + banned.substr(1), 1200, 800, true},
    };
    for (const auto& w : windows)
        EXPECT_EQ(w.stays, Stays(w.title, w.width, w.height)) << w.title.substr(0, 20);
    EXPECT_EQ((Lines{Counter(3, 3), "Ad - Opera", at255, banned}), app.StatisticsLines());
}

TEST_F(KillDecision, TheSessionRuleCountsTheBrowserWindowsOpenWhenBlockingStarts) {
    SetSettingDword("BySess", 1);
    SetSettingDword("BySize", 0);
    HWND before = Maker().Open("Earlier - Opera", 1100, 800);
    Start("session");
    EXPECT_FALSE(Stays("One - Opera")) << "the window open before the program started counts";
    ASSERT_TRUE(maker.Close(before));

    // Stop, a browser window opens, Start: it counts too.
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_TRUE(maker.Open("PreStop - Opera", 1100, 800));
    app.Click(app.Control(IDC_START));
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ("Stop", TextOf(app.Control(IDC_START))) << "started again";
    EXPECT_FALSE(Stays("AfterStart - Opera", 1100, 800));
    EXPECT_EQ((Lines{Counter(2, 2), "One - Opera", "AfterStart - Opera"}), app.StatisticsLines());
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

// A message sent to the program is answered even while its thread waits in
// a send of its own; a posted one is not: so a posted round trip, handled
// while every slow pop-up still takes its time, shows that nothing waits.
TEST_F(KillDecision, PopupsSlowToCloseLeaveTheProgramAnsweringPostedMessages) {
    Start("slow-close");
    std::vector<HWND> slow;
    for (int i = 0; i < 5; ++i)
        slow.push_back(Maker().OpenSlow(3000, "Slow " + std::to_string(i) + " - Opera", 300, 200));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(5, std::count_if(slow.begin(), slow.end(), ::IsWindow)) << "answered meanwhile";
    ASSERT_TRUE(WaitUntil([&] { return std::none_of(slow.begin(), slow.end(), ::IsWindow); }));
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

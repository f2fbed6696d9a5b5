// The kill decision against the real program: windows of another process
// (this driver) judged by the session, size and name rules, counted and
// listed on the statistics page.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "hook/hook.h"
#include "tests/e2e/Harness.h"
#include "tests/e2e/MakerProcess.h"

using namespace e2e;

namespace {
class KillDecision : public testing::Test {
protected:
    void Start(const char* name) { ASSERT_TRUE(main_ = StartApp(app_, name)); }
    bool Stays(const std::string& title, int width = 300, int height = 200) {
        return StaysOpen(app_, windows_, title, width, height);
    }

    WindowFactory windows_;
    VelmoraProcess app_;
    HWND main_ = nullptr;
};
} // namespace

TEST_F(KillDecision, TheSizeRuleClosesOnlyWindowsSmallerBothWaysAndEachKillIsCounted) {
    UseQuietSettings();
    SetSettingDword("nKills", 41);
    Start("size");
    EXPECT_EQ(Lines{Counter(41, 0)}, app_.StatisticsLines());
    EXPECT_FALSE(Stays("Ad - Opera", 999, 699));
    EXPECT_TRUE(Stays("Ad - Opera", 1000, 699));
    EXPECT_TRUE(Stays("Ad - Opera", 999, 700));
    EXPECT_FALSE(Stays("Ad - Opera")) << "the same title again is another line";
    EXPECT_EQ((Lines{Counter(43, 2), "Ad - Opera", "Ad - Opera"}), app_.StatisticsLines());
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(43u, SettingDword("nKills"));
}

TEST_F(KillDecision, TheNameRuleClosesABannedBrowserTitleTheSizeRuleLetsBy) {
    UseQuietSettings();
    Start("name");
    ASSERT_TRUE(AddTitle(app_, "Big - Opera"));
    ASSERT_TRUE(AddTitle(app_, "Big - Notepad"));
    EXPECT_FALSE(Stays("Big - Opera", 1000, 700));
    EXPECT_TRUE(Stays("Big - Notepad", 1000, 700)) << "banned, but no browser";
    EXPECT_TRUE(Stays("Small - Notepad")) << "small, but no browser";
    EXPECT_EQ((Lines{Counter(1, 1), "Big - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, OnlyBrowserTitlesAreJudgedAndNamesMatchExactly) {
    UseQuietSettings();
    Start("names");
    ASSERT_TRUE(AddTitle(app_, "Untitled - Notepad"));
    ASSERT_TRUE(AddTitle(app_, "News - Netscape"));
    // Small windows go by the size rule once the title names a browser; big
    // ones only by the name rule.
    const struct {
        const char* title;
        bool big, stays;
    } cases[] = {
        {"Untitled - Notepad", false, true}, // banned and small, but no browser
        {"welcome - opera", false, true},
        {"Welcome - Opera", false, false},
        {"KAOLIN", false, false},
        {"news - Netscape", true, true},
        {"News - Netscape 7", true, true},
        {"News - Netscape", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.stays, Stays(c.title, c.big ? 1200 : 300, c.big ? 800 : 200)) << c.title;
    EXPECT_EQ((Lines{Counter(3, 3), "Welcome - Opera", "KAOLIN", "News - Netscape"}),
              app_.StatisticsLines());
}

TEST_F(KillDecision, OnlyTheFirst254CharactersOfATitleCount) {
    UseQuietSettings();
    Start("long-titles");
    const std::string title = "Opera " + std::string(300, 'a');
    ASSERT_TRUE(AddTitle(app_, title));
    EXPECT_TRUE(Stays(title, 1200, 800)) << "an entry longer than 254 characters never matches";
    ASSERT_TRUE(AddTitle(app_, title.substr(0, 254)));
    EXPECT_FALSE(Stays(title, 1200, 800));
    EXPECT_TRUE(Stays(std::string(260, 'b') + " - Opera")) << "a browser name past 254 is unseen";
    EXPECT_EQ((Lines{Counter(1, 1), title.substr(0, 254)}), app_.StatisticsLines());
}

TEST_F(KillDecision, SessionRuleLetsOneBrowserWindowStayAtATime) {
    UseQuietSettings();
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    SetSettingDword("BySize", 0);
    // Open before the program starts: its destruction must not make room.
    HWND before = windows_.Open("Earlier - Opera", 300, 200);
    Start("session");
    windows_.Close(before);
    HWND first = windows_.Open("One - Opera", 300, 200);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(windows_.IsOpen(first));
    EXPECT_FALSE(Stays("Two - Opera"));
    EXPECT_TRUE(Stays("Untitled - Notepad")) << "no browser: neither counted nor closed";
    windows_.Close(first);
    EXPECT_TRUE(Stays("Three - Opera")) << "the first one's place is free again";
    EXPECT_FALSE(Stays("Four - Opera"));
    EXPECT_EQ((Lines{Counter(2, 2), "Two - Opera", "Four - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, ADestructionReportClosesNothing) {
    UseQuietSettings();
    SetSettingDword("LoadStart", 0); // stopped: the hook reports nothing, this test does
    Start("destruction-report");
    HWND popup = windows_.Open("Ad - Opera", 300, 200);
    ::PostMessageA(main_, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(popup), POPUP_EVENT_DESTROYED);
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(windows_.IsOpen(popup));
    EXPECT_EQ(Lines{Counter(0, 0)}, app_.StatisticsLines());
}

TEST_F(KillDecision, EachWindowWaitsItsDelayWhileTheProgramHandlesWhatComesMeanwhile) {
    UseQuietSettings();
    SetSettingDword("Delay", 3000);
    Start("delay");
    HWND first = windows_.Open("First - Opera", 300, 200);
    HWND second = windows_.Open("Second - Opera", 300, 200);
    // Both reports and a round trip through the queue are handled long
    // before either delay ends: nothing waits on the program's thread.
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(windows_.IsOpen(first));
    EXPECT_TRUE(windows_.IsOpen(second));
    EXPECT_TRUE(WaitUntil([&] { return !windows_.IsOpen(first) && !windows_.IsOpen(second); }));
    EXPECT_EQ((Lines{Counter(2, 2), "First - Opera", "Second - Opera"}), app_.StatisticsLines())
        << "judged in the order their delays ended";
}

TEST_F(KillDecision, AWindowGoneBeforeItsDelayEndedIsNeverCounted) {
    UseQuietSettings();
    SetSettingDword("Delay", 1000);
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    SetSettingDword("BySize", 0);
    Start("gone-in-delay");
    MakerProcess maker;
    ASSERT_TRUE(maker.Start());
    HWND gone = maker.Open("Gone - Opera", 300, 200);
    ASSERT_TRUE(gone && maker.Close(gone));
    HWND first = maker.Open("First - Opera", 300, 200);
    HWND second = maker.Open("Second - Opera", 300, 200);
    ASSERT_TRUE(first && second);
    // The second one is judged after the first: once it is closed, the first was judged.
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(second); }));
    EXPECT_TRUE(::IsWindow(first)) << "the window that went took no place";
    EXPECT_EQ((Lines{Counter(1, 1), "Second - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, ABurstWithADelayIsClosedInTheOrderItCameWithEachWindowCountedOnce) {
    UseQuietSettings();
    SetSettingDword("Delay", 500);
    Start("burst");
    MakerProcess maker;
    ASSERT_TRUE(maker.Start());
    const int kCount = 40;
    ASSERT_TRUE(maker.Burst(kCount, 50, 300, 200, "Burst - Opera"));
    size_t gone = 0;
    double elapsedMs = 0;
    ASSERT_TRUE(maker.WaitGone(60000, gone, elapsedMs));
    EXPECT_EQ(static_cast<size_t>(kCount), gone);
    ASSERT_TRUE(app_.Settle());
    Lines expected{Counter(kCount, kCount)};
    for (int i = 0; i < kCount; ++i)
        expected.push_back("Burst - Opera " + std::to_string(i));
    EXPECT_EQ(expected, app_.StatisticsLines());
}

TEST_F(KillDecision, DelayInTurnGivesBackTheWaitOnTheOnlyThread) {
    UseQuietSettings();
    SetSettingDword("LoadStart", 0); // stopped: the hook reports nothing, this test does
    SetSettingDword("Delay", 3000);
    SetSettingDword("DelayInTurn", 1);
    Start("delay-in-turn");
    HWND popup = windows_.Open("Next - Opera", 300, 200);
    DWORD start = ::GetTickCount();
    ::PostMessageA(main_, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(popup), POPUP_EVENT_CREATED);
    ASSERT_TRUE(app_.Settle(20000));
    EXPECT_GE(::GetTickCount() - start, 2900u) << "the report held up the round trip";
    EXPECT_FALSE(windows_.IsOpen(popup)) << "and was judged before it returned";
    EXPECT_EQ((Lines{Counter(1, 1), "Next - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, ASmallWindowThatNamesABrowserOnlyAfterItsCreationIsClosed) {
    UseQuietSettings();
    Start("late-title");
    MakerProcess maker;
    ASSERT_TRUE(maker.Start());
    HWND popup = maker.Open("Loading...", 300, 300);
    ASSERT_TRUE(popup && app_.Settle());
    ASSERT_TRUE(::IsWindow(popup)) << "no browser title yet";
    ::Sleep(300); // the page loads
    ASSERT_TRUE(maker.SetTitle(popup, "Ad - Opera"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(popup); }));
    EXPECT_EQ((Lines{Counter(1, 1), "Ad - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, ALargeWindowThatTakesABannedTitleAfterItsCreationIsClosed) {
    UseQuietSettings();
    Start("late-banned");
    ASSERT_TRUE(AddTitle(app_, "Banned - Opera"));
    MakerProcess maker;
    ASSERT_TRUE(maker.Start());
    HWND popup = maker.Open("about:blank", 1200, 800);
    ASSERT_TRUE(popup && app_.Settle());
    ASSERT_TRUE(maker.SetTitle(popup, "Page - Opera"));
    ASSERT_TRUE(maker.SetTitle(popup, "Banned - Opera"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(popup); }));
    EXPECT_EQ((Lines{Counter(1, 1), "Banned - Opera"}), app_.StatisticsLines());
}

TEST_F(KillDecision, TodaysBrowserNamesSetWithRegAddAreJudgedAndKeptAtExit) {
    UseQuietSettings();
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
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(before, SettingRaw("BrowserNames", type)) << "the exit save leaves it alone";
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
}

TEST_F(KillDecision, AStormOfPopupsIsClosedAndCountedWhileTheProgramStaysResponsive) {
    UseQuietSettings();
    Start("storm");
    const int kCount = 500;
    std::vector<HWND> opened;
    std::atomic<bool> done{false};
    std::thread storm([&] {
        opened = windows_.OpenMany("Storm - Opera", kCount, 300, 200);
        done = true;
    });
    // The program answers other messages all along, however busy.
    for (DWORD_PTR ignored = 0; !done; ::Sleep(10))
        EXPECT_TRUE(::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
            << "no answer within 10 s during the storm";
    storm.join();
    ASSERT_EQ(static_cast<size_t>(kCount), opened.size());
    ASSERT_TRUE(app_.Settle(120000));
    EXPECT_TRUE(
        WaitUntil([&] { return std::none_of(opened.begin(), opened.end(), ::IsWindow); }, 60000))
        << "some pop-ups are still open";
    Lines lines = app_.StatisticsLines();
    ASSERT_EQ(static_cast<size_t>(kCount + 1), lines.size());
    EXPECT_EQ(Counter(kCount, kCount), lines[0]);
    std::map<std::string, int> seen;
    for (size_t i = 1; i < lines.size(); ++i)
        ++seen[lines[i]];
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(1, seen["Storm - Opera " + std::to_string(i)]) << i;
}

TEST_F(KillDecision, AWindowWhoseDestructionWasNeverReportedStopsCountingOnceGone) {
    UseQuietSettings();
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    SetSettingDword("BySize", 0);
    Start("lost-report");
    MakerProcess maker;
    ASSERT_TRUE(maker.Start());
    HWND first = maker.Open("First - Opera", 300, 200);
    ASSERT_TRUE(first && app_.Settle());
    ASSERT_TRUE(::IsWindow(first)) << "the one browser window allowed";
    // Ended from outside, the maker runs no hook for its window: its
    // destruction is never reported, as for any process the hook library
    // cannot reach (one of the other architecture, one that hangs).
    maker.Kill();
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(first); }));
    EXPECT_TRUE(Stays("Second - Opera")) << "the first one still held the only place";
    EXPECT_FALSE(Stays("Third - Opera"));
}

// The 64-bit program and a 32-bit browser, where this machine runs both.
TEST_F(KillDecision, PopupsOfAProcessOfTheOtherArchitectureAreClosedAndCounted) {
    const std::string otherMaker = Env("VELMORA_OTHER_ARCH_MAKER");
    if (otherMaker.empty())
        GTEST_SKIP() << "no process of the other architecture can run here";
    UseQuietSettings();
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    Start("other-arch");
    MakerProcess maker;
    ASSERT_TRUE(maker.Start(otherMaker));
    HWND big = maker.Open("Big - Opera", 1200, 800);
    ASSERT_TRUE(big && app_.Settle());
    EXPECT_TRUE(::IsWindow(big)) << "the one browser window allowed";
    HWND second = maker.Open("Second - Opera", 1200, 800);
    ASSERT_TRUE(second && app_.Settle());
    EXPECT_FALSE(::IsWindow(second)) << "closed by the session rule";
    HWND small = maker.Open("Small - Opera", 300, 200);
    ASSERT_TRUE(small && app_.Settle());
    EXPECT_FALSE(::IsWindow(small)) << "closed by the size rule";
    ASSERT_TRUE(maker.Close(big));
    HWND again = maker.Open("Again - Opera", 1200, 800);
    ASSERT_TRUE(again && app_.Settle());
    EXPECT_TRUE(::IsWindow(again)) << "the first one's place is free again";
    EXPECT_EQ((Lines{Counter(2, 2), "Second - Opera", "Small - Opera"}), app_.StatisticsLines());
}

// The kill decision against the real program: windows of another process
// (this driver) judged by the session, size and name rules, counted and
// listed on the statistics page.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <thread>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {
constexpr int kAddId = 3;
constexpr int kEntryId = 1011;
constexpr UINT kPopupReport = WM_APP + 0x14D;

// Bans a title through the page, as the user would.
void Ban(VelmoraProcess& app, const std::string& title) {
    SetText(app.PageControl(0, kEntryId), title);
    app.Click(app.PageControl(0, kAddId));
    ASSERT_TRUE(app.Settle());
}

std::string Counter(int total, int session) {
    return "Killed " + std::to_string(total) + " popups in total, " + std::to_string(session) +
           " in this session";
}

// Opens a window and lets the program judge it.
HWND OpenJudged(VelmoraProcess& app, WindowFactory& windows, const std::string& title, int width,
                int height) {
    HWND window = windows.Open(title, width, height);
    EXPECT_TRUE(window) << title;
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(width, rect.right - rect.left) << title;
    EXPECT_EQ(height, rect.bottom - rect.top) << title;
    EXPECT_TRUE(app.Settle()) << title;
    return window;
}
} // namespace

TEST(KillDecision, SizeRuleWithTheDefaultsClosesOnlyWindowsSmallerBothWays) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "size"));
    WindowFactory windows;

    HWND small = OpenJudged(app, windows, "Ad - Opera", 999, 699);
    HWND wide = OpenJudged(app, windows, "Ad - Opera", 1000, 699);
    HWND tall = OpenJudged(app, windows, "Ad - Opera", 999, 700);
    EXPECT_FALSE(windows.IsOpen(small));
    EXPECT_TRUE(windows.IsOpen(wide));
    EXPECT_TRUE(windows.IsOpen(tall));

    Ban(app, "Big - Opera");
    HWND banned = OpenJudged(app, windows, "Big - Opera", 1000, 700);
    EXPECT_FALSE(windows.IsOpen(banned)) << "the name rule closes what the size rule lets through";

    EXPECT_EQ((std::vector<std::string>{Counter(2, 2), "Ad - Opera", "Big - Opera"}),
              app.StatisticsLines());
    EXPECT_TRUE(app.Close());
}

TEST(KillDecision, OnlyBrowserTitlesAreJudgedAndNamesMatchExactly) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "names"));
    WindowFactory windows;
    Ban(app, "Untitled - Notepad");
    Ban(app, "News - Netscape");

    HWND notepad = OpenJudged(app, windows, "Untitled - Notepad", 300, 200);
    HWND lower = OpenJudged(app, windows, "welcome - opera", 300, 200);
    HWND welcome = OpenJudged(app, windows, "Welcome - Opera", 300, 200);
    HWND kaolin = OpenJudged(app, windows, "KAOLIN", 300, 200);
    EXPECT_TRUE(windows.IsOpen(notepad)) << "banned, small, but no browser";
    EXPECT_TRUE(windows.IsOpen(lower)) << "the names are case-sensitive";
    EXPECT_FALSE(windows.IsOpen(welcome));
    EXPECT_FALSE(windows.IsOpen(kaolin)) << "AOL anywhere makes a browser title";

    HWND newsLower = OpenJudged(app, windows, "news - Netscape", 1200, 800);
    HWND newsLonger = OpenJudged(app, windows, "News - Netscape 7", 1200, 800);
    HWND news = OpenJudged(app, windows, "News - Netscape", 1200, 800);
    EXPECT_TRUE(windows.IsOpen(newsLower));
    EXPECT_TRUE(windows.IsOpen(newsLonger));
    EXPECT_FALSE(windows.IsOpen(news));

    EXPECT_EQ(
        (std::vector<std::string>{Counter(3, 3), "Welcome - Opera", "KAOLIN", "News - Netscape"}),
        app.StatisticsLines());
    EXPECT_TRUE(app.Close());
}

TEST(KillDecision, SessionRuleLetsOneBrowserWindowStayAtATime) {
    UseQuietSettings();
    SetSettingDword("BySess", 1);
    SetSettingDword("Sessions", 1);
    SetSettingDword("BySize", 0);
    WindowFactory windows;
    // Open before the program starts: its destruction must not make room.
    HWND before = windows.Open("Earlier - Opera", 1200, 800);
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "session"));
    windows.Close(before);
    ASSERT_TRUE(app.Settle());

    HWND first = OpenJudged(app, windows, "One - Opera", 1200, 800);
    HWND second = OpenJudged(app, windows, "Two - Opera", 1200, 800);
    EXPECT_TRUE(windows.IsOpen(first));
    EXPECT_FALSE(windows.IsOpen(second));

    HWND other = OpenJudged(app, windows, "Untitled - Notepad", 1200, 800);
    EXPECT_TRUE(windows.IsOpen(other)) << "no browser: neither counted nor closed";

    windows.Close(first);
    ASSERT_TRUE(app.Settle());
    HWND third = OpenJudged(app, windows, "Three - Opera", 1200, 800);
    EXPECT_TRUE(windows.IsOpen(third)) << "the first one's place is free again";
    HWND fourth = OpenJudged(app, windows, "Four - Opera", 1200, 800);
    EXPECT_FALSE(windows.IsOpen(fourth));

    EXPECT_EQ((std::vector<std::string>{Counter(2, 2), "Two - Opera", "Four - Opera"}),
              app.StatisticsLines());
    EXPECT_TRUE(app.Close());
}

TEST(KillDecision, OnlyACreationReportWaitsAndADestructionReportClosesNothing) {
    UseQuietSettings();
    SetSettingDword("LoadStart", 0); // stopped: the hook reports nothing, this test does
    SetSettingDword("Delay", 3000);
    VelmoraProcess app;
    HWND main = StartAndSettle(app, "reports");
    ASSERT_TRUE(main);
    WindowFactory windows;
    HWND popup = windows.Open("Ad - Opera", 300, 200);
    ASSERT_TRUE(app.Settle());
    ASSERT_TRUE(windows.IsOpen(popup)) << "blocking is stopped";

    auto timedReport = [&](HWND window, LPARAM event) {
        DWORD start = ::GetTickCount();
        ::PostMessageA(main, kPopupReport, reinterpret_cast<WPARAM>(window), event);
        EXPECT_TRUE(app.Settle(20000));
        return ::GetTickCount() - start;
    };

    EXPECT_LT(timedReport(popup, 222), 3000u) << "a destruction report does not wait";
    EXPECT_TRUE(windows.IsOpen(popup)) << "and never closes anything";
    EXPECT_EQ(std::vector<std::string>{Counter(0, 0)}, app.StatisticsLines());

    EXPECT_LT(timedReport(popup, 5), 3000u) << "another code counts as a creation, unwaited";
    EXPECT_FALSE(windows.IsOpen(popup));

    HWND next = windows.Open("Next - Opera", 300, 200);
    EXPECT_GE(timedReport(next, 111), 2900u) << "a creation report waits Delay";
    EXPECT_FALSE(windows.IsOpen(next));
    EXPECT_EQ((std::vector<std::string>{Counter(2, 2), "Ad - Opera", "Next - Opera"}),
              app.StatisticsLines());
    EXPECT_TRUE(app.Close());
}

TEST(KillDecision, AnEndlessDelayIsBoundedAndKeptAsEntered) {
    UseQuietSettings();
    SetSettingDword("Delay", 0xFFFFFFFFu);
    WindowFactory windows;
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "endless-delay"));
    EXPECT_EQ("4294967295", TextOf(app.PageControl(2, 1026)));
    HWND popup = windows.Open("Ad - Opera", 300, 200);
    // Every window reported waits, this one and others of the system alike.
    EXPECT_TRUE(app.Settle(60000)) << "the program came back from the wait";
    EXPECT_FALSE(windows.IsOpen(popup));
    ASSERT_TRUE(app.Close());
    DWORD delay = 0;
    EXPECT_TRUE(GetSettingDword("Delay", delay));
    EXPECT_EQ(0xFFFFFFFFu, delay);
}

TEST(KillDecision, OnlyTheFirst254CharactersOfATitleCount) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "long-title"));
    WindowFactory windows;
    const std::string title = "Opera " + std::string(300, 'a');
    const std::string first254 = title.substr(0, 254);

    Ban(app, title);
    HWND whole = OpenJudged(app, windows, title, 1200, 800);
    EXPECT_TRUE(windows.IsOpen(whole)) << "an entry longer than 254 characters never matches";

    Ban(app, first254);
    HWND cut = OpenJudged(app, windows, title, 1200, 800);
    EXPECT_FALSE(windows.IsOpen(cut));

    HWND late = OpenJudged(app, windows, std::string(260, 'b') + " - Opera", 300, 200);
    EXPECT_TRUE(windows.IsOpen(late)) << "a browser name past 254 characters is not seen";

    EXPECT_EQ((std::vector<std::string>{Counter(1, 1), first254}), app.StatisticsLines());
    EXPECT_TRUE(app.Close());
}

TEST(KillDecision, EveryClosedWindowIsCountedAndListedOnce) {
    UseQuietSettings();
    SetSettingDword("nKills", 41);
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "statistics"));
    EXPECT_EQ(std::vector<std::string>{Counter(41, 0)}, app.StatisticsLines());
    HWND list = app.PageControl(1, 1037);
    EXPECT_EQ(LB_ERR, ::SendMessageA(list, LB_SETSEL, TRUE, 0)) << "the lines cannot be selected";

    WindowFactory windows;
    OpenJudged(app, windows, "A - Opera", 300, 200);
    OpenJudged(app, windows, "B - Opera", 300, 200);
    EXPECT_EQ((std::vector<std::string>{Counter(43, 2), "A - Opera", "B - Opera"}),
              app.StatisticsLines());
    OpenJudged(app, windows, "A - Opera", 300, 200);
    OpenJudged(app, windows, "Not a browser", 300, 200);
    EXPECT_EQ((std::vector<std::string>{Counter(44, 3), "A - Opera", "B - Opera", "A - Opera"}),
              app.StatisticsLines());
    ASSERT_TRUE(app.Close());
    DWORD total = 0;
    EXPECT_TRUE(GetSettingDword("nKills", total));
    EXPECT_EQ(44u, total);
}

TEST(KillDecision, AStormOfPopupsIsClosedAndCountedWhileTheProgramStaysResponsive) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartAndSettle(app, "storm");
    ASSERT_TRUE(main);
    WindowFactory windows;
    const int kCount = 500;

    std::vector<HWND> opened;
    std::atomic<bool> done{false};
    std::thread storm([&] {
        opened = windows.OpenMany("Storm - Opera", kCount, 300, 200);
        done = true;
    });
    // The program answers other messages all along, however busy.
    int pings = 0;
    DWORD slowest = 0;
    while (!done) {
        DWORD start = ::GetTickCount();
        DWORD_PTR ignored = 0;
        LRESULT answered = ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
        EXPECT_NE(0, answered) << "no answer within 10 s during the storm";
        slowest = std::max<DWORD>(slowest, ::GetTickCount() - start);
        ++pings;
        ::Sleep(10);
    }
    storm.join();
    ASSERT_EQ(static_cast<size_t>(kCount), opened.size());
    ASSERT_TRUE(app.Settle(120000));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return std::none_of(opened.begin(), opened.end(),
                                [&](HWND w) { return windows.IsOpen(w); });
        },
        60000))
        << "some pop-ups are still open";

    std::vector<std::string> lines = app.StatisticsLines();
    ASSERT_EQ(static_cast<size_t>(kCount + 1), lines.size());
    EXPECT_EQ(Counter(kCount, kCount), lines[0]);
    std::map<std::string, int> seen;
    for (size_t i = 1; i < lines.size(); ++i)
        ++seen[lines[i]];
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(1, seen["Storm - Opera " + std::to_string(i)]) << i;
    std::printf("storm: %d pings answered, slowest %lu ms\n", pings,
                static_cast<unsigned long>(slowest));
    EXPECT_TRUE(app.Close());
}

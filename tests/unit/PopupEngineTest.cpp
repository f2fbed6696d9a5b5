// The kill decision under a fake clock, with fake windows: delays that
// overlap, windows that go during their delay, titles that come late, the
// session count, and the close request that times out.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/PopupEngine.h"
#include "tests/unit/CodePages.h"

using namespace engine;

namespace {

class FakeClock : public Clock {
public:
    uint64_t NowMs() override { return now; }
    void Sleep(uint32_t ms) override {
        slept.push_back(ms);
        now += ms;
    }
    uint64_t now = 1000;
    std::vector<uint32_t> slept;
};

// Windows as the engine sees them, and what it asked of them.
class FakeWindows : public WindowSystem {
public:
    struct Window {
        std::string title;
        int32_t width = 300, height = 200;
        bool tool = false;
        bool answers = true; // handles a sent close request in time
    };

    WindowId Make(const std::string& title, int32_t width = 300, int32_t height = 200) {
        WindowId id = nextId++;
        windows[id].title = title;
        windows[id].width = width;
        windows[id].height = height;
        return id;
    }

    bool IsAlive(WindowId w) override { return windows.count(w) != 0; }
    std::string ReadTitle(WindowId w) override {
        ++titleReads;
        return IsAlive(w) ? windows[w].title.substr(0, 254) : std::string();
    }
    WindowRect ReadRect(WindowId w) override {
        if (!IsAlive(w))
            return WindowRect{};
        return WindowRect{40, 40, 40 + windows[w].width, 40 + windows[w].height};
    }
    bool IsToolWindow(WindowId w) override { return IsAlive(w) && windows[w].tool; }
    bool SendClose(WindowId w, uint32_t timeoutMs) override {
        sent.push_back(w);
        if (IsAlive(w) && !windows[w].answers) {
            clock->now += timeoutMs;
            return false;
        }
        if (onClose)
            onClose(w);
        return IsAlive(w);
    }
    void PostClose(WindowId w) override { posted.push_back(w); }

    FakeClock* clock = nullptr;
    std::map<WindowId, Window> windows;
    WindowId nextId = 0x100;
    int titleReads = 0;
    std::vector<WindowId> sent, posted;
    // Runs while a close request is being handled, as the window's thread would.
    std::function<void(WindowId)> onClose;
};

class FakeIndex : public TitleIndex {
public:
    bool Contains(const std::string& title) const override { return titles.count(title) != 0; }
    std::set<std::string> titles;
};

class Engine : public testing::Test {
protected:
    Engine() : engine_(settings_, clock_, windows_, banned_, Record(), testcp::Cp1252) {
        windows_.clock = &clock_;
    }
    PopupEngine::RecordKill Record() {
        return [this](const std::string& title) { kills_.push_back(title); };
    }
    // What the host does: run the engine's timer whenever it asks, until ms have passed.
    void RunFor(uint64_t ms) {
        uint64_t end = clock_.now + ms;
        while (auto wake = engine_.NextWakeMs()) {
            if (*wake > end)
                break;
            clock_.now = *wake > clock_.now ? *wake : clock_.now;
            engine_.OnTimer();
        }
        clock_.now = end;
    }
    WindowId Open(const std::string& title, int32_t width = 300, int32_t height = 200) {
        WindowId w = windows_.Make(title, width, height);
        engine_.OnCreated(w);
        return w;
    }
    Settings settings_;
    FakeClock clock_;
    FakeWindows windows_;
    FakeIndex banned_;
    std::vector<std::string> kills_;
    PopupEngine engine_;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(Engine, WithoutDelayOrLateTitlesAWindowIsJudgedOnceAtOnceAndNothingWaits) {
    settings_.LateTitleSeconds = 0;
    Open("Ad - Opera");
    EXPECT_EQ(Lines{"Ad - Opera"}, kills_);
    Open("Big - Opera", 1200, 800);
    WindowId late = Open("Loading...");
    EXPECT_EQ(0u, engine_.WaitingCount());
    EXPECT_FALSE(engine_.NextWakeMs()) << "an idle engine needs no timer";
    windows_.windows[late].title = "Ad - Opera";
    engine_.OnTitleChanged(late);
    EXPECT_EQ(Lines{"Ad - Opera"}, kills_) << "a late title is not looked at";
}

TEST_F(Engine, OverlappingDelaysEachEndOnTheirOwnClockInTheOrderTheyEnd) {
    settings_.Delay = 500;
    WindowId first = Open("First - Opera");
    clock_.now += 200;
    Open("Second - Opera");
    settings_.Delay = 100; // changed on the Options page meanwhile
    clock_.now += 50;
    Open("Third - Opera");
    EXPECT_TRUE(kills_.empty()) << "nobody waits: the reports came and went";
    EXPECT_EQ(1350u, engine_.NextWakeMs().value_or(0)) << "the third one's delay ends first";
    RunFor(300);
    EXPECT_EQ((Lines{"Third - Opera", "First - Opera"}), kills_);
    RunFor(200);
    EXPECT_EQ((Lines{"Third - Opera", "First - Opera", "Second - Opera"}), kills_);
    EXPECT_TRUE(clock_.slept.empty());
    EXPECT_EQ(first, windows_.sent[1]);
}

TEST_F(Engine, ADueWindowIsJudgedBeforeTheNextReportEvenWhenTheTimerIsLate) {
    settings_.Delay = 500;
    Open("First - Opera");
    clock_.now += 600; // reports keep the queue busy: no timer message came
    settings_.Delay = 0;
    Open("Second - Opera");
    EXPECT_EQ((Lines{"First - Opera", "Second - Opera"}), kills_);
}

TEST_F(Engine, WindowsGoneWithoutAReportDoNotPileUpDuringALongDelay) {
    settings_.Delay = 4294967295u;
    for (int i = 0; i < 1000; ++i)
        windows_.windows.erase(Open("Gone " + std::to_string(i)));
    Open("Stays - Opera");
    EXPECT_LT(engine_.WaitingCount(), 200u);
    RunFor(4294967295ull);
    EXPECT_EQ(Lines{"Stays - Opera"}, kills_) << "judged when its delay of 49 days ended";
    EXPECT_FALSE(engine_.NextWakeMs());
}

TEST_F(Engine, AWindowGoneDuringItsDelayIsDroppedAndNeverCounted) {
    settings_.Delay = 500;
    settings_.BySess = 1;
    settings_.BySize = 0;
    WindowId reported = Open("One - Opera");
    WindowId silent = Open("Two - Opera");
    WindowId stays = Open("Three - Opera");
    engine_.OnDestroyed(reported);
    windows_.windows.erase(silent); // gone without a report
    RunFor(500);
    EXPECT_EQ(1u, engine_.WaitingCount()) << "only the window still there is watched";
    EXPECT_EQ(1, engine_.OpenBrowserCount());
    EXPECT_TRUE(kills_.empty()) << "neither gone window took a place";
    EXPECT_TRUE(windows_.IsAlive(stays));
}

TEST_F(Engine, ALateBrowserTitleIsJudgedWithinTheLateTitleTime) {
    WindowId popup = Open("Loading...");
    EXPECT_TRUE(kills_.empty());
    ASSERT_TRUE(engine_.NextWakeMs()) << "its title is watched";
    RunFor(300);
    windows_.windows[popup].title = "Ad - Opera";
    RunFor(kTitlePollMs);
    EXPECT_EQ(Lines{"Ad - Opera"}, kills_);
    EXPECT_FALSE(engine_.NextWakeMs()) << "closed: no longer watched";
}

TEST_F(Engine, ATitleThatChangesAfterTheLateTitleTimeIsNotJudged) {
    settings_.LateTitleSeconds = 2;
    banned_.titles = {"Banned - Opera"};
    WindowId popup = Open("Loading...");
    WindowId big = Open("Page - Opera", 1200, 800);
    RunFor(2000);
    EXPECT_FALSE(engine_.NextWakeMs()) << "the watch has ended, and so has the polling";
    windows_.windows[popup].title = "Ad - Opera";
    windows_.windows[big].title = "Banned - Opera";
    engine_.OnTitleChanged(popup);
    engine_.OnTitleChanged(big);
    RunFor(1000);
    EXPECT_TRUE(kills_.empty());
}

TEST_F(Engine, ALateBannedTitleIsClosedByTheNameRuleOnItsReport) {
    banned_.titles = {"Banned - Opera"};
    WindowId popup = Open("about:blank - Opera", 1200, 800);
    EXPECT_TRUE(kills_.empty()) << "too big for the size rule, not banned yet";
    clock_.now += 40;
    windows_.windows[popup].title = "Banned - Opera";
    engine_.OnTitleChanged(popup);
    EXPECT_EQ(Lines{"Banned - Opera"}, kills_) << "a reported change needs no poll";
}

TEST_F(Engine, AnUnchangedTitleIsNotJudgedAgainEvenWhenTheListChanged) {
    WindowId popup = Open("Page - Opera", 1200, 800);
    banned_.titles = {"Page - Opera"};
    engine_.OnTitleChanged(popup);
    RunFor(1000);
    EXPECT_TRUE(kills_.empty());
}

TEST_F(Engine, AWindowIsClosedAndRecordedAtMostOnceWhateverItsTitleDoes) {
    WindowId stubborn = Open("Ad - Opera"); // ignores the request: stays open
    for (const char* title : {"Other - Opera", "Ad - Opera", "Third - AOL"}) {
        windows_.windows[stubborn].title = title;
        engine_.OnTitleChanged(stubborn);
        RunFor(kTitlePollMs);
    }
    EXPECT_EQ(Lines{"Ad - Opera"}, kills_);
    EXPECT_EQ(1u, windows_.sent.size());
}

TEST_F(Engine, ToolWindowsAreNotWatchedForTitles) {
    WindowId tip = windows_.Make("");
    windows_.windows[tip].tool = true;
    engine_.OnCreated(tip);
    EXPECT_FALSE(engine_.NextWakeMs());
    windows_.windows[tip].title = "Open in Opera";
    engine_.OnTitleChanged(tip);
    EXPECT_TRUE(kills_.empty());
}

TEST_F(Engine, ALateBrowserTitleIsCountedOnceAndOnlyThenFacesTheSessionRule) {
    settings_.BySess = 1;
    settings_.BySize = 0;
    WindowId first = Open("One - Opera");
    WindowId late = Open("Loading...");
    EXPECT_EQ(1, engine_.OpenBrowserCount()) << "no browser title: not counted";
    windows_.windows[late].title = "Two - Opera";
    RunFor(kTitlePollMs);
    EXPECT_EQ(Lines{"Two - Opera"}, kills_) << "counted second, closed by the session rule";
    EXPECT_EQ(2, engine_.OpenBrowserCount()) << "counted out by its own destruction";
    engine_.OnDestroyed(late);
    // The first one's title changes while another is open: it was let
    // through when counted and is not counted, or judged by sessions, again.
    WindowId third = Open("Three - Opera", 1200, 800);
    windows_.windows[first].title = "One again - Opera";
    engine_.OnTitleChanged(first);
    EXPECT_EQ((Lines{"Two - Opera", "Three - Opera"}), kills_);
    EXPECT_TRUE(windows_.IsAlive(first));
    EXPECT_EQ(2, engine_.OpenBrowserCount());
    engine_.OnDestroyed(third);
    engine_.OnDestroyed(first);
    EXPECT_EQ(0, engine_.OpenBrowserCount());
}

TEST_F(Engine, AWindowThatDoesNotAnswerIsAskedAgainThroughItsQueueAndStillRecorded) {
    WindowId hung = windows_.Make("Hung - Opera");
    windows_.windows[hung].answers = false;
    engine_.OnCreated(hung);
    EXPECT_EQ(std::vector<WindowId>{hung}, windows_.sent);
    EXPECT_EQ(std::vector<WindowId>{hung}, windows_.posted);
    EXPECT_EQ(Lines{"Hung - Opera"}, kills_);
    EXPECT_EQ(1000u + kCloseRequestTimeoutMs, clock_.now);
    Open("Fine - Opera");
    EXPECT_EQ(1u, windows_.posted.size()) << "a window that answers is not asked twice";
}

TEST_F(Engine, ReportsThatArriveInsideACloseRequestAreHandledWithoutJudgingThere) {
    settings_.Delay = 100;
    std::vector<WindowId> burst;
    for (int i = 0; i < 50; ++i)
        burst.push_back(Open("Burst " + std::to_string(i) + " - Opera"));
    int depth = 0, deepest = 0;
    windows_.onClose = [&](WindowId w) {
        deepest = std::max(deepest, ++depth);
        windows_.windows.erase(w);
        engine_.OnDestroyed(w);
        // A new window made while the closed one goes, by the same thread.
        if (w == burst[0])
            Open("Made on the way - Opera");
        --depth;
    };
    RunFor(100);
    EXPECT_EQ(1, deepest) << "no judgment inside another";
    ASSERT_EQ(50u, kills_.size()) << "all closed in one go";
    RunFor(100);
    EXPECT_EQ(51u, kills_.size());
    EXPECT_EQ("Made on the way - Opera", kills_.back());
    EXPECT_EQ(0, engine_.OpenBrowserCount());
    EXPECT_EQ(0u, engine_.WaitingCount());
}

TEST_F(Engine, DelayInTurnWaitsOnTheThreadBoundedAndJudgesAtOnce) {
    settings_.DelayInTurn = 1;
    settings_.Delay = 300;
    settings_.LateTitleSeconds = 0;
    Open("One - Opera");
    Open("Two - Opera");
    EXPECT_EQ((std::vector<uint32_t>{300, 300}), clock_.slept);
    EXPECT_EQ((Lines{"One - Opera", "Two - Opera"}), kills_);
    settings_.Delay = 4294967295u;
    Open("Three - Opera");
    EXPECT_EQ(kMaxDelayInTurnMs, clock_.slept.back()) << "INFINITE would freeze for good";
    engine_.OnCreated(windows_.Make("Other code - Opera"), false);
    EXPECT_EQ(3u, clock_.slept.size()) << "only a creation report waits";
    EXPECT_EQ(4u, kills_.size());
    EXPECT_FALSE(engine_.NextWakeMs());
}

TEST_F(Engine, ConfiguredBrowserNamesDecideWhatIsABrowserWindow) {
    settings_.BrowserNames = {"Google Chrome", "Mozilla Firefox"};
    Open("Ad - Google Chrome");
    Open("Ad - Opera");
    Open("Ad - google chrome");
    EXPECT_EQ(Lines{"Ad - Google Chrome"}, kills_);
    EXPECT_TRUE(engine_.IsBrowserTitle("x - Mozilla Firefox"));
}

TEST_F(Engine, StoppingEndsTheTitleWatch) {
    WindowId popup = Open("Loading...");
    engine_.StopWatchingTitles();
    EXPECT_FALSE(engine_.NextWakeMs());
    windows_.windows[popup].title = "Ad - Opera";
    engine_.OnTitleChanged(popup);
    EXPECT_TRUE(kills_.empty());
}

TEST_F(Engine, PollingReadsOnlyWatchedTitlesAndStopsWhenTheLastWatchEnds) {
    for (int i = 0; i < 3; ++i)
        Open("Big " + std::to_string(i) + " - Opera", 1200, 800);
    int before = windows_.titleReads;
    RunFor(1000);
    EXPECT_EQ(3 * 10, windows_.titleReads - before) << "three titles, ten polls a second";
    RunFor(9000);
    EXPECT_FALSE(engine_.NextWakeMs());
    before = windows_.titleReads;
    RunFor(60000);
    EXPECT_EQ(before, windows_.titleReads);
}

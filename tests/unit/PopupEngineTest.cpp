// The kill decision under a fake clock, with fake windows: delays that
// overlap, windows that go during their delay, titles that come late, the
// session count, blocking stopped and started, and what a close request's
// answer means for the record.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/PopupEngine.h"
#include "tests/unit/CodePages.h"

using namespace engine;

namespace {

// The clock, the windows and the banned titles as the engine sees them,
// and what it asked of them.
class FakeWorld : public Clock, public WindowSystem, public TitleIndex {
public:
    struct Window {
        std::string title;
        int32_t width, height;
        bool tool = false;
        bool visible = true;
        bool closes = true; // goes when asked, answering at once; else as the test says
    };

    uint64_t NowMs() override { return now; }
    void Sleep(uint32_t ms) override {
        slept.push_back(ms);
        now += ms;
    }
    bool IsAlive(WindowId w) override { return all.count(w) != 0; }
    std::string ReadTitle(WindowId w) override {
        ++titleReads;
        return IsAlive(w) ? all[w].title : std::string();
    }
    WindowRect ReadRect(WindowId w) override {
        return IsAlive(w) ? WindowRect{40, 40, 40 + all[w].width, 40 + all[w].height}
                          : WindowRect{};
    }
    bool IsToolWindow(WindowId w) override { return IsAlive(w) && all[w].tool; }
    bool AskClose(WindowId w) override {
        if (!IsAlive(w))
            return false;
        asked.push_back(w);
        if (all[w].closes) {
            all.erase(w);
            answer(w, true);
        }
        return true;
    }
    std::vector<WindowId> VisibleTopLevelWindows() override {
        std::vector<WindowId> shown;
        for (const auto& window : all)
            if (window.second.visible)
                shown.push_back(window.first);
        return shown;
    }
    bool Contains(const std::string& title) const override { return banned.count(title) != 0; }

    uint64_t now = 1000;
    std::vector<uint32_t> slept;
    std::map<WindowId, Window> all;
    WindowId nextId = 0x100;
    int titleReads = 0;
    std::vector<WindowId> asked;
    std::function<void(WindowId, bool)> answer;
    std::set<std::string> banned;
};

class Engine : public testing::Test {
protected:
    Engine()
        : popups(
              settings, world, world, world,
              [this](const std::string& title) { kills.push_back(title); }, testcp::Cp1252) {
        world.answer = [this](WindowId w, bool reached) { popups.OnCloseAnswered(w, reached); };
    }
    // What the host does: run the engine's timer whenever it asks, until ms have passed.
    void RunFor(uint64_t ms) {
        uint64_t end = world.now + ms;
        while (auto wake = popups.NextWakeMs()) {
            if (*wake > end)
                break;
            world.now = std::max(*wake, world.now);
            popups.OnTimer();
        }
        world.now = end;
    }
    WindowId Make(const std::string& title, int32_t width = 300, int32_t height = 200) {
        WindowId w = world.nextId++;
        world.all[w] = FakeWorld::Window{title, width, height};
        return w;
    }
    WindowId Open(const std::string& title, int32_t width = 300, int32_t height = 200) {
        WindowId w = Make(title, width, height);
        popups.OnCreated(w);
        return w;
    }
    // A new title, reported as the hook library does, or left for the poll.
    void Retitle(WindowId w, const std::string& title, bool reported = true) {
        world.all[w].title = title;
        if (reported)
            popups.OnTitleChanged(w);
    }
    settings::Settings settings;
    FakeWorld world;
    std::vector<std::string> kills;
    PopupEngine popups;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(Engine, NoTitleIsWatchedOfAToolWindowWhileStoppedOrWithoutALateTitleTime) {
    WindowId tip = Make("");
    world.all[tip].tool = true;
    popups.OnCreated(tip);
    EXPECT_EQ(0u, popups.WaitingCount()) << "a tool window";
    WindowId stopped = Open("Loading...");
    popups.Stop();
    EXPECT_EQ(0u, popups.WaitingCount()) << "stopped";
    popups.Start();
    settings.LateTitleSeconds = 0;
    WindowId old = Open("Loading...");
    EXPECT_EQ(0u, popups.WaitingCount()) << "no late-title time";
    EXPECT_FALSE(popups.NextWakeMs()) << "an idle engine needs no timer";
    Retitle(tip, "Tip - Opera");
    Retitle(stopped, "Stopped - Opera");
    Retitle(old, "Old - Opera");
    RunFor(1000);
    EXPECT_TRUE(kills.empty());
}

TEST_F(Engine, OverlappingDelaysEachEndOnTheirOwnClockInTheOrderTheyEnd) {
    settings.Delay = 500;
    WindowId first = Open("First - Opera");
    world.now += 200;
    Open("Second - Opera");
    settings.Delay = 100; // changed on the Options page meanwhile
    world.now += 50;
    Open("Third - Opera");
    EXPECT_TRUE(kills.empty()) << "nobody waits: the reports came and went";
    EXPECT_EQ(1350u, popups.NextWakeMs().value_or(0)) << "the third one's delay ends first";
    RunFor(300);
    ASSERT_EQ((Lines{"Third - Opera", "First - Opera"}), kills);
    EXPECT_EQ(first, world.asked[1]);
    RunFor(200);
    EXPECT_EQ((Lines{"Third - Opera", "First - Opera", "Second - Opera"}), kills);
    EXPECT_TRUE(world.slept.empty());

    // Reports keep the queue busy and no timer message comes: a window that
    // is due is judged before the next report.
    kills.clear();
    settings.Delay = 500;
    Open("Fourth - Opera");
    world.now += 600;
    settings.Delay = 0;
    Open("Fifth - Opera");
    EXPECT_EQ((Lines{"Fourth - Opera", "Fifth - Opera"}), kills);
}

TEST_F(Engine, WindowsGoneWithoutAReportDoNotPileUpDuringALongDelay) {
    settings.Delay = 4294967295u;
    for (int i = 0; i < 1000; ++i)
        world.all.erase(Open("Gone " + std::to_string(i)));
    Open("Stays - Opera");
    EXPECT_LT(popups.WaitingCount(), 200u);
    RunFor(4294967295ull);
    EXPECT_EQ(Lines{"Stays - Opera"}, kills) << "judged when its delay of 49 days ended";
    EXPECT_FALSE(popups.NextWakeMs());
}

TEST_F(Engine, AWindowGoneDuringItsDelayOrGoneUnreportedLaterHoldsNoSessionPlace) {
    settings.Delay = 500;
    settings.BySess = 1;
    settings.BySize = 0;
    WindowId reported = Open("One - Opera");
    WindowId silent = Open("Two - Opera");
    WindowId stays = Open("Three - Opera");
    popups.OnDestroyed(reported);
    world.all.erase(silent); // gone without a report
    RunFor(500);
    EXPECT_EQ(1u, popups.WaitingCount()) << "only the window still there is watched";
    EXPECT_EQ(1, popups.OpenBrowserCount());
    EXPECT_TRUE(kills.empty()) << "neither gone window took a place";
    EXPECT_TRUE(world.IsAlive(stays));

    world.all.erase(stays); // counted in, and its destruction report is lost
    Open("Four - Opera");
    RunFor(500);
    EXPECT_TRUE(kills.empty()) << "the next browser window is the only one open";
    EXPECT_EQ(1, popups.OpenBrowserCount());
}

TEST_F(Engine, ALateBrowserOrBannedTitleIsJudgedOnlyWithinTheLateTitleTime) {
    settings.LateTitleSeconds = 2;
    world.banned = {"Banned - Opera"};
    WindowId polled = Open("Loading...");
    WindowId big = Open("about:blank - Opera", 1200, 800);
    WindowId unchanged = Open("Page - Opera", 1200, 800);
    WindowId late = Open("Loading...");
    WindowId lateBig = Open("Later - Opera", 1200, 800);
    EXPECT_TRUE(kills.empty()) << "no browser title, or too big and not banned";
    int reads = world.titleReads;
    RunFor(1000);
    EXPECT_EQ(5 * 10, world.titleReads - reads) << "five titles, ten polls a second";

    Retitle(polled, "Ad - Opera", false);
    RunFor(kTitlePollMs);
    EXPECT_EQ(Lines{"Ad - Opera"}, kills);
    Retitle(big, "Banned - Opera");
    EXPECT_EQ((Lines{"Ad - Opera", "Banned - Opera"}), kills) << "a reported change needs no poll";
    world.banned.insert("Page - Opera");
    popups.OnTitleChanged(unchanged);
    RunFor(kTitlePollMs);
    EXPECT_EQ(2u, kills.size()) << "an unchanged title is not judged again for a new list";

    RunFor(1000);
    EXPECT_FALSE(popups.NextWakeMs()) << "the watch has ended, and so has the polling";
    reads = world.titleReads;
    Retitle(late, "Late ad - Opera");
    Retitle(lateBig, "Banned - Opera");
    RunFor(1000);
    EXPECT_EQ(2u, kills.size()) << "changed after the late-title time";
    EXPECT_EQ(reads, world.titleReads) << "no window left to poll";
}

TEST_F(Engine, ALateBrowserTitleIsCountedOnceAndOnlyThenFacesTheSessionRule) {
    settings.BySess = 1;
    settings.BySize = 0;
    WindowId first = Open("One - Opera");
    WindowId late = Open("Loading...");
    EXPECT_EQ(1, popups.OpenBrowserCount()) << "no browser title: not counted";
    Retitle(late, "Two - Opera", false);
    RunFor(kTitlePollMs);
    EXPECT_EQ(Lines{"Two - Opera"}, kills) << "counted second, closed by the session rule";
    EXPECT_EQ(2, popups.OpenBrowserCount()) << "counted out by its own destruction";
    popups.OnDestroyed(late);
    // The first one's title changes while another is open: it was let
    // through when counted and is not counted, or judged by sessions, again.
    WindowId third = Open("Three - Opera", 1200, 800);
    Retitle(first, "One again - Opera");
    EXPECT_EQ((Lines{"Two - Opera", "Three - Opera"}), kills);
    EXPECT_TRUE(world.IsAlive(first));
    EXPECT_EQ(2, popups.OpenBrowserCount());
    popups.OnDestroyed(third);
    popups.OnDestroyed(first);
    EXPECT_EQ(0, popups.OpenBrowserCount());
}

TEST_F(Engine, AKillIsRecordedOnceTheWindowIsGoneAfterItsThreadTookTheRequest) {
    // These windows answer as the test says, not at once.
    auto open = [&](const char* title) {
        WindowId w = Make(title);
        world.all[w].closes = false;
        popups.OnCreated(w);
        return w;
    };
    auto gone = [&](WindowId w, bool reported = true) {
        world.all.erase(w);
        if (reported)
            popups.OnDestroyed(w);
    };
    WindowId refuses = open("Refuses - Opera");
    WindowId slow = open("Slow - Opera");
    WindowId later = open("Later - Opera"); // goes after its answer, as browsers do
    WindowId unreported = open("Unreported - Opera");
    WindowId hung = open("Hung - Opera");
    WindowId early = open("Early - Opera"); // destroyed by its maker before taking the request
    popups.OnCloseAnswered(refuses, true);
    gone(early);
    popups.OnCloseAnswered(early, false);
    popups.OnCloseAnswered(later, true);
    popups.OnCloseAnswered(unreported, true);
    Retitle(refuses, "Refuses again - Opera");
    RunFor(1000);
    gone(later);
    gone(unreported, false);
    EXPECT_EQ(Lines{"Later - Opera"}, kills);
    RunFor(2000);
    gone(slow);
    EXPECT_EQ(Lines{"Later - Opera"}, kills) << "only the answer tells whether it took the request";
    popups.OnCloseAnswered(slow, true);
    RunFor(kCloseOutcomeMs);
    EXPECT_EQ((Lines{"Later - Opera", "Slow - Opera", "Unreported - Opera"}), kills);
    EXPECT_EQ(6u, world.asked.size()) << "each asked once, whatever its title did";
    EXPECT_FALSE(popups.NextWakeMs()) << "no timer for the hung one, which never answered";
    gone(refuses);
    EXPECT_EQ(3u, kills.size()) << "it refused: gone later, it is no kill";
    EXPECT_TRUE(world.IsAlive(hung));
}

TEST_F(Engine, StartCountsTheBrowserWindowsOpenAndStopDropsThoseWaiting) {
    settings.BySess = 1;
    settings.BySize = 0;
    WindowId before = Make("PreStop - Opera", 1100, 800);
    Make("Notes - Notepad");
    world.all[Make("Hidden - Opera")].visible = false;
    popups.Start();
    EXPECT_EQ(1, popups.OpenBrowserCount());
    Open("AfterStart - Opera", 1100, 800);
    EXPECT_EQ(Lines{"AfterStart - Opera"}, kills) << "two browser windows of one allowed";

    settings.Delay = 500;
    Open("Delayed - Opera");
    RunFor(100);
    popups.Stop();
    Open("Reported after the stop - Opera");
    RunFor(1000);
    EXPECT_EQ(1u, kills.size()) << "neither judged";
    EXPECT_EQ(0u, popups.WaitingCount());
    EXPECT_FALSE(popups.NextWakeMs());

    world.all.erase(before); // gone while stopped: no report came
    popups.Start();
    EXPECT_EQ(2, popups.OpenBrowserCount()) << "the two left open, counted afresh";
}

TEST_F(Engine, DelayInTurnWaitsOnTheThreadBoundedAndJudgesAtOnce) {
    settings.DelayInTurn = 1;
    settings.Delay = 300;
    settings.LateTitleSeconds = 0;
    Open("One - Opera");
    Open("Two - Opera");
    EXPECT_EQ((std::vector<uint32_t>{300, 300}), world.slept);
    EXPECT_EQ((Lines{"One - Opera", "Two - Opera"}), kills);
    settings.Delay = 4294967295u;
    Open("Three - Opera");
    EXPECT_EQ(settings::kMaxDelayInTurnMs, world.slept.back()) << "INFINITE would freeze for good";
    popups.OnCreated(Make("Other code - Opera"), false);
    EXPECT_EQ(3u, world.slept.size()) << "only a creation report waits";
    EXPECT_EQ(4u, kills.size());
    EXPECT_FALSE(popups.NextWakeMs());
    popups.Stop();
    Open("After the stop - Opera");
    EXPECT_EQ(5u, kills.size()) << "the stop waited behind the reports before it, as at first";
}

TEST_F(Engine, ConfiguredBrowserNamesDecideWhatIsABrowserWindow) {
    settings.BrowserNames = settings::NameList({"Google Chrome", "Mozilla Firefox"});
    Open("Ad - Google Chrome");
    Open("Ad - Opera");
    Open("Ad - google chrome");
    EXPECT_EQ(Lines{"Ad - Google Chrome"}, kills);
}

// A never-close word keeps a window from every rule, and from the record,
// but it is a browser window all the same; late titles are judged by it too.
TEST_F(Engine, ANeverCloseTitleIsClosedByNoRuleYetCountsAsABrowserWindow) {
    settings.NeverClose.Add("Sign in");
    settings.BySess = 1;
    settings.Sessions = 0;
    world.banned = {"Sign in - Opera"};
    WindowId signIn = Open("Sign in - Opera");
    EXPECT_TRUE(world.asked.empty()) << "neither the session, the size nor the name rule";
    EXPECT_EQ(1, popups.OpenBrowserCount());
    WindowId late = Open("Loading...");
    Retitle(late, "Sign in to pay - Opera");
    EXPECT_TRUE(world.asked.empty());
    EXPECT_TRUE(kills.empty());
    settings.NeverClose.RemoveAt(0); // edited on the page: acts on the next window
    Open("Sign in - Opera 2");
    EXPECT_EQ(1u, world.asked.size());
    EXPECT_NE(signIn, world.asked.front());
}

// A destruction report can be lost (the hook library waits only so long),
// and the system gives a freed handle to the next window: a handle reported
// created again is a new window, whatever the old one had come to.
TEST_F(Engine, AHandleReportedCreatedAgainIsANewWindowCountedJudgedWatchedAndAskedAnew) {
    settings.BySess = 1;
    settings.BySize = 0;
    world.banned = {"Banned - Opera"};
    auto reuse = [&](WindowId w, const std::string& title, bool closes = true) {
        world.all[w] = FakeWorld::Window{title, 1200, 800, false, true, closes};
        popups.OnCreated(w);
    };
    // Counted and let through, then gone unreported.
    WindowId counted = Open("Old - Opera", 1200, 800);
    world.all.erase(counted);
    Open("Other - Opera", 1200, 800);
    reuse(counted, "New - Opera");
    EXPECT_EQ(Lines{"New - Opera"}, kills) << "counted anew: two browser windows of one";

    // Judged and watched for a late title: the new one waits its own delay.
    WindowId watched = Open("Loading...");
    settings.Delay = 500;
    reuse(watched, "Banned - Opera");
    RunFor(400);
    EXPECT_TRUE(world.IsAlive(watched)) << "not judged by the old window's watch";
    RunFor(100);
    EXPECT_EQ((Lines{"New - Opera", "Banned - Opera"}), kills);

    // Asked, answered and still there; the new one's own answer decides.
    settings.Delay = 0;
    WindowId asked = Make("Banned - Opera", 1200, 800);
    world.all[asked].closes = false;
    popups.OnCreated(asked);
    popups.OnCloseAnswered(asked, true);
    RunFor(1000);
    world.all.erase(asked);
    reuse(asked, "Banned - Opera", false);
    popups.OnCloseAnswered(asked, true);
    RunFor(kCloseOutcomeMs - 500); // past the old one's time to go
    EXPECT_EQ(2u, kills.size());
    world.all.erase(asked);
    popups.OnDestroyed(asked);
    EXPECT_EQ((Lines{"New - Opera", "Banned - Opera", "Banned - Opera"}), kills)
        << "gone within its own time after its answer";
    EXPECT_EQ(2, std::count(world.asked.begin(), world.asked.end(), asked));
}

#include <gtest/gtest.h>

#include "engine/KillRules.h"
#include "engine/OpenBrowserWindows.h"

using namespace engine;

namespace {
Candidate Window(int32_t width, int32_t height, int32_t openBrowserCount = 1,
                 bool newlyCounted = true) {
    Candidate c;
    c.newlyCounted = newlyCounted;
    c.openBrowserCount = openBrowserCount;
    c.width = width;
    c.height = height;
    return c;
}

// The name rule's answer, counting how often it was asked.
struct Banned {
    bool answer;
    int* asked;
    bool operator()() const { return ++*asked, answer; }
};
} // namespace

TEST(KillRules, TheSizeRuleClosesOnlyWhatIsSmallerBothWays) {
    Settings rules;
    int asked = 0;
    EXPECT_EQ(KillReason::Size, DecideKill(rules, Window(999, 699), Banned{false, &asked}));
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(1000, 699), Banned{false, &asked}));
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(999, 700), Banned{false, &asked}));
    rules.Width = -5;
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(0, 0), Banned{false, &asked}))
        << "signed limits";
}

TEST(KillRules, TheNameRuleClosesWhatTheSizeRuleLetsByAndIsAskedLast) {
    Settings rules;
    rules.BySess = 1;
    int asked = 0;
    EXPECT_EQ(KillReason::Name, DecideKill(rules, Window(1000, 700), Banned{true, &asked}));
    EXPECT_EQ(1, asked);
    EXPECT_EQ(KillReason::Session, DecideKill(rules, Window(10, 10, 2), Banned{true, &asked}));
    EXPECT_EQ(KillReason::Size, DecideKill(rules, Window(10, 10), Banned{true, &asked}));
    EXPECT_EQ(1, asked) << "an earlier rule decides without the list";
    rules.ByName = 0;
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(2000, 2000), Banned{true, &asked}));
    EXPECT_EQ(1, asked) << "a rule that is off asks nothing";
}

TEST(KillRules, TheSessionRuleComparesSignedAndOnlyWhenTheWindowIsNewlyCounted) {
    Settings rules;
    rules.BySess = 1;
    rules.BySize = 0;
    int asked = 0;
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(5, 5, 1), Banned{false, &asked}));
    EXPECT_EQ(KillReason::Session, DecideKill(rules, Window(5, 5, 2), Banned{false, &asked}));
    EXPECT_EQ(KillReason::None, DecideKill(rules, Window(5, 5, 2, false), Banned{false, &asked}))
        << "a window let through stays let through";
    rules.Sessions = -1;
    EXPECT_EQ(KillReason::Session, DecideKill(rules, Window(5, 5, 0), Banned{false, &asked}))
        << "0 > -1: signed";
}

TEST(KillRules, DelayWaitedInTurnIsBounded) {
    EXPECT_EQ(250u, DelayInTurnMs(250));
    EXPECT_EQ(kMaxDelayInTurnMs, DelayInTurnMs(4294967295u)) << "INFINITE would freeze for good";
}

TEST(OpenBrowserWindows, NeverBelowZeroAndEachWindowCountsOnce) {
    OpenBrowserWindows open;
    open.Destroyed(7); // open before the program started
    EXPECT_EQ(0, open.Count());
    for (OpenBrowserWindows::WindowId id : {1, 1, 2, 3})
        open.Created(id);
    open.Destroyed(1);
    open.Destroyed(1);
    EXPECT_EQ(2, open.Count());
    open.ForgetGone([](OpenBrowserWindows::WindowId id) { return id != 2; });
    EXPECT_EQ(1, open.Count()) << "a window whose destruction report was lost is forgotten";
    open.Clear();
    EXPECT_EQ(0, open.Count());
}

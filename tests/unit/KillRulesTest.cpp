#include <gtest/gtest.h>

#include "engine/KillRules.h"
#include "engine/OpenBrowserWindows.h"

using namespace engine;

namespace {
std::function<bool()> Banned(bool banned, int* asked = nullptr) {
    return [banned, asked] {
        if (asked)
            ++*asked;
        return banned;
    };
}
} // namespace

TEST(KillRules, SizeRuleIsStrictlySmallerInBothDirections) {
    RuleSettings defaults;
    EXPECT_EQ(KillReason::Size, DecideKill(defaults, 1, 999, 699, Banned(false)));
    EXPECT_EQ(KillReason::None, DecideKill(defaults, 1, 1000, 699, Banned(false)));
    EXPECT_EQ(KillReason::None, DecideKill(defaults, 1, 999, 700, Banned(false)));
    EXPECT_EQ(KillReason::Name, DecideKill(defaults, 1, 1000, 700, Banned(true)));
    RuleSettings negative;
    negative.Width = -5;
    EXPECT_EQ(KillReason::None, DecideKill(negative, 1, 0, 0, Banned(false))) << "signed limits";
}

TEST(KillRules, RulesAreTriedSessionSizeNameAndTheListIsAskedLast) {
    RuleSettings rules;
    rules.BySess = 1;
    rules.Sessions = 1;
    int asked = 0;
    EXPECT_EQ(KillReason::Session, DecideKill(rules, 2, 10, 10, Banned(true, &asked)));
    EXPECT_EQ(KillReason::Size, DecideKill(rules, 1, 10, 10, Banned(true, &asked)));
    EXPECT_EQ(0, asked) << "an earlier rule decides without the list";
    EXPECT_EQ(KillReason::Name, DecideKill(rules, 1, 2000, 2000, Banned(true, &asked)));
    EXPECT_EQ(1, asked);
    rules.ByName = 0;
    EXPECT_EQ(KillReason::None, DecideKill(rules, 1, 2000, 2000, Banned(true, &asked)));
    EXPECT_EQ(1, asked);
    rules.Sessions = -1;
    rules.BySize = 0;
    EXPECT_EQ(KillReason::Session, DecideKill(rules, 0, 5, 5, Banned(false))) << "0 > -1";
}

TEST(KillRules, DelayIsBoundedButSmallDelaysStay) {
    EXPECT_EQ(0u, EffectiveDelay(0));
    EXPECT_EQ(250u, EffectiveDelay(250));
    EXPECT_EQ(kMaxDelayMs, EffectiveDelay(4294967295u)) << "INFINITE would freeze for good";
    EXPECT_EQ(kMaxDelayMs, EffectiveDelay(kMaxDelayMs + 1));
}

TEST(OpenBrowserWindows, NeverBelowZeroAndEachWindowCountsOnce) {
    OpenBrowserWindows open;
    open.Destroyed(7); // open before the program started
    EXPECT_EQ(0, open.Count());
    open.Created(1);
    open.Created(1);
    open.Created(2);
    EXPECT_EQ(2, open.Count());
    open.Destroyed(1);
    open.Destroyed(1);
    EXPECT_EQ(1, open.Count());
    open.Created(3);
    open.ForgetGone([](OpenBrowserWindows::WindowId id) { return id != 2; });
    EXPECT_EQ(1, open.Count()) << "a window whose destruction report was lost is forgotten";
    open.Clear();
    EXPECT_EQ(0, open.Count());
}

#include <gtest/gtest.h>

#include "engine/KillRules.h"
#include "engine/OpenBrowserWindows.h"

using namespace engine;

TEST(KillRules, RulesAreTriedSessionSizeNameWithStrictSizesTheListAskedLastAndTheDelayBounded) {
    int asked = 0;
    auto banned = [&asked](bool answer) { return [&asked, answer] { return ++asked, answer; }; };
    RuleSettings rules;
    EXPECT_EQ(KillReason::Size, DecideKill(rules, 1, 999, 699, banned(false)));
    EXPECT_EQ(KillReason::None, DecideKill(rules, 1, 1000, 699, banned(false)));
    EXPECT_EQ(KillReason::None, DecideKill(rules, 1, 999, 700, banned(false)));
    EXPECT_EQ(KillReason::Name, DecideKill(rules, 1, 1000, 700, banned(true)));
    rules.BySess = 1;
    asked = 0;
    EXPECT_EQ(KillReason::Session, DecideKill(rules, 2, 10, 10, banned(true)));
    EXPECT_EQ(KillReason::Size, DecideKill(rules, 1, 10, 10, banned(true)));
    EXPECT_EQ(0, asked) << "an earlier rule decides without the list";
    rules.ByName = 0;
    EXPECT_EQ(KillReason::None, DecideKill(rules, 1, 2000, 2000, banned(true)));
    EXPECT_EQ(0, asked);
    rules.Sessions = -1;
    rules.BySize = 0;
    EXPECT_EQ(KillReason::Session, DecideKill(rules, 0, 5, 5, banned(false))) << "0 > -1: signed";
    RuleSettings negative;
    negative.Width = -5;
    EXPECT_EQ(KillReason::None, DecideKill(negative, 1, 0, 0, banned(false))) << "signed limits";
    EXPECT_EQ(250u, EffectiveDelay(250));
    EXPECT_EQ(kMaxDelayMs, EffectiveDelay(4294967295u)) << "INFINITE would freeze for good";
    EXPECT_EQ(kMaxDelayMs, EffectiveDelay(kMaxDelayMs + 1));
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

// The count of closed windows behind the Statistics page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/KillCount.h"

TEST(KillCount, EachRecordCountsInBothCountsListsItsTitleAndTellsTheListener) {
    stats::KillCount kills(5);
    EXPECT_EQ("Killed 5 popups in total, 0 in this session", kills.CounterLine());
    std::vector<std::string> told;
    kills.SetListener([&](const std::string& title) { told.push_back(title); });
    kills.Record("A");
    kills.Record("B");
    kills.Record("A");
    EXPECT_EQ("Killed 8 popups in total, 3 in this session", kills.CounterLine());
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A"}), kills.Titles());
    EXPECT_EQ(kills.Titles(), told);
}

TEST(KillCount, TheCountIsUnsignedAndStopsAtItsTop) {
    stats::KillCount kills(4294967294u);
    EXPECT_EQ("Killed 4294967294 popups in total, 0 in this session", kills.CounterLine());
    kills.Record("one");
    kills.Record("two");
    EXPECT_EQ(4294967295u, kills.TotalKills()) << "no wrap to 0";
    EXPECT_EQ("Killed 4294967295 popups in total, 2 in this session", kills.CounterLine());
    EXPECT_EQ(2u, kills.Titles().size()) << "every closed window is still listed";
}

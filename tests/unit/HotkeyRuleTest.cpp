#include <gtest/gtest.h>

#include "engine/HotkeyRule.h"

using namespace engine;

TEST(HotkeyRule, TheHeldMessageNamesTheCombinationAsTheOptionsPageSetsIt) {
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 1, 0, "X").find("Ctrl+X is held by another"));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(1, 1, 1, "5").find(" Ctrl+Alt+Shift+5 "));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 0, 1, " ").find(" Shift+Space "));
}

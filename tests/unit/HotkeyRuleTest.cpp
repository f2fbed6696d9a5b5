#include <gtest/gtest.h>

#include "engine/HotkeyRule.h"
#include "settings/RunAtLogon.h"

using namespace engine;

TEST(HotkeyRule, ModifiersTheSignedFirstByteAndTheQuotedRunValue) {
    EXPECT_EQ(2u, BanHotkeyModifiers(0, 1, 0));
    EXPECT_EQ(7u, BanHotkeyModifiers(1, 1, 1));
    EXPECT_EQ(5u, BanHotkeyModifiers(1, 0, 1));
    EXPECT_EQ(0u, BanHotkeyModifiers(0, 0, 0));
    EXPECT_EQ('X', BanHotkeyKeyCode("X"));
    EXPECT_EQ('5', BanHotkeyKeyCode("5"));
    EXPECT_EQ(0, BanHotkeyKeyCode("")) << "no key produces code 0";
    EXPECT_EQ(-23, BanHotkeyKeyCode("\xE9")) << "a byte above 0x7F is negative";
    EXPECT_EQ('A', BanHotkeyKeyCode("AB")) << "only the first byte counts";
    EXPECT_EQ("\"C:\\Program Files\\Velmora\\Velmora.exe\"",
              RunValueCommand("C:\\Program Files\\Velmora\\Velmora.exe"))
        << "the Run value: the path quoted for its blanks";
}

TEST(HotkeyRule, TheHeldMessageNamesTheCombinationAsTheOptionsPageSetsIt) {
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 1, 0, "X").find("Ctrl+X is held by another"));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(1, 1, 1, "5").find(" Ctrl+Alt+Shift+5 "));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 0, 1, " ").find(" Shift+Space "));
}

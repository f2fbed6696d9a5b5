#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/HotkeyRule.h"

using namespace engine;

TEST(HotkeyRule, TheHeldMessageNamesTheCombinationAsTheOptionsPageSetsIt) {
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 1, 0, "X").find("Ctrl+X is held by another"));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(1, 1, 1, "5").find(" Ctrl+Alt+Shift+5 "));
    EXPECT_NE(std::string::npos, HotkeyHeldMessage(0, 0, 1, " ").find(" Shift+Space "));
}

TEST(HotkeyRule, ALetterOrDigitIsItsOwnKeyAnyOtherCharacterTheKeyThatTypesIt) {
    // A US layout's answers, and AltGr's "@" of a German one.
    std::vector<std::string> asked;
    auto scan = [&](const std::string& c) {
        asked.push_back(c);
        return c == "." ? 0xBE : c == "!" ? 0x131 : c == " " ? 0x20 : c == "@" ? 0x651 : -1;
    };
    const struct {
        const char* key;
        unsigned keyCode;
        bool shift;
        const char* problem; // a part of the message, "" for none
    } cases[] = {
        {"x", 'X', false, ""},
        {"Q", 'Q', false, ""},
        {"7", '7', false, ""},
        {"", 0, false, ""},
        {".", 0xBE, false, ""}, // not 0x2E, Delete
        {"!", '1', true, ""},
        {" ", 0x20, false, ""},
        {"@", 0, false, "\"@\": this keyboard layout types it only with Ctrl, Alt or AltGr held."},
        {"\x80", 0, false, "\"\x80\": no key of this keyboard layout types it."},
        {"\x83\x41", 0, false, "no key of this keyboard layout types it"},
    };
    for (const auto& c : cases) {
        BanHotkeyKey mapped = MapBanHotkeyKey(c.key, scan);
        EXPECT_EQ(c.keyCode, mapped.keyCode) << c.key;
        EXPECT_EQ(c.shift, mapped.shift) << c.key;
        EXPECT_EQ(*c.problem == 0, mapped.problem.empty()) << c.key;
        EXPECT_NE(std::string::npos, mapped.problem.find(c.problem)) << mapped.problem;
    }
    EXPECT_EQ((std::vector<std::string>{".", "!", " ", "@", "\x80", "\x83\x41"}), asked)
        << "letters and digits are never asked of the layout";
}

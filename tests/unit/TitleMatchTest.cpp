#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/TitleMatch.h"
#include "settings/Settings.h"
#include "tests/unit/CodePages.h"

using engine::ContainsAtCharBoundary;

namespace {
// With the browser names of a first run, searched all at once.
bool IsBrowserTitle(const std::string& title, fw::LeadByteTest isLeadByte) {
    return engine::TitleWords(settings::Settings().BrowserNames.Names()).FoundIn(title, isLeadByte);
}
} // namespace

TEST(TitleMatch, BrowserNamesAreFoundByteForByte) {
    for (const char* title :
         {"Welcome - Opera", "KAOLIN", "Ad - Microsoft Internet Explorer", "Netscape"})
        EXPECT_TRUE(IsBrowserTitle(title, testcp::Cp1252)) << title;
    for (const char* title : {"welcome - opera", "Microsoft Internet Explore", "",
                              "Wine Internet Explorer", "Untitled - Notepad"})
        EXPECT_FALSE(IsBrowserTitle(title, testcp::Cp1252)) << title;
}

TEST(TitleMatch, AMatchStartsOnlyOnACharacterBoundaryAndNeverRunsPastTheEnd) {
    // In code page 932, 0x83 0x41 is one character (katakana); its trail
    // byte 'A' must not start a match of "AOL".
    const std::string trailA = "\x83\x41OL";
    EXPECT_FALSE(IsBrowserTitle(trailA, testcp::Cp932));
    EXPECT_TRUE(IsBrowserTitle(trailA, testcp::Cp1252)) << "in 1252 every byte is a character";
    // After a complete double-byte character the name is found.
    EXPECT_TRUE(IsBrowserTitle("\x83\x41\x41OL", testcp::Cp932));
    // Code page 936: lead bytes run up to 0xFE.
    EXPECT_FALSE(IsBrowserTitle("\xB0Opera", testcp::Cp936)) << "'O' is the trail of 0xB0";
    EXPECT_TRUE(IsBrowserTitle("\xB0\xA1Opera", testcp::Cp936));
    EXPECT_TRUE(IsBrowserTitle("\xB0Opera", testcp::Cp1252));

    EXPECT_FALSE(ContainsAtCharBoundary("abc", "", testcp::Cp1252));
    EXPECT_FALSE(ContainsAtCharBoundary("ab", "abc", testcp::Cp1252));
    EXPECT_TRUE(ContainsAtCharBoundary("abc", "abc", testcp::Cp1252));
    EXPECT_TRUE(ContainsAtCharBoundary("xxabc", "abc", testcp::Cp932));
    // A lone lead byte at the very end is not followed past the string.
    EXPECT_FALSE(ContainsAtCharBoundary("ab\x83", "\x83\x41", testcp::Cp932));
    // Embedded NULs are ordinary bytes.
    EXPECT_TRUE(ContainsAtCharBoundary(std::string("a\0Opera", 7), "Opera", testcp::Cp1252));
}

// All words at once find what one word at a time finds: words that overlap,
// that end inside each other, that share a start, with lead bytes about.
TEST(TitleMatch, TheWordsAtOnceFindWhatEachWordAloneFinds) {
    const std::string alphabet = "abAB \x83\x41";
    std::mt19937 random(7);
    auto text = [&](size_t most) {
        std::string result;
        for (size_t n = random() % (most + 1); n > 0; --n)
            result += alphabet[random() % alphabet.size()];
        return result;
    };
    for (fw::LeadByteTest codePage : {testcp::Cp1252, testcp::Cp932}) {
        for (int round = 0; round < 300; ++round) {
            std::vector<std::string> words;
            for (int n = static_cast<int>(random() % 6); n > 0; --n)
                words.push_back(text(4));
            engine::TitleWords compiled(words);
            for (int probe = 0; probe < 20; ++probe) {
                std::string title = text(12);
                bool alone = false;
                for (const std::string& word : words)
                    alone = alone || ContainsAtCharBoundary(title, word, codePage);
                ASSERT_EQ(alone, compiled.FoundIn(title, codePage)) << title;
            }
        }
    }
    EXPECT_FALSE(engine::TitleWords().FoundIn("anything", testcp::Cp1252));
}

TEST(TitleMatch, AnEntryMatchesTheWholeTitleOrTheFirst254BytesOfALongerOne) {
    std::set<std::string> list;
    auto listed = [&](const std::string& entry) { return list.count(entry) != 0; };
    auto isListed = [&](const std::string& title, fw::LeadByteTest isLeadByte) {
        return engine::IsListedTitle(title, listed, isLeadByte);
    };
    const std::string title = "Ad - Opera " + std::string(289, 'a'); // 300
    list = {title};
    EXPECT_TRUE(isListed(title, testcp::Cp1252));
    EXPECT_FALSE(isListed(title.substr(0, 299), testcp::Cp1252));
    list = {title.substr(0, 254)};
    EXPECT_TRUE(isListed(title, testcp::Cp1252)) << "as the first versions read it";
    EXPECT_TRUE(isListed(title.substr(0, 255), testcp::Cp1252));
    list = {title.substr(0, 253)};
    EXPECT_FALSE(isListed(title, testcp::Cp1252)) << "only a cut at 254 stands for a longer title";

    // A double-byte character across the 254th byte was left out whole.
    const std::string wide = std::string(253, 'a') + "\x83\x41 - Opera";
    list = {wide.substr(0, 253)};
    EXPECT_TRUE(isListed(wide, testcp::Cp932));
    EXPECT_FALSE(isListed(wide, testcp::Cp1252)) << "one byte, one character: cut at 254";
}

// The stored settings as read: what is stored, and the defaults for what is
// unfit (what is written is checked end to end).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "tests/unit/CodePages.h"

namespace {

// A registry key held in maps; each value has one kind.
class FakeKey : public settings::SettingsSource {
public:
    bool ReadDword(const char* name, uint32_t& value) const override {
        auto found = dwords.find(name);
        return found != dwords.end() && (value = found->second, true);
    }
    bool ReadString(const char* name, std::string& value) const override {
        auto found = strings.find(name);
        return found != strings.end() && (value = found->second, true);
    }
    bool ReadStringList(const char* name, std::vector<std::string>& value) const override {
        auto found = lists.find(name);
        return found != lists.end() && (value = found->second, true);
    }
    std::map<std::string, uint32_t> dwords;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::vector<std::string>> lists;
};

} // namespace

TEST(StoredSettings, StoredValuesAreReadFlagsAsZeroOrOneAndSignedOnesWithTheirBits) {
    FakeKey key;
    key.dwords = {{"BySess", 5},          {"ByName", 0},  {"Sessions", 0xFFFFFFFDu},
                  {"Delay", 4294967295u}, {"nKills", 41}, {"DelayInTurn", 7},
                  {"LateTitleSeconds", 3}};
    key.strings = {{"Key", "q"}, {"Path", "C:\\lists\\mine.lst"}};
    key.lists = {{"BrowserNames", {"Google Chrome", "", "Brave"}}};
    settings::StoredSettings stored = settings::ReadStoredSettings(key, testcp::Cp1252);
    EXPECT_EQ(1, stored.settings.BySess);
    EXPECT_EQ(0, stored.settings.ByName);
    EXPECT_EQ(-3, stored.settings.Sessions);
    EXPECT_EQ(4294967295u, stored.settings.Delay) << "no bound: each window waits on its own";
    EXPECT_EQ(41, stored.nKills);
    EXPECT_EQ(1, stored.settings.DelayInTurn);
    EXPECT_EQ(3u, stored.settings.LateTitleSeconds);
    EXPECT_EQ("q", stored.settings.Key);
    EXPECT_EQ("C:\\lists\\mine.lst", stored.Path);
    EXPECT_EQ((std::vector<std::string>{"Google Chrome", "Brave"}), stored.settings.BrowserNames);
}

TEST(StoredSettings, AValueThePageOrTheEngineWouldRefuseReadsAsItsDefault) {
    FakeKey key;
    key.strings = {{"Key", "ABCDEF"}};
    key.lists = {{"BrowserNames", {"", ""}}};
    key.dwords = {{"LateTitleSeconds", 100000}};
    settings::StoredSettings stored = settings::ReadStoredSettings(key, testcp::Cp1252);
    EXPECT_EQ("x", stored.settings.Key) << "the hotkey field holds one character";
    EXPECT_EQ(settings::Settings().BrowserNames, stored.settings.BrowserNames) << "no name at all";
    EXPECT_EQ(settings::kMaxLateTitleSeconds, stored.settings.LateTitleSeconds);

    key.strings = {{"Key", "\x83\x41"}};
    EXPECT_EQ("\x83\x41", settings::ReadStoredSettings(key, testcp::Cp932).settings.Key)
        << "one double-byte character";
    EXPECT_EQ("x", settings::ReadStoredSettings(key, testcp::Cp1252).settings.Key)
        << "two characters";
    key.strings = {{"Key", ""}};
    EXPECT_EQ("", settings::ReadStoredSettings(key, testcp::Cp1252).settings.Key)
        << "the page takes none";
    auto typed = [](const std::string& k) { return k != "\x80"; };
    key.strings = {{"Key", "\x80"}};
    EXPECT_EQ("x", settings::ReadStoredSettings(key, testcp::Cp1252, typed).settings.Key)
        << "no key of the layout types it";
    key.strings = {{"Key", "."}};
    EXPECT_EQ(".", settings::ReadStoredSettings(key, testcp::Cp1252, typed).settings.Key);
}

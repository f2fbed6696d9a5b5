// The settings value as stored: what is read, the defaults and limits for
// what is unfit or of another type, what is written, and the name lists.
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
    EXPECT_EQ(41u, stored.nKills);
    EXPECT_EQ(1, stored.settings.DelayInTurn);
    EXPECT_EQ(3u, stored.settings.LateTitleSeconds);
    EXPECT_EQ("q", stored.settings.Key);
    EXPECT_EQ("C:\\lists\\mine.lst", stored.Path);
    EXPECT_EQ((std::vector<std::string>{"Google Chrome", "Brave"}),
              stored.settings.BrowserNames.Names());
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

// A value stored with another type than its own is no value of it.
TEST(StoredSettings, AValueOfAnotherTypeReadsAsItsDefault) {
    FakeKey key;
    key.strings = {{"Delay", "500"}, {"nKills", "41"}};
    key.dwords = {{"Key", 'q'}, {"Path", 7}};
    key.lists = {{"Key", {"q"}}};
    settings::StoredSettings stored = settings::ReadStoredSettings(key, testcp::Cp1252);
    settings::StoredSettings first;
    EXPECT_EQ(first.settings.Delay, stored.settings.Delay);
    EXPECT_EQ(first.nKills, stored.nKills);
    EXPECT_EQ(first.settings.Key, stored.settings.Key);
    EXPECT_EQ(first.Path, stored.Path);
}

namespace {
class RecordingKey : public settings::SettingsSink {
public:
    void WriteDword(const char* name, uint32_t value) override {
        written.push_back(std::string(name) + "=" + std::to_string(value));
    }
    void WriteString(const char* name, const std::string& value) override {
        written.push_back(std::string(name) + "=\"" + value + "\"");
    }
    void WriteStringList(const char* name, const std::vector<std::string>& value) override {
        std::string joined;
        for (const std::string& item : value)
            joined += "[" + item + "]";
        written.push_back(std::string(name) + "=" + joined);
    }
    void Delete(const char* name) override { written.push_back(std::string("-") + name); }
    std::vector<std::string> written;
};
} // namespace

// The eighteen values in their order, whether changed or not; the values
// only the registry sets are left alone.
TEST(StoredSettings, TheEighteenValuesAreWrittenInTheirOrderAndNoOthers) {
    settings::StoredSettings stored;
    stored.settings.BySess = 1;
    stored.settings.Sessions = -3;
    stored.settings.Delay = 4294967295u;
    stored.settings.LateTitleSeconds = 5;
    stored.nKills = 4294967295u;
    stored.Path = "C:\\l.lst";
    RecordingKey key;
    settings::WriteStoredSettings(key, stored);
    EXPECT_EQ((std::vector<std::string>{
                  "LoadStart=1", "LoadMinimized=1", "SaveOnExit=1", "LoadOnStartup=1", "AddAlt=0",
                  "AddShift=0", "AddCtrl=1", "ByName=1", "BySize=1", "BySess=1", "Height=700",
                  "Width=1000", "AutoStart=1", "Delay=4294967295", "Sessions=4294967293",
                  "nKills=4294967295", "Key=\"x\"", "Path=\"C:\\l.lst\""}),
              key.written);
}

// The Browsers page's lists are stored once edited there, taken out again
// when edited back to the defaults, and read without what the page could
// not have written.
TEST(StoredSettings, TheBrowsersPagesListsAreStoredOnlyOnceEdited) {
    settings::StoredSettings stored;
    RecordingKey untouched;
    settings::WriteStoredSettings(untouched, stored);
    EXPECT_EQ(18u, untouched.written.size()) << "a list never edited follows the defaults";

    stored.settings.BrowserNames.Add("Brave");
    stored.settings.BrowserNamesEdited = true;
    stored.settings.NeverClose.Add("Sign in");
    stored.settings.NeverCloseEdited = true;
    RecordingKey edited;
    settings::WriteStoredSettings(edited, stored);
    ASSERT_EQ(20u, edited.written.size());
    EXPECT_EQ("BrowserNames=[Microsoft Internet Explorer][Netscape][Opera][AOL][Brave]",
              edited.written[18]);
    EXPECT_EQ("NeverClose=[Sign in]", edited.written[19]);

    stored.settings.BrowserNames = settings::DefaultBrowserNames();
    stored.settings.NeverClose = settings::NameList();
    RecordingKey backToDefaults;
    settings::WriteStoredSettings(backToDefaults, stored);
    EXPECT_EQ((std::vector<std::string>{"-BrowserNames", "-NeverClose"}),
              std::vector<std::string>(backToDefaults.written.begin() + 18,
                                       backToDefaults.written.end()));

    FakeKey key;
    const std::string longest(settings::kMaxNameCharacters, 'y');
    key.lists = {{"NeverClose", {"Sign in", "", longest + "x", "Sign in", "Pay", longest}}};
    key.strings = {{"BrowserNames", "Brave"}};
    stored = settings::ReadStoredSettings(key, testcp::Cp1252);
    EXPECT_EQ((std::vector<std::string>{"Sign in", "Pay", longest}),
              stored.settings.NeverClose.Names());
    EXPECT_EQ(settings::DefaultBrowserNames(), stored.settings.BrowserNames) << "another type";
    EXPECT_FALSE(stored.settings.NeverCloseEdited) << "read is not edited";
}

// The lists the Browsers page edits refuse an empty name and a repeat, and
// each change gives a new generation, by which the engine knows to compile
// its search again.
TEST(NameList, EmptyNamesAndRepeatsAreRefusedAndEachChangeIsANewGeneration) {
    settings::NameList list({"Opera", "", "Opera", "AOL"});
    EXPECT_EQ((std::vector<std::string>{"Opera", "AOL"}), list.Names());
    const uint64_t first = list.Generation();
    EXPECT_FALSE(list.Add(""));
    EXPECT_FALSE(list.Add("Opera"));
    list.RemoveAt(2);
    EXPECT_EQ(first, list.Generation()) << "nothing changed";
    EXPECT_TRUE(list.Add("opera")) << "letter case counts";
    const uint64_t added = list.Generation();
    list.RemoveAt(0);
    EXPECT_EQ((std::vector<std::string>{"AOL", "opera"}), list.Names());
    EXPECT_TRUE(first != added && added != list.Generation());
    EXPECT_NE(settings::NameList({"AOL"}).Generation(), settings::NameList({"AOL"}).Generation())
        << "every list its own";
}

// Every setting of the program in plain structures, with the values of a
// first run: the one place where the defaults are written. The settings
// store reads and writes them, the Options page edits them and the engine
// decides by them. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/CodePage.h"

namespace settings {

// The settings the Options page edits, named after their registry values,
// and those that only the registry sets.
struct Settings {
    int LoadStart = 1;
    int LoadMinimized = 1;
    int SaveOnExit = 1;
    int LoadOnStartup = 1;
    int AddAlt = 0;
    int AddShift = 0;
    int AddCtrl = 1;
    int ByName = 1;
    int BySize = 1;
    int BySess = 0;
    int32_t Height = 700;
    int32_t Width = 1000;
    int AutoStart = 1;
    uint32_t Delay = 0;
    int32_t Sessions = 1;
    std::string Key = "x";

    // Registry only. A window that no rule closed is judged again when its
    // title changes, until this long after its creation; 0: never.
    uint32_t LateTitleSeconds = 10;
    // A title naming one of these is a browser window's.
    std::vector<std::string> BrowserNames = {"Microsoft Internet Explorer", "Netscape", "Opera",
                                             "AOL"};
    // 1: each creation report waits "Delay" on the only thread before the
    // next is looked at, as the program first did.
    int DelayInTurn = 0;
};

// Everything in the registry key: the settings, the kill count of the
// Statistics page and the list file of the Banned List page.
struct StoredSettings {
    Settings settings;
    int32_t nKills = 0;
    std::string Path = "default.lst";
};

// The hotkey field holds one character; "Key" is read as the page reads it.
constexpr size_t kKeyMaxCharacters = 1;
// Each waiting window is polled for its title until then: a bound keeps the
// polling short however large the stored value.
constexpr uint32_t kMaxLateTitleSeconds = 60;

// Where stored values come from: the registry, or a map in the tests.
// Each read fails for a missing value and for one of another type.
class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    virtual bool ReadDword(const char* name, uint32_t& value) const = 0;
    virtual bool ReadString(const char* name, std::string& value) const = 0;
    virtual bool ReadStringList(const char* name, std::vector<std::string>& value) const = 0;
};

class SettingsSink {
public:
    virtual ~SettingsSink() = default;
    virtual void WriteDword(const char* name, uint32_t value) = 0;
    virtual void WriteString(const char* name, const std::string& value) = 0;
};

// Every value in its fixed order. A value that is missing, of another type,
// or that the Options page would refuse reads as its default; a flag reads
// as 0 or 1. isUsableKey tells a "Key" the keyboard layout can type.
StoredSettings
ReadStoredSettings(const SettingsSource& source, fw::LeadByteTest isLeadByte,
                   const std::function<bool(const std::string&)>& isUsableKey = nullptr);
// The eighteen values the program keeps, each whether it changed or not.
// The registry-only ones are never written: a value set while the program
// runs stays, and one never set keeps following the program's default.
void WriteStoredSettings(SettingsSink& sink, const StoredSettings& stored);

} // namespace settings

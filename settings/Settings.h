// Every setting of the program as a plain value, with the values of a first
// run and the limits: the one place where defaults and bounds are written.
// The settings store reads and writes it, the Options page edits it and the
// engine decides by it. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "settings/NameList.h"

namespace settings {

// The browser names of a first run: the four of the program's first version.
NameList DefaultBrowserNames();
// The names today's common browsers put in their window titles.
const std::vector<std::string>& TodaysBrowserNames();

// The settings the Options and Browsers pages edit, named after their
// registry values, and those that only the registry sets.
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

    // The Browsers page's lists. A title naming one of the BrowserNames is
    // a browser window's; a window whose title holds one of the NeverClose
    // words is closed by no rule. Each is stored only once the user changed
    // it on the page (…Edited), so that one never touched follows the
    // program's defaults.
    NameList BrowserNames = DefaultBrowserNames();
    NameList NeverClose;
    bool BrowserNamesEdited = false;
    bool NeverCloseEdited = false;

    // Registry only. A window that no rule closed is judged again when its
    // title changes, until this long after its creation; 0: never.
    uint32_t LateTitleSeconds = 10;
    // 1: each creation report waits "Delay" on the only thread before the
    // next is looked at, as the program first did.
    int DelayInTurn = 0;
};

// Everything in the registry key: the settings, the kill count of the
// Statistics page and the list file of the Banned List page.
struct StoredSettings {
    Settings settings;
    uint32_t nKills = 0;
    std::string Path = "default.lst";
};

// The hotkey field holds one character; "Key" is read as the page reads it.
constexpr size_t kKeyMaxCharacters = 1;
// Each waiting window is polled for its title until then: a bound keeps the
// polling short however large the stored value.
constexpr uint32_t kMaxLateTitleSeconds = 60;
// A "Delay" waited on the only thread ("DelayInTurn") blocks the whole
// program, so that wait is bounded: beyond five seconds Windows itself takes
// the program for hung. The stored value stays as entered.
constexpr uint32_t kMaxDelayInTurnMs = 5000;
// A browser name or never-close word longer than this is more than the
// Browsers page's edit box takes.
constexpr size_t kMaxNameCharacters = 32767;

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
    virtual void WriteStringList(const char* name, const std::vector<std::string>& value) = 0;
    virtual void Delete(const char* name) = 0;
};

// Every value in its fixed order. A value that is missing, of another type,
// or that the Options page would refuse reads as its default; a flag reads
// as 0 or 1. isUsableKey tells a "Key" the keyboard layout can type.
StoredSettings
ReadStoredSettings(const SettingsSource& source, fw::LeadByteTest isLeadByte,
                   const std::function<bool(const std::string&)>& isUsableKey = nullptr);
// The eighteen values the program keeps, each whether it changed or not;
// then "BrowserNames" and "NeverClose" when they were edited, or taken out
// when edited back to the program's defaults. The registry-only values are
// never written: a value set while the program runs stays, and one never
// set keeps following the program's default.
void WriteStoredSettings(SettingsSink& sink, const StoredSettings& stored);

} // namespace settings

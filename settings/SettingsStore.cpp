#include "settings/SettingsStore.h"

#include <array>
#include <cstdint>

#include "bannedlist/BannedListPage.h"
#include "settings/OptionsPage.h"
#include "stats/StoppedPage.h"

const char* const kSettingsSection = "Settings";

namespace {

// One registry DWORD and the 32-bit field behind it. Signed fields keep
// their bits: -1 is stored as 0xFFFFFFFF and read back as -1.
struct IntSetting {
    const char* name;
    uint32_t defaultValue;
    uint32_t* bits;
    bool flag; // a check box: 0 or 1 in memory whatever the registry held
};

uint32_t* Bits(int32_t& field) {
    return reinterpret_cast<uint32_t*>(&field);
}
uint32_t* Bits(uint32_t& field) {
    return &field;
}

// Values 1-16 in their fixed order.
std::array<IntSetting, 16> IntSettings(OptionsPage& o, CStoppedPage& s) {
    return {{
        {"LoadStart", 1, Bits(o.LoadStart), true},
        {"LoadMinimized", 1, Bits(o.LoadMinimized), true},
        {"SaveOnExit", 1, Bits(o.SaveOnExit), true},
        {"LoadOnStartup", 1, Bits(o.LoadOnStartup), true},
        {"AddAlt", 0, Bits(o.AddAlt), true},
        {"AddShift", 0, Bits(o.AddShift), true},
        {"AddCtrl", 1, Bits(o.AddCtrl), true},
        {"ByName", 1, Bits(o.ByName), true},
        {"BySize", 1, Bits(o.BySize), true},
        {"BySess", 0, Bits(o.BySess), true},
        {"Height", 700, Bits(o.Height), false},
        {"Width", 1000, Bits(o.Width), false},
        {"AutoStart", 1, Bits(o.AutoStart), true},
        {"Delay", 0, Bits(o.Delay), false},
        {"Sessions", 1, Bits(o.Sessions), false},
        {"nKills", 0, Bits(s.TotalKills), false},
    }};
}

} // namespace

void LoadSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats) {
    for (const IntSetting& setting : IntSettings(options, stats)) {
        uint32_t value =
            profile.GetProfileInt(kSettingsSection, setting.name, setting.defaultValue);
        *setting.bits = setting.flag ? (value ? 1 : 0) : value;
    }
}

void LoadSettingStrings(const RegistryProfile& profile, OptionsPage& options,
                        BannedListPage& bannedList) {
    options.Key = profile.GetProfileString(kSettingsSection, "Key", "x");
    bannedList.ListPath = profile.GetProfileString(kSettingsSection, "Path", "default.lst");
}

void SaveSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats,
                  const BannedListPage& bannedList) {
    for (const IntSetting& setting : IntSettings(options, stats))
        profile.WriteProfileInt(kSettingsSection, setting.name, *setting.bits);
    profile.WriteProfileString(kSettingsSection, "Key", options.Key);
    profile.WriteProfileString(kSettingsSection, "Path", bannedList.ListPath);
}

#include "settings/SettingsStore.h"

#include "bannedlist/BannedListPage.h"
#include "engine/BanHotkey.h"
#include "framework/AnsiCodePage.h"
#include "settings/OptionsPage.h"
#include "stats/StatisticsPage.h"

namespace settings {

const char* const kSettingsSection = "Settings";

namespace {

class RegistrySource : public SettingsSource {
public:
    explicit RegistrySource(const RegistryProfile& store) : profile(store) {}
    bool ReadDword(const char* name, uint32_t& value) const override {
        return profile.ReadDword(kSettingsSection, name, value);
    }
    bool ReadString(const char* name, std::string& value) const override {
        return profile.ReadString(kSettingsSection, name, value);
    }
    bool ReadStringList(const char* name, std::vector<std::string>& value) const override {
        return profile.ReadStringList(kSettingsSection, name, value);
    }

private:
    const RegistryProfile& profile;
};

// A write that fails is not reported: the settings of this run are lost,
// and the program has nothing better to offer than going on.
class RegistrySink : public SettingsSink {
public:
    explicit RegistrySink(const RegistryProfile& store) : profile(store) {}
    void WriteDword(const char* name, uint32_t value) override {
        profile.WriteProfileInt(kSettingsSection, name, value);
    }
    void WriteString(const char* name, const std::string& value) override {
        profile.WriteProfileString(kSettingsSection, name, value);
    }

private:
    const RegistryProfile& profile;
};

} // namespace

void LoadSettings(const RegistryProfile& profile, OptionsPage& options,
                  stats::StatisticsPage& stats, bannedlist::BannedListPage& bannedList) {
    StoredSettings stored =
        ReadStoredSettings(RegistrySource(profile), fw::AnsiLeadByte, [](const std::string& key) {
            return engine::BanHotkeyKeyProblem(key).empty();
        });
    static_cast<Settings&>(options) = stored.settings;
    stats.TotalKills = stored.nKills;
    bannedList.ListPath = stored.Path;
}

void SaveSettings(const RegistryProfile& profile, OptionsPage& options,
                  stats::StatisticsPage& stats, const bannedlist::BannedListPage& bannedList) {
    StoredSettings stored;
    stored.settings = options;
    stored.nKills = stats.TotalKills;
    stored.Path = bannedList.ListPath;
    RegistrySink sink(profile);
    WriteStoredSettings(sink, stored);
}

} // namespace settings

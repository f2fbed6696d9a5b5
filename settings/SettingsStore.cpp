#include "settings/SettingsStore.h"

#include "framework/AnsiCodePage.h"

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
    void WriteStringList(const char* name, const std::vector<std::string>& value) override {
        profile.WriteProfileStringList(kSettingsSection, name, value);
    }
    void Delete(const char* name) override { profile.DeleteProfileValue(kSettingsSection, name); }

private:
    const RegistryProfile& profile;
};

} // namespace

StoredSettings SettingsStore::Load() const {
    return ReadStoredSettings(RegistrySource(profile), fw::AnsiLeadByte, isUsableKey);
}

void SettingsStore::Save(const StoredSettings& stored) const {
    RegistrySink sink(profile);
    WriteStoredSettings(sink, stored);
}

} // namespace settings

// The registry home of the settings: the values under
// HKEY_CURRENT_USER\Software\<company>\<application>\Settings, read and
// written as one StoredSettings.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "settings/RegistryProfile.h"
#include "settings/Settings.h"

namespace settings {

extern const char* const kSettingsSection; // "Settings"

class SettingsStore {
public:
    // isUsableKey: whether the keyboard layout types a "Key"; one it does
    // not reads as the default.
    using KeyTest = std::function<bool(const std::string& key)>;
    SettingsStore(const RegistryProfile& registry, KeyTest keyTest)
        : profile(registry), isUsableKey(std::move(keyTest)) {}

    // Every value, each missing or unfit one as its default.
    StoredSettings Load() const;
    // The eighteen values the program keeps, each written whether it
    // changed or not; failures are not reported.
    void Save(const StoredSettings& stored) const;

private:
    const RegistryProfile& profile;
    KeyTest isUsableKey;
};

} // namespace settings

// The eighteen registry values and the page fields they fill, in the order
// they are read and written.
#pragma once

#include "settings/RegistryProfile.h"

class OptionsPage;
class CStoppedPage;
class BannedListPage;

extern const char* const kSettingsSection; // "Settings"

// Values 1-16, the integers, into their fields.
void LoadSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats);
// Values 17 and 18, "Key" and "Path".
void LoadSettingStrings(const RegistryProfile& profile, OptionsPage& options,
                        BannedListPage& bannedList);
// All eighteen, each written whether it changed or not.
void SaveSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats,
                  const BannedListPage& bannedList);

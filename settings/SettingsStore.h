// The registry values and the page fields they fill (settings/Settings.h
// lists them in their order).
#pragma once

#include "settings/RegistryProfile.h"

class OptionsPage;
class CStoppedPage;
class BannedListPage;

extern const char* const kSettingsSection; // "Settings"

// Every value into its field: the settings into the Options page, "nKills"
// into the statistics page, "Path" into the banned-list page.
void LoadSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats,
                  BannedListPage& bannedList);
// The eighteen values the program keeps, each written whether it changed or not.
void SaveSettings(const RegistryProfile& profile, OptionsPage& options, CStoppedPage& stats,
                  const BannedListPage& bannedList);

// The registry values and the page fields they fill (settings/Settings.h
// lists them in their order).
#pragma once

#include "settings/RegistryProfile.h"

namespace stats {
class StatisticsPage;
}
namespace bannedlist {
class BannedListPage;
}

namespace settings {

class OptionsPage;

extern const char* const kSettingsSection; // "Settings"

// Every value into its field: the settings into the Options page, "nKills"
// into the statistics page, "Path" into the banned-list page.
void LoadSettings(const RegistryProfile& profile, OptionsPage& options,
                  stats::StatisticsPage& stats, bannedlist::BannedListPage& bannedList);
// The eighteen values the program keeps, each written whether it changed or not.
void SaveSettings(const RegistryProfile& profile, OptionsPage& options,
                  stats::StatisticsPage& stats, const bannedlist::BannedListPage& bannedList);

} // namespace settings

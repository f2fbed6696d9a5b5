// The statistics page's first line. Portable.
#pragma once

#include <cstdint>
#include <string>

namespace stats {

// "Killed %d popups in total, %d in this session"
std::string FormatCounterLine(int32_t totalKills, int32_t sessionKills);

} // namespace stats

#include "stats/CounterLine.h"

namespace stats {

std::string FormatCounterLine(int32_t totalKills, int32_t sessionKills) {
    return "Killed " + std::to_string(totalKills) + " popups in total, " +
           std::to_string(sessionKills) + " in this session";
}

} // namespace stats

#include "stats/KillCount.h"

#include <limits>

namespace stats {

namespace {
void CountOne(uint32_t& count) {
    if (count < std::numeric_limits<uint32_t>::max())
        ++count;
}
} // namespace

void KillCount::Record(const std::string& title) {
    CountOne(total);
    CountOne(session);
    titles.push_back(title);
    if (onRecord)
        onRecord(title);
}

std::string KillCount::CounterLine() const {
    return "Killed " + std::to_string(total) + " popups in total, " + std::to_string(session) +
           " in this session";
}

} // namespace stats

// What the kill decision closed: the count over all runs ("nKills"), the
// count of this run and the title of each window closed in it. The
// Statistics page shows it. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace stats {

class KillCount {
public:
    explicit KillCount(uint32_t storedTotal = 0) : total(storedTotal) {}

    // One closed window. The counts stop at their top rather than wrap: a
    // count that went back to 0 would say something false.
    void Record(const std::string& title);

    uint32_t TotalKills() const { return total; }
    uint32_t SessionKills() const { return session; }
    // This run's closed windows, oldest first.
    const std::vector<std::string>& Titles() const { return titles; }
    // "Killed N popups in total, M in this session"
    std::string CounterLine() const;

    // Told of each record, after it.
    using Listener = std::function<void(const std::string& title)>;
    void SetListener(Listener listener) { onRecord = std::move(listener); }

private:
    uint32_t total = 0;
    uint32_t session = 0;
    std::vector<std::string> titles;
    Listener onRecord;
};

} // namespace stats

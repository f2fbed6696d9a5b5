// The three rules that close a browser window, tried in the order session,
// size, name. Portable; the caller supplies what it reads from windows.
#pragma once

#include <cstdint>
#include <functional>

namespace engine {

struct RuleSettings {
    int BySess = 0;
    int32_t Sessions = 1;
    int BySize = 1;
    int32_t Width = 1000;
    int32_t Height = 700;
    int ByName = 1;
};

enum class KillReason { None, Session, Size, Name };

// For a created browser window already counted in openBrowserCount.
// isBanned is asked only when the name rule is reached.
KillReason DecideKill(const RuleSettings& rules, int32_t openBrowserCount, int32_t width,
                      int32_t height, const std::function<bool()>& isBanned);

// "Delay" blocks the whole program while it runs, so the wait is bounded:
// beyond five seconds Windows itself takes the program for hung. The stored
// value stays as entered.
constexpr uint32_t kMaxDelayMs = 5000;
uint32_t EffectiveDelay(uint32_t delayMs);

} // namespace engine

// The three rules that close a browser window, tried in the order session,
// size, name. Portable; the caller supplies what it reads from windows.
#pragma once

#include <cstdint>
#include <functional>

#include "settings/Settings.h"

namespace engine {

enum class KillReason { None, Session, Size, Name };

// A browser window being judged.
struct Candidate {
    // It shows a browser title for the first time and has just been counted
    // in openBrowserCount: only then does the session rule look at it, so a
    // window let through is never closed later for windows that came after.
    bool newlyCounted = true;
    int32_t openBrowserCount = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// isBanned is asked only when the name rule is reached.
KillReason DecideKill(const settings::Settings& rules, const Candidate& window,
                      const std::function<bool()>& isBanned);

// The "Delay" waited on the only thread (DelayInTurn), within its bound.
uint32_t DelayInTurnMs(uint32_t delayMs);

} // namespace engine

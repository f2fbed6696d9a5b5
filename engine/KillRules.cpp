#include "engine/KillRules.h"

namespace engine {

KillReason DecideKill(const settings::Settings& rules, const Candidate& window,
                      const std::function<bool()>& isBanned) {
    if (rules.BySess && window.newlyCounted && window.openBrowserCount > rules.Sessions)
        return KillReason::Session;
    if (rules.BySize && window.width < rules.Width && window.height < rules.Height)
        return KillReason::Size;
    if (rules.ByName && isBanned && isBanned())
        return KillReason::Name;
    return KillReason::None;
}

uint32_t DelayInTurnMs(uint32_t delayMs) {
    return delayMs < settings::kMaxDelayInTurnMs ? delayMs : settings::kMaxDelayInTurnMs;
}

} // namespace engine

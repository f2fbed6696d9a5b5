#include "engine/KillRules.h"

namespace engine {

KillReason DecideKill(const RuleSettings& rules, int32_t openBrowserCount, int32_t width,
                      int32_t height, const std::function<bool()>& isBanned) {
    if (rules.BySess && openBrowserCount > rules.Sessions)
        return KillReason::Session;
    if (rules.BySize && width < rules.Width && height < rules.Height)
        return KillReason::Size;
    if (rules.ByName && isBanned && isBanned())
        return KillReason::Name;
    return KillReason::None;
}

uint32_t EffectiveDelay(uint32_t delayMs) {
    return delayMs < kMaxDelayMs ? delayMs : kMaxDelayMs;
}

} // namespace engine

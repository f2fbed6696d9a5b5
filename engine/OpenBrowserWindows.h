// The count of open browser windows (openBrowserCount), kept as the set of
// windows counted in: those open when blocking starts, then those reported.
// A destruction report lowers the count only for a window that was counted,
// so it never goes below zero, and a window reported twice is counted once.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_set>

namespace engine {

class OpenBrowserWindows {
public:
    using WindowId = uintptr_t;

    void Created(WindowId window) { windows.insert(window); }
    void Destroyed(WindowId window) { windows.erase(window); }
    // Forgets windows that are gone although their destruction report was
    // lost (the reporter's wait is bounded).
    void ForgetGone(const std::function<bool(WindowId)>& isAlive);
    void Clear() { windows.clear(); }
    int32_t Count() const { return static_cast<int32_t>(windows.size()); }

private:
    std::unordered_set<WindowId> windows;
};

} // namespace engine

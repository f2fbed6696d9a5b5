// The engine's clock and windows on Win32.
#pragma once

#include <windows.h>

#include <string>

#include "engine/PopupEngine.h"

namespace engine {

inline WindowId IdOf(HWND window) {
    return reinterpret_cast<WindowId>(window);
}
inline HWND HandleOf(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

// GetTickCount carried on past its 49.7-day wrap (GetTickCount64 needs Vista).
class SystemClock : public Clock {
public:
    uint64_t NowMs() override;
    void Sleep(uint32_t ms) override { ::Sleep(ms); }

private:
    DWORD last = 0;
    uint64_t wraps = 0;
};

class Win32Windows : public WindowSystem {
public:
    bool IsAlive(WindowId window) override { return ::IsWindow(HandleOf(window)) != FALSE; }
    std::string ReadTitle(WindowId window) override;
    WindowRect ReadRect(WindowId window) override;
    bool IsToolWindow(WindowId window) override;
    bool SendClose(WindowId window, uint32_t timeoutMs) override;
    void PostClose(WindowId window) override;
};

// The whole window title, however long (the ban hotkey's).
std::string ReadWholeTitle(HWND window);

} // namespace engine

// The engine's clock and windows on Win32.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/CloseAnswers.h"
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

// The answers to close requests come back to the message loop of the
// thread that asked, as long as the object that asked lives.
class Win32Windows : public WindowSystem {
public:
    // reached is false when the window was gone before its thread took the request.
    using CloseAnswered = std::function<void(WindowId window, bool reached)>;

    Win32Windows() = default;
    ~Win32Windows() override;
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;

    void OnCloseAnswered(CloseAnswered handler) { closeAnswered = std::move(handler); }

    bool IsAlive(WindowId window) override { return ::IsWindow(HandleOf(window)) != FALSE; }
    std::string ReadTitle(WindowId window) override;
    WindowRect ReadRect(WindowId window) override;
    bool IsToolWindow(WindowId window) override;
    bool AskClose(WindowId window) override;
    std::vector<WindowId> VisibleTopLevelWindows() override;

private:
    static void CALLBACK OnCloseAnswer(HWND, UINT, ULONG_PTR request, LRESULT);
    static void CALLBACK OnQuestionAnswer(HWND, UINT, ULONG_PTR request, LRESULT length);
    // Once known, tells the asker and forgets the request.
    static void Decide(ULONG_PTR request, std::optional<bool> reached);

    CloseAnswered closeAnswered;
};

// The whole window title, however long.
std::string ReadWholeTitle(HWND window);

} // namespace engine

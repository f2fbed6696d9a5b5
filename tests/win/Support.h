// What the Win32 tests share: a host window, pumping, pixels, a watcher that
// answers message boxes, a stand-in for the shell, and a second process that
// makes windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ShellLaunch.h"
#include "framework/Handle.h"
#include "framework/Window.h"

namespace wintest {

// Dispatches what is queued, and keeps doing so for ms.
void Pump(DWORD ms = 0);
// Handles everything queued for this thread so far, and what that posts in
// turn: a round trip through the thread's own queue.
void Settle();
// Dispatches until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
std::string TextOf(HWND window);
COLORREF PixelAt(HWND window, int x, int y);
// The client pixels for which the test holds.
int CountPixels(HWND window, const std::function<bool(COLORREF)>& test);

// A visible top-level framework window that reflects its children's
// notifications like every window of the program, and runs onCommand for
// the commands that reach its own map.
class HostWindow : public fw::CWindow {
public:
    HostWindow();
    ~HostWindow() override { DestroyWindow(); }
    HWND Add(const char* cls, int id, const char* text, DWORD style, int x, int y, int w, int h);

    std::function<void(WORD id, WORD code)> onCommand;

    bool ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
};

// Answers every message box of this thread with OK while it lives, and
// keeps their texts.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    fw::UniqueHook hook_;
    std::vector<std::string> texts_;
    HWND answered_ = nullptr;
};

// While it lives, addresses are recorded in requests instead of opened.
struct RecordedShell {
    RecordedShell();
    ~RecordedShell();
    static std::vector<controls::ShellRequest> requests;
    controls::ShellLauncher previous;
};

// win_tests.exe --window-maker PREFIX COUNT HOLD_MS makes COUNT visible
// top-level windows "PREFIX i" one after another, each kept HOLD_MS.
int RunWindowMaker(const char* prefix, int count, int holdMs);
fw::UniqueKernelHandle StartWindowMaker(const std::string& prefix, int count, int holdMs);
// win_tests.exe --window-maker-waiting PREFIX READY GO makes "PREFIX kept",
// sets the named event READY and waits for GO, taking only the messages that
// come meanwhile; then destroys "PREFIX kept" and makes and destroys
// "PREFIX 0": a browser that was running before the watching began.
int RunWaitingWindowMaker(const char* prefix, const char* ready, const char* go);
fw::UniqueKernelHandle StartWaitingWindowMaker(const std::string& prefix, const std::string& ready,
                                               const std::string& go);
// win_tests.exe --second-watcher TARGET READY DONE installs the hook
// library's hooks a second time, reporting to TARGET, sets READY and keeps
// them, pumping, until DONE is set.
int RunSecondWatcher(HWND target, const char* ready, const char* done);
fw::UniqueKernelHandle StartSecondWatcher(HWND target, const std::string& ready,
                                          const std::string& done);

} // namespace wintest

// What the Win32 tests share: a host window, a barrier, pixels, a watcher
// that answers message boxes and a stand-in for the shell; texts and list
// boxes are read as the end-to-end tests read them (tests/e2e/Harness.h),
// and windows of another process come from their maker.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ShellLaunch.h"
#include "framework/Handle.h"
#include "framework/Window.h"
#include "tests/e2e/Harness.h"

namespace wintest {

using e2e::ListBoxEntries;
using e2e::TextOf;

// Handles everything queued for this thread so far, and what that posts in
// turn: a round trip through the thread's own queue.
void Settle();
COLORREF PixelAt(HWND window, int x, int y);
// The client pixels for which the test holds.
int CountPixels(HWND window, const std::function<bool(COLORREF)>& test);

// A visible top-level framework window that reflects its children's
// notifications like every window of the program, and runs onCommand for
// the commands that reach its own map.
class HostWindow : public fw::Window {
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
    const std::vector<std::string>& Texts() const { return texts; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    fw::UniqueHook hook;
    std::vector<std::string> texts;
    HWND answered = nullptr;
};

// While it lives, addresses are recorded in requests instead of opened.
struct RecordedShell {
    RecordedShell();
    ~RecordedShell();
    static std::vector<controls::ShellRequest> requests;
    controls::ShellLauncher previous;
};

} // namespace wintest

// Shared by the Win32 tests: a framework host window, message pumping, and a
// watcher that answers the message boxes a test provokes.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Window.h"

namespace wintest {

// Handles everything queued for this thread, then keeps doing so for ms.
void PumpMessages(DWORD ms = 0);

// A visible top-level framework window: it reflects its children's
// notifications like every window of the program, and records the commands
// and notifications that reach its own map.
class TestHost : public fw::CWindow {
public:
    TestHost();
    ~TestHost() override;

    struct Received {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Received> received;
    LRESULT answer = 0;

    bool ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;
};

// Answers every message box of this process with OK while it lives, and
// keeps their texts. The box runs its own loop on the test's thread, so the
// answer has to come from another thread.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    std::vector<std::string> Texts();

private:
    void Run();
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

// The text a same-process edit shows, and its selection.
std::string TextOf(HWND window);
void SelectionOf(HWND edit, DWORD& start, DWORD& end);

} // namespace wintest

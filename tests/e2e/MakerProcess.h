// Windows made by a process of their own (popup_maker.exe), as a browser
// makes them: the tests can end that process behind its windows' back, or
// keep one process across a start of Velmora. The maker of the other
// architecture (the 32-bit one beside the 64-bit tests) is used the same way.
// Every test level and the benchmarks make their windows here.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handle.h"

namespace e2e {

// The next line a child process wrote to pipe (its end of line dropped),
// with what came after it kept in pending; empty when none came within
// timeoutMs or the pipe broke.
std::string ReadPipeLine(HANDLE pipe, std::string& pending, DWORD timeoutMs);

using OwnedHandle = fw::UniqueHandle<fw::KernelHandleTraits>;

class MakerProcess {
public:
    MakerProcess() = default;
    ~MakerProcess();
    MakerProcess(const MakerProcess&) = delete;
    MakerProcess& operator=(const MakerProcess&) = delete;

    // exe: the popup_maker.exe of the end-to-end tests' folder when empty.
    // False when it did not start and say it is ready.
    bool Start(const std::string& exe = std::string());
    bool Running() const { return static_cast<bool>(process); }
    // A visible window of exactly width x height; null on failure.
    HWND Open(const std::string& title, int width, int height);
    // The same, refusing SC_CLOSE and WM_CLOSE.
    HWND OpenRefusing(const std::string& title, int width, int height);
    // The same on a thread of its own that takes closeTakesMs to answer
    // SC_CLOSE, and then closes.
    HWND OpenSlow(DWORD closeTakesMs, const std::string& title, int width, int height);
    // count windows "prefix 0".. one after another, each destroyed by the
    // maker lifeMs after its creation (0: at once, taking no message between).
    bool Flash(int count, int lifeMs, int width, int height, const std::string& prefix);
    // How many SC_CLOSE requests its windows have taken; -1 on failure.
    int CloseRequests();
    // Returns once its main thread has handled what was sent to it before.
    bool Sync() { return Ask("sync") == "ok"; }
    bool SetTitle(HWND window, const std::string& title);
    // The maker destroys the window itself.
    bool Close(HWND window);
    // Whether a module of this name (such as "hook.dll") is loaded in the maker.
    bool HasModule(const std::string& name);
    // count windows "prefix 0".."prefix count-1", one every intervalMs
    // (0: back to back), answering close requests in between; the maker
    // remembers them as its burst.
    bool Burst(int count, int intervalMs, int width, int height, const std::string& prefix);
    // The maker asks each window of its burst to close, as its system menu would.
    bool CloseAll();
    // Waits until every window of the burst is gone (at most timeoutMs);
    // gives how many went and the milliseconds from the burst's start to
    // the last of them, on the maker's own clock.
    bool WaitGone(DWORD timeoutMs, size_t& gone, double& elapsedMs);
    // How many F9 key presses its windows have received.
    unsigned Markers();
    // Watches for target with the hook library at path, as the program does.
    bool Hook(HWND target, const std::string& path);
    // Ends the process at once: its windows go without being destroyed by
    // it, so no hook ever runs for them.
    void Kill();
    DWORD Pid() const { return pid; }

private:
    std::string Ask(const std::string& command, DWORD timeoutMs = 20000);
    // A command that answers a window's handle.
    HWND AskWindow(const std::string& command);
    std::string ReadLine(DWORD timeoutMs);
    OwnedHandle process;
    DWORD pid = 0;
    OwnedHandle toMaker, fromMaker;
    std::string pending;
};

} // namespace e2e

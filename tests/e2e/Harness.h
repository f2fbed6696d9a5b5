// Driving the real Velmora.exe from outside: starting and closing it, finding
// its windows, reading its controls across processes, its registry key and
// files, and windows of our own for it to judge.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Environment set by the test script (Windows paths).
std::string Env(const char* name);
// A new empty folder for one test: a current directory of its own.
std::string MakeWorkDir(const std::string& name);
std::string ReadFileBytes(const std::string& path, bool* exists = nullptr);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Polls until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The program's registry home, HKCU\Software\Draxtel\Velmora\Settings.
extern const char* const kSettingsKey;
void DeleteProgramKey();
void SetSettingRaw(const char* name, DWORD type, const void* data, DWORD size);
void SetSettingDword(const char* name, DWORD value);
void SetSettingString(const char* name, const std::string& value);
// The stored value; kNoSetting or "<no string>" when missing or of another type.
constexpr DWORD kNoSetting = 0xDEADBEEF;
DWORD SettingDword(const char* name);
std::string SettingString(const char* name);
// Settings for a test that wants the window on screen and no list file.
void UseQuietSettings();

// Text of another process's controls, asked for in W (Wine hands LB_GETTEXT
// across processes back as UTF-16 only) and given in the ANSI code page.
std::string TextOf(HWND window);
std::vector<std::string> ListBoxItems(HWND listBox);
std::string ClassOf(HWND window);
// Top-level windows of a process (of every process for 0), of a class when given.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);
std::vector<HWND> Descendants(HWND parent);

enum PageIndex { kBannedPage, kStatsPage, kOptionsPage, kAboutPage };

class VelmoraProcess {
public:
    VelmoraProcess() = default;
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    // exe: dist\Velmora.exe when empty.
    bool Start(const std::string& workDir, const std::string& exe = std::string());
    // Waits until the main dialog exists and has handled what was queued.
    HWND WaitForMainWindow(DWORD timeoutMs = 20000);
    HWND MainWindow() const { return main_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // WM_CLOSE and wait for the process to end.
    bool Close(DWORD timeoutMs = 20000);
    void Kill();
    // Waits until every report queued so far has been handled.
    bool Settle(DWORD timeoutMs = 10000);

    HWND Page(int index) const;
    HWND PageControl(int page, int id) const { return ::GetDlgItem(Page(page), id); }
    HWND Control(int id) const { return ::GetDlgItem(main_, id); }
    // Clicks a button as the user would (BM_CLICK, posted: it may open a box).
    void Click(HWND button) const { ::PostMessageA(button, BM_CLICK, 0, 0); }
    // Clicks a tab, so the tab control's notifications run, and settles.
    bool SelectTab(int index);
    std::vector<std::string> BannedList() const;
    std::vector<std::string> StatisticsLines() const;

private:
    void Release();
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// Top-level windows of the driver, made on a thread of their own that keeps
// pumping, so that close requests are answered.
class WindowFactory {
public:
    WindowFactory();
    ~WindowFactory();
    WindowFactory(const WindowFactory&) = delete;
    WindowFactory& operator=(const WindowFactory&) = delete;

    // A visible window of exactly width x height (outer size).
    HWND Open(const std::string& title, int width, int height);
    // count windows "prefix 0", "prefix 1"... back to back, as fast as it can.
    std::vector<HWND> OpenMany(const std::string& titlePrefix, int count, int width, int height);
    void Close(HWND window);
    bool IsOpen(HWND window) const { return ::IsWindow(window) != FALSE; }

private:
    void RunOnThread(const std::function<void()>& work);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace e2e

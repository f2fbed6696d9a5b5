// What the end-to-end tests use to drive the real Velmora.exe from outside:
// starting and closing it, finding its windows, reading its controls across
// processes, its registry key and files, and opening windows of our own for
// it to judge.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Environment set by the test script (Windows paths).
std::string Env(const char* name);
std::string DistPath(const char* file);
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
void SetSettingDword(const char* name, DWORD value);
void SetSettingString(const char* name, const std::string& value);
bool GetSettingDword(const char* name, DWORD& value);
bool GetSettingString(const char* name, std::string& value);
// Any value (for type checks): false when missing.
bool GetSettingRaw(const char* name, DWORD& type, std::string& data);
// Settings for a test that wants the window on screen and no list file.
void UseQuietSettings();

// Text of another process's controls; Wine hands LB_GETTEXT across
// processes back as UTF-16 only, so everything is asked for in W and
// converted to the ANSI code page.
std::string TextOf(HWND window);
std::vector<std::string> ListBoxItems(HWND listBox);
std::string ClassOf(HWND window);
int ListBoxSelection(HWND listBox, std::vector<int>* selected = nullptr);

class VelmoraProcess {
public:
    VelmoraProcess() = default;
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    bool Start(const std::string& workDir, const std::string& exe = DistPath("Velmora.exe"));
    // Waits until the main dialog exists and answers messages.
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
    // Waits until the main window has handled everything sent so far and
    // its queue is empty of the posted reports.
    bool Settle(DWORD timeoutMs = 10000);

    // Pages under the tab control: 0 Banned List, 1 Statistics, 2 Options, 3 About.
    HWND Page(int index) const;
    HWND PageControl(int page, int id) const { return ::GetDlgItem(Page(page), id); }
    HWND Control(int id) const { return ::GetDlgItem(main_, id); }
    // Clicks a push button or check box as the user would (BM_CLICK).
    void Click(HWND button) const;
    // Selects a tab as the user would, through the tab control's notifications.
    void SelectTab(int index) const;
    std::vector<std::string> BannedList() const;
    std::vector<std::string> StatisticsLines() const;

private:
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// Top-level windows of the test driver's own process, made on a thread of
// their own that keeps pumping messages, so that close requests are answered.
class WindowFactory {
public:
    WindowFactory();
    ~WindowFactory();
    WindowFactory(const WindowFactory&) = delete;
    WindowFactory& operator=(const WindowFactory&) = delete;

    // A visible window of exactly width x height (outer size).
    HWND Open(const std::string& title, int width, int height);
    // Opens count windows back to back on the factory thread, as fast as it can.
    std::vector<HWND> OpenMany(const std::string& titlePrefix, int count, int width, int height);
    void Close(HWND window);
    bool IsOpen(HWND window) const { return ::IsWindow(window) != FALSE; }
    // Stops answering messages for a while (a hung window).
    void Freeze(DWORD milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace e2e

// Driving the real Velmora.exe from outside: starting and closing it, finding
// its windows, reading its controls across processes, its registry key and
// files, input to its controls, its message boxes and file dialogs, real key
// presses on the virtual display, its tray icon and menu, the probe library
// hooked into it, and pictures. The windows it judges come from the maker.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/MakerProcess.h"
#include "tests/e2e/probe/TrayProbe.h"

namespace e2e {

// Environment set by the test script (Windows paths).
std::string Env(const char* name);
// A new empty folder for one test: a current directory of its own.
std::string MakeWorkDir(const std::string& name);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Polls until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// Waits until the thread that owns the edit control has handled everything
// posted to it before, and what that posted in turn.
bool RoundTrip(HWND edit, DWORD timeoutMs = 10000);

// The program's registry home is HKCU\Software\Draxtel\Velmora\Settings.
void DeleteProgramKey();
void SetSettingRaw(const char* name, DWORD type, const void* data, DWORD size);
void SetSettingDword(const char* name, DWORD value);
void SetSettingString(const char* name, const std::string& value);
// The stored value; kNoSetting or "<no string>" when missing or of another type.
constexpr DWORD kNoSetting = 0xDEADBEEF;
DWORD SettingDword(const char* name);
std::string SettingString(const char* name);
// The value's bytes; type is REG_NONE when it is missing.
std::string SettingRaw(const char* name, DWORD& type);
// Settings for a test that wants the window on screen and no list file.
void UseQuietSettings();

// Text of another process's controls, asked for in W (Wine hands LB_GETTEXT
// across processes back as UTF-16 only) and given in the ANSI code page.
std::string TextOf(HWND window);
// A list box's entries in its order, read whole, of this process or another.
std::vector<std::string> ListBoxEntries(HWND listBox);
// Top-level windows of a process (of every process for 0), of a class when given.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className = nullptr);

enum PageIndex { kBannedPage, kStatsPage, kOptionsPage, kBrowsersPage, kAboutPage };

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
    HWND MainWindow() const { return mainWindow; }
    DWORD Pid() const { return pid; }
    HANDLE Process() const { return process.Get(); }
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // WM_CLOSE and wait for the process to end.
    bool Close(DWORD timeoutMs = 20000);
    // Lets the program run on once this object is gone.
    void Detach();
    void Kill();
    // Waits until every report queued so far has been handled.
    bool Settle(DWORD timeoutMs = 10000);

    HWND Page(int index) const;
    HWND PageControl(int page, int id) const { return ::GetDlgItem(Page(page), id); }
    HWND Control(int id) const { return ::GetDlgItem(mainWindow, id); }
    // Clicks a button as the user would (BM_CLICK, posted: it may open a box).
    void Click(HWND button) const { ::PostMessageA(button, BM_CLICK, 0, 0); }
    // Clicks a tab, so the tab control's notifications run, and settles.
    bool SelectTab(int index);
    std::vector<std::string> BannedList() const;
    std::vector<std::string> StatisticsLines() const;

private:
    void Release();
    OwnedHandle process;
    DWORD pid = 0;
    HWND mainWindow = nullptr;
};

// Real key presses on the virtual display (xdotool's "key" syntax, such as
// "ctrl+x") over a window of the maker brought to the front. Returns once
// the system has taken every key in: hotkeys fired, or the keys reached the
// window.
bool TypeKeys(MakerProcess& maker, HWND window, const std::string& keys);

using Lines = std::vector<std::string>;

// Start with the settings already in the registry; null when it did not come up.
HWND StartApp(VelmoraProcess& app, const std::string& name);
// Text into another process's control, in W so nothing is lost on the way.
void SetText(HWND window, const std::string& text);
// A key press (down and up) posted to a control, as the keyboard would.
void PostKey(HWND window, WPARAM key);
// Types a title into the banned-list page and clicks Add.
bool AddTitle(VelmoraProcess& app, const std::string& title);
std::string Counter(int total, int session);
// Focus and activation in the thread that owns the window.
GUITHREADINFO ThreadInfoOf(HWND window);

// Visible dialogs of the program other than its main window.
std::vector<HWND> DialogsOf(const VelmoraProcess& app);
// A box whose text contains `text` (any box for ""); null when none came.
HWND WaitForMessageBox(const VelmoraProcess& app, const std::string& text = "");
// The text of a message box (its statics and read-only edits).
std::string MessageBoxText(HWND box);
// Answers the box showing `text` with OK and waits until it is gone; false
// when none came.
bool DismissMessageBox(const VelmoraProcess& app, const std::string& text);
// Close requests are sent without waiting: returns once the program has
// handled everything queued so far, the maker's main thread has taken what
// the program asked of its windows, and the program has heard the answers.
bool SettleWith(VelmoraProcess& app, MakerProcess& maker);
// Clicks a button of the banned-list page that opens a file dialog, and
// answers it with the path, and with Yes when it asks to replace a file.
bool UseFileButton(VelmoraProcess& app, int button, const std::string& path);
// Answers the file dialog the program opens next in the same way, and
// returns once it is gone.
bool AnswerFileDialog(VelmoraProcess& app, const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);

// A PNG of what the screen shows of the window, in the folder named by
// VELMORA_SCREENSHOTS (a Unix path).
bool SaveScreenshot(HWND window, const std::string& name);

// What the display shows of a window's client area now, whichever process
// drew it: the picture a user sees.
class ScreenPicture {
public:
    explicit ScreenPicture(HWND window);
    int Width() const { return width; }
    int Height() const { return height; }
    // In client coordinates.
    COLORREF At(int x, int y) const;
    // The pixels of the part (client coordinates; all when null) that pass the test.
    int Count(const std::function<bool(COLORREF)>& test, const RECT* part = nullptr) const;

private:
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
};
bool IsColoured(COLORREF c); // not a shade of grey
bool IsGreenish(COLORREF c);
bool IsReddish(COLORREF c);
// The notification-area icon as Wine's stand-alone tray shows it; null
// unless it shows exactly one.
HWND TrayIconWindow();
// The one top-level window of the program of this class ("VelmoraTrayWindow",
// "VelmoraHiddenParent"); null when there is none or more than one.
HWND OnlyWindowOf(const VelmoraProcess& app, const char* className);
// Made anew with each change of state.
inline HWND TrayWindowOf(const VelmoraProcess& app) {
    return OnlyWindowOf(app, "VelmoraTrayWindow");
}

// The pop-up menu the program shows now ("#32768"), null when none.
HWND ShownMenu(const VelmoraProcess& app);
// Presses the keys in the menu the program shows, and waits until it has
// gone and what was chosen has been handled.
bool ChooseInMenu(VelmoraProcess& app, const std::vector<WPARAM>& keys);

constexpr UINT kTrayNotify = WM_APP + 100;
// NIM_MODIFY succeeds only for an icon the shell holds; NIM_DELETE takes it
// away behind its owner's back, as a new taskbar does.
bool NotifyShell(DWORD message, HWND owner, UINT id);
inline bool ShellHasIcon(HWND owner, UINT id) {
    return NotifyShell(NIM_MODIFY, owner, id);
}

// The probe library hooked into one thread of Velmora (0: every thread).
class Probe {
public:
    explicit Probe(DWORD threadId);
    ~Probe();
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    bool Attached() const { return hook != nullptr; }
    // Asks the hooked thread of this window; the report then holds the answer.
    bool Ask(HWND window, probe::Query query, LPARAM argument = 0);
    const probe::Report& Report() const { return *report; }
    // The items of the menu the program shows now, read in its thread; the
    // default item reads "default <text>". Empty when none is shown.
    std::vector<std::string> ShownMenuItems(const VelmoraProcess& app);

private:
    HMODULE library = nullptr;
    HHOOK hook = nullptr;
    const probe::Report* report = nullptr;
};

} // namespace e2e

// What the end-to-end tests use beside the harness: input to the program's
// controls, its message boxes and file dialogs, real key presses on the
// virtual display, its tray icon and menu, the probe library hooked into it,
// and pictures of what it shows.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/Harness.h"
#include "tests/e2e/probe/TrayProbe.h"

namespace e2e {

using Lines = std::vector<std::string>;

// The first of the windows that `windows` lists which passes `test`, polled
// until there is one; null when the time is up.
HWND WaitForWindow(const std::function<std::vector<HWND>()>& windows,
                   const std::function<bool(HWND)>& test, DWORD timeoutMs = 10000);
// Start with the settings already in the registry; null when it did not come up.
HWND StartApp(VelmoraProcess& app, const std::string& name);
// Text into another process's control, in W so nothing is lost on the way.
void SetText(HWND window, const std::string& text);
// A key press (down and up) posted to a control, as the keyboard would.
void PostKey(HWND window, WPARAM key);
// A left click at client point (4, 4) of a control.
void PostClick(HWND window);
// Types a title into the banned-list page and clicks Add.
bool AddTitle(VelmoraProcess& app, const std::string& title);
std::string Counter(int total, int session);
// The keyboard focus in the thread that owns the window.
HWND FocusOf(HWND window);
int CurrentTab(const VelmoraProcess& app);

// Visible dialogs of the program other than its main window.
std::vector<HWND> DialogsOf(const VelmoraProcess& app);
// A box whose text contains `text` (any box for ""); null when none came.
HWND WaitForMessageBox(const VelmoraProcess& app, const std::string& text = "");
std::string MessageBoxText(HWND box);
bool MessageBoxHasIcon(HWND box);
// Answers the box showing `text` with OK and waits until it is gone; false
// when none came.
bool DismissMessageBox(const VelmoraProcess& app, const std::string& text);
// Opens a window and lets the program judge it: true when it stays open.
bool StaysOpen(VelmoraProcess& app, WindowFactory& windows, const std::string& title,
               int width = 300, int height = 200);
// Presses a dialog's button as the user would (posted).
void PressButton(HWND dialog, int id);
HWND WaitForFileDialog(const VelmoraProcess& app);
// Types the path into the dialog's file-name box and presses OK.
bool ChooseInFileDialog(HWND fileDialog, const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);

// True when this combination is registered by another program.
bool HotkeyHeldElsewhere(UINT modifiers, UINT key);
// HKCU\...\CurrentVersion\Run, value "Velmora".
bool GetRunValue(std::string& value);
void DeleteRunValue();
// `"<path of the process's executable>"`
std::string QuotedExecutableOf(HANDLE process);

// xdotool's "key" with these keys on the virtual display, over the window
// brought to the front; returns once the keys are sent.
bool PressKeysOver(HWND window, const std::string& keys);

constexpr UINT kTrayNotify = WM_APP + 100;
HWND TrayWindowOf(const VelmoraProcess& app);
// The visible menu ("#32768") of the process, null when none is tracked.
HWND TrackedMenu(DWORD pid);
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
    bool Attached() const { return hook_ != nullptr; }
    // Asks the hooked thread of this window; the report then holds the answer.
    bool Ask(HWND window, probe::Query query);
    const probe::Report& Report() const { return *report_; }

private:
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
    const probe::Report* report_ = nullptr;
};

// Writes a BMP of what the screen shows of the window into the folder named
// by VELMORA_SCREENSHOTS (the test script turns it into a PNG).
bool SaveScreenshot(HWND window, const std::string& name);

} // namespace e2e

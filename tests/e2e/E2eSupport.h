// More of what the end-to-end tests need beside Harness.h: message boxes of
// the program, its keyboard focus, hotkeys and the Run value, and input
// posted to its controls.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/Harness.h"

namespace e2e {

// Starts the program with UseQuietSettings already applied by the caller
// and waits until it has settled. Null when it did not come up.
HWND StartAndSettle(VelmoraProcess& app, const std::string& name);

// A message box of the process whose text contains `text`; null when none
// appears within the time.
HWND WaitForMessageBox(DWORD pid, const std::string& text, DWORD timeoutMs = 10000);
// Any message box of the process showing now.
HWND AnyMessageBox(DWORD pid);
std::string MessageBoxText(HWND box);
void DismissMessageBox(HWND box);

// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);
void SelectionOf(HWND edit, DWORD& start, DWORD& end);
// The index of the current tab of the main window's tab control.
int CurrentTab(const VelmoraProcess& app);

// Text into another process's control, in W so nothing is lost on the way.
void SetText(HWND window, const std::string& text);
// A key press (down and up) posted to a control, as the keyboard would.
void PostKey(HWND window, WPARAM key);
// A left click at client point (x, y) of a control.
void PostClick(HWND window, int x = 4, int y = 4);

// True when another program holds this hotkey combination: registering it
// here fails with ERROR_HOTKEY_ALREADY_REGISTERED.
bool HotkeyHeldElsewhere(UINT modifiers, UINT key);

// HKCU\Software\Microsoft\Windows\CurrentVersion\Run, value "Velmora".
bool GetRunValue(std::string& value);
void DeleteRunValue();
// The full path of the process's executable.
std::string ExecutablePathOf(HANDLE process);

} // namespace e2e

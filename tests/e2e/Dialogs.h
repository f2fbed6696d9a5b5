// Driving what Velmora opens on top of its main window (the open and save
// dialogs, message boxes), real key presses on the virtual display, and the
// files a test leaves in its folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Harness.h"

namespace e2e {

// Visible top-level dialogs of the program other than its main window.
std::vector<HWND> DialogsOf(const VelmoraProcess& app);
// The standard open or save dialog, once it is up.
HWND WaitForFileDialog(const VelmoraProcess& app, DWORD timeoutMs = 15000);
// A message box, once it is up.
HWND WaitForMessageBox(const VelmoraProcess& app, DWORD timeoutMs = 10000);

HWND FileNameBox(HWND fileDialog);
// Types the path into the dialog's file-name box and presses its OK button.
bool ChooseInFileDialog(HWND fileDialog, const std::string& path);
// What a message box shows: caption, text, whether it has an icon.
struct ShownMessage {
    std::string caption;
    std::string text;
    bool icon = false;
};
ShownMessage ReadMessageBox(HWND box);
// Presses a dialog's button as the user would.
void PressButton(HWND dialog, int id);

// Runs xdotool's "key" with the given keys on the virtual display (Wine
// starts the Unix program) and waits until it has sent them.
bool PressKeys(const std::string& keys);
// Makes a window of the driver the foreground window (and so the one that
// gets the keyboard on the display).
bool MakeForeground(HWND window);

// Whether the program's tray icon with this id is in the notification area.
bool TrayIconShown(const VelmoraProcess& app, UINT iconId);

// Names of the files and folders in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

} // namespace e2e

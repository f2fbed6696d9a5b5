// Registering the ban hotkey (id 333) on the main window.
#pragma once

#include <windows.h>

#include <string>

namespace engine {

// Registers hotkey 333 for window from the four settings; with reregister
// the old registration is dropped first. Returns 0, or the error of the
// failed registration (ERROR_HOTKEY_ALREADY_REGISTERED when another program
// holds the combination).
DWORD RegisterBanHotkey(HWND window, const std::string& key, int addAlt, int addCtrl, int addShift,
                        bool reregister);

// Why the key cannot be the hotkey's on this thread's keyboard layout, else "".
std::string BanHotkeyKeyProblem(const std::string& key);

} // namespace engine

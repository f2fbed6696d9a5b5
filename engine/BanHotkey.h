// Registering the ban hotkey (id 333) on the main window.
#pragma once

#include <windows.h>

#include <string>

namespace engine {

// Upper-cases the key in the ANSI code page (multi-byte aware).
std::string UpperCaseAnsi(const std::string& text);

// Registers hotkey 333 for window from the four settings; with reregister
// the old registration is dropped first. The outcome is not looked at: a
// combination held by another program simply does nothing.
void RegisterBanHotkey(HWND window, const std::string& key, int addAlt, int addCtrl, int addShift,
                       bool reregister);

} // namespace engine

// Opening an address through the shell, behind one replaceable function so
// that tests can see what would be opened without starting a browser.
#pragma once

#include <windows.h>

#include <string>

namespace controls {

struct ShellRequest {
    std::string verb; // empty: the shell's default verb
    std::string file;
    int show = SW_SHOWNORMAL;
    // The extended call without the shell's error messages (ShellExecuteEx
    // with SEE_MASK_FLAG_NO_UI) rather than the plain ShellExecute.
    bool quiet = false;
};

using ShellLauncher = void (*)(const ShellRequest& request);

// Opens the request; the shell's result is not looked at by any caller.
void OpenThroughShell(const ShellRequest& request);
// Replaces the launcher (null restores the shell's); returns the previous one.
ShellLauncher SetShellLauncher(ShellLauncher launcher);

} // namespace controls

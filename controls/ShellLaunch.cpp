#include "controls/ShellLaunch.h"

#include <shellapi.h>

namespace controls {

namespace {
// The shell's answer is not looked at: with no browser or mail program
// for the address, the shell itself tells the user (unless asked to be quiet).
void LaunchWithShell(const ShellRequest& request) {
    const char* verb = request.verb.empty() ? nullptr : request.verb.c_str();
    if (request.quiet) {
        SHELLEXECUTEINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = verb;
        info.lpFile = request.file.c_str();
        info.nShow = request.show;
        ::ShellExecuteExA(&info);
    } else {
        ::ShellExecuteA(nullptr, verb, request.file.c_str(), nullptr, nullptr, request.show);
    }
}

ShellLauncher g_launcher = LaunchWithShell;
} // namespace

void OpenThroughShell(const ShellRequest& request) {
    g_launcher(request);
}

ShellLauncher SetShellLauncher(ShellLauncher launcher) {
    ShellLauncher previous = g_launcher;
    g_launcher = launcher ? launcher : LaunchWithShell;
    return previous;
}

} // namespace controls

// The kill decision: what the main window does with each report of the hook
// library, and with the ban hotkey.
#pragma once

#include <windows.h>

#include <string>

#include "engine/OpenBrowserWindows.h"

class OptionsPage;
class BannedListPage;
class CStoppedPage;

namespace engine {

// The window title as the rules see it: at most 254 characters.
std::string ReadReportTitle(HWND window);
// The whole window title, however long.
std::string ReadWholeTitle(HWND window);
bool IsBrowserTitleAnsi(const std::string& title);

// Asks the window to close as if Close were chosen from its system menu.
// Bounded: a window that does not answer cannot hang the program; its
// request then waits in its queue instead.
void RequestClose(HWND window);

class PopupKiller {
public:
    PopupKiller(OptionsPage& options, BannedListPage& bannedList, CStoppedPage& stats)
        : options_(options), bannedList_(bannedList), stats_(stats) {}

    // WM_POPUP_CREATED: wParam is the window, lParam the event code.
    void OnReport(HWND window, LPARAM event);
    // Closes the window, then records the title on the statistics page.
    void KillPopup(HWND window, const std::string& title);
    // WM_HOTKEY: bans and closes the browser window in front.
    void OnBanHotkey();

    int32_t openBrowserCount() const { return openWindows_.Count(); }
    void ResetOpenBrowserCount() { openWindows_.Clear(); }

private:
    OptionsPage& options_;
    BannedListPage& bannedList_;
    CStoppedPage& stats_;
    OpenBrowserWindows openWindows_;
};

} // namespace engine

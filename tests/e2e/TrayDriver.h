// What the tray tests use beside the harness: Velmora's windows by class,
// the icons of Wine's notification area as the shell shows them, the probe
// library hooked into Velmora, and a record of windows being shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Harness.h"
#include "tests/e2e/probe/TrayProbe.h"

namespace e2e {

constexpr UINT kTrayNotify = WM_APP + 100;
constexpr UINT kIconStopped = 4;
constexpr UINT kIconStarted = 133;

// Top-level windows of a process with this class name.
std::vector<HWND> TopLevelWindowsOfClass(DWORD pid, const char* className);
inline HWND TrayWindowOf(const VelmoraProcess& app) {
    std::vector<HWND> found = TopLevelWindowsOfClass(app.Pid(), "VelmoraTrayWindow");
    return found.size() == 1 ? found[0] : nullptr;
}
// The parent a window is drawn in (the desktop for a top-level window).
inline HWND ParentOf(HWND window) { return ::GetAncestor(window, GA_PARENT); }

// One icon in Wine's notification area ("Wine System Tray").
struct ShellIcon {
    HWND window;
    std::string tip;
    // The icon's pixels as the screen shows them.
    std::string pixels;
};
std::vector<ShellIcon> ShellIcons();
// The icons now shown that were not among the earlier ones: a program killed
// by another test leaves its icon behind in Wine's notification area.
std::vector<ShellIcon> ShellIconsBesides(const std::vector<ShellIcon>& earlier);
// Whether the shell holds an icon of this window and id (only those can change).
bool ShellHasIcon(HWND owner, UINT id);
// Takes an icon away behind its owner's back, as a new taskbar does.
bool ShellDropIcon(HWND owner, UINT id);

// The visible menu window ("#32768") of a process, waited for.
HWND WaitForTrackedMenu(DWORD pid, DWORD timeoutMs = 5000);
bool NoMenuTracked(DWORD pid);

// The probe library hooked into the thread of Velmora's main window.
class VelmoraProbe {
public:
    explicit VelmoraProbe(HWND mainWindow);
    ~VelmoraProbe();
    VelmoraProbe(const VelmoraProbe&) = delete;
    VelmoraProbe& operator=(const VelmoraProbe&) = delete;
    bool Attached() const { return hook_ != nullptr; }

    struct Objects {
        long gdi = 0, menus = 0, icons = 0, windows = 0;
    };
    bool Count(Objects& objects);

    struct MenuItem {
        UINT id;
        std::string text;
        bool isDefault;
    };
    // The menu Velmora tracks now; false when there is none.
    bool ReadTrackedMenu(std::vector<MenuItem>& items, int& defaultPosition);

private:
    bool Ask(probe::Query query);
    HWND main_;
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
    const probe::Report* report_ = nullptr;
};

// Counts, in every process, the times a window captioned "Draxtel Velmora"
// is about to be shown, from creation on, while it lives.
class ShowRecorder {
public:
    ShowRecorder();
    ~ShowRecorder();
    ShowRecorder(const ShowRecorder&) = delete;
    ShowRecorder& operator=(const ShowRecorder&) = delete;
    bool Attached() const { return hook_ != nullptr; }
    long MainWindowShows() const;

private:
    HMODULE library_ = nullptr;
    HHOOK hook_ = nullptr;
    const probe::Report* report_ = nullptr;
};

} // namespace e2e

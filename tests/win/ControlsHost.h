// What the control tests share: a visible top-level window that hosts test
// controls and records what its children tell it, a stand-in for the shell
// that records the addresses it is asked to open, pumping, pixels, and the
// process's GDI object count.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ShellLaunch.h"
#include "framework/Window.h"

namespace wintest {

// Live GDI objects of this process. Wine's GetGuiResources is a stub
// (returns 0, ERROR_CALL_NOT_IMPLEMENTED), so the count comes from the
// handle table: a handle whose upper half is zero names its table slot,
// and GetObjectType answers for every live slot.
int GdiObjectCount();

// Dispatches what is queued (no pre-translation), for a while or until done.
void Pump(DWORD milliseconds = 0);

// The colour at a client point of a window, as drawn on screen.
COLORREF PixelAt(HWND window, int x, int y);
// Counts the client pixels for which the test holds.
int CountPixels(HWND window, const std::function<bool(COLORREF)>& test);
int CountPixels(HWND window, const RECT& area, const std::function<bool(COLORREF)>& test);

class HostWindow : public fw::CWindow {
public:
    explicit HostWindow(int width = 420, int height = 320,
                        COLORREF background = ::GetSysColor(COLOR_BTNFACE));
    ~HostWindow() override;

    HWND AddButton(int id, const char* caption, DWORD style, int x, int y, int w, int h);
    HWND AddStatic(int id, const char* text, DWORD style, int x, int y, int w, int h);

    struct Command {
        WORD code;
        WORD id;
        HWND control;
    };
    std::vector<Command> commands;
    std::vector<NMHDR> notifications;
    // Runs inside the WM_COMMAND handler, after the command is recorded.
    std::function<void(const Command&)> onCommand;
    COLORREF background;

    BEGIN_MSG_MAP(HostWindow)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
    END_MSG_MAP()

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, bool&);
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, bool&);
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    HFONT font_;
};

// Sends a message to every descendant, as the main window does with the
// colour change that only top-level windows hear of.
void SendToDescendants(HWND parent, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

// While it lives, addresses are recorded here instead of being opened.
class RecordedShell {
public:
    RecordedShell();
    ~RecordedShell();
    RecordedShell(const RecordedShell&) = delete;
    RecordedShell& operator=(const RecordedShell&) = delete;
    static std::vector<controls::ShellRequest>& Requests();

private:
    controls::ShellLauncher previous_;
};

} // namespace wintest

#include "tray/TrayAnimation.h"

#include <shellapi.h>

#include <vector>

#include "framework/Window.h"
#include "tray/NotificationArea.h"

namespace tray {

namespace {

const char kHiddenParentClass[] = "VelmoraHiddenParent";

// The one window that windows in the tray are children of. Invisible
// itself, so its children are neither shown nor on the taskbar.
class HiddenParent : public fw::Window {
public:
    ~HiddenParent() override { DestroyWindow(); }

    bool Create() {
        return RegisterPrivateClass(kHiddenParentClass) &&
               CreateEx(0, kHiddenParentClass, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr) != nullptr;
    }

    BEGIN_MSG_MAP(HiddenParent)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
    END_MSG_MAP()

private:
    // A window in the tray is no longer top-level, so the system's
    // end-of-session messages reach it only through its parent; without
    // them the main window could not save at log-off.
    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }
    LRESULT OnQueryEndSession(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
        for (HWND child : Children()) {
            if (::IsWindow(child) && !::SendMessageA(child, msg, wParam, lParam))
                return FALSE;
        }
        return TRUE;
    }
    LRESULT OnEndSession(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
        for (HWND child : Children()) {
            if (::IsWindow(child))
                ::SendMessageA(child, msg, wParam, lParam);
        }
        return 0;
    }
};

// Made on first use, destroyed when the program ends.
HiddenParent hiddenParent;

tray::Rect ToRect(const RECT& r) {
    return tray::Rect{r.left, r.top, r.right, r.bottom};
}

class SystemTaskbar : public tray::TaskbarGeometry {
public:
    bool TaskbarRect(tray::Rect& rect) override {
        if (!taskbar)
            return false;
        RECT r{};
        ::GetWindowRect(taskbar, &r);
        rect = ToRect(r);
        return true;
    }

    void ForEachTaskbarDescendant(const Visit& visit) override {
        ::EnumChildWindows(taskbar, VisitOne, reinterpret_cast<LPARAM>(&visit));
    }

    bool ShellTaskbarPosition(unsigned& edge, tray::Rect& bar) override {
        APPBARDATA data{};
        data.cbSize = sizeof(data);
        if (!::SHAppBarMessage(ABM_GETTASKBARPOS, &data))
            return false;
        edge = data.uEdge;
        bar = ToRect(data.rc);
        return true;
    }

    tray::Rect WorkArea() override {
        RECT r{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
        return ToRect(r);
    }

private:
    static BOOL CALLBACK VisitOne(HWND hwnd, LPARAM lParam) {
        try {
            char className[255] = {};
            ::GetClassNameA(hwnd, className, sizeof(className));
            RECT r{};
            ::GetWindowRect(hwnd, &r);
            return (*reinterpret_cast<const Visit*>(lParam))(className, ToRect(r)) ? TRUE : FALSE;
        } catch (...) {
            return FALSE;
        }
    }

    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
};

void SetVisibleBit(HWND window, bool visible) {
    LONG style = ::GetWindowLongA(window, GWL_STYLE);
    ::SetWindowLongA(window, GWL_STYLE, visible ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE));
}

} // namespace

#ifdef _WIN64
static_assert(sizeof(APPBARDATA) == 48, "the 64-bit shell's record");
#else
static_assert(sizeof(APPBARDATA) == 36, "the 32-bit shell's record");
#endif

HWND HiddenParentWindow() {
    return hiddenParent.IsWindow() ? hiddenParent.m_hWnd : nullptr;
}

bool MinimizeAnimationOn() {
    ANIMATIONINFO info{};
    info.cbSize = sizeof(info);
    ::SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0);
    return info.iMinAnimate != 0;
}

void LocateNotificationArea(RECT& rect) {
    SystemTaskbar taskbar;
    tray::Rect area = tray::LocateNotificationArea(taskbar);
    rect = RECT{area.left, area.top, area.right, area.bottom};
}

bool DetachFromTaskbar(HWND window) {
    if (!hiddenParent.IsWindow() && !hiddenParent.Create())
        return false;
    ::SetParent(window, hiddenParent.m_hWnd);
    return true;
}

void ShrinkToTray(HWND window) {
    if (MinimizeAnimationOn()) {
        RECT from{}, to{};
        ::GetWindowRect(window, &from);
        LocateNotificationArea(to);
        ::DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    // Still top-level without the hidden parent: a cleared style bit alone
    // would leave its picture on the screen and its button on the taskbar.
    if (!DetachFromTaskbar(window))
        ::ShowWindow(window, SW_HIDE);
    // The style bit alone: a child of the hidden parent is drawn nowhere.
    SetVisibleBit(window, false);
}

void GrowFromTray(HWND window) {
    // A window never hidden has the desktop as its parent already. Giving it
    // again would hide and show it, and under Wine it then ends up inactive
    // with the desktop in front, whatever is activated after.
    bool inTray = ::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow();
    if (MinimizeAnimationOn()) {
        RECT target{}, source{};
        ::GetWindowRect(window, &target);
        LocateNotificationArea(source);
        if (inTray)
            ::SetParent(window, nullptr);
        ::DrawAnimatedRects(window, IDANI_CAPTION, &source, &target);
    } else if (inTray) {
        ::SetParent(window, nullptr);
    }
    SetVisibleBit(window, true);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (HWND parent = HiddenParentWindow())
        ::SetActiveWindow(parent);
    ::SetActiveWindow(window);
    ::SetForegroundWindow(window);
}

} // namespace tray

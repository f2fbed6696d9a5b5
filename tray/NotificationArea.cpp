#include "tray/NotificationArea.h"

namespace tray {

namespace {

Rect FromTaskbarWindows(TaskbarGeometry& geometry, const Rect& taskbar) {
    Rect rect = taskbar;
    geometry.ForEachTaskbarDescendant([&rect](const std::string& className, const Rect& found) {
        if (className == "TrayNotifyWnd") {
            rect = found;
            return true;
        }
        if (className == "TrayClockWClass") {
            // A clock ending well above the area's bottom sits on a vertical
            // taskbar, on top of the icons; otherwise it is right of them.
            if (found.bottom < rect.bottom - 5)
                rect.top = found.bottom;
            else
                rect.right = found.left;
            return false;
        }
        return true;
    });
    return rect;
}

Rect FromWorkArea(const Rect& workArea) {
    Rect rect = workArea;
    rect.left = workArea.right - 150;
    rect.top = workArea.bottom - 30;
    return rect;
}

} // namespace

Rect LocateNotificationArea(TaskbarGeometry& geometry) {
    Rect taskbar;
    if (geometry.TaskbarRect(taskbar))
        return FromTaskbarWindows(geometry, taskbar);

    unsigned edge = 0;
    Rect bar;
    if (geometry.ShellTaskbarPosition(edge, bar)) {
        switch (edge) {
        case kEdgeLeft:
        case kEdgeRight:
            return Rect{bar.left, bar.bottom - 100, bar.right, bar.bottom - 16};
        case kEdgeTop:
        case kEdgeBottom:
            return Rect{bar.right - 100, bar.top, bar.right - 16, bar.bottom};
        default:
            // An edge the shell never names: aim at the corner instead.
            break;
        }
    }
    return FromWorkArea(geometry.WorkArea());
}

} // namespace tray

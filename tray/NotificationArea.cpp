#include "tray/NotificationArea.h"

namespace tray {

namespace {

// A clock whose bottom is this far above the area's bottom sits on top of
// the icons (a vertical taskbar) rather than beside them.
constexpr int kClockAboveSlack = 5;
// Where no window gives the area, it is taken as a strip of this size in
// the work area's bottom right corner.
constexpr int kGuessedAreaWidth = 150;
constexpr int kGuessedAreaHeight = 30;
// On a taskbar the shell only names the edge of: a stretch of this length
// along the bar, ending this far from its far end (where the clock sits).
constexpr int kGuessedAreaLength = 100;
constexpr int kGuessedClockLength = 16;

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
            if (found.bottom < rect.bottom - kClockAboveSlack)
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
    rect.left = workArea.right - kGuessedAreaWidth;
    rect.top = workArea.bottom - kGuessedAreaHeight;
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
            return Rect{bar.left, bar.bottom - kGuessedAreaLength, bar.right,
                        bar.bottom - kGuessedClockLength};
        case kEdgeTop:
        case kEdgeBottom:
            return Rect{bar.right - kGuessedAreaLength, bar.top, bar.right - kGuessedClockLength,
                        bar.bottom};
        default:
            // An edge the shell never names: aim at the corner instead.
            break;
        }
    }
    return FromWorkArea(geometry.WorkArea());
}

} // namespace tray

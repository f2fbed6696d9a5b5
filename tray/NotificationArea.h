// Where on the screen the notification area is: the rectangle the tray
// animations aim at. Portable: the taskbar, the shell and the work area
// come in through TaskbarGeometry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tray {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The shell's taskbar edges (ABE_LEFT, ABE_TOP, ABE_RIGHT, ABE_BOTTOM).
constexpr unsigned kEdgeLeft = 0;
constexpr unsigned kEdgeTop = 1;
constexpr unsigned kEdgeRight = 2;
constexpr unsigned kEdgeBottom = 3;

class TaskbarGeometry {
public:
    virtual ~TaskbarGeometry() = default;
    // The taskbar window's rectangle; false when there is no taskbar window.
    virtual bool TaskbarRect(Rect& rect) = 0;
    // Every window below the taskbar, children and theirs, in the system's
    // order, until visit returns false.
    using Visit = std::function<bool(const std::string& className, const Rect& rect)>;
    virtual void ForEachTaskbarDescendant(const Visit& visit) = 0;
    // The shell's answer about its taskbar; false when it gives none.
    virtual bool ShellTaskbarPosition(unsigned& edge, Rect& bar) = 0;
    virtual Rect WorkArea() = 0;
};

Rect LocateNotificationArea(TaskbarGeometry& geometry);

} // namespace tray

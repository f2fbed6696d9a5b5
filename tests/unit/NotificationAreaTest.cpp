#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tray/NotificationArea.h"

using namespace tray;

namespace {

class FakeTaskbar : public TaskbarGeometry {
public:
    bool hasTaskbar = false, shellAnswers = false;
    Rect taskbar, bar, workArea{0, 0, 1280, 994};
    std::vector<std::pair<std::string, Rect>> descendants;
    unsigned edge = kEdgeBottom;

    bool TaskbarRect(Rect& rect) override { return rect = taskbar, hasTaskbar; }
    void ForEachTaskbarDescendant(const Visit& visit) override {
        for (const auto& window : descendants)
            if (!visit(window.first, window.second))
                break;
    }
    bool ShellTaskbarPosition(unsigned& e, Rect& b) override {
        return e = edge, b = bar, shellAnswers;
    }
    Rect WorkArea() override { return workArea; }
};

FakeTaskbar Taskbar(Rect rect, std::vector<std::pair<std::string, Rect>> descendants) {
    FakeTaskbar geometry;
    geometry.hasTaskbar = true;
    geometry.taskbar = rect;
    geometry.descendants = std::move(descendants);
    return geometry;
}

} // namespace

TEST(NotificationArea, TaskbarPartsAimBesideTheClock) {
    FakeTaskbar horizontal =
        Taskbar({0, 994, 1280, 1024}, {{"Button", {0, 996, 60, 1022}},
                                       {"TrayNotifyWnd", {1100, 996, 1278, 1022}},
                                       {"TrayClockWClass", {1210, 998, 1276, 1020}},
                                       {"TrayNotifyWnd", {1, 1, 2, 2}}});
    EXPECT_EQ((Rect{1100, 996, 1210, 1022}), LocateNotificationArea(horizontal))
        << "left of the clock, which ends the search";

    FakeTaskbar vertical =
        Taskbar({1220, 0, 1280, 1024}, {{"TrayNotifyWnd", {1222, 900, 1278, 1020}},
                                        {"TrayClockWClass", {1222, 900, 1278, 1014}}});
    EXPECT_EQ((Rect{1222, 1014, 1278, 1020}), LocateNotificationArea(vertical))
        << "below a clock whose bottom is 6 pixels above the area's";
    vertical.descendants[1].second.bottom = 1015;
    EXPECT_EQ((Rect{1222, 900, 1222, 1020}), LocateNotificationArea(vertical))
        << "5 pixels is still a clock beside the icons";

    // Without its parts (class names match exactly) the taskbar is taken
    // whole, and the shell is not asked.
    FakeTaskbar bare = Taskbar(
        {0, 0, 0, 0}, {{"traynotifywnd", {5, 5, 6, 6}}, {"TrayClockWClassX", {7, 7, 8, 8}}});
    bare.shellAnswers = true;
    bare.bar = {0, 1000, 1280, 1024};
    EXPECT_EQ((Rect{0, 0, 0, 0}), LocateNotificationArea(bare));
}

TEST(NotificationArea, WithoutATaskbarTheShellsEdgeOrElseTheWorkAreaCorner) {
    FakeTaskbar geometry;
    geometry.shellAnswers = true;
    const struct {
        unsigned edge;
        Rect bar, expected;
    } cases[] = {
        {kEdgeBottom, {0, 994, 1280, 1024}, {1180, 994, 1264, 1024}},
        {kEdgeTop, {0, 0, 1280, 30}, {1180, 0, 1264, 30}},
        {kEdgeRight, {1220, 0, 1280, 1024}, {1220, 924, 1280, 1008}},
        {kEdgeLeft, {0, 0, 60, 1024}, {0, 924, 60, 1008}},
        {4, {0, 994, 1280, 1024}, {1130, 964, 1280, 994}}, // an edge outside the four
    };
    for (const auto& c : cases) {
        geometry.edge = c.edge;
        geometry.bar = c.bar;
        EXPECT_EQ(c.expected, LocateNotificationArea(geometry)) << "edge " << c.edge;
    }
    geometry.shellAnswers = false;
    geometry.workArea = {10, 20, 1280, 994};
    EXPECT_EQ((Rect{1130, 964, 1280, 994}), LocateNotificationArea(geometry)) << "a 150 x 30 box";
}

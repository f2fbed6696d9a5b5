#include <gtest/gtest.h>

#include <vector>

#include "tray/NotificationArea.h"

using namespace tray;

namespace {

struct FakeWindow {
    std::string className;
    Rect rect;
};

class FakeTaskbar : public TaskbarGeometry {
public:
    bool hasTaskbar = false;
    Rect taskbar;
    std::vector<FakeWindow> descendants;
    bool shellAnswers = false;
    unsigned edge = kEdgeBottom;
    Rect bar;
    Rect workArea{0, 0, 1280, 994};
    int visited = 0;

    bool TaskbarRect(Rect& rect) override {
        rect = taskbar;
        return hasTaskbar;
    }
    void ForEachTaskbarDescendant(const Visit& visit) override {
        for (const FakeWindow& window : descendants) {
            ++visited;
            if (!visit(window.className, window.rect))
                break;
        }
    }
    bool ShellTaskbarPosition(unsigned& e, Rect& b) override {
        e = edge;
        b = bar;
        return shellAnswers;
    }
    Rect WorkArea() override { return workArea; }
};

} // namespace

TEST(NotificationArea, HorizontalTaskbarAimsLeftOfTheClock) {
    FakeTaskbar geometry;
    geometry.hasTaskbar = true;
    geometry.taskbar = {0, 994, 1280, 1024};
    geometry.descendants = {{"Button", {0, 996, 60, 1022}},
                            {"TrayNotifyWnd", {1100, 996, 1278, 1022}},
                            {"ToolbarWindow32", {1104, 998, 1200, 1020}},
                            {"TrayClockWClass", {1210, 998, 1276, 1020}},
                            {"TrayNotifyWnd", {1, 1, 2, 2}}};
    EXPECT_EQ((Rect{1100, 996, 1210, 1022}), LocateNotificationArea(geometry));
    EXPECT_EQ(4, geometry.visited) << "the clock ends the search";
}

TEST(NotificationArea, VerticalTaskbarAimsBelowTheClock) {
    FakeTaskbar geometry;
    geometry.hasTaskbar = true;
    geometry.taskbar = {1220, 0, 1280, 1024};
    geometry.descendants = {{"TrayNotifyWnd", {1222, 900, 1278, 1020}},
                            {"TrayClockWClass", {1222, 900, 1278, 1014}}};
    EXPECT_EQ((Rect{1222, 1014, 1278, 1020}), LocateNotificationArea(geometry))
        << "clock bottom 6 pixels above the area's";

    geometry.descendants[1].rect.bottom = 1015;
    EXPECT_EQ((Rect{1222, 900, 1222, 1020}), LocateNotificationArea(geometry))
        << "5 pixels is still a clock beside the icons";
}

TEST(NotificationArea, TaskbarWithoutItsPartsIsTakenWhole) {
    FakeTaskbar geometry;
    geometry.hasTaskbar = true;
    geometry.taskbar = {0, 0, 0, 0};
    geometry.descendants = {{"traynotifywnd", {5, 5, 6, 6}}, {"TrayClockWClassX", {7, 7, 8, 8}}};
    geometry.shellAnswers = true;
    geometry.bar = {0, 1000, 1280, 1024};
    EXPECT_EQ((Rect{0, 0, 0, 0}), LocateNotificationArea(geometry))
        << "class names match exactly, and the shell is not asked";
}

TEST(NotificationArea, ShellAnswerByEdge) {
    FakeTaskbar geometry;
    geometry.shellAnswers = true;
    geometry.bar = {0, 994, 1280, 1024};
    geometry.edge = kEdgeBottom;
    EXPECT_EQ((Rect{1180, 994, 1264, 1024}), LocateNotificationArea(geometry));
    geometry.edge = kEdgeTop;
    geometry.bar = {0, 0, 1280, 30};
    EXPECT_EQ((Rect{1180, 0, 1264, 30}), LocateNotificationArea(geometry));
    geometry.bar = {1220, 0, 1280, 1024};
    geometry.edge = kEdgeRight;
    EXPECT_EQ((Rect{1220, 924, 1280, 1008}), LocateNotificationArea(geometry));
    geometry.bar = {0, 0, 60, 1024};
    geometry.edge = kEdgeLeft;
    EXPECT_EQ((Rect{0, 924, 60, 1008}), LocateNotificationArea(geometry));
}

TEST(NotificationArea, NoTaskbarOrUnknownEdgeAimsAtTheWorkAreaCorner) {
    FakeTaskbar geometry;
    geometry.workArea = {10, 20, 1280, 994};
    EXPECT_EQ((Rect{1130, 964, 1280, 994}), LocateNotificationArea(geometry));

    geometry.shellAnswers = true;
    geometry.bar = {0, 994, 1280, 1024};
    geometry.edge = 4;
    EXPECT_EQ((Rect{1130, 964, 1280, 994}), LocateNotificationArea(geometry));
}

// The icon reaches the shell and leaves it while the program runs: a lost
// NIM_DELETE leaves a dead icon on Windows until the pointer passes over it.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"
#include "tray/SystemTray.h"

TEST(SystemTray, TheIconShowsInTheTrayAndGoesOnDelete) {
    tray::SystemTray tray;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "Draxtel Velmora",
                               ::LoadIconA(nullptr, IDI_APPLICATION), 1));
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TrayIconWindow() != nullptr; }))
        << "the shell shows no icon";
    ASSERT_TRUE(tray.DeleteIcon());
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::TrayIconWindow() == nullptr; }))
        << "the icon stays after its delete";
}

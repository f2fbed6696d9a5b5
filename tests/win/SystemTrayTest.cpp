// The icon reaches the shell and leaves it while the program runs: a lost
// NIM_DELETE leaves a dead icon on Windows until the pointer passes over it.
// The program's icons come at the small icon size for the main window's DPI.
#include <gtest/gtest.h>

#include "framework/Dpi.h"
#include "resources/resource.h"
#include "tests/e2e/Harness.h"
#include "tests/win/Support.h"
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

TEST(SystemTray, AnIconFromTheResourcesComesAtTheSmallIconSizeForTheMainWindowsDpi) {
    wintest::HostWindow main;
    fw::SetMainWindow(main.m_hWnd);
    tray::SystemTray tray;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "Draxtel Velmora", nullptr, 1));
    auto width = [&] {
        ICONINFO info{};
        if (!::GetIconInfo(tray.iconData.hIcon, &info))
            return 0;
        fw::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        return static_cast<int>(info.xHotspot) * 2;
    };
    fw::RecordWindowDpi(main.m_hWnd, 144);
    EXPECT_TRUE(tray.ReplaceIcon(IDI_STARTED));
    EXPECT_EQ(24, width());
    fw::RecordWindowDpi(main.m_hWnd, 192);
    EXPECT_TRUE(tray.ReloadIconForDpi());
    EXPECT_EQ(32, width());
    fw::ForgetWindowDpi(main.m_hWnd);
    fw::SetMainWindow(nullptr);
    EXPECT_TRUE(tray.DeleteIcon());
}

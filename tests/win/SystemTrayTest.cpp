// The program's icons come at the small icon size for the main window's DPI.
// That the icon reaches the shell and leaves it with the program is the
// end-to-end tests'.
#include <gtest/gtest.h>

#include "framework/Dpi.h"
#include "resources/resource.h"
#include "tests/win/Support.h"
#include "tray/SystemTray.h"

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

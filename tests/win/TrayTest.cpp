// The tray icon with a real window and Wine's shell.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tray/SystemTray.h"

namespace {

// Asks the shell about an icon of this window and id: only an existing one
// can be changed or deleted.
bool Shell(DWORD message, HWND hwnd, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = hwnd;
    data.uID = id;
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

bool HasIcon(HWND hwnd, UINT id) {
    return Shell(NIM_MODIFY, hwnd, id);
}

} // namespace

TEST(SystemTray, PlacedAgainOrDestroyedItLeavesNoIconBehind) {
    HWND window = nullptr;
    {
        CSystemTray tray;
        ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "a", nullptr, IDR_TRAY_STOPPED));
        window = tray.m_hWnd;
        EXPECT_TRUE(HasIcon(window, IDR_TRAY_STOPPED));
        ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "b", nullptr, IDR_TRAY_STARTED));
        EXPECT_EQ(window, tray.m_hWnd);
        EXPECT_FALSE(HasIcon(window, IDR_TRAY_STOPPED)) << "the old icon was taken away";
        EXPECT_TRUE(HasIcon(window, IDR_TRAY_STARTED));
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(Shell(NIM_DELETE, window, IDR_TRAY_STARTED)) << "the icon was deleted before";
}

TEST(SystemTray, AWorkAreaChangeBringsBackAPresentIconOnly) {
    // The flag rules are tested natively; this is the message that runs them.
    CSystemTray tray;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, IDR_TRAY_STARTED));
    ASSERT_TRUE(Shell(NIM_DELETE, tray.m_hWnd, IDR_TRAY_STARTED)); // the shell forgot it
    ::SendMessageA(tray.m_hWnd, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    EXPECT_FALSE(HasIcon(tray.m_hWnd, IDR_TRAY_STARTED)) << "other settings do not re-add";
    ::SendMessageA(tray.m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(HasIcon(tray.m_hWnd, IDR_TRAY_STARTED));
    ASSERT_TRUE(tray.DeleteIcon());
    ::SendMessageA(tray.m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(HasIcon(tray.m_hWnd, IDR_TRAY_STARTED)) << "deleted on purpose: it stays away";
}

// The tray icon and the tray animation with real windows and Wine's shell.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win/Support.h"
#include "tray/SystemTray.h"
#include "tray/TrayAnimation.h"

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
        EXPECT_FALSE(::IsWindowVisible(window));
        EXPECT_EQ(nullptr, ::GetWindow(window, GW_OWNER));
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

namespace {
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefuseHiddenParent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const char* cls = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
        if (HIWORD(reinterpret_cast<UINT_PTR>(cls)) && std::string(cls) == "VelmoraHiddenParent")
            return 1;
    }
    return ::CallNextHookEx(g_refuseHook, code, wParam, lParam);
}
} // namespace

TEST(TrayAnimation, WithoutTheHiddenParentTheWindowIsStillHiddenAndComesBack) {
    // Only a hidden parent not made yet can fail; start from none.
    if (HWND hidden = HiddenParentWindow())
        ::DestroyWindow(hidden);
    wintest::HostWindow target;
    POINT inside{250, 200};
    {
        fw::UniqueHook refuse(::SetWindowsHookExA(WH_CBT, RefuseHiddenParent, nullptr,
                                                  ::GetCurrentThreadId()));
        g_refuseHook = refuse.Get();
        EXPECT_FALSE(DetachFromTaskbar(target.m_hWnd));
        EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(target.m_hWnd, GA_PARENT)) << "kept";
        ShrinkToTray(target.m_hWnd);
        wintest::Pump(200);
        EXPECT_FALSE(::GetWindowLongA(target.m_hWnd, GWL_STYLE) & WS_VISIBLE);
        EXPECT_NE(target.m_hWnd, ::WindowFromPoint(inside)) << "nothing of it left on the screen";
    }
    GrowFromTray(target.m_hWnd);
    wintest::Pump();
    EXPECT_EQ(target.m_hWnd, ::WindowFromPoint(inside));
    EXPECT_TRUE(DetachFromTaskbar(target.m_hWnd)) << "made when it can be";
    EXPECT_EQ(HiddenParentWindow(), ::GetAncestor(target.m_hWnd, GA_PARENT));
    GrowFromTray(target.m_hWnd);
}

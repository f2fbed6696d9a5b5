// The tray icon and the tray animation with real windows and Wine's shell.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tray/SystemTray.h"
#include "tray/TrayAnimation.h"

namespace {

// A stand-in for the main window: records the commands and end-of-session
// messages it gets.
struct TargetWindow {
    HWND hwnd = nullptr;
    std::vector<WPARAM> commands;
    std::vector<UINT> sessionMessages;
    LRESULT queryAnswer = TRUE;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TargetWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && msg == WM_COMMAND)
            self->commands.push_back(wParam);
        if (self && (msg == WM_QUERYENDSESSION || msg == WM_ENDSESSION)) {
            self->sessionMessages.push_back(msg);
            return msg == WM_QUERYENDSESSION ? self->queryAnswer : 0;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    TargetWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "VelmoraTestTarget";
        ::RegisterClassA(&wc);
        hwnd = ::CreateWindowExA(WS_EX_APPWINDOW, "VelmoraTestTarget", "Target",
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 300,
                                 200, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        Pump();
    }
    ~TargetWindow() {
        fw::SetMainWindow(nullptr);
        ::DestroyWindow(hwnd);
    }
    // Wine hears of focus changes from X a little later: pump a while.
    static void Pump(DWORD milliseconds = 0) {
        DWORD start = ::GetTickCount();
        MSG msg;
        do {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            if (milliseconds)
                ::Sleep(10);
        } while (::GetTickCount() - start < milliseconds);
    }
};

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

// Whether the shell has an icon of this window and id: only an existing one can be changed.
bool ShellHasIcon(HWND hwnd, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = hwnd;
    data.uID = id;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool ShellDropsIcon(HWND hwnd, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = hwnd;
    data.uID = id;
    return ::Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

int CountHiddenParents() {
    struct Count {
        int n = 0;
        static BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
            if (ClassOf(hwnd) == "VelmoraHiddenParent")
                ++reinterpret_cast<Count*>(lParam)->n;
            return TRUE;
        }
    } count;
    ::EnumThreadWindows(::GetCurrentThreadId(), Count::Visit, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

HWND ParentOf(HWND hwnd) { return ::GetAncestor(hwnd, GA_PARENT); }

} // namespace

TEST(SystemTray, PlaceIconMakesAHiddenPopupAndTheRecord) {
    CSystemTray tray;
    std::string longTip(200, 't');
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM));
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, longTip.c_str(), icon, IDR_TRAY_STOPPED));
    HWND window = tray.m_hWnd;
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ("VelmoraTrayWindow", ClassOf(window));
    EXPECT_EQ(static_cast<LONG>(WS_POPUP), ::GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS);
    EXPECT_EQ(0, ::GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(::GetDesktopWindow(), ParentOf(window));
    EXPECT_FALSE(::GetWindow(window, GW_OWNER));

    EXPECT_EQ(488u, tray.iconData.cbSize);
    EXPECT_EQ(window, tray.iconData.hWnd);
    EXPECT_EQ(4u, tray.iconData.uID);
    EXPECT_EQ(static_cast<UINT>(0x8064), tray.iconData.uCallbackMessage);
    EXPECT_EQ(icon, tray.iconData.hIcon);
    EXPECT_EQ(7u, tray.addFlags);
    EXPECT_EQ(std::string(127, 't'), tray.iconData.szTip);
    EXPECT_TRUE(tray.trayAvailable);
    EXPECT_FALSE(tray.iconHidden);
    EXPECT_FALSE(tray.iconDeleted);
    EXPECT_TRUE(ShellHasIcon(window, 4));

    EXPECT_TRUE(tray.ReplaceIcon(static_cast<UINT>(IDI_STARTED)));
    EXPECT_TRUE(tray.iconData.hIcon && tray.iconData.hIcon != icon);
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_FALSE(ShellHasIcon(window, 4));
    EXPECT_TRUE(::IsWindow(window)) << "the window stays until it is destroyed";
    EXPECT_TRUE(tray.DestroyWindow());

    // Placed again over a live icon, the old one must not stay behind.
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "a", nullptr, IDR_TRAY_STOPPED));
    window = tray.m_hWnd;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "b", nullptr, IDR_TRAY_STARTED));
    EXPECT_EQ(window, tray.m_hWnd);
    EXPECT_FALSE(ShellHasIcon(window, 4));
    EXPECT_TRUE(ShellHasIcon(window, 133));
}

TEST(SystemTray, DestructionTakesTheIconAndTheWindowAway) {
    HWND window = nullptr;
    {
        CSystemTray tray;
        ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, IDR_TRAY_STARTED));
        window = tray.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(ShellDropsIcon(window, 133)) << "the icon was deleted before";
}

TEST(SystemTray, MouseMessagesOnTheIcon) {
    TargetWindow target;
    CSystemTray tray;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, IDR_TRAY_STARTED));
    HWND window = tray.m_hWnd;
    auto notify = [&](WPARAM id, LPARAM mouse) {
        return ::SendMessageA(window, WM_TRAY_NOTIFY, id, mouse);
    };

    EXPECT_EQ(0, notify(133, WM_LBUTTONDBLCLK)) << "no main window";
    fw::SetMainWindow(target.hwnd);
    EXPECT_EQ(0, notify(4, WM_LBUTTONDBLCLK)) << "another icon's message";
    EXPECT_TRUE(target.commands.empty());
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDOWN,
                         WM_RBUTTONDBLCLK, WM_MBUTTONUP})
        EXPECT_EQ(1, notify(133, mouse)) << mouse;
    EXPECT_TRUE(target.commands.empty()) << "nothing but the double-click sends a command";

    EXPECT_EQ(1, notify(133, WM_LBUTTONDBLCLK));
    EXPECT_EQ((std::vector<WPARAM>{130}), target.commands) << "sent before the answer";
    EXPECT_EQ(1, notify(133, MAKELPARAM(WM_LBUTTONDBLCLK, 7))) << "the low word is the message";
    EXPECT_EQ(2u, target.commands.size());

    tray.DeleteIcon();
    tray.DestroyWindow();
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, IDR_TRAY_STOPPED));
    target.commands.clear();
    EXPECT_EQ(1, ::SendMessageA(tray.m_hWnd, WM_TRAY_NOTIFY, 4, WM_LBUTTONDBLCLK));
    EXPECT_EQ((std::vector<WPARAM>{130}), target.commands);

    // An id with no menu resource behind it: nothing shown, nothing sent.
    tray.DeleteIcon();
    tray.DestroyWindow();
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, 999));
    target.commands.clear();
    EXPECT_EQ(0, ::SendMessageA(tray.m_hWnd, WM_TRAY_NOTIFY, 999, WM_LBUTTONDBLCLK));
    EXPECT_EQ(0, ::SendMessageA(tray.m_hWnd, WM_TRAY_NOTIFY, 999, WM_RBUTTONUP));
    EXPECT_TRUE(target.commands.empty());
    EXPECT_FALSE(::FindWindowA("#32768", nullptr) &&
                 ::IsWindowVisible(::FindWindowA("#32768", nullptr)));
}

TEST(SystemTray, TaskbarCreatedBringsBackTheIconAndItsImage) {
    CSystemTray tray;
    ASSERT_TRUE(tray.PlaceIcon(WM_TRAY_NOTIFY, "tip", nullptr, IDR_TRAY_STARTED));
    ASSERT_TRUE(tray.ReplaceIcon(static_cast<UINT>(IDI_STARTED)));
    HICON image = tray.iconData.hIcon;
    HWND window = tray.m_hWnd;
    UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_EQ(taskbarCreated, CSystemTray::TaskbarCreatedMessage());

    // The shell forgets the icon, as it does when its taskbar is made anew.
    ASSERT_TRUE(ShellDropsIcon(window, 133));
    EXPECT_EQ(0, ::SendMessageA(window, taskbarCreated, 0, 0));
    EXPECT_TRUE(ShellHasIcon(window, 133));
    EXPECT_FALSE(tray.iconHidden);
    EXPECT_FALSE(tray.iconDeleted);
    EXPECT_TRUE(tray.reAddPending);
    EXPECT_EQ(image, tray.iconData.hIcon);
    EXPECT_EQ(7u, tray.iconData.uFlags) << "added with the flags of the first add";

    // A work-area change leaves the icon with the shell, which will not take it twice.
    ::SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(tray.iconHidden) << "still shown";
    EXPECT_TRUE(ShellHasIcon(window, 133));
    ASSERT_TRUE(ShellDropsIcon(window, 133));
    ::SendMessageA(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    EXPECT_FALSE(ShellHasIcon(window, 133)) << "other settings do not re-add";
    ::SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(ShellHasIcon(window, 133));

    // Deleted on purpose: it stays away.
    ASSERT_TRUE(tray.DeleteIcon());
    ::SendMessageA(window, taskbarCreated, 0, 0);
    EXPECT_FALSE(ShellHasIcon(window, 133));
    EXPECT_TRUE(tray.iconHidden);
}

TEST(TrayAnimation, GrowOnAWindowNeverShrunkShowsIt) {
    TargetWindow target;
    ::ShowWindow(target.hwnd, SW_HIDE);
    TargetWindow::Pump(300);
    GrowFromTray(target.hwnd);
    TargetWindow::Pump(300);
    EXPECT_TRUE(::IsWindowVisible(target.hwnd));
    EXPECT_EQ(::GetDesktopWindow(), ParentOf(target.hwnd));
    EXPECT_EQ(target.hwnd, ::GetForegroundWindow());
}

TEST(TrayAnimation, HiddenParentPassesTheEndOfTheSessionOn) {
    TargetWindow first, second;
    ShrinkToTray(first.hwnd);
    ShrinkToTray(second.hwnd);
    HWND hidden = HiddenParentWindow();
    ASSERT_TRUE(hidden);

    EXPECT_EQ(TRUE, ::SendMessageA(hidden, WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ((std::vector<UINT>{WM_QUERYENDSESSION}), first.sessionMessages);
    EXPECT_EQ((std::vector<UINT>{WM_QUERYENDSESSION}), second.sessionMessages);
    ::SendMessageA(hidden, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(2u, first.sessionMessages.size());
    EXPECT_EQ(WM_ENDSESSION, second.sessionMessages.back());

    second.queryAnswer = FALSE;
    first.queryAnswer = FALSE;
    EXPECT_EQ(FALSE, ::SendMessageA(hidden, WM_QUERYENDSESSION, 0, 0)) << "a child refuses";

    GrowFromTray(first.hwnd);
    GrowFromTray(second.hwnd);
    first.sessionMessages.clear();
    EXPECT_EQ(TRUE, ::SendMessageA(hidden, WM_QUERYENDSESSION, 0, 0)) << "no children left";
    EXPECT_TRUE(first.sessionMessages.empty());
}

namespace {
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefuseHiddenParent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        const char* cls = create->lpcs->lpszClass;
        if (HIWORD(reinterpret_cast<UINT_PTR>(cls)) && std::string(cls) == "VelmoraHiddenParent")
            return 1;
    }
    return ::CallNextHookEx(g_refuseHook, code, wParam, lParam);
}
} // namespace

TEST(TrayAnimation, WithoutTheHiddenParentTheWindowIsStillHidden) {
    // Only a hidden parent not made yet can fail; start from none.
    if (HWND hidden = HiddenParentWindow())
        ::DestroyWindow(hidden);
    ASSERT_FALSE(HiddenParentWindow());
    g_refuseHook = ::SetWindowsHookExA(WH_CBT, RefuseHiddenParent, nullptr, ::GetCurrentThreadId());
    ASSERT_TRUE(g_refuseHook);
    TargetWindow target;
    EXPECT_FALSE(DetachFromTaskbar(target.hwnd));
    EXPECT_EQ(::GetDesktopWindow(), ParentOf(target.hwnd)) << "it keeps its parent";

    ShrinkToTray(target.hwnd);
    TargetWindow::Pump();
    EXPECT_FALSE(::IsWindowVisible(target.hwnd));
    EXPECT_FALSE(::GetWindowLongA(target.hwnd, GWL_STYLE) & WS_VISIBLE);
    // Nothing of it is left on the screen.
    ::Sleep(200);
    TargetWindow::Pump();
    POINT inside{250, 200};
    EXPECT_NE(target.hwnd, ::WindowFromPoint(inside));
    ::UnhookWindowsHookEx(g_refuseHook);

    GrowFromTray(target.hwnd);
    TargetWindow::Pump();
    EXPECT_TRUE(::IsWindowVisible(target.hwnd));
    EXPECT_EQ(target.hwnd, ::WindowFromPoint(inside));

    EXPECT_TRUE(DetachFromTaskbar(target.hwnd)) << "made when it can be";
    EXPECT_EQ(HiddenParentWindow(), ParentOf(target.hwnd));
    GrowFromTray(target.hwnd);
    EXPECT_EQ(1, CountHiddenParents());
}

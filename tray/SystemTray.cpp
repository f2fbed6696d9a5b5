#include "tray/SystemTray.h"

#include <cstring>

#include "framework/AnsiCodePage.h"
#include "framework/Dpi.h"
#include "framework/Handle.h"

namespace tray {

namespace {
const char kTrayWindowClass[] = "VelmoraTrayWindow";
// The shell's broadcast after its taskbar was made anew, which drops every icon.
const UINT g_taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");

HMENU LoadTrayMenu(UINT menuId, fw::UniqueMenu& menu) {
    menu.Reset(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId)));
    return menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
}
} // namespace

// The record with the 128-character tip, as the shell of each architecture expects it.
#ifdef _WIN64
static_assert(NOTIFYICONDATAA_V2_SIZE == 504, "the 64-bit shell's record");
#else
static_assert(NOTIFYICONDATAA_V2_SIZE == 488, "the 32-bit shell's record");
#endif
static_assert(sizeof(NOTIFYICONDATAA::szTip) == tray::kTipLimit + 1, "the tip and its zero");

UINT SystemTray::TaskbarCreatedMessage() {
    return g_taskbarCreated;
}

SystemTray::SystemTray() {
    std::memset(&iconData, 0, sizeof(iconData));
}

SystemTray::~SystemTray() {
    DeleteIcon();
    DestroyWindow();
}

bool SystemTray::PlaceIcon(UINT callbackMessage, const char* tipText, HICON icon, UINT iconId) {
    trayAvailable = tray::SystemHasTray(::GetVersion());
    if (!trayAvailable)
        return false;
    // Normally the caller destroyed the window before; placing over a live
    // icon would leave that one behind in the notification area.
    if (m_hWnd)
        DeleteIcon();
    else if (RegisterPrivateClass(kTrayWindowClass))
        CreateEx(0, kTrayWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);

    std::memset(&iconData, 0, sizeof(iconData));
    iconData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    iconData.hWnd = m_hWnd;
    iconData.uID = iconId;
    iconData.hIcon = icon;
    iconData.uCallbackMessage = callbackMessage;
    std::string tip = tray::CutTip(tipText ? tipText : "", fw::AnsiLeadByte);
    std::memcpy(iconData.szTip, tip.c_str(), tip.size() + 1);
    return AddPlacedIcon(tray::kFlagMessage | tray::kFlagIcon | tray::kFlagTip);
}

bool SystemTray::Notify(DWORD message, unsigned flags) {
    iconData.uFlags = flags;
    // Without its window the icon could never call back: count it as not added.
    if (!iconData.hWnd)
        return false;
    return ::Shell_NotifyIconA(message, &iconData) != FALSE;
}

bool SystemTray::ShellAdd(unsigned flags) {
    return Notify(NIM_ADD, flags);
}
bool SystemTray::ShellModify(unsigned flags) {
    return Notify(NIM_MODIFY, flags);
}
bool SystemTray::ShellDelete() {
    return Notify(NIM_DELETE, 0);
}

bool SystemTray::ReplaceIcon(HICON icon) {
    if (!trayAvailable)
        return false;
    iconData.hIcon = icon;
    iconData.uFlags = NIF_ICON;
    return ShowReplacedIcon();
}

bool SystemTray::ReplaceIcon(UINT iconResourceId) {
    // The system's small icon size for the main window's DPI, drawn for it.
    // Not a shared image: the system shares one size of each resource.
    UINT dpi = fw::WindowDpi(fw::GetMainWindow());
    int size = fw::SystemMetricForDpi(SM_CXSMICON, dpi);
    fw::UniqueIcon icon(fw::LoadIconAtSize(static_cast<int>(iconResourceId), size));
    bool shown = ReplaceIcon(icon.Get());
    // The shell keeps a copy; the one shown before is no longer needed.
    loadedIcon = std::move(icon);
    loadedResource = iconResourceId;
    return shown;
}

bool SystemTray::ReloadIconForDpi() {
    return loadedResource && iconData.hIcon == loadedIcon.Get() ? ReplaceIcon(loadedResource)
                                                                : false;
}

LRESULT SystemTray::OnIconNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != iconData.uID)
        return 0;
    HWND target = fw::GetMainWindow();
    if (!target)
        return 0;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP: {
        fw::UniqueMenu menu;
        HMENU popup = LoadTrayMenu(iconData.uID, menu);
        if (!popup)
            return 0;
        ::SetMenuDefaultItem(popup, defaultMenuItem, defaultIsPosition);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // In front, or the menu would not close when the user clicks elsewhere.
        ::SetForegroundWindow(target);
        ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, target, nullptr);
        ::PostMessageA(target, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(target);
        fw::UniqueMenu menu;
        HMENU popup = LoadTrayMenu(iconData.uID, menu);
        if (!popup)
            return 0;
        UINT command = defaultIsPosition ? ::GetMenuItemID(popup, static_cast<int>(defaultMenuItem))
                                         : defaultMenuItem;
        ::SendMessageA(target, WM_COMMAND, command, 0);
        return 1;
    }
    default:
        return 1;
    }
}

LRESULT SystemTray::OnTaskbarCreated(UINT msg, WPARAM, LPARAM, bool& bHandled) {
    // Unregistered, the id would be 0: WM_NULL is no broadcast.
    if (msg == 0) {
        bHandled = false;
        return 0;
    }
    ReAddIcon();
    return 0;
}

LRESULT SystemTray::OnSettingChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (wParam == SPI_SETWORKAREA)
        ReAddIcon();
    return result;
}

} // namespace tray

#include "tray/SystemTray.h"

#include <cstring>

#include "framework/Handle.h"

namespace {
const char kTrayWindowClass[] = "VelmoraTrayWindow";
} // namespace

CSystemTray::CSystemTray() { std::memset(&iconData, 0, sizeof(iconData)); }

CSystemTray::~CSystemTray() {
    DeleteIcon();
    DestroyWindow();
}

bool CSystemTray::PlaceIcon(UINT callbackMessage, const char* tipText, HICON icon, UINT iconId) {
    trayAvailable = LOBYTE(LOWORD(::GetVersion())) >= 4;
    if (!trayAvailable)
        return false;
    RegisterPrivateClass(kTrayWindowClass);
    CreateEx(0, kTrayWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);

    std::memset(&iconData, 0, sizeof(iconData));
    iconData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    iconData.hWnd = m_hWnd;
    iconData.uID = iconId;
    iconData.hIcon = icon;
    iconData.uCallbackMessage = callbackMessage;
    iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    ::lstrcpynA(iconData.szTip, tipText ? tipText : "", 128);

    iconHidden = false;
    addFlags = iconData.uFlags;
    bool added = ::Shell_NotifyIconA(NIM_ADD, &iconData) != FALSE;
    iconDeleted = iconHidden = reAddPending = !added;
    return added;
}

bool CSystemTray::DeleteIcon() {
    reAddPending = false;
    if (!trayAvailable || iconDeleted)
        return true;
    iconData.uFlags = 0;
    if (::Shell_NotifyIconA(NIM_DELETE, &iconData))
        iconHidden = iconDeleted = true;
    return iconDeleted;
}

bool CSystemTray::ReplaceIcon(HICON icon) {
    if (!trayAvailable)
        return false;
    iconData.hIcon = icon;
    iconData.uFlags = NIF_ICON;
    if (iconHidden)
        return true;
    return ::Shell_NotifyIconA(NIM_MODIFY, &iconData) != FALSE;
}

bool CSystemTray::ReplaceIcon(UINT iconResourceId) {
    // Shared images belong to the system and are never destroyed here.
    HICON icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(iconResourceId), IMAGE_ICON, 0,
                                                 0, LR_SHARED));
    return ReplaceIcon(icon);
}

LRESULT CSystemTray::OnIconNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != iconData.uID)
        return 0;
    HWND target = fw::GetMainWindow();
    if (!target)
        return 0;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP: {
        fw::UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconData.uID)));
        HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
        if (!popup)
            return 0;
        ::SetMenuDefaultItem(popup, defaultMenuItem, defaultIsPosition);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(target);
        ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, target, nullptr);
        ::PostMessageA(target, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(target);
        fw::UniqueMenu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconData.uID)));
        HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
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

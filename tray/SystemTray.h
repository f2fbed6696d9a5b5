// The icon in the notification area, with its menu and double-click.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Window.h"

// The icon's callback message.
#define WM_TRAY_NOTIFY (WM_APP + 100)

class CSystemTray : public fw::CWindow {
public:
    CSystemTray();
    ~CSystemTray() override;

    // Creates the tray window and adds the icon; icon may be null.
    bool PlaceIcon(UINT callbackMessage, const char* tipText, HICON icon, UINT iconId);
    bool DeleteIcon();
    bool ReplaceIcon(HICON icon);
    bool ReplaceIcon(UINT iconResourceId);
    virtual LRESULT OnIconNotify(WPARAM iconId, LPARAM mouseMessage);

    BEGIN_MSG_MAP(CSystemTray)
        MESSAGE_HANDLER(WM_TRAY_NOTIFY, OnTrayNotify)
    END_MSG_MAP()

    NOTIFYICONDATAA iconData;
    bool trayAvailable = false;
    bool iconHidden = true;
    bool iconDeleted = true;
    bool reAddPending = false;
    UINT addFlags = 0;
    UINT defaultMenuItem = 0;
    bool defaultIsPosition = true;

private:
    LRESULT OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, bool&) {
        return OnIconNotify(wParam, lParam);
    }
};

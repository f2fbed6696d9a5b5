// The icon in the notification area, with its menu and double-click.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Handle.h"
#include "framework/Window.h"
#include "tray/TrayIconState.h"

namespace tray {

// The icon's callback message.
#define WM_TRAY_NOTIFY (WM_APP + 100)

class SystemTray : public fw::Window, public tray::TrayIconState {
public:
    SystemTray();
    ~SystemTray() override;

    // Creates the tray window and adds the icon; icon may be null.
    bool PlaceIcon(UINT callbackMessage, const char* tipText, HICON icon, UINT iconId);
    using tray::TrayIconState::DeleteIcon;
    using tray::TrayIconState::ReAddIcon;
    bool ReplaceIcon(HICON icon);
    // Loaded at the system's small icon size for the main window's DPI.
    bool ReplaceIcon(UINT iconResourceId);
    // The icon last loaded from a resource, loaded again for the main
    // window's DPI now; false when another icon is shown.
    bool ReloadIconForDpi();
    // The mouse on the icon: its menu on a right click, the menu's default
    // command on a double-click. 0 for another icon's message.
    virtual LRESULT OnIconNotify(WPARAM iconId, LPARAM mouseMessage);

    BEGIN_MSG_MAP(SystemTray)
        MESSAGE_HANDLER(WM_TRAY_NOTIFY, OnTrayNotify)
        MESSAGE_HANDLER(TaskbarCreatedMessage(), OnTaskbarCreated)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
    END_MSG_MAP()

    NOTIFYICONDATAA iconData;
    UINT defaultMenuItem = 0;
    bool defaultIsPosition = true;

    // "TaskbarCreated", registered when the program starts.
    static UINT TaskbarCreatedMessage();

protected:
    bool ShellAdd(unsigned flags) override;
    bool ShellModify(unsigned flags) override;
    bool ShellDelete() override;

private:
    bool Notify(DWORD message, unsigned flags);
    fw::UniqueIcon loadedIcon;
    UINT loadedResource = 0;
    LRESULT OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, bool&) {
        return OnIconNotify(wParam, lParam);
    }
    LRESULT OnTaskbarCreated(UINT msg, WPARAM, LPARAM, bool& bHandled);
    LRESULT OnSettingChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
};

} // namespace tray

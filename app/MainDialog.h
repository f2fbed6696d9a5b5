// The program's one window: five pages under tabs, the Start and Hide
// buttons and the tray icon. It shows the models it is given and forwards
// the hook's reports, its timer and the ban hotkey to the blocker.
#pragma once

#include "bannedlist/BannedList.h"
#include "bannedlist/BannedListPage.h"
#include "controls/AboutPage.h"
#include "controls/ImageButton.h"
#include "controls/PageTabCtrl.h"
#include "controls/Picture.h"
#include "engine/Blocker.h"
#include "framework/Dialog.h"
#include "hook/hook.h"
#include "resources/resource.h"
#include "settings/BrowsersPage.h"
#include "settings/OptionsPage.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "stats/KillCount.h"
#include "stats/StatisticsPage.h"
#include "tray/SystemTray.h"

namespace app {

class MainDialog : public fw::Dialog {
public:
    MainDialog(settings::Settings& settings, bannedlist::BannedList& bannedList,
               stats::KillCount& kills, engine::Blocker& blocker,
               const settings::SettingsStore& store);
    ~MainDialog() override;

    bannedlist::BannedListPage bannedListPage;
    settings::OptionsPage optionsPage;
    settings::BrowsersPage browsersPage;
    controls::AboutPage aboutPage;
    stats::StatisticsPage statsPage;
    tray::SystemTray tray;
    controls::PageTabCtrl tabCtrl;
    controls::ImageButton startButton;
    controls::ImageButton hideButton;
    controls::Picture banner{IDB_BANNER};

    void StartBlocking();
    void StopBlocking();

    BEGIN_MSG_MAP(MainDialog)
        MESSAGE_HANDLER(WM_POPUP_CREATED, OnPopupReport)
        MESSAGE_HANDLER(kFinishStartup, OnFinishStartup)
        MESSAGE_HANDLER(WM_HOTKEY, OnHotkey)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        COMMAND_ID_HANDLER(ID_TRAY_OPEN, OnOpen)
        COMMAND_ID_HANDLER(ID_TRAY_START, OnStartCommand)
        COMMAND_ID_HANDLER(ID_TRAY_STOP, OnStopCommand)
        COMMAND_ID_HANDLER(ID_TRAY_CLOSE, OnCloseCommand)
        COMMAND_HANDLER(IDC_START, BN_CLICKED, OnStartButton)
        COMMAND_HANDLER(IDC_HIDE, BN_CLICKED, OnHideButton)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_QUERYDRAGICON, OnQueryDragIcon)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
        MESSAGE_HANDLER(fw::kDpiChanged, OnDpiChanged)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    // Posted to itself at start: the rest of the start-up, once the window answers.
    static constexpr UINT kFinishStartup = WM_APP + 0x150;

    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter and Escape must not end the program behind the close sequence's back.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnPopupReport(UINT, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnFinishStartup(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnHotkey(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, bool& bHandled);
    LRESULT OnOpen(WORD, WORD, HWND, bool&);
    LRESULT OnStartCommand(WORD, WORD, HWND, bool&);
    LRESULT OnStopCommand(WORD, WORD, HWND, bool&);
    LRESULT OnCloseCommand(WORD, WORD, HWND, bool&);
    LRESULT OnStartButton(WORD, WORD, HWND, bool&);
    LRESULT OnHideButton(WORD, WORD, HWND, bool&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& bHandled);
    LRESULT OnClose(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnEndSession(UINT, WPARAM wParam, LPARAM, bool&);
    LRESULT OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, bool& bHandled);
    LRESULT OnQueryDragIcon(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, bool&);

    // Registers the ban hotkey; returns what to tell the user when another
    // program holds the combination, else "".
    std::string RegisterHotkey(bool reregister);
    void PlaceTrayIcon(UINT iconId, UINT imageId);
    void ShowStartButtonState(const char* caption, int icon, COLORREF hoverText);
    // What the registry keeps of this run.
    settings::StoredSettings Stored() const;
    // What the window shows first: its icons, the buttons and the first page.
    void MakeFirstView();
    // The caption's and the taskbar's program icons, drawn for the window's DPI.
    void ShowWindowIconsForDpi();
    // Settings, then the list file when "SaveOnExit" is on. False when the
    // list file was not written and the program is to keep running.
    bool SaveEverything(bool interactive);

    settings::Settings& settings;
    bannedlist::BannedList& bannedList;
    stats::KillCount& kills;
    engine::Blocker& blocker;
    const settings::SettingsStore& store;
    HICON programIcon;
    fw::UniqueIcon windowIcons[2];
    bool firstViewMade = false;
    // From the end of the start-up on, the tray icon shows the state.
    bool trayPlaced = false;
    bool comStarted = false;
    bool closing = false;
    bool inClose = false;
};

} // namespace app

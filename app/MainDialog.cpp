#include "app/MainDialog.h"

#include "app/VelmoraApp.h"
#include "engine/BanHotkey.h"
#include "engine/HotkeyRule.h"
#include "framework/AnsiCodePage.h"
#include "framework/Handle.h"
#include "settings/SettingsStore.h"
#include "tray/TrayAnimation.h"

namespace app {

namespace {
const UINT_PTR kEngineTimer = 1;
// The tabs, in the order they are added.
enum PageIndex { kBannedListPage, kStatisticsPage, kOptionsPage, kAboutPage };
} // namespace

MainDialog::MainDialog(const engine::HookLibrary& hookLibrary)
    : fw::Dialog(IDD_MAIN),
      programIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM))),
      hook(hookLibrary), bannedIndex(bannedListPage.titles),
      engine(
          optionsPage, clock, windows, bannedIndex,
          [this](const std::string& title) { statsPage.RecordKill(title); }, fw::AnsiLeadByte) {
    optionsPage.SetHotkeyApplier([this] { return RegisterHotkey(true); });
    windows.OnCloseAnswered([this](engine::WindowId window, bool reached) {
        engine.OnCloseAnswered(window, reached);
        ArmEngineTimer();
    });
}

void MainDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_TABS, tabCtrl);
    dx.Control(IDC_START, startButton);
    dx.Control(IDC_HIDE, hideButton);
}

bool MainDialog::OnInitDialog() {
    fw::SetMainWindow(m_hWnd);
    fw::Dialog::OnInitDialog();

    char about[256] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof(about));
    if (about[0]) {
        HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));

    hook.SetHook(m_hWnd);
    started = false;

    trayStartIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM));
    tray.PlaceIcon(WM_TRAY_NOTIFY, kProgramTitle, trayStartIcon, IDR_TRAY_STOPPED);

    bannedListPage.Create(m_hWnd);
    statsPage.Create(m_hWnd);
    optionsPage.Create(m_hWnd);
    aboutPage.Create(m_hWnd);
    tabCtrl.AddPage("Banned List", kBannedListPage, &bannedListPage);
    tabCtrl.AddPage("Statistics", kStatisticsPage, &statsPage);
    tabCtrl.AddPage("Options", kOptionsPage, &optionsPage);
    tabCtrl.AddPage("About", kAboutPage, &aboutPage);

    hideButton.SetIconResources(IDI_HIDE, 0);
    hideButton.ShadeStateColour(controls::ImageButton::HoverBack, 20, true);
    hideButton.SetStateColour(controls::ImageButton::HoverText, RGB(0, 0, 128), true);
    startButton.SetIconResources(IDI_STARTED, 0);
    startButton.ShadeStateColour(controls::ImageButton::HoverBack, 20, true);
    startButton.SetStateColour(controls::ImageButton::HoverText, RGB(0, 128, 0), true);

    settings::LoadSettings(VelmoraApp::Instance().Profile(), optionsPage, statsPage,
                           bannedListPage);
    statsPage.RecordKill(std::string());
    optionsPage.UpdateData(false);
    bannedListPage.UpdateData(false);
    if (optionsPage.BySize)
        optionsPage.OnBySizeClicked();
    if (optionsPage.BySess)
        optionsPage.OnBySessionClicked();
    if (optionsPage.LoadOnStartup)
        bannedListPage.ReadListFile(bannedListPage.ListPath);
    RegisterHotkey(false);
    if (optionsPage.LoadMinimized) {
        tray::ShrinkToTray(m_hWnd);
        SetVisibleOnStart(false);
    }
    if (optionsPage.LoadStart)
        StartBlocking();
    else
        StopBlocking();
    return true;
}

std::string MainDialog::RegisterHotkey(bool reregister) {
    DWORD error = engine::RegisterBanHotkey(m_hWnd, optionsPage.Key, optionsPage.AddAlt,
                                            optionsPage.AddCtrl, optionsPage.AddShift, reregister);
    // Other failures come from the key itself (none, or one the keyboard
    // layout no longer types), which the page shows as typed.
    if (error != ERROR_HOTKEY_ALREADY_REGISTERED)
        return std::string();
    return engine::HotkeyHeldMessage(optionsPage.AddAlt, optionsPage.AddCtrl, optionsPage.AddShift,
                                     fw::UpperCaseAnsi(optionsPage.Key));
}

void MainDialog::ArmEngineTimer() {
    std::optional<uint64_t> wake = engine.NextWakeMs();
    if (!wake) {
        if (timerArmed)
            ::KillTimer(m_hWnd, kEngineTimer);
        timerArmed = false;
        return;
    }
    if (timerArmed && *wake == timerDueAt)
        return;
    uint64_t now = clock.NowMs();
    uint64_t wait = *wake > now ? *wake - now : 0;
    // A delay of weeks is waited in steps of the longest a timer takes.
    UINT elapse = static_cast<UINT>(wait < USER_TIMER_MAXIMUM ? wait : USER_TIMER_MAXIMUM);
    // Not checked: SetTimer fails only when the system is out of timers, and
    // then the next report arms it again.
    ::SetTimer(m_hWnd, kEngineTimer, elapse < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : elapse,
               nullptr);
    timerArmed = true;
    timerDueAt = *wake;
}

void MainDialog::PlaceTrayIcon(UINT iconId, UINT imageId) {
    tray.DeleteIcon();
    tray.DestroyWindow();
    tray.PlaceIcon(WM_TRAY_NOTIFY, kProgramTitle, nullptr, iconId);
    tray.ReplaceIcon(imageId);
}

void MainDialog::ShowStartButtonState(const char* caption, int icon, COLORREF hoverText) {
    ::SetDlgItemTextA(m_hWnd, IDC_START, caption);
    startButton.SetIconResources(icon, 0);
    startButton.SetStateColour(controls::ImageButton::HoverText, hoverText, true);
}

void MainDialog::StartBlocking() {
    hook.SetEnable(1);
    // After the hook: a window made between the two is both counted and reported.
    engine.Start();
    started = true;
    PlaceTrayIcon(IDR_TRAY_STARTED, IDI_STARTED);
    ShowStartButtonState("Stop", IDI_STOPPED, RGB(128, 0, 0));
}

void MainDialog::StopBlocking() {
    hook.SetEnable(0);
    started = false;
    engine.Stop();
    ArmEngineTimer();
    PlaceTrayIcon(IDR_TRAY_STOPPED, IDI_STOPPED);
    ShowStartButtonState("Start", IDI_STARTED, RGB(0, 128, 0));
}

LRESULT MainDialog::OnPopupReport(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    // A change on the options page takes effect with the next report.
    optionsPage.ReadForReport();
    engine::WindowId window = static_cast<engine::WindowId>(wParam);
    if (lParam == POPUP_EVENT_DESTROYED)
        engine.OnDestroyed(window);
    else // any other code counts as a creation; only POPUP_EVENT_CREATED waits
        engine.OnCreated(window, lParam == POPUP_EVENT_CREATED);
    ArmEngineTimer();
    return 0;
}

LRESULT MainDialog::OnTimer(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
    if (wParam != kEngineTimer) {
        bHandled = false;
        return 0;
    }
    // Quiet: a field that does not read would otherwise show its message
    // on every tick, each box's own loop running the next tick.
    optionsPage.ReadForReport(true);
    timerDueAt = 0; // the timer repeats until set again
    engine.OnTimer();
    ArmEngineTimer();
    return 0;
}

LRESULT MainDialog::OnHotkey(UINT, WPARAM, LPARAM, bool&) {
    HWND window = ::GetForegroundWindow();
    if (!window)
        return 1;
    std::string title = engine::ReadWholeTitle(window);
    if (bannedListPage.IsNewTitle(title) && engine.IsBrowserTitle(title)) {
        bannedListPage.titles.Insert(title);
        engine.RequestClose(engine::IdOf(window));
    }
    return 1;
}

LRESULT MainDialog::OnOpen(WORD, WORD, HWND, bool&) {
    bannedListPage.UpdateData(false);
    tray::GrowFromTray(m_hWnd);
    return 0;
}

LRESULT MainDialog::OnStartCommand(WORD, WORD, HWND, bool&) {
    StartBlocking();
    return 0;
}

LRESULT MainDialog::OnStopCommand(WORD, WORD, HWND, bool&) {
    StopBlocking();
    return 0;
}

LRESULT MainDialog::OnCloseCommand(WORD, WORD, HWND, bool&) {
    SendMessage(WM_CLOSE);
    return 0;
}

LRESULT MainDialog::OnStartButton(WORD, WORD, HWND, bool&) {
    if (started)
        StopBlocking();
    else
        StartBlocking();
    return 0;
}

LRESULT MainDialog::OnHideButton(WORD, WORD, HWND, bool&) {
    tray::ShrinkToTray(m_hWnd);
    return 0;
}

LRESULT MainDialog::OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX)
        tabCtrl.SelectPage(kAboutPage);
    else
        bHandled = false;
    return 0;
}

bool MainDialog::SaveEverything(bool interactive) {
    const settings::RegistryProfile& profile = VelmoraApp::Instance().Profile();
    settings::SaveSettings(profile, optionsPage, statsPage, bannedListPage);
    if (!optionsPage.SaveOnExit)
        return true;
    std::string listPath = bannedListPage.ListPath;
    bool done = bannedListPage.SaveListAtExit(interactive);
    // Saved elsewhere: that file is the list file from now on.
    if (bannedListPage.ListPath != listPath)
        settings::SaveSettings(profile, optionsPage, statsPage, bannedListPage);
    return done;
}

LRESULT MainDialog::OnClose(UINT, WPARAM, LPARAM, bool&) {
    // A close asked for while the failed save's question is open waits for it.
    if (closing || inClose)
        return 0;
    inClose = true;
    bannedListPage.FinishUpdate();
    hook.RemoveHook();
    optionsPage.UpdateData(true);
    bannedListPage.UpdateData(true);
    tray.DeleteIcon();
    hook.RemoveHook();
    if (!SaveEverything(true)) {
        // The list could not be written and the user chose to keep running.
        hook.SetHook(m_hWnd);
        hook.SetEnable(started ? 1 : 0);
        PlaceTrayIcon(started ? IDR_TRAY_STARTED : IDR_TRAY_STOPPED,
                      started ? IDI_STARTED : IDI_STOPPED);
        inClose = false;
        return 0;
    }
    closing = true;
    optionsPage.StopApplyingOnHide();
    EndDialog(IDOK);
    return 0;
}

LRESULT MainDialog::OnQueryEndSession(UINT, WPARAM, LPARAM, bool&) {
    return TRUE;
}

LRESULT MainDialog::OnEndSession(UINT, WPARAM wParam, LPARAM, bool&) {
    // The session ends without a close: save now or lose this run's changes.
    if (wParam && !closing) {
        bannedListPage.FinishUpdate();
        optionsPage.UpdateData(true, true);
        bannedListPage.UpdateData(true, true);
        SaveEverything(false);
    }
    return 0;
}

LRESULT MainDialog::OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT shown = DefWindowProc(msg, wParam, lParam);
    optionsPage.UpdateData(true);
    bannedListPage.UpdateData(true);
    return shown;
}

LRESULT MainDialog::OnPaint(UINT, WPARAM, LPARAM, bool& bHandled) {
    if (!::IsIconic(m_hWnd)) {
        bHandled = false;
        return 0;
    }
    fw::PaintDc dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    int cx = ::GetSystemMetrics(SM_CXICON);
    int cy = ::GetSystemMetrics(SM_CYICON);
    int x = (client.right - client.left - cx + 1) / 2;
    int y = (client.bottom - client.top - cy + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, programIcon);
    return 0;
}

LRESULT MainDialog::OnQueryDragIcon(UINT, WPARAM, LPARAM, bool&) {
    return reinterpret_cast<LRESULT>(programIcon);
}

namespace {
BOOL CALLBACK PassColourChange(HWND child, LPARAM) {
    ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}
} // namespace

LRESULT MainDialog::OnSysColorChange(UINT, WPARAM, LPARAM, bool&) {
    // Only top-level windows hear of it; the buttons, labels and common
    // controls on the pages keep colours of their own and need it too.
    ::EnumChildWindows(m_hWnd, PassColourChange, 0);
    return 0;
}

} // namespace app

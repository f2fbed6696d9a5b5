#include "app/MainDialog.h"

#include <objbase.h>

#include "engine/BanHotkey.h"
#include "engine/HotkeyRule.h"
#include "framework/AnsiCodePage.h"
#include "framework/Handle.h"
#include "framework/StartupTrace.h"
#include "tray/TrayAnimation.h"

namespace app {

namespace {
const UINT_PTR kEngineTimer = 1;
// The tabs, in the order they are added.
enum PageIndex { kBannedListPage, kStatisticsPage, kOptionsPage, kBrowsersPage, kAboutPage };
} // namespace

MainDialog::MainDialog(settings::Settings& settingsValue, bannedlist::BannedList& banned,
                       stats::KillCount& killCount, engine::Blocker& blocking,
                       const settings::SettingsStore& settingsStore)
    : fw::Dialog(IDD_MAIN), bannedListPage(banned),
      optionsPage(settingsValue, engine::BanHotkeyKeyProblem), browsersPage(settingsValue),
      statsPage(killCount, [this](const std::string& title) { browsersPage.AddNeverClose(title); }),
      settings(settingsValue), bannedList(banned), kills(killCount), blocker(blocking),
      store(settingsStore),
      programIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM))) {
    optionsPage.SetHotkeyApplier([this] { return RegisterHotkey(true); });
}

void MainDialog::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_TABS, tabCtrl);
    dx.Control(IDC_START, startButton);
    dx.Control(IDC_HIDE, hideButton);
    dx.Control(IDC_BANNER, banner);
}

MainDialog::~MainDialog() {
    if (comStarted)
        ::CoUninitialize();
}

bool MainDialog::OnInitDialog() {
    fw::SetMainWindow(m_hWnd);
    fw::Dialog::OnInitDialog();
    fw::MarkStartup("main window made");

    char about[256] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof(about));
    if (about[0]) {
        HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
        ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }

    // Only the watching and what the window shows first come before it
    // answers. The rest is posted before the hook exists, so it comes ahead
    // of every report: no window is judged before the list file is read.
    ::PostMessageA(m_hWnd, kFinishStartup, 0, 0);
    blocker.Attach(m_hWnd);
    fw::MarkStartup("hook set");
    if (!settings.LoadMinimized)
        MakeFirstView();

    RegisterHotkey(false);
    // Never shown; it goes into the tray with the rest.
    if (settings.LoadMinimized)
        SetVisibleOnStart(false);
    // The tray icon comes with the rest, placed once as blocking stands.
    if (settings.LoadStart)
        StartBlocking();
    else
        StopBlocking();
    fw::MarkStartup("blocking started");
    // A window never shown takes no focus: the dialog manager's default
    // focus would activate it (10 ms under Wine), and it gets its focus
    // when it first comes out of the tray.
    return !settings.LoadMinimized;
}

void MainDialog::MakeFirstView() {
    if (firstViewMade)
        return;
    firstViewMade = true;
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));
    ShowWindowIconsForDpi();
    fw::MarkStartup("window icons");
    // The pages show the settings, the count and the list as loaded; those
    // under the other tabs are made when first needed.
    bannedListPage.Create(m_hWnd);
    fw::MarkStartup("first page made");
    tabCtrl.AddPage("Banned List", kBannedListPage, &bannedListPage);
    tabCtrl.AddPage("Statistics", kStatisticsPage, &statsPage);
    tabCtrl.AddPage("Options", kOptionsPage, &optionsPage);
    tabCtrl.AddPage("Browsers", kBrowsersPage, &browsersPage);
    tabCtrl.AddPage("About", kAboutPage, &aboutPage);
    fw::MarkStartup("tabs");

    hideButton.SetLook(IDI_HIDE, RGB(0, 0, 128));
    // Its icon and hover text follow blocking's state, set as blocking starts or stops.
    startButton.ShadeStateColour(controls::ImageButton::HoverBack, 20, true);
    fw::MarkStartup("buttons' icons");
}

LRESULT MainDialog::OnFinishStartup(UINT, WPARAM, LPARAM, bool&) {
    fw::MarkStartup("after the first answer");
    MakeFirstView();
    tabCtrl.MakePages();
    if (settings.BySize)
        optionsPage.OnBySizeClicked();
    if (settings.BySess)
        optionsPage.OnBySessionClicked();
    fw::MarkStartup("other pages made");
    if (settings.LoadMinimized)
        tray::ShrinkToTray(m_hWnd);
    // For the shell's links.
    comStarted = SUCCEEDED(::CoInitialize(nullptr));
    trayPlaced = true;
    PlaceTrayIcon(blocker.Started() ? IDR_TRAY_STARTED : IDR_TRAY_STOPPED,
                  blocker.Started() ? IDI_STARTED : IDI_STOPPED);
    fw::MarkStartup("tray icon placed");
    if (settings.LoadOnStartup) {
        if (std::optional<bannedlist::Notice> notice = bannedList.Read(bannedList.Path()))
            bannedListPage.Notify(*notice);
    }
    fw::MarkStartup("list file read");
    return 0;
}

std::string MainDialog::RegisterHotkey(bool reregister) {
    DWORD error = engine::RegisterBanHotkey(m_hWnd, settings.Key, settings.AddAlt, settings.AddCtrl,
                                            settings.AddShift, reregister);
    // Other failures come from the key itself (none, or one the keyboard
    // layout no longer types), which the page shows as typed.
    if (error != ERROR_HOTKEY_ALREADY_REGISTERED)
        return std::string();
    return engine::HotkeyHeldMessage(settings.AddAlt, settings.AddCtrl, settings.AddShift,
                                     fw::UpperCaseAnsi(settings.Key));
}

void MainDialog::PlaceTrayIcon(UINT iconId, UINT imageId) {
    if (!trayPlaced)
        return;
    tray.DeleteIcon();
    tray.DestroyWindow();
    tray.PlaceIcon(WM_TRAY_NOTIFY, fw::GetAppTitle().c_str(), nullptr, iconId);
    tray.ReplaceIcon(imageId);
}

void MainDialog::ShowStartButtonState(const char* caption, int icon, COLORREF hoverText) {
    ::SetDlgItemTextA(m_hWnd, IDC_START, caption);
    startButton.SetIconResources(icon, 0);
    startButton.SetStateColour(controls::ImageButton::HoverText, hoverText, true);
}

void MainDialog::StartBlocking() {
    blocker.Start();
    PlaceTrayIcon(IDR_TRAY_STARTED, IDI_STARTED);
    ShowStartButtonState("Stop", IDI_STOPPED, RGB(128, 0, 0));
}

void MainDialog::StopBlocking() {
    blocker.Stop();
    PlaceTrayIcon(IDR_TRAY_STOPPED, IDI_STOPPED);
    ShowStartButtonState("Start", IDI_STARTED, RGB(0, 128, 0));
}

LRESULT MainDialog::OnPopupReport(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    // A field of the Options page that does not read says so as a window
    // comes to be judged; the settings themselves are current already.
    optionsPage.ShowPendingProblem();
    blocker.OnReport(wParam, lParam);
    return 0;
}

LRESULT MainDialog::OnTimer(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
    if (!blocker.OnTimer(wParam))
        bHandled = false;
    return 0;
}

LRESULT MainDialog::OnHotkey(UINT, WPARAM, LPARAM, bool&) {
    blocker.BanWindowInFront();
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
    if (blocker.Started())
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

settings::StoredSettings MainDialog::Stored() const {
    settings::StoredSettings stored;
    stored.settings = settings;
    stored.nKills = kills.TotalKills();
    stored.Path = bannedList.Path();
    return stored;
}

bool MainDialog::SaveEverything(bool interactive) {
    store.Save(Stored());
    if (!settings.SaveOnExit)
        return true;
    std::string listPath = bannedList.Path();
    bool done = bannedListPage.SaveListAtExit(interactive);
    // Saved elsewhere: that file is the list file from now on.
    if (bannedList.Path() != listPath)
        store.Save(Stored());
    return done;
}

LRESULT MainDialog::OnClose(UINT, WPARAM, LPARAM, bool&) {
    // A close asked for while the failed save's question is open waits for it.
    if (closing || inClose)
        return 0;
    inClose = true;
    bannedListPage.FinishUpdate();
    blocker.Detach();
    optionsPage.ReadControls();
    bannedListPage.UpdateData(true);
    tray.DeleteIcon();
    blocker.Detach();
    if (!SaveEverything(true)) {
        // The list could not be written and the user chose to keep running.
        blocker.Attach(m_hWnd);
        PlaceTrayIcon(blocker.Started() ? IDR_TRAY_STARTED : IDR_TRAY_STOPPED,
                      blocker.Started() ? IDI_STARTED : IDI_STOPPED);
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
        optionsPage.ReadControls(true);
        bannedListPage.UpdateData(true, true);
        SaveEverything(false);
    }
    return 0;
}

LRESULT MainDialog::OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT shown = DefWindowProc(msg, wParam, lParam);
    // Shown first at start, before the pages are made.
    if (optionsPage.m_hWnd)
        optionsPage.ReadControls();
    if (bannedListPage.m_hWnd)
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

LRESULT MainDialog::OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    // The window, its controls and pages (their pictures included) first.
    if (!TakeDpiChange(wParam, lParam))
        return 0;
    ShowWindowIconsForDpi();
    tray.ReloadIconForDpi();
    return 0;
}

void MainDialog::ShowWindowIconsForDpi() {
    UINT dpi = fw::WindowDpi(m_hWnd);
    const struct {
        WPARAM which;
        int metric;
    } kinds[] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
    for (int i = 0; i < 2; ++i) {
        fw::UniqueIcon icon(
            fw::LoadIconAtSize(IDI_PROGRAM, fw::SystemMetricForDpi(kinds[i].metric, dpi)));
        if (!icon)
            continue;
        SendMessage(WM_SETICON, kinds[i].which, reinterpret_cast<LPARAM>(icon.Get()));
        // The window shows the new icon now; the one before may go.
        windowIcons[i] = std::move(icon);
    }
}

} // namespace app

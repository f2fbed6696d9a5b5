#include "settings/OptionsPage.h"

#include "engine/BanHotkey.h"
#include "framework/AnsiCodePage.h"
#include "settings/RunAtLogon.h"

namespace settings {

namespace {
const int kCheckBoxIds[10] = {
    IDC_BY_NAME,      IDC_BY_SIZE, IDC_START_MINIMIZED, IDC_ENABLED_ON_STARTUP, IDC_LOAD_ON_STARTUP,
    IDC_SAVE_ON_EXIT, IDC_ADD_ALT, IDC_ADD_SHIFT,       IDC_ADD_CTRL,           IDC_LOAD_ON_BOOT};
} // namespace

void OptionsPage::DoDataExchange(fw::DataExchange& dx) {
    // Writing sets check boxes, which tells nobody.
    if (!dx.Reading())
        controlsChanged = true;
    for (int i = 0; i < 10; ++i)
        dx.Control(kCheckBoxIds[i], checkBoxes[i]);
    dx.Control(IDC_BY_SESSION, sessionButton);
    dx.Control(IDC_WIDTH, widthEdit);
    dx.Control(IDC_HEIGHT, heightEdit);
    dx.Control(IDC_SESSIONS, sessionEdit);

    dx.Int(IDC_HEIGHT, Height);
    dx.Int(IDC_WIDTH, Width);
    dx.Check(IDC_BY_NAME, ByName);
    dx.Check(IDC_BY_SIZE, BySize);
    dx.Check(IDC_START_MINIMIZED, LoadMinimized);
    dx.Check(IDC_ENABLED_ON_STARTUP, LoadStart);
    dx.Check(IDC_SAVE_ON_EXIT, SaveOnExit);
    dx.Check(IDC_ADD_ALT, AddAlt);
    dx.Check(IDC_ADD_SHIFT, AddShift);
    dx.Check(IDC_ADD_CTRL, AddCtrl);
    dx.Text(IDC_HOTKEY, Key, 1, engine::BanHotkeyKeyProblem);
    dx.Check(IDC_LOAD_ON_STARTUP, LoadOnStartup);
    dx.Check(IDC_LOAD_ON_BOOT, AutoStart);
    dx.UInt(IDC_DELAY, Delay);
    dx.Int(IDC_SESSIONS, Sessions);
    dx.Check(IDC_BY_SESSION, BySess);
}

void OptionsPage::OnBySizeClicked() {
    UpdateData(true);
    BOOL enable = BySize ? TRUE : FALSE;
    ::EnableWindow(heightEdit.m_hWnd, enable);
    ::EnableWindow(widthEdit.m_hWnd, enable);
}

void OptionsPage::OnBySessionClicked() {
    UpdateData(true);
    ::EnableWindow(sessionEdit.m_hWnd, BySess ? TRUE : FALSE);
}

void OptionsPage::ReadForReport(bool quiet) {
    // Reading sixteen controls costs far more than the rest of a decision
    // under Wine (window lists and subclass data live in its server).
    if (!controlsChanged)
        return;
    controlsChanged = false;
    if (!UpdateData(true, quiet))
        controlsChanged = true;
}

LRESULT OptionsPage::OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (!wParam && applyOnHide)
        ApplyOptions();
    return result;
}

void OptionsPage::ApplyOptions() {
    // A failed read has shown its message; the rest goes on with the
    // fields as they stand.
    UpdateData(true);
    Key = fw::UpperCaseAnsi(Key);
    std::string hotkeyProblem = hotkeyApplier ? hotkeyApplier() : std::string();
    ApplyRunAtLogon(AutoStart != 0);
    // A hotkey that silently does nothing would pass for one that works.
    if (!hotkeyProblem.empty())
        ::MessageBoxA(fw::GetMainWindow() ? fw::GetMainWindow() : m_hWnd, hotkeyProblem.c_str(),
                      fw::GetAppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace settings

#include "settings/OptionsPage.h"

#include "framework/AnsiCodePage.h"
#include "settings/RunAtLogon.h"

namespace settings {

namespace {
const int kCheckBoxIds[10] = {
    IDC_BY_NAME,      IDC_BY_SIZE, IDC_START_MINIMIZED, IDC_ENABLED_ON_STARTUP, IDC_LOAD_ON_STARTUP,
    IDC_SAVE_ON_EXIT, IDC_ADD_ALT, IDC_ADD_SHIFT,       IDC_ADD_CTRL,           IDC_LOAD_ON_BOOT};
} // namespace

void OptionsPage::DoDataExchange(fw::DataExchange& dx) {
    for (int i = 0; i < 10; ++i)
        dx.Control(kCheckBoxIds[i], checkBoxes[i]);
    dx.Control(IDC_BY_SESSION, sessionButton);
    dx.Control(IDC_WIDTH, widthEdit);
    dx.Control(IDC_HEIGHT, heightEdit);
    dx.Control(IDC_SESSIONS, sessionEdit);

    bool wasWriting = writing;
    writing = !dx.Reading();
    dx.Int(IDC_HEIGHT, settings.Height);
    dx.Int(IDC_WIDTH, settings.Width);
    dx.Check(IDC_BY_NAME, settings.ByName);
    dx.Check(IDC_BY_SIZE, settings.BySize);
    dx.Check(IDC_START_MINIMIZED, settings.LoadMinimized);
    dx.Check(IDC_ENABLED_ON_STARTUP, settings.LoadStart);
    dx.Check(IDC_SAVE_ON_EXIT, settings.SaveOnExit);
    dx.Check(IDC_ADD_ALT, settings.AddAlt);
    dx.Check(IDC_ADD_SHIFT, settings.AddShift);
    dx.Check(IDC_ADD_CTRL, settings.AddCtrl);
    dx.Text(IDC_HOTKEY, settings.Key, kKeyMaxCharacters, keyProblem);
    dx.Check(IDC_LOAD_ON_STARTUP, settings.LoadOnStartup);
    dx.Check(IDC_LOAD_ON_BOOT, settings.AutoStart);
    dx.UInt(IDC_DELAY, settings.Delay);
    dx.Int(IDC_SESSIONS, settings.Sessions);
    dx.Check(IDC_BY_SESSION, settings.BySess);
    writing = wasWriting;
    if (!dx.Reading())
        shown = true;
}

bool OptionsPage::ReadControls(bool quiet) {
    fw::DataExchange dx(m_hWnd, true, quiet);
    DoDataExchange(dx);
    if (dx.Failed())
        problem = Problem{dx.FailedId(), dx.FailedMessage()};
    else
        problem.reset();
    return !dx.Failed();
}

void OptionsPage::ShowPendingProblem() {
    if (!problem || showingProblem)
        return;
    // Reports that come while the box is open are judged behind it.
    showingProblem = true;
    Problem showing = *problem;
    fw::DataExchange::ShowFailure(m_hWnd, showing.id, showing.message);
    showingProblem = false;
}

LRESULT OptionsPage::OnControlChanged(WORD, WORD, HWND, bool& bHandled) {
    if (shown && !writing)
        ReadControls(true);
    bHandled = false;
    return 0;
}

void OptionsPage::OnBySizeClicked() {
    ReadControls();
    BOOL enable = settings.BySize ? TRUE : FALSE;
    ::EnableWindow(heightEdit.m_hWnd, enable);
    ::EnableWindow(widthEdit.m_hWnd, enable);
}

void OptionsPage::OnBySessionClicked() {
    ReadControls();
    ::EnableWindow(sessionEdit.m_hWnd, settings.BySess ? TRUE : FALSE);
}

LRESULT OptionsPage::OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (!wParam && applyOnHide)
        ApplyOptions();
    return result;
}

void OptionsPage::ApplyOptions() {
    // A failed read has shown its message; the rest goes on with the value
    // as it stands.
    ReadControls();
    settings.Key = fw::UpperCaseAnsi(settings.Key);
    std::string hotkeyProblem = hotkeyApplier ? hotkeyApplier() : std::string();
    ApplyRunAtLogon(settings.AutoStart != 0);
    // A hotkey that silently does nothing would pass for one that works.
    if (!hotkeyProblem.empty())
        ::MessageBoxA(fw::GetMainWindow() ? fw::GetMainWindow() : m_hWnd, hotkeyProblem.c_str(),
                      fw::GetAppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace settings

// The Options tab. Its fields are the live settings, named after their
// registry values; the kill decision reads the controls back before every
// decision, so changes act at once. The hotkey and the Run value are applied
// when the page is hidden.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"
#include "settings/Settings.h"

namespace settings {

class OptionsPage : public fw::Dialog, public Settings {
public:
    OptionsPage() : fw::Dialog(IDD_OPTIONS) {}

    // The fields are the inherited settings, a first run's until loaded.
    fw::Window widthEdit;
    fw::Window heightEdit;
    controls::ImageButton checkBoxes[10];
    controls::ImageButton sessionButton;
    fw::Window sessionEdit;

    void OnBySizeClicked();
    void OnBySessionClicked();
    // Registers the hotkey from the fields; returns what to tell the user
    // when that failed for a reason the user can mend, else "".
    using HotkeyApplier = std::function<std::string()>;
    void SetHotkeyApplier(HotkeyApplier applier) { hotkeyApplier = std::move(applier); }
    void ApplyOptions();
    // The read before every report: skipped while no control has changed
    // since the last read that went through, which then left the fields as
    // a new read would. A failed read is repeated, message and all; a quiet
    // one (for a timer) shows no message and is repeated by the next read.
    void ReadForReport(bool quiet = false);
    // The page windows are destroyed after the close sequence has read them;
    // hiding them then must not apply or validate again.
    void StopApplyingOnHide() { applyOnHide = false; }

    BEGIN_MSG_MAP(OptionsPage)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnControlChanged)
        COMMAND_CODE_HANDLER(BN_CLICKED, OnControlChanged)
        COMMAND_HANDLER(IDC_BY_SIZE, BN_CLICKED, OnBySizeCommand)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        COMMAND_HANDLER(IDC_BY_SESSION, BN_CLICKED, OnBySessionCommand)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnBySizeCommand(WORD, WORD, HWND, bool&) {
        OnBySizeClicked();
        return 0;
    }
    LRESULT OnBySessionCommand(WORD, WORD, HWND, bool&) {
        OnBySessionClicked();
        return 0;
    }
    LRESULT OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // Typing and clicking: the next report reads the controls again.
    LRESULT OnControlChanged(WORD, WORD, HWND, bool& bHandled) {
        controlsChanged = true;
        bHandled = false;
        return 0;
    }
    HotkeyApplier hotkeyApplier;
    bool applyOnHide = true;
    bool controlsChanged = true;
};

} // namespace settings

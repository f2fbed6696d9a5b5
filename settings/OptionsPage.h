// The Options tab. Its fields are the live settings, named after their
// registry values; the kill decision reads the controls back before every
// decision, so changes act at once. The hotkey and the Run value are applied
// when the page is hidden.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

class OptionsPage : public fw::CDialog {
public:
    OptionsPage() : fw::CDialog(IDD_OPTIONS) {}

    // Fields, in declaration order, with the defaults of a first run.
    int32_t Height = 700;
    int32_t Width = 1000;
    int ByName = 1;
    int BySize = 1;
    int LoadMinimized = 1;
    int LoadStart = 1;
    int SaveOnExit = 1;
    int AddAlt = 0;
    int AddShift = 0;
    int AddCtrl = 1;
    fw::CWindow widthEdit;
    fw::CWindow heightEdit;
    std::string Key = "x";
    int LoadOnStartup = 1;
    ImageButton checkBoxes[10];
    int AutoStart = 1;
    uint32_t Delay = 0;
    int32_t Sessions = 1;
    ImageButton sessionButton;
    int BySess = 0;
    fw::CWindow sessionEdit;

    void OnBySizeClicked();
    void OnBySessionClicked();
    void ApplyOptions();
    // The read before every report: skipped while no control has changed
    // since the last read that went through, which then left the fields as
    // a new read would. A failed read is repeated, message and all.
    void ReadForReport();
    // The page windows are destroyed after the close sequence has read them;
    // hiding them then must not apply or validate again.
    void StopApplyingOnHide() { applyOnHide_ = false; }

    BEGIN_MSG_MAP(OptionsPage)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnControlChanged)
        COMMAND_CODE_HANDLER(BN_CLICKED, OnControlChanged)
        COMMAND_HANDLER(IDC_BY_SIZE, BN_CLICKED, OnBySizeCommand)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        COMMAND_HANDLER(IDC_BY_SESSION, BN_CLICKED, OnBySessionCommand)
        CHAIN_MSG_MAP(fw::CDialog)
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
        controlsChanged_ = true;
        bHandled = false;
        return 0;
    }
    bool applyOnHide_ = true;
    bool controlsChanged_ = true;
};

// The Options tab: a view that edits the settings value. Every change of a
// control is read and committed to the value at once, so it acts on the next
// new window; a field that does not read says so when the next window is
// judged. The hotkey and the Run value are applied when the page is hidden.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "controls/ImageButton.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "settings/Settings.h"

namespace settings {

class OptionsPage : public fw::Dialog {
public:
    // keyProblem: why the keyboard layout cannot type a hotkey Key, or "".
    using KeyProblem = std::function<std::string(const std::string& key)>;
    OptionsPage(Settings& edited, KeyProblem problemOfKey)
        : fw::Dialog(IDD_OPTIONS), settings(edited), keyProblem(std::move(problemOfKey)) {}

    fw::Window widthEdit;
    fw::Window heightEdit;
    controls::ImageButton checkBoxes[10];
    controls::ImageButton sessionButton;
    fw::Window sessionEdit;

    // The value into the controls.
    void ShowSettings() { UpdateData(false); }
    // Every control into the value; a field that does not read shows its
    // message and takes the focus (quiet: neither), and it and the fields
    // after it keep their values.
    bool ReadControls(bool quiet = false);
    // Before a window is judged: a field that did not read says so, one
    // box at a time, until it reads.
    void ShowPendingProblem();

    void OnBySizeClicked();
    void OnBySessionClicked();
    // Registers the hotkey from the value; returns what to tell the user
    // when that failed for a reason the user can mend, else "".
    using HotkeyApplier = std::function<std::string()>;
    void SetHotkeyApplier(HotkeyApplier applier) { hotkeyApplier = std::move(applier); }
    void ApplyOptions();
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
    struct Problem {
        int id;
        std::string message;
    };

    LRESULT OnBySizeCommand(WORD, WORD, HWND, bool&) {
        OnBySizeClicked();
        return 0;
    }
    LRESULT OnBySessionCommand(WORD, WORD, HWND, bool&) {
        OnBySessionClicked();
        return 0;
    }
    LRESULT OnShowWindow(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // Typing and clicking commit at once, quietly.
    LRESULT OnControlChanged(WORD, WORD, HWND, bool& bHandled);

    Settings& settings;
    KeyProblem keyProblem;
    HotkeyApplier hotkeyApplier;
    std::optional<Problem> problem;
    bool showingProblem = false;
    bool applyOnHide = true;
    // Setting the controls from the value tells the page of changes that
    // are none; before the first time the controls hold no value at all.
    bool writing = false;
    bool shown = false;
};

} // namespace settings

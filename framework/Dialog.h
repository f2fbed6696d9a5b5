// Dialogs from templates: modal (with the framework's own loop, so that
// every window on the way up gets PreTranslateMessage for input) and
// modeless child dialogs used as pages.
#pragma once

#include "framework/Dpi.h"
#include "framework/Window.h"

namespace fw {

class DataExchange;

class Dialog : public Window {
public:
    explicit Dialog(UINT dialogTemplate) : templateId(dialogTemplate) {}
    UINT TemplateId() const { return templateId; }

    // Runs the dialog modally and returns the value given to EndDialog.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modelessly (hidden unless its template says visible).
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);

    // true: controls to fields with validation ("read"); false: fields to
    // controls ("write"). Returns false when a field failed validation.
    // quiet: a failure shows no message and moves no focus.
    bool UpdateData(bool read, bool quiet = false);

    bool PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    BEGIN_MSG_MAP(Dialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        COMMAND_ID_HANDLER(IDOK, OnOkCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancelCommand)
        MESSAGE_HANDLER(kDpiChanged, OnDpiChanged)
        MESSAGE_HANDLER(kDpiChangedAfterParent, OnDpiChangedAfterParent)
    END_MSG_MAP()

    // The DPI the controls are laid out for.
    UINT LayoutDpi() const { return layout.Dpi(); }

protected:
    // Standard initialisation: the fields are written to the controls.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    // Enter and Escape. The defaults end a modal dialog; pages override them.
    virtual void OnOK();
    virtual void OnCancel();
    // A modal dialog is shown once initialised, unless this was set false.
    void SetVisibleOnStart(bool visible) { visibleOnStart = visible; }
    // WM_DPICHANGED of a top-level dialog: the new DPI is recorded, the
    // window takes the suggested rectangle, the controls their places and
    // font, and every window below hears of it. False for a DPI no display has.
    bool TakeDpiChange(WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnOkCommand(WORD, WORD, HWND, bool&);
    LRESULT OnCancelCommand(WORD, WORD, HWND, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnDpiChangedAfterParent(UINT, WPARAM, LPARAM, bool&);
    void RunModalLoop();
    bool PreTranslateChain(MSG* msg);
    static INT_PTR CALLBACK StaticDlgProc(HWND, UINT, WPARAM, LPARAM);

    UINT templateId;
    DialogLayout layout;
    bool visibleOnStart = true;
    bool continueModal = false;
    INT_PTR modalResult = 0;
    // The message whose default processing runs now, so that DefDlgProc's
    // call back into the dialog procedure is not handled a second time.
    UINT defaultingMsg = 0;
    int defaultingDepth = 0;
};

} // namespace fw

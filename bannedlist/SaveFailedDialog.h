// The question after a failed save of the list at exit: save it elsewhere,
// close without saving it, or keep running.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "resources/resource.h"

namespace bannedlist {

class SaveFailedDialog : public fw::Dialog {
public:
    explicit SaveFailedDialog(const std::string& message)
        : fw::Dialog(IDD_SAVE_FAILED), text(message) {}

    // IDC_SAVE_ELSEWHERE, IDC_CLOSE_WITHOUT_SAVING, or IDCANCEL to keep running.
    int Ask(HWND owner) { return static_cast<int>(DoModal(owner)); }

    BEGIN_MSG_MAP(SaveFailedDialog)
        COMMAND_ID_HANDLER(IDC_SAVE_ELSEWHERE, OnChoice)
        COMMAND_ID_HANDLER(IDC_CLOSE_WITHOUT_SAVING, OnChoice)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;

private:
    LRESULT OnChoice(WORD, WORD id, HWND, bool&) {
        EndDialog(id);
        return 0;
    }
    std::string text;
};

} // namespace bannedlist

#include "bannedlist/SaveFailedDialog.h"

namespace bannedlist {

bool SaveFailedDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ::SetWindowTextA(m_hWnd, fw::GetAppTitle().c_str());
    ::SendDlgItemMessageA(m_hWnd, IDC_SAVE_FAILED_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIconA(nullptr, IDI_HAND)), 0);
    // A multi-line edit wraps even a path of thousands of characters and
    // scrolls what does not fit; it wants CR LF.
    std::string shown;
    for (char c : text)
        shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ::SetDlgItemTextA(m_hWnd, IDC_SAVE_FAILED_TEXT, shown.c_str());
    return true;
}

} // namespace bannedlist

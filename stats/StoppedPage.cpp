#include "stats/StoppedPage.h"

#include "stats/CounterLine.h"

bool CStoppedPage::OnInitDialog() {
    listBox = GetDlgItem(IDC_KILL_LIST);
    fw::CDialog::OnInitDialog();
    SessionKills = 0;
    return true;
}

void CStoppedPage::RecordKill(const std::string& title) {
    if (!title.empty()) {
        ++SessionKills;
        ++TotalKills;
    }
    std::string line = FormatCounterLine(TotalKills, SessionKills);
    ::SendMessageA(listBox, LB_DELETESTRING, 0, 0);
    ::SendMessageA(listBox, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (!title.empty())
        ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

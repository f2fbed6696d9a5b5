#include "stats/StatisticsPage.h"

#include "stats/CounterLine.h"

namespace stats {

bool StatisticsPage::OnInitDialog() {
    listBox = GetDlgItem(IDC_KILL_LIST);
    fw::Dialog::OnInitDialog();
    SessionKills = 0;
    return true;
}

void StatisticsPage::RecordKill(const std::string& title) {
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

} // namespace stats

#include "stats/StatisticsPage.h"

namespace stats {

StatisticsPage::~StatisticsPage() {
    kills.SetListener(nullptr);
}

bool StatisticsPage::OnInitDialog() {
    listBox = GetDlgItem(IDC_KILL_LIST);
    fw::Dialog::OnInitDialog();
    ShowCounterLine();
    for (const std::string& title : kills.Titles())
        ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    kills.SetListener([this](const std::string& title) { Recorded(title); });
    return true;
}

void StatisticsPage::ShowCounterLine() {
    std::string line = kills.CounterLine();
    ::SendMessageA(listBox, LB_DELETESTRING, 0, 0);
    ::SendMessageA(listBox, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void StatisticsPage::Recorded(const std::string& title) {
    ShowCounterLine();
    ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

} // namespace stats

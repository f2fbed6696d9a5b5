#include "stats/StatisticsPage.h"

#include "framework/DataExchange.h"

namespace stats {

StatisticsPage::~StatisticsPage() {
    kills.SetListener(nullptr);
}

void StatisticsPage::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_NEVER_CLOSE, neverCloseButton);
}

bool StatisticsPage::OnInitDialog() {
    listBox = GetDlgItem(IDC_KILL_LIST);
    fw::Dialog::OnInitDialog();
    neverCloseButton.SetLook(IDI_ADD, RGB(0, 0, 128));
    ShowCounterLine();
    for (const std::string& title : kills.Titles())
        ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    kills.SetListener([this](const std::string& title) { Recorded(title); });
    return true;
}

void StatisticsPage::ShowCounterLine() {
    std::string line = kills.CounterLine();
    bool selected = ::SendMessageA(listBox, LB_GETCURSEL, 0, 0) == 0;
    ::SendMessageA(listBox, LB_DELETESTRING, 0, 0);
    ::SendMessageA(listBox, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (selected)
        ::SendMessageA(listBox, LB_SETCURSEL, 0, 0);
}

void StatisticsPage::Recorded(const std::string& title) {
    ShowCounterLine();
    ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

int StatisticsPage::SelectedTitle() const {
    LRESULT line = ::SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR || line < 1 || static_cast<size_t>(line) > kills.Titles().size())
        return -1;
    return static_cast<int>(line - 1);
}

LRESULT StatisticsPage::OnSelectionChange(WORD, WORD, HWND, bool&) {
    ::EnableWindow(neverCloseButton.m_hWnd, SelectedTitle() >= 0);
    return 0;
}

LRESULT StatisticsPage::OnNeverClose(WORD, WORD, HWND, bool&) {
    int selected = SelectedTitle();
    if (selected >= 0 && neverClose)
        neverClose(kills.Titles()[static_cast<size_t>(selected)]);
    return 0;
}

} // namespace stats

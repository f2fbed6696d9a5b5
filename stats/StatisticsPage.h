// The Statistics tab: a view of the kill count, its counter line and then
// the title of each window closed in this run.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "resources/resource.h"
#include "stats/KillCount.h"

namespace stats {

class StatisticsPage : public fw::Dialog {
public:
    explicit StatisticsPage(KillCount& shown) : fw::Dialog(IDD_STATS), kills(shown) {}
    ~StatisticsPage() override;

    BEGIN_MSG_MAP(StatisticsPage)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void ShowCounterLine();
    void Recorded(const std::string& title);

    KillCount& kills;
    HWND listBox = nullptr; // IDC_KILL_LIST
};

} // namespace stats

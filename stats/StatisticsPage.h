// The Statistics tab: how many windows were closed, and their titles.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Dialog.h"
#include "resources/resource.h"

namespace stats {

class StatisticsPage : public fw::Dialog {
public:
    StatisticsPage() : fw::Dialog(IDD_STATS) {}

    HWND listBox = nullptr; // IDC_KILL_LIST: the counter line, then one title per closed window
    int32_t SessionKills = 0;
    int32_t TotalKills = 0;

    // Counts and lists one closed window; an empty title only rewrites the counter line.
    void RecordKill(const std::string& title);

    BEGIN_MSG_MAP(StatisticsPage)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
};

} // namespace stats

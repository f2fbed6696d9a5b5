// The Statistics tab: a view of the kill count, its counter line and then
// the title of each window closed in this run. A title selected there can
// be made an exception with Never Close.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "stats/KillCount.h"

namespace stats {

class StatisticsPage : public fw::Dialog {
public:
    // neverClose: makes a closed window's exact title one that no rule closes.
    using NeverClose = std::function<void(const std::string& title)>;
    StatisticsPage(KillCount& shown, NeverClose onNeverClose)
        : fw::Dialog(IDD_STATS), kills(shown), neverClose(std::move(onNeverClose)) {}
    ~StatisticsPage() override;

    controls::ImageButton neverCloseButton;

    BEGIN_MSG_MAP(StatisticsPage)
        COMMAND_HANDLER(IDC_KILL_LIST, LBN_SELCHANGE, OnSelectionChange)
        COMMAND_HANDLER(IDC_NEVER_CLOSE, BN_CLICKED, OnNeverClose)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnSelectionChange(WORD, WORD, HWND, bool&);
    LRESULT OnNeverClose(WORD, WORD, HWND, bool&);
    void ShowCounterLine();
    void Recorded(const std::string& title);
    // The title selected; -1 when none is (the counter line is no title).
    int SelectedTitle() const;

    KillCount& kills;
    NeverClose neverClose;
    HWND listBox = nullptr; // IDC_KILL_LIST
};

} // namespace stats

// Update: the download on a thread of its own, this small window showing the
// bytes so far with a Cancel button, a time limit without progress, and the
// titles merged into the list a batch at a time, so that the program keeps
// answering (and blocking) throughout.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "listfile/UpdateDownload.h"
#include "framework/Dialog.h"
#include "resources/resource.h"

namespace bannedlist {

class BannedListPage;

class UpdateDialog : public fw::Dialog {
public:
    explicit UpdateDialog(BannedListPage& owningPage) : fw::Dialog(IDD_UPDATE), page(owningPage) {}
    ~UpdateDialog() override;

    // Fetches the list at url and merges it; the main window is disabled
    // meanwhile, as under a modal dialog.
    void Start(const std::string& address);
    bool Running() const { return phase != Phase::Idle; }
    // For the close: a download is given up, a merge under way completed.
    void Finish();

    BEGIN_MSG_MAP(UpdateDialog)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(kMergeStep, OnMergeStep)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    // Cancel, Escape and the close box: a download is given up, changing
    // nothing; a merge under way goes on.
    void OnCancel() override;

private:
    enum class Phase { Idle, Fetching, Merging };
    static constexpr UINT kMergeStep = WM_APP + 1;

    LRESULT OnTimer(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnMergeStep(UINT, WPARAM, LPARAM, bool&);
    void Downloaded();
    void Fail(const listfile::UpdateFailure& failure);
    // Merges titles until the time is up; false once all are in.
    bool MergeSome(DWORD budgetMs);
    void ShowProgress();
    void End();

    BannedListPage& page;
    Phase phase = Phase::Idle;
    std::unique_ptr<listfile::UpdateDownload> download;
    std::string url;
    HWND owner = nullptr;
    unsigned long stallSeconds = 60;
    std::vector<std::string> titles;
    size_t next = 0;
    bool appendInOrder = false;
    int appended = 0;
};

} // namespace bannedlist

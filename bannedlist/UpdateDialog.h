// Update: the download on a thread of its own, and this small window
// showing the bytes so far with a Cancel button and a time limit without
// progress. A complete answer goes to the banned list; what came of it is
// reported through a callback.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "bannedlist/BannedList.h"
#include "framework/Dialog.h"
#include "listfile/UpdateDownload.h"
#include "resources/resource.h"

namespace bannedlist {

class UpdateDialog : public fw::Dialog {
public:
    using Report = std::function<void(const Notice& notice)>;

    UpdateDialog(BannedList& updated, Report report)
        : fw::Dialog(IDD_UPDATE), list(updated), tell(std::move(report)) {}
    ~UpdateDialog() override;

    // Fetches the list at the address and merges it; owner is disabled
    // meanwhile, as under a modal dialog. Nothing while one runs.
    void Start(const std::string& address, HWND ownerWindow);
    bool Running() const { return download != nullptr; }
    // For the close: a download is given up.
    void Finish() { End(); }

    BEGIN_MSG_MAP(UpdateDialog)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(kDownloadDone, OnTimer)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    // Cancel, Escape and the close box: the download is given up, changing
    // nothing.
    void OnCancel() override { End(); }

private:
    static constexpr UINT kDownloadDone = WM_APP + 1;

    LRESULT OnTimer(UINT, WPARAM, LPARAM, bool&);
    void Downloaded();
    void Fail(const listfile::UpdateFailure& failure);
    void ShowProgress();
    void End();

    BannedList& list;
    Report tell;
    std::unique_ptr<listfile::UpdateDownload> download;
    std::string url;
    HWND owner = nullptr;
    unsigned long stallSeconds = 60;
};

} // namespace bannedlist

#include "bannedlist/UpdateDialog.h"

namespace bannedlist {

namespace {
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTimerMs = 100;
} // namespace

UpdateDialog::~UpdateDialog() {
    End();
}

void UpdateDialog::Start(const std::string& address, HWND ownerWindow) {
    if (Running())
        return;
    // Never two downloads side by side: a stopped one ends within moments,
    // except while its thread waits for a name lookup.
    if (listfile::UpdateDownload::AnyRunning())
        return tell(Notice{listfile::UpdateStillEndingMessage(address), Notice::Kind::Warning});
    owner = ownerWindow;
    url = address;
    stallSeconds = listfile::UpdateStallSeconds();
    if (!Create(owner)) {
        End();
        return;
    }
    download.reset(new listfile::UpdateDownload(url, m_hWnd, kDownloadDone));
    ::EnableWindow(owner, FALSE);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetTimer(m_hWnd, kTimer, kTimerMs, nullptr);
}

bool UpdateDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_UPDATE_SOURCE, url.c_str());
    ShowProgress();
    return true;
}

void UpdateDialog::ShowProgress() {
    std::string text = std::to_string(download ? download->BytesSoFar() : 0) + " bytes received";
    ::SetDlgItemTextA(m_hWnd, IDC_UPDATE_PROGRESS, text.c_str());
}

LRESULT UpdateDialog::OnTimer(UINT, WPARAM, LPARAM, bool&) {
    if (!download)
        return 0;
    ShowProgress();
    if (download->Done()) {
        Downloaded();
    } else if (::GetTickCount() - download->LastProgress() >= stallSeconds * 1000) {
        listfile::UpdateFailure failure;
        failure.kind = listfile::UpdateFailure::Kind::Stalled;
        failure.limit = stallSeconds;
        Fail(failure);
    }
    return 0;
}

void UpdateDialog::Fail(const listfile::UpdateFailure& failure) {
    std::string address = url;
    End();
    tell(Notice{listfile::UpdateFailedMessage(failure, address), Notice::Kind::Warning});
}

void UpdateDialog::Downloaded() {
    listfile::DownloadResult result = download->TakeResult();
    download.reset();
    if (!result.ok)
        return Fail(result.failure);
    // The titles were read and ordered on the download's thread: the list
    // takes them whole, in one step.
    BannedList::UpdateOutcome outcome =
        list.AdoptUpdate(result.body, result.report, std::move(result.titles));
    if (outcome.failure)
        return Fail(*outcome.failure);
    End();
    if (outcome.notice)
        tell(*outcome.notice);
}

void UpdateDialog::End() {
    download.reset();
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kTimer);
    // The owner first, so that it is the window activated when this goes.
    ::EnableWindow(owner, TRUE);
    DestroyWindow();
}

} // namespace bannedlist

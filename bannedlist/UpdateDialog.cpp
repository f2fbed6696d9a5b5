#include "bannedlist/UpdateDialog.h"

#include <algorithm>
#include <iterator>

#include "listfile/AtomicFile.h"
#include "bannedlist/BannedListPage.h"

namespace bannedlist {

namespace {
const char kUploadedList[] = "uploaded.lst";
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTimerMs = 100;
// Titles per insertion call, and the time one merge step may take before the
// program handles what waits in its queue.
constexpr size_t kBatch = 256;
constexpr DWORD kStepMs = 30;
} // namespace

UpdateDialog::~UpdateDialog() {
    End();
}

void UpdateDialog::Start(const std::string& address) {
    if (Running())
        return;
    // Never two downloads side by side: a stopped one ends within moments,
    // except while its thread waits for a name lookup.
    if (listfile::UpdateDownload::AnyRunning())
        return page.Notify(listfile::UpdateStillEndingMessage(address), MB_ICONEXCLAMATION);
    owner = ::GetAncestor(page.m_hWnd, GA_ROOT);
    url = address;
    stallSeconds = listfile::UpdateStallSeconds();
    LCID locale = static_cast<LCID>(::SendMessageA(page.titles.ListBox(), LB_GETLOCALE, 0, 0));
    download.reset(new listfile::UpdateDownload(url, locale));
    phase = Phase::Fetching;
    if (!Create(owner)) {
        End();
        return;
    }
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
    std::string text;
    if (phase == Phase::Fetching)
        text = std::to_string(download ? download->BytesSoFar() : 0) + " bytes received";
    else
        text =
            "Adding the titles: " + std::to_string(next) + " of " + std::to_string(titles.size());
    ::SetDlgItemTextA(m_hWnd, IDC_UPDATE_PROGRESS, text.c_str());
}

LRESULT UpdateDialog::OnTimer(UINT, WPARAM, LPARAM, bool&) {
    if (phase != Phase::Fetching)
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
    page.Notify(listfile::UpdateFailedMessage(failure, address), MB_ICONEXCLAMATION);
}

void UpdateDialog::Downloaded() {
    listfile::DownloadResult result = download->TakeResult();
    download.reset();
    if (!result.ok)
        return Fail(result.failure);
    // uploaded.lst takes the answer as it came; when it cannot, nothing
    // else changes either.
    listfile::UpdateFailure stored;
    stored.kind = listfile::UpdateFailure::Kind::Stored;
    if (auto error = page.fileGuard.BeforeWrite(kUploadedList)) {
        stored.storeError = *error;
        return Fail(stored);
    }
    if (auto error = listfile::WriteFileAtomically(kUploadedList, result.body)) {
        stored.storeError = *error;
        return Fail(stored);
    }
    page.ListPath = kUploadedList;
    page.NoteHowFileWasRead(kUploadedList, result.report);
    titles = std::move(result.titles);
    next = 0;
    appended = 0;
    appendInOrder = result.ordered && page.titles.Count() == 0;
    phase = Phase::Merging;
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
    ShowProgress();
    ::PostMessageA(m_hWnd, kMergeStep, 0, 0);
}

LRESULT UpdateDialog::OnMergeStep(UINT, WPARAM, LPARAM, bool&) {
    if (phase != Phase::Merging)
        return 0;
    if (MergeSome(kStepMs)) {
        ShowProgress();
        ::PostMessageA(m_hWnd, kMergeStep, 0, 0);
    } else {
        End();
    }
    return 0;
}

bool UpdateDialog::MergeSome(DWORD budgetMs) {
    DWORD start = ::GetTickCount();
    BannedTitles& list = page.titles;
    while (next < titles.size()) {
        size_t end = std::min(next + kBatch, titles.size());
        std::vector<std::string> batch(std::make_move_iterator(titles.begin() + next),
                                       std::make_move_iterator(titles.begin() + end));
        next = end;
        // Into a list that holds only what this merge appended, the checked
        // order is the list box's own; once anything else got in (the ban
        // hotkey), the list box places each title itself.
        if (appendInOrder && list.Count() == appended) {
            list.AppendInOrder(batch);
            appended = list.Count();
        } else {
            appendInOrder = false;
            list.InsertMany(batch);
        }
        if (::GetTickCount() - start >= budgetMs)
            break;
    }
    return next < titles.size();
}

void UpdateDialog::OnCancel() {
    if (phase == Phase::Fetching)
        End();
}

void UpdateDialog::Finish() {
    if (phase == Phase::Merging)
        MergeSome(INFINITE);
    End();
}

void UpdateDialog::End() {
    phase = Phase::Idle;
    download.reset();
    titles = std::vector<std::string>();
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kTimer);
    // The owner first, so that it is the window activated when this goes.
    ::EnableWindow(owner, TRUE);
    DestroyWindow();
}

} // namespace bannedlist

#include "bannedlist/UpdateDialog.h"

#include <algorithm>
#include <iterator>

#include "bannedlist/AtomicFile.h"
#include "bannedlist/BannedListPage.h"

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

void UpdateDialog::Start(const std::string& url) {
    if (Running())
        return;
    owner_ = ::GetAncestor(page_.m_hWnd, GA_ROOT);
    url_ = url;
    stallSeconds_ = listfile::UpdateStallSeconds();
    LCID locale = static_cast<LCID>(::SendMessageA(page_.titles.ListBox(), LB_GETLOCALE, 0, 0));
    download_.reset(new listfile::UpdateDownload(url, locale));
    phase_ = Phase::Fetching;
    if (!Create(owner_)) {
        End();
        return;
    }
    ::EnableWindow(owner_, FALSE);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetTimer(m_hWnd, kTimer, kTimerMs, nullptr);
}

bool UpdateDialog::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_UPDATE_SOURCE, url_.c_str());
    ShowProgress();
    return true;
}

void UpdateDialog::ShowProgress() {
    std::string text;
    if (phase_ == Phase::Fetching)
        text = std::to_string(download_ ? download_->BytesSoFar() : 0) + " bytes received";
    else
        text =
            "Adding the titles: " + std::to_string(next_) + " of " + std::to_string(titles_.size());
    ::SetDlgItemTextA(m_hWnd, IDC_UPDATE_PROGRESS, text.c_str());
}

LRESULT UpdateDialog::OnTimer(UINT, WPARAM, LPARAM, bool&) {
    if (phase_ != Phase::Fetching)
        return 0;
    ShowProgress();
    if (download_->Done()) {
        Downloaded();
    } else if (::GetTickCount() - download_->LastProgress() >= stallSeconds_ * 1000) {
        listfile::UpdateFailure failure;
        failure.kind = listfile::UpdateFailure::Kind::Stalled;
        failure.limit = stallSeconds_;
        Fail(failure);
    }
    return 0;
}

void UpdateDialog::Fail(const listfile::UpdateFailure& failure) {
    std::string url = url_;
    End();
    page_.Notify(listfile::UpdateFailedMessage(failure, url), MB_ICONEXCLAMATION);
}

void UpdateDialog::Downloaded() {
    listfile::DownloadResult result = download_->TakeResult();
    download_.reset();
    if (!result.ok)
        return Fail(result.failure);
    // uploaded.lst takes the answer as it came; when it cannot, nothing
    // else changes either.
    listfile::UpdateFailure stored;
    stored.kind = listfile::UpdateFailure::Kind::Stored;
    if (auto error = page_.fileGuard.BeforeWrite(kUploadedList)) {
        stored.storeError = *error;
        return Fail(stored);
    }
    if (auto error = listfile::WriteFileAtomically(kUploadedList, result.body)) {
        stored.storeError = *error;
        return Fail(stored);
    }
    page_.ListPath = kUploadedList;
    page_.NoteHowFileWasRead(kUploadedList, result.report);
    titles_ = std::move(result.titles);
    next_ = 0;
    appended_ = 0;
    appendInOrder_ = result.ordered && page_.titles.Count() == 0;
    phase_ = Phase::Merging;
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
    ShowProgress();
    ::PostMessageA(m_hWnd, kMergeStep, 0, 0);
}

LRESULT UpdateDialog::OnMergeStep(UINT, WPARAM, LPARAM, bool&) {
    if (phase_ != Phase::Merging)
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
    BannedTitles& list = page_.titles;
    while (next_ < titles_.size()) {
        size_t end = std::min(next_ + kBatch, titles_.size());
        std::vector<std::string> batch(std::make_move_iterator(titles_.begin() + next_),
                                       std::make_move_iterator(titles_.begin() + end));
        next_ = end;
        // Into a list that holds only what this merge appended, the checked
        // order is the list box's own; once anything else got in (the ban
        // hotkey), the list box places each title itself.
        if (appendInOrder_ && list.Count() == appended_) {
            list.AppendInOrder(batch);
            appended_ = list.Count();
        } else {
            appendInOrder_ = false;
            list.InsertMany(batch);
        }
        if (::GetTickCount() - start >= budgetMs)
            break;
    }
    return next_ < titles_.size();
}

void UpdateDialog::OnCancel() {
    if (phase_ == Phase::Fetching)
        End();
}

void UpdateDialog::Finish() {
    if (phase_ == Phase::Merging)
        MergeSome(INFINITE);
    End();
}

void UpdateDialog::End() {
    phase_ = Phase::Idle;
    download_.reset();
    titles_ = std::vector<std::string>();
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kTimer);
    // The owner first, so that it is the window activated when this goes.
    ::EnableWindow(owner_, TRUE);
    DestroyWindow();
}

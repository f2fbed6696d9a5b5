// The list files and the file buttons of the Banned List page.
#include "bannedlist/BannedListPage.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "listfile/AtomicFile.h"
#include "listfile/ListBoxOrder.h"
#include "listfile/ListFileFormat.h"
#include "bannedlist/SaveFailedDialog.h"
#include "listfile/SystemCodePage.h"
#include "listfile/UpdateDownload.h"
#include "framework/Handle.h"

namespace bannedlist {

namespace {

const char kNewList[] = "new.lst";

constexpr DWORD kReadPiece = 1 << 16;
// A file larger than this is merged in parts, so that its titles, their
// wide forms and sort keys are never held all at once beside the list
// box's own copy (the process has 2 GB of address space).
constexpr size_t kMergeBatchBytes = 16u << 20;
// Room for any path the dialogs can return.
constexpr size_t kPathBuffer = 32768;

// Adds the lines that are new to the list. False when the list box ran
// out of room and refused titles.
bool MergeLines(BannedTitles& list, std::vector<std::string>& lines) {
    std::vector<std::string> fresh = listfile::SelectNewTitles(
        std::move(lines), [&list](const std::string& title) { return list.IsNewTitle(title); });
    lines.clear();
    if (fresh.empty())
        return true;
    LCID locale = static_cast<LCID>(::SendMessageA(list.ListBox(), LB_GETLOCALE, 0, 0));
    bool ordered = listfile::SortAsListBoxDoes(locale, fresh);
    size_t bytes = 0;
    for (const std::string& title : fresh)
        bytes += title.size() + 1;
    ::SendMessageA(list.ListBox(), LB_INITSTORAGE, fresh.size(),
                   static_cast<LPARAM>(std::min<size_t>(bytes, 0x7FFFFFFF)));
    // Into an empty list (Load, the start, after New) the checked order is
    // the list box's own; among entries the list box places each title.
    size_t added =
        ordered && list.Count() == 0 ? list.AppendInOrder(fresh) : list.InsertMany(fresh);
    return added == fresh.size();
}

// The standard Explorer-style open or save dialog: no filter, no default
// extension, the read-only box hidden, no demand that the file or its
// folder exist; the save dialog asks before replacing a file.
bool ChooseFile(HWND owner, bool save, std::string& chosen) {
    std::vector<char> name(kPathBuffer, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : 0);
    BOOL ok = save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
    if (!ok || !name[0])
        return false;
    chosen = name.data();
    return true;
}

} // namespace

void BannedListPage::ReadListFile(const std::string& path) {
    // A device (CON, NUL, ...) holds no list to read or to lose.
    if (listfile::IsDevicePath(listfile::FullPathOf(path)))
        return;
    // Shared like a C runtime text open, so a file open elsewhere is read.
    fw::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    auto cause = listfile::FileErrorCauseFromSystemError(error);
    // A file that is not there (or cannot be, by its name) is an empty list
    // that the exit save may create.
    if (path.empty() || cause == listfile::FileErrorCause::FileNotFound ||
        cause == listfile::FileErrorCause::BadPath) {
        fileGuard.Forget(path);
        return;
    }
    // Only a file on disk: a device or a pipe named by mistake could block
    // the program on its first read, and holds no list to lose.
    if (file && ::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return;
    listfile::SystemCodePage codePage;
    listfile::LineReader reader(codePage);
    std::vector<std::string> lines;
    std::vector<char> buffer(kReadPiece);
    size_t batch = 0;
    while (file) {
        DWORD got = 0;
        // A read error keeps the lines read whole so far, not the broken one.
        if (!::ReadFile(file.Get(), buffer.data(), kReadPiece, &got, nullptr)) {
            error = ::GetLastError();
            break;
        }
        if (got == 0) {
            reader.Finish(lines);
            break;
        }
        reader.Feed(buffer.data(), got, lines);
        batch += got;
        if (batch >= kMergeBatchBytes) {
            MergeLines(titles, lines);
            batch = 0;
        }
    }
    MergeLines(titles, lines);
    if (error != ERROR_SUCCESS) {
        // Written over at exit, the titles not read would be lost.
        fileGuard.MarkUnread(path);
        Notify(listfile::ReadErrorMessage(listfile::FileErrorCauseFromSystemError(error),
                                          listfile::FullPathOf(path)),
               MB_ICONSTOP);
        return;
    }
    NoteHowFileWasRead(path, reader.Report());
}

void BannedListPage::NoteHowFileWasRead(const std::string& path,
                                        const listfile::ReadReport& report) {
    fileGuard.Forget(path);
    if (!report.NeedsBackup())
        return;
    fileGuard.MarkForBackup(path);
    Notify(listfile::ConversionMessage(report, listfile::FullPathOf(path),
                                       listfile::ListFileGuard::BackupNameFor(path)),
           MB_ICONINFORMATION);
}

std::optional<listfile::WriteError> BannedListPage::WriteList(const std::string& path) {
    std::string bytes;
    for (int i = 0; i < titles.Count(); ++i)
        listfile::AppendListFileLine(bytes, titles.At(i));
    if (auto error = fileGuard.BeforeWrite(path))
        return error;
    if (auto error = listfile::WriteFileAtomically(path, bytes))
        return error;
    fileGuard.Written(path);
    return std::nullopt;
}

bool BannedListPage::WriteListFile(const std::string& path, bool reportErrors) {
    std::optional<listfile::WriteError> error = WriteList(path);
    if (error && reportErrors) {
        ::MessageBoxA(::GetAncestor(m_hWnd, GA_ROOT), listfile::WriteErrorMessage(*error).c_str(),
                      fw::GetAppTitle().c_str(), MB_OK | MB_ICONSTOP);
    }
    return !error;
}

bool BannedListPage::SaveListAtExit(bool interactive) {
    HWND owner = ::GetAncestor(m_hWnd, GA_ROOT);
    for (;;) {
        std::string reason;
        if (fileGuard.IsUnread(ListPath)) {
            // Leaving it alone loses nothing when the list is empty.
            if (titles.Count() == 0)
                return true;
            reason = listfile::UnreadFileMessage(listfile::FullPathOf(ListPath));
        } else if (std::optional<listfile::WriteError> error = WriteList(ListPath)) {
            reason = listfile::WriteErrorMessage(*error);
        } else {
            return true;
        }
        if (!interactive)
            return false;
        SaveFailedDialog question("The banned list was not saved.\n\n" + reason +
                                  "\n\nSave it to another file, close without saving it, or "
                                  "keep Velmora running?");
        int choice = question.Ask(owner);
        if (choice == IDC_CLOSE_WITHOUT_SAVING)
            return true;
        if (choice != IDC_SAVE_ELSEWHERE)
            return false;
        std::string chosen;
        if (ChooseFile(owner, true, chosen))
            ListPath = chosen;
    }
}

void BannedListPage::Notify(const std::string& text, UINT icon) {
    notices.push_back(Notice{text, icon});
    if (!showingNotice)
        ::PostMessageA(m_hWnd, kShowNotices, 0, 0);
}

LRESULT BannedListPage::OnShowNotices(UINT, WPARAM, LPARAM, bool&) {
    // One box at a time: notices that come while one shows wait for it.
    if (showingNotice)
        return 0;
    showingNotice = true;
    while (!notices.empty()) {
        Notice notice = notices.front();
        notices.erase(notices.begin());
        ::MessageBoxA(::GetAncestor(m_hWnd, GA_ROOT), notice.text.c_str(),
                      fw::GetAppTitle().c_str(), MB_OK | notice.icon);
    }
    showingNotice = false;
    return 0;
}

void BannedListPage::OnNew() {
    titles.Clear();
    ListPath = kNewList;
}

void BannedListPage::OnLoad() {
    std::string chosen;
    if (!ChooseFile(::GetAncestor(m_hWnd, GA_ROOT), false, chosen))
        return;
    titles.Clear();
    ListPath = chosen;
    ReadListFile(ListPath);
    UpdateData(false);
}

void BannedListPage::OnAppend() {
    std::string chosen;
    if (!ChooseFile(::GetAncestor(m_hWnd, GA_ROOT), false, chosen))
        return;
    ListPath = chosen;
    ReadListFile(ListPath);
    UpdateData(false);
}

void BannedListPage::OnSave() {
    std::string chosen;
    if (!ChooseFile(::GetAncestor(m_hWnd, GA_ROOT), true, chosen))
        return;
    ListPath = chosen;
    WriteListFile(ListPath);
}

void BannedListPage::OnUpdate() {
    update.Start(listfile::UpdateUrl());
}

} // namespace bannedlist

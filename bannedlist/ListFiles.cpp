// The list files and the file buttons of the Banned List page.
#include "bannedlist/BannedListPage.h"

#include <commdlg.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "bannedlist/AtomicFile.h"
#include "bannedlist/ListFileFormat.h"
#include "bannedlist/UpdateDownload.h"
#include "framework/Handle.h"

namespace {

const char kNewList[] = "new.lst";
const char kUploadedList[] = "uploaded.lst";

constexpr DWORD kReadPiece = 1 << 16;
// A file larger than this is merged in parts, so that its titles, their
// wide forms and sort keys are never held all at once beside the list
// box's own copy (the process has 2 GB of address space).
constexpr size_t kMergeBatchBytes = 16u << 20;
// Room for any path the dialogs can return.
constexpr size_t kPathBuffer = 32768;

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return std::wstring();
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

// Orders titles as the sorted list box compares them: CompareString in the
// list box's locale, case ignored, on the text as the ANSI messages convert
// it. Wine's list box moves every entry behind an insertion point, about
// n*n/4 moves for titles in file order, and a comparison costs a
// microsecond or more, so the sort goes by sort keys of the same rule and
// the result is checked pair by pair with the list box's own comparison.
// False when that check fails (or a key could not be made): the order is
// then only nearly right and the list box must place each title itself.
bool SortAsListBoxDoes(HWND listBox, std::vector<std::string>& titles) {
    LCID locale = static_cast<LCID>(::SendMessageA(listBox, LB_GETLOCALE, 0, 0));
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::vector<std::wstring> wide;
    std::vector<std::string> keys;
    wide.reserve(titles.size());
    keys.reserve(titles.size());
    bool keyed = true;
    for (const std::string& title : titles) {
        wide.push_back(Widen(title));
        // A sort key is bytes compared unsigned, as std::string compares.
        int size = ::LCMapStringW(locale, flags, wide.back().c_str(), -1, nullptr, 0);
        std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size <= 0 || !::LCMapStringW(locale, flags, wide.back().c_str(), -1,
                                         reinterpret_cast<LPWSTR>(&key[0]), size))
            keyed = false;
        keys.push_back(std::move(key));
    }
    std::vector<size_t> order(titles.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    bool ordered = keyed;
    for (size_t i = 1; ordered && i < order.size(); ++i) {
        ordered = ::CompareStringW(locale, NORM_IGNORECASE, wide[order[i - 1]].c_str(), -1,
                                   wide[order[i]].c_str(), -1) != CSTR_GREATER_THAN;
    }
    std::vector<std::string> sorted;
    sorted.reserve(titles.size());
    for (size_t index : order)
        sorted.push_back(std::move(titles[index]));
    titles.swap(sorted);
    return ordered;
}

// Adds the lines that are new to the list. False when the list box ran
// out of room and refused titles.
bool MergeLines(BannedTitles& list, std::vector<std::string>& lines) {
    std::vector<std::string> fresh = listfile::SelectNewTitles(
        std::move(lines), [&list](const std::string& title) { return list.IsNewTitle(title); });
    lines.clear();
    if (fresh.empty())
        return true;
    bool ordered = SortAsListBoxDoes(list.ListBox(), fresh);
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

void ShowFileError(HWND owner, DWORD error, const std::string& path) {
    std::string text = listfile::FileErrorMessage(listfile::FileErrorCauseFromSystemError(error),
                                                  listfile::FullPathOf(path));
    ::MessageBoxA(owner, text.c_str(), fw::GetAppTitle().c_str(), MB_OK | MB_ICONSTOP);
}

} // namespace

void BannedListPage::ReadListFile(const std::string& path) {
    // Shared like a C runtime text open, so a file open elsewhere is read.
    fw::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Only a file on disk: a device or a pipe named by mistake could block
    // the program on its first read.
    if (!file || ::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return;
    listfile::LineReader reader;
    std::vector<std::string> lines;
    std::vector<char> buffer(kReadPiece);
    size_t batch = 0;
    for (;;) {
        DWORD got = 0;
        // A read error keeps the lines read whole so far, not the broken one.
        if (!::ReadFile(file.Get(), buffer.data(), kReadPiece, &got, nullptr))
            break;
        if (got == 0) {
            reader.Finish(lines);
            break;
        }
        reader.Feed(buffer.data(), got, lines);
        batch += got;
        if (batch >= kMergeBatchBytes) {
            if (!MergeLines(titles, lines))
                return;
            batch = 0;
        }
    }
    MergeLines(titles, lines);
}

bool BannedListPage::WriteListFile(const std::string& path, bool reportErrors) {
    std::string bytes;
    for (int i = 0; i < titles.Count(); ++i)
        listfile::AppendListFileLine(bytes, titles.At(i));
    DWORD error = listfile::WriteFileAtomically(path, bytes);
    if (error == ERROR_SUCCESS)
        return true;
    if (reportErrors)
        ShowFileError(::GetAncestor(m_hWnd, GA_ROOT), error, path);
    return false;
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
    // The download blocks the program; the cursor says so.
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    bool fetched = listfile::DownloadToFile(listfile::UpdateUrl(), kUploadedList);
    ::SetCursor(previous);
    ListPath = kUploadedList;
    // A failed download is never merged: an earlier "uploaded.lst" was
    // merged when it came, and an error page is no list.
    if (fetched)
        ReadListFile(ListPath);
}

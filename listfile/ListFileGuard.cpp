#include "listfile/ListFileGuard.h"

#include <windows.h>

#include <algorithm>

#include "listfile/AtomicFile.h"

namespace listfile {

namespace {
bool SamePath(const std::string& a, const std::string& b) {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}
} // namespace

ListFileGuard::Entry* ListFileGuard::Find(const std::string& fullPath) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry& entry) {
        return SamePath(entry.fullPath, fullPath);
    });
    return found == entries.end() ? nullptr : &*found;
}

const ListFileGuard::Entry* ListFileGuard::Find(const std::string& fullPath) const {
    return const_cast<ListFileGuard*>(this)->Find(fullPath);
}

ListFileGuard::Entry& ListFileGuard::At(const std::string& path) {
    std::string fullPath = FullPathOf(path);
    if (Entry* entry = Find(fullPath))
        return *entry;
    entries.push_back(Entry{fullPath});
    return entries.back();
}

void ListFileGuard::Forget(const std::string& path) {
    std::string fullPath = FullPathOf(path);
    entries.erase(
        std::remove_if(entries.begin(), entries.end(),
                       [&](const Entry& entry) { return SamePath(entry.fullPath, fullPath); }),
        entries.end());
}

void ListFileGuard::MarkUnread(const std::string& path) {
    At(path).unread = true;
}

void ListFileGuard::MarkForBackup(const std::string& path) {
    At(path).backup = true;
}

bool ListFileGuard::IsUnread(const std::string& path) const {
    const Entry* entry = Find(FullPathOf(path));
    return entry && entry->unread;
}

std::string ListFileGuard::BackupNameFor(const std::string& path) {
    std::string fullPath = FullPathOf(path);
    std::string name = fullPath + ".bak";
    for (int n = 2; ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES && n < 1000; ++n)
        name = fullPath + "." + std::to_string(n) + ".bak";
    return name;
}

std::optional<WriteError> ListFileGuard::BeforeWrite(const std::string& path) {
    std::string fullPath = FullPathOf(path);
    Entry* entry = Find(fullPath);
    if (!entry || !entry->backup)
        return std::nullopt;
    if (::GetFileAttributesA(fullPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::string backup = BackupNameFor(fullPath);
        if (!::CopyFileA(fullPath.c_str(), backup.c_str(), TRUE)) {
            DWORD error = ::GetLastError();
            // A copy that broke off must not pass for the original.
            if (error != ERROR_FILE_EXISTS)
                ::DeleteFileA(backup.c_str());
            return WriteError{FileErrorCauseFromSystemError(error), WriteError::Place::Backup,
                              fullPath, backup};
        }
    }
    entry->backup = false;
    return std::nullopt;
}

} // namespace listfile

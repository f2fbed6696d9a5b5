#include "listfile/ListFileGuard.h"

#include <algorithm>

namespace listfile {

ListFileGuard::Entry* ListFileGuard::Find(const std::string& fullPath) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry& entry) {
        return files.SamePath(entry.fullPath, fullPath);
    });
    return found == entries.end() ? nullptr : &*found;
}

const ListFileGuard::Entry* ListFileGuard::Find(const std::string& fullPath) const {
    return const_cast<ListFileGuard*>(this)->Find(fullPath);
}

ListFileGuard::Entry& ListFileGuard::At(const std::string& path) {
    std::string fullPath = files.FullPath(path);
    if (Entry* entry = Find(fullPath))
        return *entry;
    entries.push_back(Entry{fullPath});
    return entries.back();
}

void ListFileGuard::Forget(const std::string& path) {
    std::string fullPath = files.FullPath(path);
    entries.erase(std::remove_if(
                      entries.begin(), entries.end(),
                      [&](const Entry& entry) { return files.SamePath(entry.fullPath, fullPath); }),
                  entries.end());
}

void ListFileGuard::MarkUnread(const std::string& path) {
    At(path).unread = true;
}

void ListFileGuard::MarkForBackup(const std::string& path) {
    At(path).backup = true;
}

bool ListFileGuard::IsUnread(const std::string& path) const {
    const Entry* entry = Find(files.FullPath(path));
    return entry && entry->unread;
}

std::string ListFileGuard::BackupNameFor(const std::string& path) const {
    std::string fullPath = files.FullPath(path);
    std::string name = fullPath + ".bak";
    for (int n = 2; files.Exists(name) && n < 1000; ++n)
        name = fullPath + "." + std::to_string(n) + ".bak";
    return name;
}

std::optional<WriteError> ListFileGuard::BeforeWrite(const std::string& path) {
    std::string fullPath = files.FullPath(path);
    Entry* entry = Find(fullPath);
    if (!entry || !entry->backup)
        return std::nullopt;
    if (files.Exists(fullPath)) {
        std::string backup = BackupNameFor(fullPath);
        if (std::optional<FileErrorCause> cause = files.CopyToNew(fullPath, backup))
            return WriteError{*cause, WriteError::Place::Backup, fullPath, backup};
    }
    entry->backup = false;
    return std::nullopt;
}

} // namespace listfile

// List files a save must not simply write over: one that exists but could
// not be read (the exit save leaves it alone), and one whose text was
// changed on reading (its original is kept beside it, as NAME.bak, before
// the first save over it). Files are known by their full path. Portable.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "listfile/ListFileSystem.h"
#include "listfile/ListMessages.h"

namespace listfile {

class ListFileGuard {
public:
    explicit ListFileGuard(ListFileSystem& fileSystem) : files(fileSystem) {}

    // The file was read whole and as it is: nothing to guard.
    void Forget(const std::string& path);
    void MarkUnread(const std::string& path);
    void MarkForBackup(const std::string& path);

    bool IsUnread(const std::string& path) const;
    // The name the original of a file will be kept under: NAME.bak, or
    // NAME.2.bak and on when that exists.
    std::string BackupNameFor(const std::string& path) const;

    // Before a write over the file: keeps its original first when it is
    // marked for that (once; the mark then goes).
    std::optional<WriteError> BeforeWrite(const std::string& path);
    // The file now holds what was deliberately written to it.
    void Written(const std::string& path) { Forget(path); }

private:
    struct Entry {
        std::string fullPath;
        bool unread = false;
        bool backup = false;
    };
    Entry* Find(const std::string& fullPath);
    const Entry* Find(const std::string& fullPath) const;
    Entry& At(const std::string& path);

    ListFileSystem& files;
    std::vector<Entry> entries;
};

} // namespace listfile

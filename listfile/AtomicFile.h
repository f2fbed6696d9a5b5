// Replacing a file so that it is never left half-written: the new content
// goes to a temporary file in the target's folder, which is renamed over the
// target only once it is complete.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "listfile/ListMessages.h"
#include "framework/Handle.h"

namespace listfile {

// A new empty file beside a target, open for writing, deleted again unless
// it replaced the target.
class TemporaryFile {
public:
    // target must be a full path; Error() tells whether the file was made.
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    DWORD Error() const { return error; }
    const std::string& Path() const { return path; }
    HANDLE Handle() const { return file.Get(); }
    // Flushes and closes the file, then renames it over the target
    // (write-through). ERROR_SUCCESS or the system error; on failure the
    // target is untouched.
    DWORD ReplaceTarget();

private:
    std::string target;
    std::string path;
    fw::UniqueFileHandle file;
    DWORD error = ERROR_SUCCESS;
    bool done = false;
};

// Whether a plain overwrite of the file would be allowed: ERROR_SUCCESS, or
// the error it would meet (read-only, held open without sharing, a folder, a
// missing folder). A file that does not exist yet is fine.
DWORD CheckReplaceable(const std::string& fullPath);

// The whole replacement: a temporary file in the folder, the target checked,
// the bytes written and flushed, the rename. Nothing when it worked, else
// what failed: the file, or its folder when no new file could be made there.
std::optional<WriteError> WriteFileAtomically(const std::string& path, const std::string& bytes);

// The absolute form of a path, as the file error names it; the path itself
// when it cannot be resolved.
std::string FullPathOf(const std::string& path);
// The folder part of a full path ("C:\" keeps its backslash).
std::string FolderOf(const std::string& fullPath);
// A device ("\\.\CON" and the like) rather than a file on disk.
bool IsDevicePath(const std::string& fullPath);

} // namespace listfile

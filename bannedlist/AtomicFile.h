// Replacing a file so that it is never left half-written: the new content
// goes to a temporary file in the target's folder, which is renamed over the
// target only once it is complete.
#pragma once

#include <windows.h>

#include <string>

namespace listfile {

// A new empty file beside a target, deleted again unless it replaced the target.
class TemporaryFile {
public:
    // target must be a full path; Error() tells whether the file was made.
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    DWORD Error() const { return error_; }
    const std::string& Path() const { return path_; }
    // Renames the file over the target (write-through). ERROR_SUCCESS or
    // the system error; on failure the target is untouched.
    DWORD ReplaceTarget();

private:
    std::string target_;
    std::string path_;
    DWORD error_ = ERROR_SUCCESS;
    bool done_ = false;
};

// Whether a plain overwrite of the file would be allowed: ERROR_SUCCESS, or
// the error it would meet (read-only, held open without sharing, a folder, a
// missing folder). A file that does not exist yet is fine.
DWORD CheckReplaceable(const std::string& fullPath);

// The whole replacement: check, write and flush the temporary file, rename.
// Returns ERROR_SUCCESS or the system error of the step that failed.
DWORD WriteFileAtomically(const std::string& path, const std::string& bytes);

// The absolute form of a path, as the file error names it; the path itself
// when it cannot be resolved.
std::string FullPathOf(const std::string& path);

} // namespace listfile

// The files that list files live in, as the banned list uses them: the
// real ones on Windows (Win32ListFileSystem), a stand-in in the native
// tests. Portable.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "listfile/ListMessages.h"

namespace listfile {

// How reading a file ended.
struct ReadStatus {
    enum class Kind {
        Read,     // from its start to its end
        Missing,  // no file by that name, or no name: an empty list
        NotAFile, // a device or a pipe, which holds no list to read or lose
        Failed,   // there, but not read, or not to its end
    };
    Kind kind = Kind::Read;
    FileErrorCause cause = FileErrorCause::Unknown; // for Failed
};

class ListFileSystem {
public:
    virtual ~ListFileSystem() = default;
    // The absolute form of a path as messages name it; the path itself when
    // it has none.
    virtual std::string FullPath(const std::string& path) const = 0;
    // Whether two full paths name one file.
    virtual bool SamePath(const std::string& a, const std::string& b) const = 0;
    virtual bool Exists(const std::string& fullPath) const = 0;
    // Hands the file's bytes on, in pieces of any size, from its start;
    // the pieces before a failure have been handed on.
    using Piece = std::function<void(const char* data, size_t size)>;
    virtual ReadStatus Read(const std::string& path, const Piece& piece) = 0;
    // Replaces the file as a whole or not at all (a temporary file renamed
    // over it); what failed, or nothing.
    virtual std::optional<WriteError> Replace(const std::string& path,
                                              const std::string& bytes) = 0;
    // Copies a file to a name that is taken by no file; the cause when it
    // cannot, and then no copy is left behind.
    virtual std::optional<FileErrorCause> CopyToNew(const std::string& from,
                                                    const std::string& to) = 0;
};

} // namespace listfile

// The list files on disk.
#pragma once

#include "listfile/ListFileSystem.h"

namespace listfile {

class Win32ListFileSystem : public ListFileSystem {
public:
    std::string FullPath(const std::string& path) const override;
    bool SamePath(const std::string& a, const std::string& b) const override;
    bool Exists(const std::string& fullPath) const override;
    ReadStatus Read(const std::string& path, const Piece& piece) override;
    std::optional<WriteError> Replace(const std::string& path, const std::string& bytes) override;
    std::optional<FileErrorCause> CopyToNew(const std::string& from,
                                            const std::string& to) override;
};

} // namespace listfile

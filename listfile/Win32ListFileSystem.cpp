#include "listfile/Win32ListFileSystem.h"

#include <windows.h>

#include <vector>

#include "framework/Handle.h"
#include "listfile/AtomicFile.h"

namespace listfile {

namespace {
constexpr DWORD kReadPiece = 1 << 16;
} // namespace

std::string Win32ListFileSystem::FullPath(const std::string& path) const {
    return FullPathOf(path);
}

bool Win32ListFileSystem::SamePath(const std::string& a, const std::string& b) const {
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Win32ListFileSystem::Exists(const std::string& fullPath) const {
    return ::GetFileAttributesA(fullPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ReadStatus Win32ListFileSystem::Read(const std::string& path, const Piece& piece) {
    // A device (CON, NUL, ...) holds no list to read or to lose.
    if (IsDevicePath(FullPathOf(path)))
        return ReadStatus{ReadStatus::Kind::NotAFile};
    // Shared like a C runtime text open, so a file open elsewhere is read.
    fw::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        FileErrorCause cause = FileErrorCauseFromSystemError(::GetLastError());
        // A file that is not there (or cannot be, by its name) is an empty
        // list that the exit save may create.
        if (path.empty() || cause == FileErrorCause::FileNotFound ||
            cause == FileErrorCause::BadPath)
            return ReadStatus{ReadStatus::Kind::Missing};
        return ReadStatus{ReadStatus::Kind::Failed, cause};
    }
    // Only a file on disk: a pipe named by mistake could block the program
    // on its first read.
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return ReadStatus{ReadStatus::Kind::NotAFile};
    std::vector<char> buffer(kReadPiece);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer.data(), kReadPiece, &got, nullptr))
            return ReadStatus{ReadStatus::Kind::Failed,
                              FileErrorCauseFromSystemError(::GetLastError())};
        if (got == 0)
            return ReadStatus{ReadStatus::Kind::Read};
        piece(buffer.data(), got);
    }
}

std::optional<WriteError> Win32ListFileSystem::Replace(const std::string& path,
                                                       const std::string& bytes) {
    return WriteFileAtomically(path, bytes);
}

std::optional<FileErrorCause> Win32ListFileSystem::CopyToNew(const std::string& from,
                                                             const std::string& to) {
    if (::CopyFileA(from.c_str(), to.c_str(), TRUE))
        return std::nullopt;
    DWORD error = ::GetLastError();
    // A copy that broke off must not pass for the original.
    if (error != ERROR_FILE_EXISTS)
        ::DeleteFileA(to.c_str());
    return FileErrorCauseFromSystemError(error);
}

} // namespace listfile

#include "bannedlist/AtomicFile.h"

#include <algorithm>
#include <vector>

#include "framework/Handle.h"

namespace listfile {

namespace {

// Bounded pieces, so that no single call has gigabytes in flight.
constexpr DWORD kWritePiece = 1 << 20;

std::string FolderOf(const std::string& fullPath) {
    size_t slash = fullPath.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    // "C:\" keeps its backslash; "C:\lists\" loses it.
    if (slash == 0 || (slash == 2 && fullPath[1] == ':'))
        return fullPath.substr(0, slash + 1);
    return fullPath.substr(0, slash);
}

DWORD WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kWritePiece));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr))
            return ::GetLastError();
        // No progress without an error is a full disk in all but name.
        if (written == 0)
            return ERROR_DISK_FULL;
        done += written;
    }
    return ERROR_SUCCESS;
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& target) : target_(target) {
    // GetTempFileName creates the file, so the name is ours alone.
    char path[MAX_PATH + 1] = {};
    if (::GetTempFileNameA(FolderOf(target).c_str(), "vlm", 0, path))
        path_ = path;
    else
        error_ = ::GetLastError();
}

TemporaryFile::~TemporaryFile() {
    if (!done_ && !path_.empty())
        ::DeleteFileA(path_.c_str());
}

DWORD TemporaryFile::ReplaceTarget() {
    if (error_)
        return error_;
    if (DWORD error = CheckReplaceable(target_))
        return error;
    if (!::MoveFileExA(path_.c_str(), target_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ::GetLastError();
    done_ = true;
    return ERROR_SUCCESS;
}

DWORD CheckReplaceable(const std::string& fullPath) {
    DWORD attributes = ::GetFileAttributesA(fullPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    // Refused for everybody, as on Windows: under Wine a privileged user
    // could otherwise rename over a read-only file.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_ACCESS_DENIED;
    // A rename reports a target held open as access denied; opening it
    // names a holder that shares nothing as the sharing violation it is.
    fw::UniqueFileHandle probe(::CreateFileA(fullPath.c_str(), GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    return probe ? ERROR_SUCCESS : ::GetLastError();
}

DWORD WriteFileAtomically(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    std::string target = FullPathOf(path);
    // Checked first too, so that a doomed write costs no temporary file.
    if (DWORD error = CheckReplaceable(target))
        return error;
    TemporaryFile temp(target);
    if (temp.Error())
        return temp.Error();
    {
        fw::UniqueFileHandle file(::CreateFileA(temp.Path().c_str(), GENERIC_WRITE, 0, nullptr,
                                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return ::GetLastError();
        if (DWORD error = WriteAll(file.Get(), bytes))
            return error;
        if (!::FlushFileBuffers(file.Get()))
            return ::GetLastError();
        if (!::CloseHandle(file.Release()))
            return ::GetLastError();
    }
    return temp.ReplaceTarget();
}

std::string FullPathOf(const std::string& path) {
    if (path.empty())
        return path;
    DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got =
        ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (got == 0 || got >= buffer.size())
        return path;
    return std::string(buffer.data(), got);
}

} // namespace listfile

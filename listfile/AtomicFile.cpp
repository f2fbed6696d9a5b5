#include "listfile/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace listfile {

namespace {

// Bounded pieces, so that no single call has gigabytes in flight.
constexpr DWORD kWritePiece = 1 << 20;

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

WriteError ErrorAt(DWORD error, WriteError::Place place, const std::string& file,
                   const std::string& other = std::string()) {
    return WriteError{FileErrorCauseFromSystemError(error), place, file, other};
}

} // namespace

TemporaryFile::TemporaryFile(const std::string& targetPath) : target(targetPath) {
    // Made here, with CREATE_NEW, so the name is ours alone and a folder that
    // takes no new file says so now. (Wine's GetTempFileName reports success
    // in a folder where it could make no file.)
    static std::atomic<unsigned> counter{0};
    std::string folder = FolderOf(target);
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    unsigned seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof(name), "vlm%04x.tmp", (seed + counter++) & 0xFFFF);
        path = folder + name;
        file.Reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return;
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    path.clear();
}

TemporaryFile::~TemporaryFile() {
    file.Reset();
    // A temporary file that cannot be deleted is left behind: the target
    // is untouched either way, and the failure has been reported already.
    if (!done && !path.empty())
        ::DeleteFileA(path.c_str());
}

DWORD TemporaryFile::ReplaceTarget() {
    if (error)
        return error;
    if (!::FlushFileBuffers(file.Get()))
        return ::GetLastError();
    if (!::CloseHandle(file.Release()))
        return ::GetLastError();
    if (DWORD refusal = CheckReplaceable(target))
        return refusal;
    if (!::MoveFileExA(path.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ::GetLastError();
    done = true;
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

std::optional<WriteError> WriteFileAtomically(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return WriteError{FileErrorCause::NoName, WriteError::Place::File, path, ""};
    std::string target = FullPathOf(path);
    if (IsDevicePath(target))
        return WriteError{FileErrorCause::Device, WriteError::Place::File, target, ""};
    // The folder first: where it takes no new file, that is the cause to
    // name, whatever the target itself would allow.
    TemporaryFile temp(target);
    if (DWORD error = temp.Error()) {
        FileErrorCause cause = FileErrorCauseFromSystemError(error);
        if (cause == FileErrorCause::FileNotFound || cause == FileErrorCause::BadPath)
            return ErrorAt(ERROR_PATH_NOT_FOUND, WriteError::Place::File, target);
        return ErrorAt(error, WriteError::Place::Folder, target, FolderOf(target));
    }
    // Checked before writing too, so that a doomed write costs no time.
    if (DWORD error = CheckReplaceable(target))
        return ErrorAt(error, WriteError::Place::File, target);
    if (DWORD error = WriteAll(temp.Handle(), bytes))
        return ErrorAt(error, WriteError::Place::File, target);
    if (DWORD error = temp.ReplaceTarget())
        return ErrorAt(error, WriteError::Place::File, target);
    return std::nullopt;
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

std::string FolderOf(const std::string& fullPath) {
    size_t slash = fullPath.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    // "C:\" keeps its backslash; "C:\lists\" loses it.
    if (slash == 0 || (slash == 2 && fullPath[1] == ':'))
        return fullPath.substr(0, slash + 1);
    return fullPath.substr(0, slash);
}

bool IsDevicePath(const std::string& fullPath) {
    return fullPath.rfind("\\\\.\\", 0) == 0;
}

} // namespace listfile

#include "bannedlist/ListFileFormat.h"

#include <cstring>
#include <string_view>
#include <unordered_set>

namespace listfile {

void LineReader::Emit(std::string&& line, std::vector<std::string>& lines) {
    size_t nul = line.find('\0');
    if (nul != std::string::npos)
        line.resize(nul);
    if (!line.empty())
        lines.push_back(std::move(line));
}

void LineReader::Feed(const char* data, size_t size, std::vector<std::string>& lines) {
    const char* end = data + size;
    while (data < end) {
        const char* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
        if (!lf) {
            pending_.append(data, end);
            return;
        }
        std::string line;
        if (pending_.empty()) {
            line.assign(data, lf);
        } else {
            line.swap(pending_);
            line.append(data, lf);
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Emit(std::move(line), lines);
        data = lf + 1;
    }
}

void LineReader::Finish(std::vector<std::string>& lines) {
    // Without a line end a trailing CR is an ordinary byte of the title.
    std::string line;
    line.swap(pending_);
    Emit(std::move(line), lines);
}

std::vector<std::string> ParseListFile(const std::string& bytes) {
    std::vector<std::string> lines;
    LineReader reader;
    reader.Feed(bytes.data(), bytes.size(), lines);
    reader.Finish(lines);
    return lines;
}

std::vector<std::string> SelectNewTitles(std::vector<std::string> lines,
                                         const std::function<bool(const std::string&)>& isNew) {
    std::vector<char> keep(lines.size(), 0);
    {
        // Views into lines, which stay where they are until the set is gone.
        std::unordered_set<std::string_view> seen;
        seen.reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (seen.insert(lines[i]).second && isNew(lines[i]))
                keep[i] = 1;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (keep[i]) {
            if (kept != i)
                lines[kept] = std::move(lines[i]);
            ++kept;
        }
    }
    lines.resize(kept);
    return lines;
}

void AppendListFileLine(std::string& file, const std::string& title) {
    file += title;
    file += "\r\n";
}

std::string FormatListFile(const std::vector<std::string>& titles) {
    size_t size = 0;
    for (const std::string& title : titles)
        size += title.size() + 2;
    std::string file;
    file.reserve(size);
    for (const std::string& title : titles)
        AppendListFileLine(file, title);
    return file;
}

FileErrorCause FileErrorCauseFromSystemError(unsigned long error) {
    switch (error) {
    case 2:  // ERROR_FILE_NOT_FOUND
    case 18: // ERROR_NO_MORE_FILES
        return FileErrorCause::FileNotFound;
    case 3:   // ERROR_PATH_NOT_FOUND
    case 15:  // ERROR_INVALID_DRIVE
    case 17:  // ERROR_NOT_SAME_DEVICE
    case 53:  // ERROR_BAD_NETPATH
    case 67:  // ERROR_BAD_NET_NAME
    case 123: // ERROR_INVALID_NAME
    case 161: // ERROR_BAD_PATHNAME
    case 206: // ERROR_FILENAME_EXCED_RANGE
    case 267: // ERROR_DIRECTORY: the folder part names no folder
        return FileErrorCause::BadPath;
    case 4: // ERROR_TOO_MANY_OPEN_FILES
        return FileErrorCause::TooManyOpenFiles;
    case 5:  // ERROR_ACCESS_DENIED
    case 19: // ERROR_WRITE_PROTECT
    case 65: // ERROR_NETWORK_ACCESS_DENIED
        return FileErrorCause::AccessDenied;
    case 32: // ERROR_SHARING_VIOLATION
    case 33: // ERROR_LOCK_VIOLATION
        return FileErrorCause::SharingViolation;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
    case 1295: // ERROR_DISK_QUOTA_EXCEEDED
        return FileErrorCause::DiskFull;
    default:
        return FileErrorCause::Unknown;
    }
}

std::string FileErrorMessage(FileErrorCause cause, const std::string& path) {
    switch (cause) {
    case FileErrorCause::AccessDenied:
        return "Access to " + path + " was denied.";
    case FileErrorCause::BadPath:
        return path + " contains an invalid path.";
    case FileErrorCause::FileNotFound:
        return path + " was not found.";
    case FileErrorCause::SharingViolation:
        return "A sharing violation occurred while accessing " + path + ".";
    case FileErrorCause::DiskFull:
        return "Disk full while accessing " + path + ".";
    case FileErrorCause::TooManyOpenFiles:
        return path + " could not be opened because there are too many open files.";
    case FileErrorCause::Unknown:
        break;
    }
    return "An unknown error occurred while accessing " + path + ".";
}

const char kDefaultUpdateUrl[] = "http://updates.draxtel.example/updates/velmo/latest.lst";

std::string ChooseUpdateUrl(const std::string& fromEnvironment) {
    return fromEnvironment.empty() ? std::string(kDefaultUpdateUrl) : fromEnvironment;
}

bool IsSuccessfulHttpStatus(unsigned long status) {
    return status >= 200 && status <= 299;
}

} // namespace listfile

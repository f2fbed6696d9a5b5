#include "listfile/ListFileFormat.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace listfile {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool HasHighBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Tab and CR belong in titles; the other control characters mark binary data.
bool HasControlCharacters(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && u != '\t' && u != '\r') || u == 0x7F;
    });
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
        out += static_cast<char16_t>(code);
    }
}

// UTF-8 to UTF-16; each broken sequence becomes U+FFFD. False when there was one.
bool DecodeUtf8(const std::string& bytes, std::u16string& out) {
    bool clean = true;
    size_t i = 0;
    auto byteAt = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    while (i < bytes.size()) {
        unsigned char lead = byteAt(i);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t code = lead & (length == 4 ? 0x07 : length == 3 ? 0x0F : 0x1F);
        size_t k = 1;
        for (; length && k < length && i + k < bytes.size() && (byteAt(i + k) & 0xC0) == 0x80; ++k)
            code = (code << 6) | (byteAt(i + k) & 0x3F);
        static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        bool valid = length && k == length && lead <= 0xF4 && code >= kSmallest[length] &&
                     code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (valid) {
            AppendUtf16(out, code);
            i += length;
        } else {
            out += kReplacement;
            clean = false;
            i += std::max<size_t>(k, 1);
        }
    }
    return clean;
}

// Unpaired surrogates become U+FFFD. False when there was one.
bool RepairSurrogates(std::u16string& text) {
    bool clean = true;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit < 0xD800 || unit > 0xDFFF)
            continue;
        if (unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        text[i] = kReplacement;
        clean = false;
    }
    return clean;
}

bool AllAscii(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

// Whether the text, after its byte-order mark, starts as a web page does.
bool StartsLikeHtml(const std::string& text, Encoding encoding) {
    std::string bytes;
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
        // Its ASCII start is enough to tell.
        size_t high = encoding == Encoding::Utf16Le ? 1 : 0;
        for (size_t at = 2; at + 1 < text.size() && at < 2 + 2 * 64 && text[at + high] == 0;
             at += 2)
            bytes += text[at + 1 - high];
    } else {
        bytes = text.substr(0, 256);
    }
    size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < bytes.size() && std::strchr(" \t\r\n", bytes[at]))
        ++at;
    std::string start = bytes.substr(at, 14);
    std::transform(start.begin(), start.end(), start.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; });
    return start.rfind("<!doctype html", 0) == 0 || start.rfind("<html", 0) == 0;
}

} // namespace

void LineReader::Feed(const char* data, size_t size, std::vector<std::string>& lines) {
    if (!decided) {
        size_t take = std::min(size, size_t{3} - head.size());
        head.append(data, take);
        data += take;
        size -= take;
        if (head.size() < 3)
            return;
        Decide(lines);
    }
    if (report.encoding == Encoding::Utf16Le || report.encoding == Encoding::Utf16Be)
        FeedUtf16(data, size, lines);
    else
        FeedBytes(data, size, lines);
}

void LineReader::Decide(std::vector<std::string>& lines) {
    decided = true;
    size_t mark = 0;
    if (head.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        report.encoding = Encoding::Utf8;
        mark = 3;
    } else if (head.compare(0, 2, "\xFF\xFE") == 0) {
        report.encoding = Encoding::Utf16Le;
        mark = 2;
    } else if (head.compare(0, 2, "\xFE\xFF") == 0) {
        report.encoding = Encoding::Utf16Be;
        mark = 2;
    }
    std::string rest = head.substr(mark);
    head.clear();
    if (mark == 2)
        FeedUtf16(rest.data(), rest.size(), lines);
    else
        FeedBytes(rest.data(), rest.size(), lines);
}

void LineReader::FeedBytes(const char* data, size_t size, std::vector<std::string>& lines) {
    const char* end = data + size;
    while (data < end) {
        const char* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
        if (!lf) {
            pending.append(data, end);
            return;
        }
        std::string line;
        if (pending.empty()) {
            line.assign(data, lf);
        } else {
            line.swap(pending);
            line.append(data, lf);
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        EmitBytes(std::move(line), lines);
        data = lf + 1;
    }
}

void LineReader::FeedUtf16(const char* data, size_t size, std::vector<std::string>& lines) {
    bool littleEndian = report.encoding == Encoding::Utf16Le;
    for (size_t i = 0; i < size; ++i) {
        if (!hasOddByte) {
            oddByte = data[i];
            hasOddByte = true;
            continue;
        }
        hasOddByte = false;
        unsigned char first = static_cast<unsigned char>(oddByte);
        unsigned char second = static_cast<unsigned char>(data[i]);
        char16_t unit = littleEndian ? static_cast<char16_t>(first | second << 8)
                                     : static_cast<char16_t>(first << 8 | second);
        if (unit != u'\n') {
            pendingUtf16 += unit;
            continue;
        }
        std::u16string line;
        line.swap(pendingUtf16);
        if (!line.empty() && line.back() == u'\r')
            line.pop_back();
        EmitUtf16(std::move(line), lines);
    }
}

void LineReader::Finish(std::vector<std::string>& lines) {
    if (!decided)
        Decide(lines);
    // Without a line end a trailing CR is an ordinary character of the title.
    if (report.encoding == Encoding::Utf16Le || report.encoding == Encoding::Utf16Be) {
        // Half a unit at the end is a broken character of the last line.
        bool broken = hasOddByte;
        if (broken)
            pendingUtf16 += kReplacement;
        hasOddByte = false;
        std::u16string line;
        line.swap(pendingUtf16);
        EmitUtf16(std::move(line), lines, broken);
    } else {
        std::string line;
        line.swap(pending);
        EmitBytes(std::move(line), lines);
    }
}

void LineReader::EmitBytes(std::string&& line, std::vector<std::string>& lines) {
    size_t nul = line.find('\0');
    if (nul != std::string::npos) {
        line.resize(nul);
        ++report.cutAtNul;
    }
    if (line.empty() || !HasHighBytes(line)) {
        EmitTitle(std::move(line), lines);
    } else if (report.encoding == Encoding::Ansi) {
        if (!conversion.RoundTrips(line))
            ++report.unconvertible;
        EmitTitle(std::move(line), lines);
    } else {
        std::u16string text;
        bool clean = DecodeUtf8(line, text);
        if (!clean)
            ++report.malformed;
        std::string title;
        if (!conversion.ToAnsi(text, title) && clean)
            ++report.unconvertible;
        EmitTitle(std::move(title), lines);
    }
}

void LineReader::EmitUtf16(std::u16string&& line, std::vector<std::string>& lines, bool broken) {
    size_t nul = line.find(u'\0');
    if (nul != std::u16string::npos) {
        line.resize(nul);
        ++report.cutAtNul;
    }
    std::string title;
    if (AllAscii(line)) {
        title.assign(line.begin(), line.end());
    } else {
        bool clean = RepairSurrogates(line) && !broken;
        if (!clean)
            ++report.malformed;
        if (!conversion.ToAnsi(line, title) && clean)
            ++report.unconvertible;
    }
    EmitTitle(std::move(title), lines);
}

void LineReader::EmitTitle(std::string&& title, std::vector<std::string>& lines) {
    if (title.empty())
        return;
    if (HasControlCharacters(title))
        ++report.controlLines;
    lines.push_back(std::move(title));
}

std::vector<std::string> ParseListFile(const std::string& bytes,
                                       const CodePageConversion& conversion, ReadReport* report) {
    std::vector<std::string> lines;
    LineReader reader(conversion);
    reader.Feed(bytes.data(), bytes.size(), lines);
    reader.Finish(lines);
    if (report)
        *report = reader.Report();
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

AnswerProblem CheckUpdateAnswer(const std::string& bytes, const ReadReport& report,
                                size_t titleCount) {
    if (bytes.empty())
        return AnswerProblem::Empty;
    if (report.cutAtNul || report.malformed || report.controlLines)
        return AnswerProblem::Binary;
    if (StartsLikeHtml(bytes, report.encoding))
        return AnswerProblem::HtmlPage;
    if (titleCount == 0)
        return AnswerProblem::NoTitles;
    return AnswerProblem::None;
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
    case FileErrorCause::NoName:
        return "The list file has no name: its path is empty.";
    case FileErrorCause::Device:
        return path + " names a device, not a file.";
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

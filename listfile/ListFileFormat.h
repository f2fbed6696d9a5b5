// The list-file format, the file-error causes and the update address. Portable.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace listfile {

// How a list file's text is stored. Lists are written as Ansi; the others are
// recognised by their byte-order mark.
enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// What reading changed on the way from the file's bytes to titles. Nothing
// is dropped or replaced without being counted here.
struct ReadReport {
    Encoding encoding = Encoding::Ansi;
    size_t cutAtNul = 0;      // lines whose rest after a NUL was left out
    size_t unconvertible = 0; // lines with characters the code page cannot hold
    size_t malformed = 0;     // lines with broken UTF-8 or UTF-16, replaced by U+FFFD
    size_t controlLines = 0;  // lines with control characters other than tab (NUL apart)

    bool Altered() const { return cutAtNul || unconvertible || malformed; }
    // Writing the list back would not give the file's bytes again: another
    // encoding, or text that was changed while reading.
    bool NeedsBackup() const { return encoding != Encoding::Ansi || Altered(); }
};

// Between UTF-16 and the ANSI code page the titles are held in (the system's
// on Windows; a stand-in in the native tests).
class CodePageConversion {
public:
    virtual ~CodePageConversion() = default;
    // False when some character had to be replaced.
    virtual bool ToAnsi(const std::u16string& text, std::string& ansi) const = 0;
    // Whether ANSI bytes come back unchanged from UTF-16, the form a list box
    // keeps them in. Asked only for text with bytes above 0x7F.
    virtual bool RoundTrips(const std::string& ansi) const = 0;
};

// Splits a list file into titles, fed in pieces of any size. A byte-order
// mark at the start selects UTF-8 or UTF-16 (either byte order), whose text
// is converted to the code page; without one the bytes are the titles. LF
// ends a line and takes a CR directly before it along; any other CR stays.
// A NUL ends the title (the list box holds C strings). Empty lines are
// skipped.
class LineReader {
public:
    explicit LineReader(const CodePageConversion& codePage) : conversion(codePage) {}
    // Appends the lines completed by these bytes.
    void Feed(const char* data, size_t size, std::vector<std::string>& lines);
    // The last line, when the file does not end with a line end.
    void Finish(std::vector<std::string>& lines);
    const ReadReport& Report() const { return report; }

private:
    void Decide(std::vector<std::string>& lines);
    void FeedBytes(const char* data, size_t size, std::vector<std::string>& lines);
    void FeedUtf16(const char* data, size_t size, std::vector<std::string>& lines);
    void EmitBytes(std::string&& line, std::vector<std::string>& lines);
    void EmitUtf16(std::u16string&& line, std::vector<std::string>& lines, bool broken = false);
    void EmitTitle(std::string&& title, std::vector<std::string>& lines);

    const CodePageConversion& conversion;
    ReadReport report;
    bool decided = false;
    std::string head;    // the first bytes, until the mark is known
    std::string pending; // bytes of the line not yet ended (Ansi, UTF-8)
    std::u16string pendingUtf16;
    bool hasOddByte = false; // UTF-16: a unit's first byte, its second to come
    char oddByte = 0;
};

std::vector<std::string> ParseListFile(const std::string& bytes,
                                       const CodePageConversion& conversion,
                                       ReadReport* report = nullptr);

// Keeps, in file order, the lines that isNew accepts and that did not
// occur earlier in the same lines: what a line-by-line merge would add.
std::vector<std::string> SelectNewTitles(std::vector<std::string> lines,
                                         const std::function<bool(const std::string&)>& isNew);

// Every title followed by CR LF, the last one too; no titles give no bytes.
void AppendListFileLine(std::string& file, const std::string& title);
std::string FormatListFile(const std::vector<std::string>& titles);

// Why an update answer is no list to merge.
enum class AnswerProblem { None, Empty, NoTitles, Binary, HtmlPage };
AnswerProblem CheckUpdateAnswer(const std::string& bytes, const ReadReport& report,
                                size_t titleCount);

enum class FileErrorCause {
    AccessDenied,
    BadPath,
    FileNotFound,
    SharingViolation,
    DiskFull,
    TooManyOpenFiles,
    NoName, // the path is empty
    Device, // the path names a device (CON, NUL, ...), not a file
    Unknown,
};

// The cause of a failed file operation from the system's error code.
FileErrorCause FileErrorCauseFromSystemError(unsigned long error);
// The message shown for a file error, with the file's path for %1.
std::string FileErrorMessage(FileErrorCause cause, const std::string& path);

// Where Update fetches the list from: the maker's server, or the address
// the VELMORA_UPDATE_URL environment variable gives (tests and mirrors).
extern const char kDefaultUpdateUrl[];
std::string ChooseUpdateUrl(const std::string& fromEnvironment);
// Only a 2xx answer carries the list; anything else is an error page.
bool IsSuccessfulHttpStatus(unsigned long status);

} // namespace listfile

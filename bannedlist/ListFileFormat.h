// The list-file format, the file-error texts and the update address. Portable.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace listfile {

// Splits a list file into lines, fed in pieces of any size. LF ends a
// line and takes a CR directly before it along; any other CR stays. A NUL
// ends the title (the list box holds C strings); the rest of its line is
// dropped. Empty lines are skipped.
class LineReader {
public:
    // Appends the lines completed by these bytes.
    void Feed(const char* data, size_t size, std::vector<std::string>& lines);
    // The last line, when the file does not end with a line end.
    void Finish(std::vector<std::string>& lines);
    // Bytes of the line not yet ended.
    size_t Pending() const { return pending_.size(); }

private:
    void Emit(std::string&& line, std::vector<std::string>& lines);
    std::string pending_;
};

std::vector<std::string> ParseListFile(const std::string& bytes);

// Keeps, in file order, the lines that isNew accepts and that did not
// occur earlier in the same lines: what a line-by-line merge would add.
std::vector<std::string> SelectNewTitles(std::vector<std::string> lines,
                                         const std::function<bool(const std::string&)>& isNew);

// Every title followed by CR LF, the last one too; no titles give no bytes.
void AppendListFileLine(std::string& file, const std::string& title);
std::string FormatListFile(const std::vector<std::string>& titles);

enum class FileErrorCause {
    AccessDenied,
    BadPath,
    FileNotFound,
    SharingViolation,
    DiskFull,
    TooManyOpenFiles,
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

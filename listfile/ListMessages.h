// What the user is told about list files and the update. Portable.
#pragma once

#include <string>

#include "listfile/ListFileFormat.h"

namespace listfile {

// A write that did not happen: what failed (the list file itself, its folder
// when no new file could be made there, or the copy of the original kept
// beside it) and why.
struct WriteError {
    enum class Place { File, Folder, Backup };
    FileErrorCause cause = FileErrorCause::Unknown;
    Place place = Place::File;
    std::string file;  // the list file, as a full path where it has one
    std::string other; // the folder or the backup, for those places
};
std::string WriteErrorMessage(const WriteError& error);

// A list file that exists but could not be read: it is left alone.
std::string ReadErrorMessage(FileErrorCause cause, const std::string& path);
// Why the exit save leaves such a file alone.
std::string UnreadFileMessage(const std::string& path);
// What reading a file in another encoding, or with text a list cannot
// hold, changed, and where the original goes before the first save over it.
std::string ConversionMessage(const ReadReport& report, const std::string& path,
                              const std::string& backup);

// An update that changed nothing, and why.
struct UpdateFailure {
    enum class Kind {
        HttpStatus,
        Unreachable,
        BadAddress,       // not an http:// address
        TooManyRedirects, // more than limit
        Malformed,        // no HTTP answer, or its framing broken
        BadLength,        // a Content-Length that is no number of bytes
        Stalled,
        TooLarge,
        Cut,        // shorter than its Content-Length
        CutChunked, // chunked, without its last chunk
        NotAList,
        Stored,
    };
    Kind kind = Kind::Unreachable;
    unsigned long code = 0;  // HTTP status, or the system's error for Unreachable
    std::string statusText;  // the server's words for the status
    unsigned long limit = 0; // seconds for Stalled, megabytes for TooLarge, redirects
    // The bytes that came (Cut, CutChunked, Malformed), and the length the
    // server announced (Cut)
    unsigned long long received = 0, announced = 0;
    std::string lengthText;   // BadLength: the header as the server sent it
    std::string redirectedTo; // the address of the last redirect, if any
    AnswerProblem problem = AnswerProblem::None;
    WriteError storeError; // Stored: uploaded.lst could not be written
};
std::string UpdateFailedMessage(const UpdateFailure& failure, const std::string& url);
// Update pressed while the download of an update given up has not ended.
std::string UpdateStillEndingMessage(const std::string& url);

} // namespace listfile

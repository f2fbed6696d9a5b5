#include "listfile/ListMessages.h"

namespace listfile {

namespace {

std::string Lines(size_t count, const char* one, const char* many) {
    return count == 1 ? std::string(one) : std::to_string(count) + many;
}

// The system's error from a connection (Winsock) or a name lookup.
std::string UnreachableReason(unsigned long error) {
    switch (error) {
    case 10060: // WSAETIMEDOUT
        return "the server did not answer in time";
    case 11001: // WSAHOST_NOT_FOUND
    case 11002: // WSATRY_AGAIN
    case 11004: // WSANO_DATA
        return "the server's name could not be resolved";
    case 10061: // WSAECONNREFUSED
        return "the server could not be reached (the connection was refused)";
    case 10053: // WSAECONNABORTED
    case 10054: // WSAECONNRESET
        return "the connection to the server was broken off";
    default:
        return "the server could not be reached (error " + std::to_string(error) + ")";
    }
}

// What the server sent as a header, shown only as far as it is plain text.
std::string Quoted(const std::string& text) {
    std::string shown;
    for (char c : text.substr(0, 40))
        shown += c >= 0x20 && c < 0x7F ? c : '?';
    return "\"" + shown + (text.size() > 40 ? "...\"" : "\"");
}

std::string AnswerReason(AnswerProblem problem) {
    switch (problem) {
    case AnswerProblem::Empty:
        return "the server's answer was empty";
    case AnswerProblem::NoTitles:
        return "the server's answer holds no titles";
    case AnswerProblem::HtmlPage:
        return "the server's answer is a web page, not a list of titles";
    case AnswerProblem::Binary:
    case AnswerProblem::None:
        break;
    }
    return "the server's answer is not a list of titles (it holds binary data)";
}

} // namespace

std::string WriteErrorMessage(const WriteError& error) {
    switch (error.place) {
    case WriteError::Place::Folder:
        return FileErrorMessage(error.cause, error.other) + " No new file can be made there, so " +
               error.file + " was not written.";
    case WriteError::Place::Backup:
        return FileErrorMessage(error.cause, error.other) + " The original of " + error.file +
               " could not be kept there, so it was not written over.";
    case WriteError::Place::File:
        break;
    }
    return FileErrorMessage(error.cause, error.file);
}

std::string ReadErrorMessage(FileErrorCause cause, const std::string& path) {
    return FileErrorMessage(cause, path) +
           "\n\nThe titles in this file were not read, and Velmora will not write over it "
           "when it closes.";
}

std::string UnreadFileMessage(const std::string& path) {
    return path +
           " could not be read when the list was taken from it, so Velmora does not write over "
           "it.";
}

std::string ConversionMessage(const ReadReport& report, const std::string& path,
                              const std::string& backup) {
    std::string text;
    switch (report.encoding) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        text = path + " is a Unicode (UTF-16) text file. Its titles were converted to the ANSI "
                      "code page, in which Velmora keeps and saves its lists.";
        break;
    case Encoding::Utf8:
        text = path + " is a UTF-8 text file. Its titles were converted to the ANSI code page, "
                      "in which Velmora keeps and saves its lists.";
        break;
    case Encoding::Ansi:
        text = path + " holds text that a banned list cannot keep as it is.";
        break;
    }
    if (report.cutAtNul)
        text += " " + Lines(report.cutAtNul, "A line", " lines") +
                " held a NUL byte: the rest of the line after it was left out.";
    if (report.malformed)
        text += " " + Lines(report.malformed, "A line", " lines") +
                " held bytes that are not valid text in that encoding: they were replaced.";
    if (report.unconvertible)
        text += " " + Lines(report.unconvertible, "A title", " titles") +
                " held characters that the ANSI code page cannot show: they were replaced.";
    return text + "\n\nBefore the list is first saved over this file, the original is kept as " +
           backup + ".";
}

std::string UpdateFailedMessage(const UpdateFailure& failure, const std::string& url) {
    std::string address = url;
    if (!failure.redirectedTo.empty())
        address += " (redirected to " + failure.redirectedTo + ")";
    std::string head = "The update list could not be fetched from " + address + ": ";
    std::string reason;
    switch (failure.kind) {
    case UpdateFailure::Kind::HttpStatus:
        reason = "the server answered " + std::to_string(failure.code) +
                 (failure.statusText.empty() ? std::string() : " " + failure.statusText);
        break;
    case UpdateFailure::Kind::Unreachable:
        reason = UnreachableReason(failure.code);
        break;
    case UpdateFailure::Kind::BadAddress:
        reason = "the address is not a valid http:// address";
        break;
    case UpdateFailure::Kind::TooManyRedirects:
        reason = "the server redirected the request more than " + std::to_string(failure.limit) +
                 " times";
        break;
    case UpdateFailure::Kind::Malformed:
        reason = failure.received == 0 ? "the server closed the connection without an answer"
                                       : "the server's answer is not valid HTTP";
        break;
    case UpdateFailure::Kind::BadLength:
        reason = "the server announced the answer's length as " + Quoted(failure.lengthText) +
                 ", which is not a number of bytes";
        break;
    case UpdateFailure::Kind::Stalled:
        reason = "the server sent nothing for " + std::to_string(failure.limit) + " seconds";
        break;
    case UpdateFailure::Kind::TooLarge:
        reason = "the server's answer is larger than " + std::to_string(failure.limit) + " MB";
        break;
    case UpdateFailure::Kind::Cut:
        reason = "the connection ended after " + std::to_string(failure.received) + " of the " +
                 std::to_string(failure.announced) + " bytes the server announced";
        break;
    case UpdateFailure::Kind::CutChunked:
        reason = "the connection ended after " + std::to_string(failure.received) +
                 " bytes, before the end of the answer";
        break;
    case UpdateFailure::Kind::NotAList:
        reason = AnswerReason(failure.problem);
        break;
    case UpdateFailure::Kind::Stored:
        head = "The update list was fetched from " + address + " but could not be stored. ";
        reason = WriteErrorMessage(failure.storeError);
        reason.pop_back(); // its full stop; one comes below
        break;
    }
    return head + reason +
           ".\n\nNothing was changed: the list, uploaded.lst and the current list file are as "
           "they were.";
}

std::string UpdateStillEndingMessage(const std::string& url) {
    return "The last update from " + url +
           " is still being stopped. Please press Update again in a moment.";
}

} // namespace listfile

// What the user is told of list files: the cause of a failed operation
// from the system's error, the message for each cause and place, and what
// reading changed.
#include <gtest/gtest.h>

#include <string>

#include "listfile/ListFileFormat.h"
#include "listfile/ListMessages.h"

using listfile::FileErrorCause;

TEST(FileErrors, EachSystemErrorHasItsCauseAndEachCauseItsMessage) {
    const struct {
        unsigned long error;
        FileErrorCause cause;
        const char* message;
    } cases[] = {
        {5, FileErrorCause::AccessDenied, "Access to C:\\l.lst was denied."},
        {19, FileErrorCause::AccessDenied, "Access to C:\\l.lst was denied."},
        {3, FileErrorCause::BadPath, "C:\\l.lst contains an invalid path."},
        {123, FileErrorCause::BadPath, "C:\\l.lst contains an invalid path."},
        {267, FileErrorCause::BadPath, "C:\\l.lst contains an invalid path."},
        {2, FileErrorCause::FileNotFound, "C:\\l.lst was not found."},
        {32, FileErrorCause::SharingViolation,
         "A sharing violation occurred while accessing C:\\l.lst."},
        {33, FileErrorCause::SharingViolation,
         "A sharing violation occurred while accessing C:\\l.lst."},
        {112, FileErrorCause::DiskFull, "Disk full while accessing C:\\l.lst."},
        {39, FileErrorCause::DiskFull, "Disk full while accessing C:\\l.lst."},
        {4, FileErrorCause::TooManyOpenFiles,
         "C:\\l.lst could not be opened because there are too many open files."},
        {0, FileErrorCause::Unknown, "An unknown error occurred while accessing C:\\l.lst."},
        {1234, FileErrorCause::Unknown, "An unknown error occurred while accessing C:\\l.lst."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(c.cause, listfile::FileErrorCauseFromSystemError(c.error));
        EXPECT_EQ(c.message, listfile::FileErrorMessage(c.cause, "C:\\l.lst"));
    }
}

TEST(FileErrors, AWriteErrorNamesThePlaceThatFailed) {
    using Place = listfile::WriteError::Place;
    EXPECT_EQ(
        "Access to C:\\l.lst was denied.",
        listfile::WriteErrorMessage({FileErrorCause::AccessDenied, Place::File, "C:\\l.lst", ""}));
    EXPECT_EQ("Access to C:\\ro was denied. No new file can be made there, so C:\\ro\\l.lst was "
              "not written.",
              listfile::WriteErrorMessage(
                  {FileErrorCause::AccessDenied, Place::Folder, "C:\\ro\\l.lst", "C:\\ro"}));
    EXPECT_EQ("Disk full while accessing C:\\l.lst.bak. The original of C:\\l.lst could not be "
              "kept there, so it was not written over.",
              listfile::WriteErrorMessage(
                  {FileErrorCause::DiskFull, Place::Backup, "C:\\l.lst", "C:\\l.lst.bak"}));
}

TEST(FileErrors, WhatReadingChangedIsCountedInTheMessage) {
    listfile::ReadReport report;
    report.cutAtNul = 1;
    report.malformed = 2;
    report.unconvertible = 1;
    EXPECT_EQ("C:\\l.lst holds text that a banned list cannot keep as it is. A line held a NUL "
              "byte: the rest of the line after it was left out. 2 lines held bytes that are not "
              "valid text in that encoding: they were replaced. A title held characters that the "
              "ANSI code page cannot show: they were replaced.\n\nBefore the list is first saved "
              "over this file, the original is kept as C:\\l.lst.bak.",
              listfile::ConversionMessage(report, "C:\\l.lst", "C:\\l.lst.bak"));
    report = listfile::ReadReport();
    report.encoding = listfile::Encoding::Utf16Be;
    EXPECT_EQ(0u, listfile::ConversionMessage(report, "C:\\u.lst", "C:\\u.lst.bak")
                      .find("C:\\u.lst is a Unicode (UTF-16) text file."));
}

TEST(UpdateAnswer, OnlyA2xxStatusCarriesTheList) {
    for (unsigned long status : {200ul, 203ul, 299ul})
        EXPECT_TRUE(listfile::IsSuccessfulHttpStatus(status)) << status;
    for (unsigned long status : {0ul, 199ul, 300ul, 304ul, 404ul, 500ul})
        EXPECT_FALSE(listfile::IsSuccessfulHttpStatus(status)) << status;
}

// The reasons no other test comes to: the system's errors of a connection,
// the stall, answers that are no list, a list that could not be stored,
// and a header shown only as far as it is plain text.
TEST(UpdateAnswer, EachFailureNamesItsReasonAndSaysNothingChanged) {
    using Kind = listfile::UpdateFailure::Kind;
    using Problem = listfile::AnswerProblem;
    auto failure = [](Kind kind, unsigned long code, Problem problem = Problem::None) {
        listfile::UpdateFailure f;
        f.kind = kind;
        f.code = code;
        f.limit = 60;
        f.problem = problem;
        f.lengthText = std::string("1\x02") + std::string(50, '2');
        f.storeError = {FileErrorCause::DiskFull, listfile::WriteError::Place::File, "C:\\u.lst",
                        ""};
        return f;
    };
    const struct {
        listfile::UpdateFailure failure;
        const char* reason;
    } cases[] = {
        {failure(Kind::Unreachable, 10060), "the server did not answer in time"},
        {failure(Kind::Unreachable, 11001), "the server's name could not be resolved"},
        {failure(Kind::Unreachable, 11004), "the server's name could not be resolved"},
        {failure(Kind::Unreachable, 10061),
         "the server could not be reached (the connection was refused)"},
        {failure(Kind::Unreachable, 10054), "the connection to the server was broken off"},
        {failure(Kind::Unreachable, 5), "the server could not be reached (error 5)"},
        {failure(Kind::Stalled, 0), "the server sent nothing for 60 seconds"},
        {failure(Kind::NotAList, 0, Problem::Empty), "the server's answer was empty"},
        {failure(Kind::NotAList, 0, Problem::NoTitles), "the server's answer holds no titles"},
        {failure(Kind::NotAList, 0, Problem::HtmlPage),
         "the server's answer is a web page, not a list of titles"},
        {failure(Kind::NotAList, 0, Problem::Binary),
         "the server's answer is not a list of titles (it holds binary data)"},
        {failure(Kind::BadLength, 0),
         "the server announced the answer's length as \"1?22222222222222222222222222222222222"
         "222...\", which is not a number of bytes"},
    };
    const std::string head = "The update list could not be fetched from http://u/l.lst: ";
    const std::string tail =
        ".\n\nNothing was changed: the list, uploaded.lst and the current list file are as "
        "they were.";
    for (const auto& c : cases)
        EXPECT_EQ(head + c.reason + tail,
                  listfile::UpdateFailedMessage(c.failure, "http://u/l.lst"));
    EXPECT_EQ("The update list was fetched from http://u/l.lst but could not be stored. Disk full "
              "while accessing C:\\u.lst" +
                  tail,
              listfile::UpdateFailedMessage(failure(Kind::Stored, 0), "http://u/l.lst"));
}

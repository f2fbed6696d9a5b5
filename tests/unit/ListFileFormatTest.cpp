#include <gtest/gtest.h>

#include <set>

#include "bannedlist/ListFileFormat.h"

using namespace listfile;

namespace {
using Lines = std::vector<std::string>;

Lines Merge(const std::string& bytes, const std::set<std::string>& present = {}) {
    return SelectNewTitles(ParseListFile(bytes),
                           [&](const std::string& t) { return !t.empty() && !present.count(t); });
}
} // namespace

TEST(ListFileFormat, LineEndsCarriageReturnsBlanksAndNuls) {
    // b, an empty line, a, b again, "a " without a line end; LF and CR LF mixed.
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\r\n\na\r\nb\na "));
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\n\r\na\nb\r\na \r\n"));
    EXPECT_EQ((Lines{"a\r"}), ParseListFile("a\r\r\n")) << "only the CR before the LF goes";
    EXPECT_EQ((Lines{"a\rb"}), ParseListFile("a\rb\n"));
    EXPECT_EQ((Lines{"x\r"}), ParseListFile("x\r")) << "no line end: the CR is part of the title";
    EXPECT_EQ((Lines{}), ParseListFile("\r\n\n\r\n\n"));
    EXPECT_EQ((Lines{}), ParseListFile(""));
    EXPECT_EQ((Lines{" a", "a\t", "\t"}), ParseListFile(" a\na\t\n\t\n"));
    EXPECT_EQ((Lines{"ab", "z"}), ParseListFile(std::string("ab\0cd\n\0x\nz", 11)))
        << "a NUL ends it";
    EXPECT_EQ((Lines{"a"}), Merge(std::string("a\na\0b\n", 6))) << "cut titles are deduplicated";
    EXPECT_EQ((Lines{"Abc", "abc ", "c"}), Merge("abc\nAbc\nabc \nAbc\nc\nabc\n", {"abc"}))
        << "present and repeated titles are skipped byte for byte";
}

TEST(ListFileFormat, ALineOfSeveralMegabytes) {
    std::string big(5u << 20, 'q');
    Lines lines = ParseListFile("a\n" + big + "\r\nb");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(big, lines[1]);
    EXPECT_EQ("b", lines[2]);
}

TEST(ListFileFormat, WrittenWithCrLfAfterEveryTitle) {
    EXPECT_EQ("Abc\r\nabc\r\n", FormatListFile({"Abc", "abc"}));
    EXPECT_EQ("", FormatListFile({})) << "an empty list is a 0-byte file";
}

TEST(ListFileFormat, FileErrorsByCauseWithThePath) {
    const struct {
        std::vector<unsigned long> errors;
        const char* message;
    } cases[] = {
        {{5, 19}, "Access to C:\\l\\my.lst was denied."},
        {{3, 123, 267}, "C:\\l\\my.lst contains an invalid path."},
        {{2}, "C:\\l\\my.lst was not found."},
        {{32}, "A sharing violation occurred while accessing C:\\l\\my.lst."},
        {{112, 39}, "Disk full while accessing C:\\l\\my.lst."},
        {{4}, "C:\\l\\my.lst could not be opened because there are too many open files."},
        {{1117, 0xFFFFFFFFul}, "An unknown error occurred while accessing C:\\l\\my.lst."},
    };
    for (const auto& c : cases)
        for (unsigned long error : c.errors)
            EXPECT_EQ(c.message,
                      FileErrorMessage(FileErrorCauseFromSystemError(error), "C:\\l\\my.lst"))
                << "error " << error;
}

TEST(ListFileFormat, UpdateAddressAndStatus) {
    EXPECT_EQ("http://updates.draxtel.example/updates/velmo/latest.lst", ChooseUpdateUrl(""));
    EXPECT_EQ("http://127.0.0.1:8000/x.lst", ChooseUpdateUrl("http://127.0.0.1:8000/x.lst"));
    EXPECT_TRUE(IsSuccessfulHttpStatus(200) && IsSuccessfulHttpStatus(204));
    for (unsigned status : {0u, 304u, 404u, 500u}) // 0: no answer
        EXPECT_FALSE(IsSuccessfulHttpStatus(status)) << status;
}

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

TEST(ListFileFormat, TheFiveLineFileGivesThreeTitles) {
    // b, an empty line, a, b again, "a " without a line end; LF and CR LF mixed.
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\r\n\na\r\nb\na "));
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\n\r\na\nb\r\na \r\n"));
}

TEST(ListFileFormat, LineEndsCarriageReturnsAndBlanks) {
    EXPECT_EQ((Lines{"a\r"}), ParseListFile("a\r\r\n")) << "only the CR before the LF goes";
    EXPECT_EQ((Lines{"a\rb"}), ParseListFile("a\rb\n"));
    EXPECT_EQ((Lines{"x\r"}), ParseListFile("x\r")) << "no line end: the CR is part of the title";
    EXPECT_EQ((Lines{"\r"}), ParseListFile("\r\r\n"));
    EXPECT_EQ((Lines{}), ParseListFile("\r\n\n\r\n\n"));
    EXPECT_EQ((Lines{}), ParseListFile(""));
    EXPECT_EQ((Lines{" a", "a\t", "\t"}), ParseListFile(" a\na\t\n\t\n"));
}

TEST(ListFileFormat, ANulEndsTheTitle) {
    EXPECT_EQ((Lines{"ab", "z"}), ParseListFile(std::string("ab\0cd\n\0x\nz", 11)));
    EXPECT_EQ((Lines{"a"}), Merge(std::string("a\na\0b\n", 6))) << "cut titles are deduplicated";
}

TEST(ListFileFormat, PiecesOfAnySizeReadTheSame) {
    const std::string file = "first\r\nsecond\r\r\n\nthird\rx\r\n\r\nlast\r";
    const Lines whole = ParseListFile(file);
    ASSERT_EQ((Lines{"first", "second\r", "third\rx", "last\r"}), whole);
    for (size_t piece = 1; piece <= file.size(); ++piece) {
        LineReader reader;
        Lines lines;
        for (size_t at = 0; at < file.size(); at += piece)
            reader.Feed(file.data() + at, std::min(piece, file.size() - at), lines);
        reader.Finish(lines);
        EXPECT_EQ(whole, lines) << "pieces of " << piece;
    }
}

TEST(ListFileFormat, ALineOfSeveralMegabytes) {
    std::string big(5u << 20, 'q');
    Lines lines = ParseListFile("a\n" + big + "\r\nb");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(big, lines[1]);
    EXPECT_EQ("b", lines[2]);
}

TEST(ListFileFormat, MergeSkipsPresentAndRepeatedTitlesByteForByte) {
    EXPECT_EQ((Lines{"Abc", "abc ", "c"}), Merge("abc\nAbc\nabc \nAbc\nc\nabc\n", {"abc"}));
    EXPECT_EQ((Lines{}), Merge("abc\r\nabc\n", {"abc"}));
}

TEST(ListFileFormat, WrittenWithCrLfAfterEveryTitle) {
    EXPECT_EQ("Abc\r\nabc\r\n", FormatListFile({"Abc", "abc"}));
    EXPECT_EQ("", FormatListFile({})) << "an empty list is a 0-byte file";
    const Lines odd{"a\r", " b ", "c\rd"};
    EXPECT_EQ(odd, ParseListFile(FormatListFile(odd))) << "what is written reads back the same";
}

TEST(ListFileFormat, FileErrorsByCauseWithThePath) {
    const std::string path = "C:\\lists\\my.lst";
    struct Case {
        unsigned long error;
        const char* message;
    };
    const Case cases[] = {
        {5, "Access to C:\\lists\\my.lst was denied."},
        {19, "Access to C:\\lists\\my.lst was denied."},
        {3, "C:\\lists\\my.lst contains an invalid path."},
        {123, "C:\\lists\\my.lst contains an invalid path."},
        {267, "C:\\lists\\my.lst contains an invalid path."},
        {2, "C:\\lists\\my.lst was not found."},
        {32, "A sharing violation occurred while accessing C:\\lists\\my.lst."},
        {112, "Disk full while accessing C:\\lists\\my.lst."},
        {39, "Disk full while accessing C:\\lists\\my.lst."},
        {4, "C:\\lists\\my.lst could not be opened because there are too many open files."},
        {1117, "An unknown error occurred while accessing C:\\lists\\my.lst."},
        {0xFFFFFFFFul, "An unknown error occurred while accessing C:\\lists\\my.lst."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.message, FileErrorMessage(FileErrorCauseFromSystemError(c.error), path))
            << "error " << c.error;
}

TEST(ListFileFormat, UpdateAddressAndStatus) {
    EXPECT_EQ("http://updates.draxtel.example/updates/velmo/latest.lst", ChooseUpdateUrl(""));
    EXPECT_EQ("http://127.0.0.1:8000/x.lst", ChooseUpdateUrl("http://127.0.0.1:8000/x.lst"));
    EXPECT_TRUE(IsSuccessfulHttpStatus(200));
    EXPECT_TRUE(IsSuccessfulHttpStatus(204));
    EXPECT_FALSE(IsSuccessfulHttpStatus(0)) << "no answer";
    EXPECT_FALSE(IsSuccessfulHttpStatus(304));
    EXPECT_FALSE(IsSuccessfulHttpStatus(404));
    EXPECT_FALSE(IsSuccessfulHttpStatus(500));
}

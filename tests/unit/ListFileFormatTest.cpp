#include <gtest/gtest.h>

#include <set>

#include "listfile/ListFileFormat.h"
#include "tests/unit/CodePages.h"

using namespace listfile;

namespace {
using Lines = std::vector<std::string>;

Lines Parse(const std::string& bytes, ReadReport* report = nullptr) {
    return ParseListFile(bytes, testcp::Latin1(), report);
}

Lines Merge(const std::string& bytes, const std::set<std::string>& present = {}) {
    return SelectNewTitles(Parse(bytes),
                           [&](const std::string& t) { return !t.empty() && !present.count(t); });
}

// UTF-16 bytes of ASCII text with its mark, little- or big-endian.
std::string Utf16(const std::u16string& text, bool littleEndian = true) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}
} // namespace

TEST(ListFileFormat, LineEndsCarriageReturnsBlanksAndNuls) {
    // b, an empty line, a, b again, "a " without a line end; LF and CR LF mixed.
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\r\n\na\r\nb\na "));
    EXPECT_EQ((Lines{"b", "a", "a "}), Merge("b\n\r\na\nb\r\na \r\n"));
    EXPECT_EQ((Lines{"a\r"}), Parse("a\r\r\n")) << "only the CR before the LF goes";
    EXPECT_EQ((Lines{"a\rb"}), Parse("a\rb\n"));
    EXPECT_EQ((Lines{"x\r"}), Parse("x\r")) << "no line end: the CR is part of the title";
    EXPECT_EQ((Lines{}), Parse("\r\n\n\r\n\n"));
    EXPECT_EQ((Lines{}), Parse(""));
    EXPECT_EQ((Lines{" a", "a\t", "\t"}), Parse(" a\na\t\n\t\n"));
    EXPECT_EQ((Lines{"a"}), Merge(std::string("a\na\0b\n", 6))) << "cut titles are deduplicated";
    EXPECT_EQ((Lines{"Abc", "abc ", "c"}), Merge("abc\nAbc\nabc \nAbc\nc\nabc\n", {"abc"}))
        << "present and repeated titles are skipped byte for byte";
    std::string big(5u << 20, 'q');
    EXPECT_EQ((Lines{"a", big, "b"}), Parse("a\n" + big + "\r\nb"));
}

TEST(ListFileFormat, WhatReadingChangesIsCountedAndAsksForABackup) {
    ReadReport report;
    EXPECT_EQ((Lines{"ab", "z", "\xE9t\xE9"}),
              Parse(std::string("ab\0cd\n\0x\nz\n\xE9t\xE9", 14), &report))
        << "a NUL ends the title";
    EXPECT_EQ(Encoding::Ansi, report.encoding);
    EXPECT_EQ(2u, report.cutAtNul);
    EXPECT_TRUE(report.NeedsBackup());

    Parse("plain\r\n\xE9t\xE9\r\n", &report);
    EXPECT_FALSE(report.NeedsBackup()) << "ANSI that the list box gives back as it is";
    EXPECT_EQ((Lines{"x\x81y"}), Parse("x\x81y\r\n", &report));
    EXPECT_EQ(1u, report.unconvertible) << "bytes the code page does not give back";

    EXPECT_EQ((Lines{"a\x01z", "\x7F"}), Parse("a\x01z\n\x7F\n", &report));
    EXPECT_EQ(2u, report.controlLines);
    EXPECT_FALSE(report.NeedsBackup()) << "control characters are kept as they are";
}

TEST(ListFileFormat, UnicodeFilesAreReadByTheirMarkAndConverted) {
    const struct {
        std::string bytes;
        Encoding encoding;
    } files[] = {
        {Utf16(u"Caf\u00E9 - Opera\r\n\r\nx\u0416y\nlast\r"), Encoding::Utf16Le},
        {Utf16(u"Caf\u00E9 - Opera\r\n\r\nx\u0416y\nlast\r", false), Encoding::Utf16Be},
        {"\xEF\xBB\xBF"
         "Caf\xC3\xA9 - Opera\r\n\r\nx\xD0\x96y\nlast\r",
         Encoding::Utf8},
    };
    for (const auto& file : files) {
        // Fed a byte at a time too: a mark and a unit may be split anywhere.
        ReadReport whole;
        Lines lines = Parse(file.bytes, &whole);
        EXPECT_EQ((Lines{"Caf\xE9 - Opera", "x?y", "last\r"}), lines);
        EXPECT_EQ(file.encoding, whole.encoding);
        EXPECT_EQ(1u, whole.unconvertible);
        EXPECT_TRUE(whole.NeedsBackup());
        testcp::Latin1 latin1;
        LineReader reader(latin1);
        Lines piecewise;
        for (char c : file.bytes)
            reader.Feed(&c, 1, piecewise);
        reader.Finish(piecewise);
        EXPECT_EQ(lines, piecewise);
        EXPECT_EQ(whole.unconvertible, reader.Report().unconvertible);
    }

    ReadReport report;
    EXPECT_EQ((Lines{"ab"}), Parse(Utf16(u"ab"), &report));
    EXPECT_FALSE(report.Altered()) << "ASCII in UTF-16 is converted without loss";
    EXPECT_TRUE(report.NeedsBackup()) << "but it is written back as ANSI";
}

TEST(ListFileFormat, BrokenUnicodeIsReplacedAndCounted) {
    const struct {
        std::string bytes;
        Lines lines;
        size_t cutAtNul, malformed;
    } cases[] = {
        {Utf16(std::u16string(u"a\0b\nc", 5)), {"a", "c"}, 1, 0},
        {Utf16(u"ab") + "x", {"ab?"}, 0, 1}, // half a unit at the end
        {Utf16(u"a\xD800"
               u"b\n\xDC00"),
         {"a?b", "?"},
         0,
         2},
        {"\xEF\xBB\xBF"
         "a\xFF"
         "b\xC3\n\xE0\x80\x80\n\xED\xA0\x80",
         {"a?b?", "?", "?"},
         0,
         3},
    };
    for (const auto& c : cases) {
        ReadReport report;
        EXPECT_EQ(c.lines, Parse(c.bytes, &report));
        EXPECT_EQ(c.cutAtNul, report.cutAtNul);
        EXPECT_EQ(c.malformed, report.malformed);
        EXPECT_EQ(0u, report.unconvertible) << "a broken line counts once";
    }
}

TEST(ListFileFormat, AnUpdateAnswerIsAListOfTitles) {
    auto check = [](const std::string& bytes) {
        ReadReport report;
        size_t titles = Parse(bytes, &report).size();
        return CheckUpdateAnswer(bytes, report, titles);
    };
    EXPECT_EQ(AnswerProblem::None, check("a - Opera\r\nb\r\n"));
    EXPECT_EQ(AnswerProblem::None, check(Utf16(u"a - Opera\r\n")));
    EXPECT_EQ(AnswerProblem::Empty, check(""));
    EXPECT_EQ(AnswerProblem::NoTitles, check("\r\n\r\n"));
    EXPECT_EQ(AnswerProblem::Binary, check(std::string("ab\0\x13\x9A", 5)));
    EXPECT_EQ(AnswerProblem::Binary, check("title\x02\r\n")) << "control bytes";
    EXPECT_EQ(AnswerProblem::Binary, check("\xEF\xBB\xBF\xFF\xFE")) << "broken UTF-8";
    EXPECT_EQ(AnswerProblem::HtmlPage, check(" \r\n<!DOCTYPE html>\r\n<html>x</html>"));
    EXPECT_EQ(AnswerProblem::HtmlPage, check("<HTML><body>Log in</body></HTML>"));
    EXPECT_EQ(AnswerProblem::HtmlPage, check("\xEF\xBB\xBF<!DOCTYPE html>\r\n<html></html>"))
        << "after a UTF-8 mark";
    EXPECT_EQ(AnswerProblem::HtmlPage, check(Utf16(u"\r\n<html>Log in</html>", false)));
}

// libFuzzer target for the list-file reader: any bytes, fed in pieces of any
// size, must read as whole lines without crashing or hanging, whatever
// encoding their first bytes announce, and what is merged and written must
// read back the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "listfile/ListFileFormat.h"
#include "tests/unit/CodePages.h"

namespace {
void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool StartsWithMark(const std::string& bytes) {
    return bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0 ||
           bytes.rfind("\xEF\xBB\xBF", 0) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const testcp::Latin1 latin1;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    listfile::ReadReport wholeReport;
    const std::vector<std::string> whole = listfile::ParseListFile(bytes, latin1, &wholeReport);

    // The first byte picks the piece size, so that piece ends fall anywhere.
    size_t piece = size ? 1 + data[0] % 61 : 1;
    listfile::LineReader reader(latin1);
    std::vector<std::string> lines;
    for (size_t at = 0; at < size; at += piece)
        reader.Feed(bytes.data() + at, std::min(piece, size - at), lines);
    reader.Finish(lines);
    Check(lines == whole);
    const listfile::ReadReport& report = reader.Report();
    Check(report.encoding == wholeReport.encoding && report.cutAtNul == wholeReport.cutAtNul &&
          report.malformed == wholeReport.malformed &&
          report.unconvertible == wholeReport.unconvertible);

    size_t bytesInLines = 0;
    for (const std::string& line : lines) {
        Check(!line.empty());
        Check(line.find('\n') == std::string::npos);
        Check(line.find('\0') == std::string::npos);
        bytesInLines += line.size();
    }
    Check(bytesInLines <= size);
    // Nothing is left out or replaced without being counted: an ANSI file
    // read without changes holds the titles and the line ends only.
    if (report.encoding == listfile::Encoding::Ansi && !report.Altered()) {
        std::string titlesOnly, joined;
        for (size_t at = 0; at < size; ++at) {
            if (bytes[at] == '\r' && at + 1 < size && bytes[at + 1] == '\n')
                continue;
            if (bytes[at] != '\n')
                titlesOnly += bytes[at];
        }
        for (const std::string& line : lines)
            joined += line;
        Check(joined == titlesOnly);
    }

    // Every other distinct title is in the list already; the rest are new,
    // each once, in the order they came.
    std::set<std::string> present, seen;
    bool take = false;
    for (const std::string& line : lines) {
        if ((take = !take))
            present.insert(line);
    }
    std::vector<std::string> fresh = listfile::SelectNewTitles(
        lines, [&](const std::string& title) { return !present.count(title); });
    std::vector<std::string> expected;
    for (const std::string& line : lines) {
        if (seen.insert(line).second && !present.count(line))
            expected.push_back(line);
    }
    Check(fresh == expected);

    // What is written reads back as it was, a title ending in CR included;
    // a list whose first title starts like a byte-order mark reads back as
    // Unicode instead (and its original is kept before a save over it).
    std::string written = listfile::FormatListFile(fresh);
    if (!StartsWithMark(written))
        Check(listfile::ParseListFile(written, latin1) == fresh);
    return 0;
}

// libFuzzer target for the list-file reader: any bytes, fed in pieces of any
// size, must read as whole lines without crashing or hanging, and what is
// merged and written must read back the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bannedlist/ListFileFormat.h"

namespace {
void Check(bool condition) {
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> whole = listfile::ParseListFile(bytes);

    // The first byte picks the piece size, so that piece ends fall anywhere.
    size_t piece = size ? 1 + data[0] % 61 : 1;
    listfile::LineReader reader;
    std::vector<std::string> lines;
    for (size_t at = 0; at < size; at += piece)
        reader.Feed(bytes.data() + at, std::min(piece, size - at), lines);
    reader.Finish(lines);
    Check(lines == whole);

    size_t bytesInLines = 0;
    for (const std::string& line : lines) {
        Check(!line.empty());
        Check(line.find('\n') == std::string::npos);
        Check(line.find('\0') == std::string::npos);
        bytesInLines += line.size();
    }
    Check(bytesInLines <= size);

    // Every other distinct title is in the list already.
    std::set<std::string> present;
    bool take = false;
    for (const std::string& line : lines) {
        if ((take = !take))
            present.insert(line);
    }
    std::vector<std::string> fresh = listfile::SelectNewTitles(
        lines, [&](const std::string& title) { return !present.count(title); });
    std::set<std::string> expected;
    for (const std::string& line : lines) {
        if (!present.count(line))
            expected.insert(line);
    }
    Check(std::set<std::string>(fresh.begin(), fresh.end()) == expected);
    Check(fresh.size() == expected.size());

    // What is written reads back as it was, a title ending in CR included.
    Check(listfile::ParseListFile(listfile::FormatListFile(fresh)) == fresh);
    return 0;
}

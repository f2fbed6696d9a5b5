// Title comparisons: byte for byte, case-sensitive, and aware of the double-
// byte characters of the ANSI code page (a match starts only on a character
// boundary). Portable: the code page comes in as its lead-byte test.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/CodePage.h"

namespace engine {

using fw::LeadByteTest;

// True when needle occurs in haystack starting on a character boundary.
// An empty needle never matches.
bool ContainsAtCharBoundary(const std::string& haystack, const std::string& needle,
                            LeadByteTest isLeadByte);

// True when the title names one of the browsers.
bool IsBrowserTitle(const std::string& title, const std::vector<std::string>& browserNames,
                    LeadByteTest isLeadByte);

// Words searched for in titles all at once (an Aho-Corasick automaton):
// whether a title holds any of them costs about its length, however many
// words there are. Matches start on a character boundary, as
// ContainsAtCharBoundary's.
class TitleWords {
public:
    TitleWords() = default;
    // Empty words never match.
    explicit TitleWords(const std::vector<std::string>& words);
    bool FoundIn(const std::string& title, LeadByteTest isLeadByte) const;

private:
    struct Node {
        std::vector<std::pair<unsigned char, int>> next; // sorted by byte
        int fail = 0;
        int length = 0;      // of the word that ends here, 0 for none
        int shorterEnd = -1; // the next node down the fail links where a word ends
    };
    int Child(int node, unsigned char byte) const;
    std::vector<Node> nodes;
};

// The window-title limit of a report: 255 characters with the terminator.
constexpr int kReportTitleBuffer = 255;

} // namespace engine

// Title comparisons: byte for byte, case-sensitive, and aware of the double-
// byte characters of the ANSI code page (a match starts only on a character
// boundary). Portable: the code page comes in as its lead-byte test.
#pragma once

#include <functional>
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

// The first versions read at most 254 characters of a title, so lists of
// that time hold entries cut from longer titles at 254.
constexpr size_t kShortTitleBytes = 254;

// True when the whole title is listed, or, for a longer title, the start of
// it those versions read (254 bytes, never ending inside a character).
bool IsListedTitle(const std::string& title,
                   const std::function<bool(const std::string&)>& isListed,
                   LeadByteTest isLeadByte);

} // namespace engine

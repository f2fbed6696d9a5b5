// Title comparisons: byte for byte, case-sensitive, and aware of the double-
// byte characters of the ANSI code page (a match starts only on a character
// boundary). Portable: the code page comes in as its lead-byte test.
#pragma once

#include <string>
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

// The window-title limit of a report: 255 characters with the terminator.
constexpr int kReportTitleBuffer = 255;

} // namespace engine

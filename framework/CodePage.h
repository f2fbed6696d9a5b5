// Characters of the ANSI code page, single- and double-byte. Portable: the
// caller passes the code page's lead-byte test (fw::AnsiLeadByte on Windows,
// a table in the unit tests).
#pragma once

#include <cstddef>
#include <string>

namespace fw {

using LeadByteTest = bool (*)(unsigned char);
inline bool NoLeadBytes(unsigned char) {
    return false;
}

// Characters, not bytes: a lead byte and its trail byte count once.
size_t CountCharacters(const std::string& text, LeadByteTest isLeadByte);
// The longest start of text of at most maxBytes bytes that ends on a
// character boundary (a lead byte never goes without its trail byte).
std::string CutAtCharacterBoundary(const std::string& text, size_t maxBytes,
                                   LeadByteTest isLeadByte);

} // namespace fw

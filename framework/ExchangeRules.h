// The parsing and the messages of the data exchange. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fw {

// One decimal number as a formatted scan reads it: leading blanks, an optional
// sign, digits; whatever follows is ignored. Empty, non-numeric or
// out-of-range text fails and leaves value untouched.
bool ParseSignedDecimal(const std::string& text, int32_t& value);
// As above for an unsigned field; a minus sign fails rather than wrapping round.
bool ParseUnsignedDecimal(const std::string& text, uint32_t& value);

extern const char* const kMsgEnterInteger;         // "Please enter an integer."
extern const char* const kMsgEnterPositiveInteger; // "Please enter a positive integer."
// "Please enter no more than %1 characters." with the limit for %1.
std::string FormatTooManyCharacters(size_t limit);

} // namespace fw

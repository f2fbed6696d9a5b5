#include "framework/ExchangeRules.h"

namespace fw {

const char* const kMsgEnterInteger = "Please enter an integer.";
const char* const kMsgEnterPositiveInteger = "Please enter a positive integer.";

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads blanks, a sign and digits; magnitude saturates just above 2^32 so
// that overflow is seen without wrapping.
bool ScanDecimal(const std::string& text, bool& negative, uint64_t& magnitude) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    size_t digits = 0;
    magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (magnitude <= 0xFFFFFFFFull)
            magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
        ++i;
        ++digits;
    }
    return digits > 0;
}
} // namespace

bool ParseSignedDecimal(const std::string& text, int32_t& value) {
    bool negative;
    uint64_t magnitude;
    if (!ScanDecimal(text, negative, magnitude))
        return false;
    if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull)
        return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

bool ParseUnsignedDecimal(const std::string& text, uint32_t& value) {
    bool negative;
    uint64_t magnitude;
    if (!ScanDecimal(text, negative, magnitude))
        return false;
    if ((negative && magnitude != 0) || magnitude > 0xFFFFFFFFull)
        return false;
    value = static_cast<uint32_t>(magnitude);
    return true;
}

std::string FormatTooManyCharacters(size_t limit) {
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

} // namespace fw

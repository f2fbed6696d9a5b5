// Code pages for the portable rules: lead-byte tests of real code pages,
// for the title rules, and a conversion for the list-file reader (the unit
// tests and the fuzz target).
#pragma once

#include <string>

#include "listfile/ListFileFormat.h"

namespace testcp {
inline bool Cp1252(unsigned char) {
    return false;
}
inline bool Cp932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool Cp936(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// ISO 8859-1 as the code page, with 0x81 a byte the list box would not
// give back (as an undefined byte of a real code page).
class Latin1 : public listfile::CodePageConversion {
public:
    bool ToAnsi(const std::u16string& text, std::string& ansi) const override {
        bool clean = true;
        ansi.clear();
        for (char16_t unit : text) {
            clean = clean && unit < 0x100;
            ansi += unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        return clean;
    }
    bool RoundTrips(const std::string& ansi) const override {
        return ansi.find('\x81') == std::string::npos;
    }
};
} // namespace testcp

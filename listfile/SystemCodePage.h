// The system's ANSI code page as the list-file reader converts with it.
#pragma once

#include <windows.h>

#include <string>

#include "listfile/ListFileFormat.h"

namespace listfile {

class SystemCodePage : public CodePageConversion {
public:
    bool ToAnsi(const std::u16string& text, std::string& ansi) const override;
    bool RoundTrips(const std::string& ansi) const override;
};

// The ANSI text as the list box and the W calls hold it.
std::wstring Widen(const std::string& text);

} // namespace listfile

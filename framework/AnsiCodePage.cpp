#include "framework/AnsiCodePage.h"

#include <windows.h>

#include <vector>

namespace fw {

bool AnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

std::string UpperCaseAnsi(const std::string& text) {
    if (text.empty())
        return text;
    std::vector<char> buffer(text.begin(), text.end());
    ::CharUpperBuffA(buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.begin(), buffer.end());
}

} // namespace fw

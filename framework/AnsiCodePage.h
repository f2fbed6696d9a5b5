// The lead-byte test and the upper case of the system's ANSI code page.
#pragma once

#include <string>

#include "framework/CodePage.h"

namespace fw {

bool AnsiLeadByte(unsigned char c);
// Upper-cased in the ANSI code page, multi-byte aware.
std::string UpperCaseAnsi(const std::string& text);

} // namespace fw

// The lead-byte test of the system's ANSI code page.
#pragma once

#include "framework/CodePage.h"

namespace fw {

bool AnsiLeadByte(unsigned char c);

} // namespace fw

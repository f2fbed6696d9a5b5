#include "framework/AnsiCodePage.h"

#include <windows.h>

namespace fw {

bool AnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

} // namespace fw

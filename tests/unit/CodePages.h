// Lead-byte tests of real code pages, for the title rules.
#pragma once

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
} // namespace testcp

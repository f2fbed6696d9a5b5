#include "framework/CodePage.h"

namespace fw {

size_t CountCharacters(const std::string& text, LeadByteTest isLeadByte) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        if (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            i += 2;
        else
            ++i;
    }
    return count;
}

std::string CutAtCharacterBoundary(const std::string& text, size_t maxBytes,
                                   LeadByteTest isLeadByte) {
    size_t end = 0;
    while (end < text.size()) {
        size_t length = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + length > maxBytes || end + length > text.size())
            break;
        end += length;
    }
    return text.substr(0, end);
}

} // namespace fw

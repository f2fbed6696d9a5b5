#include "engine/TitleMatch.h"

#include <cstring>

namespace engine {

bool ContainsAtCharBoundary(const std::string& haystack, const std::string& needle,
                            LeadByteTest isLeadByte) {
    if (needle.empty() || needle.size() > haystack.size())
        return false;
    const size_t last = haystack.size() - needle.size();
    // Step character by character so a trail byte is never taken for a start.
    for (size_t i = 0; i <= last;) {
        if (std::memcmp(haystack.data() + i, needle.data(), needle.size()) == 0)
            return true;
        i += (isLeadByte(static_cast<unsigned char>(haystack[i])) && i + 1 < haystack.size()) ? 2
                                                                                              : 1;
    }
    return false;
}

bool IsBrowserTitle(const std::string& title, const std::vector<std::string>& browserNames,
                    LeadByteTest isLeadByte) {
    for (const std::string& name : browserNames) {
        if (ContainsAtCharBoundary(title, name, isLeadByte))
            return true;
    }
    return false;
}

bool IsListedTitle(const std::string& title,
                   const std::function<bool(const std::string&)>& isListed,
                   LeadByteTest isLeadByte) {
    if (isListed(title))
        return true;
    return title.size() > kShortTitleBytes &&
           isListed(fw::CutAtCharacterBoundary(title, kShortTitleBytes, isLeadByte));
}

} // namespace engine

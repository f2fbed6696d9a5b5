#include "engine/TitleMatch.h"

#include <algorithm>
#include <cstring>
#include <deque>

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

TitleWords::TitleWords(const std::vector<std::string>& words) : nodes(1) {
    for (const std::string& word : words) {
        if (word.empty())
            continue;
        int node = 0;
        for (char c : word) {
            unsigned char byte = static_cast<unsigned char>(c);
            int child = Child(node, byte);
            if (child < 0) {
                child = static_cast<int>(nodes.size());
                auto& next = nodes[static_cast<size_t>(node)].next;
                next.insert(std::upper_bound(next.begin(), next.end(), std::make_pair(byte, -1)),
                            std::make_pair(byte, child));
                nodes.emplace_back();
            }
            node = child;
        }
        nodes[static_cast<size_t>(node)].length = static_cast<int>(word.size());
    }
    // Breadth first: a node's fail link is the longest proper suffix of its
    // path that is a path too.
    std::deque<int> queue;
    for (const auto& edge : nodes[0].next)
        queue.push_back(edge.second);
    while (!queue.empty()) {
        int node = queue.front();
        queue.pop_front();
        for (const auto& edge : nodes[static_cast<size_t>(node)].next) {
            int fail = nodes[static_cast<size_t>(node)].fail;
            while (fail && Child(fail, edge.first) < 0)
                fail = nodes[static_cast<size_t>(fail)].fail;
            int target = Child(fail, edge.first);
            Node& child = nodes[static_cast<size_t>(edge.second)];
            child.fail = target >= 0 && target != edge.second ? target : 0;
            const Node& down = nodes[static_cast<size_t>(child.fail)];
            child.shorterEnd = down.length ? child.fail : down.shorterEnd;
            queue.push_back(edge.second);
        }
    }
}

int TitleWords::Child(int node, unsigned char byte) const {
    const auto& next = nodes[static_cast<size_t>(node)].next;
    auto found = std::lower_bound(next.begin(), next.end(), std::make_pair(byte, -1));
    return found != next.end() && found->first == byte ? found->second : -1;
}

bool TitleWords::FoundIn(const std::string& title, LeadByteTest isLeadByte) const {
    if (nodes.size() <= 1)
        return false;
    // Where the characters start: a trail byte is never taken for a start.
    std::vector<bool> starts(title.size(), false);
    for (size_t i = 0; i < title.size();) {
        starts[i] = true;
        i += (isLeadByte(static_cast<unsigned char>(title[i])) && i + 1 < title.size()) ? 2 : 1;
    }
    int node = 0;
    for (size_t i = 0; i < title.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(title[i]);
        int child = Child(node, byte);
        while (child < 0 && node) {
            node = nodes[static_cast<size_t>(node)].fail;
            child = Child(node, byte);
        }
        node = child < 0 ? 0 : child;
        for (int end = nodes[static_cast<size_t>(node)].length
                           ? node
                           : nodes[static_cast<size_t>(node)].shorterEnd;
             end >= 0; end = nodes[static_cast<size_t>(end)].shorterEnd) {
            size_t length = static_cast<size_t>(nodes[static_cast<size_t>(end)].length);
            if (starts[i + 1 - length])
                return true;
        }
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

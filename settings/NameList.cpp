#include "settings/NameList.h"

#include <algorithm>
#include <atomic>

namespace settings {

namespace {
std::atomic<uint64_t> g_generations{0};
} // namespace

NameList::NameList(const std::vector<std::string>& initial) {
    for (const std::string& name : initial)
        if (!name.empty() && !Contains(name))
            names.push_back(name);
    Changed();
}

bool NameList::Contains(const std::string& name) const {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool NameList::Add(const std::string& name) {
    if (name.empty() || Contains(name))
        return false;
    names.push_back(name);
    Changed();
    return true;
}

void NameList::RemoveAt(size_t position) {
    if (position >= names.size())
        return;
    names.erase(names.begin() + static_cast<std::ptrdiff_t>(position));
    Changed();
}

void NameList::Changed() {
    generation = ++g_generations;
}

} // namespace settings

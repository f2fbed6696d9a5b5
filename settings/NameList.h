// A list of names that window titles are searched for (the browser names,
// the never-close words): each name once, in the order added. Every change
// gives the list a new generation, so that whoever compiled a search for
// it knows when to compile it again. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace settings {

class NameList {
public:
    NameList() = default;
    // Empty names and repeats are left out.
    explicit NameList(const std::vector<std::string>& initial);

    const std::vector<std::string>& Names() const { return names; }
    size_t Size() const { return names.size(); }
    bool Empty() const { return names.empty(); }
    bool Contains(const std::string& name) const;
    // False when the name is empty or listed already.
    bool Add(const std::string& name);
    void RemoveAt(size_t position);
    // Differs from every other list's, and changes with each change.
    uint64_t Generation() const { return generation; }

    bool operator==(const NameList& other) const { return names == other.names; }
    bool operator!=(const NameList& other) const { return names != other.names; }

private:
    void Changed();

    std::vector<std::string> names;
    uint64_t generation = 0;
};

} // namespace settings

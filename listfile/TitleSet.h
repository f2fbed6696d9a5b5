// Titles, each once, in the order a list shows them: the storage of the
// banned list, and the titles of a file or an update made ready for a merge
// (on any thread). The order comes from sort keys, so that a merge compares
// bytes, not strings of the code page. Portable.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace listfile {

// How titles are ordered.
class TitleOrder {
public:
    virtual ~TitleOrder() = default;
    // Bytes that compare, unsigned as std::string compares, in the order the
    // list shows titles; equal for titles it holds equal.
    virtual std::string SortKey(const std::string& title) const = 0;
};

class TitleSet {
public:
    TitleSet() = default;
    TitleSet(TitleSet&&) = default;
    TitleSet& operator=(TitleSet&&) = default;
    TitleSet(const TitleSet&) = delete;
    TitleSet& operator=(const TitleSet&) = delete;

    // The titles in order, empty ones left out, each kept where it first
    // comes; titles with equal keys stay in the order given. Once stop is
    // set, an empty set comes back soon.
    static TitleSet From(std::vector<std::string> titles, const TitleOrder& order,
                         const std::atomic<bool>* stop = nullptr);

    size_t Size() const { return entries.size(); }
    bool Empty() const { return entries.empty(); }
    // True when an entry equals the title byte for byte.
    bool Contains(const std::string& title) const { return index.count(title) != 0; }
    const std::string& At(size_t position) const { return *entries[position].title; }

    // A new title at its place, behind those with an equal key; its
    // position, or Size() when it is empty or present already.
    size_t Insert(const std::string& title, const TitleOrder& order);
    // The titles of other that are not here, each at its place (behind this
    // set's titles of an equal key); other is left empty. Returns how many.
    size_t Merge(TitleSet&& other);
    void RemoveAt(size_t position);
    void Clear();

private:
    struct Entry {
        const std::string* title; // in index, whose nodes never move
        std::string key;
    };
    static bool KeyLess(const Entry& a, const Entry& b) { return a.key < b.key; }

    std::unordered_set<std::string> index;
    std::vector<Entry> entries;
};

} // namespace listfile

#include "listfile/TitleSet.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace listfile {

TitleSet TitleSet::From(std::vector<std::string> titles, const TitleOrder& order,
                        const std::atomic<bool>* stop) {
    // Looked at every few thousand titles, and during the sort by leaving it
    // with an exception.
    constexpr size_t kStopEvery = 4096;
    struct Stopped {};
    auto stopped = [stop] { return stop && stop->load(); };
    TitleSet set;
    set.index.reserve(titles.size());
    set.entries.reserve(titles.size());
    for (size_t i = 0; i < titles.size(); ++i) {
        if (i % kStopEvery == 0 && stopped())
            return TitleSet();
        std::string& title = titles[i];
        if (title.empty())
            continue;
        auto added = set.index.insert(std::move(title));
        if (added.second)
            set.entries.push_back(Entry{&*added.first, order.SortKey(*added.first)});
    }
    size_t compared = 0;
    try {
        std::stable_sort(set.entries.begin(), set.entries.end(),
                         [&](const Entry& a, const Entry& b) {
                             if (++compared % kStopEvery == 0 && stopped())
                                 throw Stopped();
                             return KeyLess(a, b);
                         });
    } catch (const Stopped&) {
        return TitleSet();
    }
    return set;
}

size_t TitleSet::Insert(const std::string& title, const TitleOrder& order) {
    if (title.empty() || Contains(title))
        return entries.size();
    Entry entry{nullptr, order.SortKey(title)};
    auto at = std::upper_bound(entries.begin(), entries.end(), entry, KeyLess);
    size_t position = static_cast<size_t>(at - entries.begin());
    entry.title = &*index.insert(title).first;
    entries.insert(at, std::move(entry));
    return position;
}

size_t TitleSet::Merge(TitleSet&& other) {
    // The titles of both in key order, this set's first among equal keys; a
    // title in both stands once, as this set has it.
    if (entries.empty()) {
        std::swap(index, other.index);
        std::swap(entries, other.entries);
        other.Clear();
        return entries.size();
    }
    std::vector<Entry> mine, theirs;
    std::vector<bool> repeated;
    if (entries.size() >= other.entries.size()) {
        for (Entry& entry : other.entries) {
            // The node moves across whole: the title keeps its address.
            auto node = other.index.extract(*entry.title);
            if (index.count(node.value()))
                continue;
            entry.title = &*index.insert(std::move(node)).position;
            theirs.push_back(std::move(entry));
        }
    } else {
        // Into the larger set's index instead, so that a million titles
        // merged into a short list cost no million node moves.
        repeated.assign(other.entries.size(), false);
        for (const Entry& entry : entries) {
            auto node = index.extract(*entry.title);
            auto present = other.index.find(node.value());
            if (present != other.index.end()) {
                auto at =
                    std::lower_bound(other.entries.begin(), other.entries.end(), entry, KeyLess);
                while (at->title != &*present)
                    ++at;
                repeated[static_cast<size_t>(at - other.entries.begin())] = true;
                other.index.erase(present);
            }
            other.index.insert(std::move(node));
        }
        index.swap(other.index);
        theirs.swap(other.entries);
    }
    mine.swap(entries);
    other.Clear();
    // Stable: of equal keys, this set's titles come first.
    size_t added = 0;
    entries.reserve(mine.size() + theirs.size());
    auto a = mine.begin();
    for (size_t b = 0; b < theirs.size(); ++b) {
        if (!repeated.empty() && repeated[b])
            continue;
        while (a != mine.end() && !KeyLess(theirs[b], *a))
            entries.push_back(std::move(*a++));
        entries.push_back(std::move(theirs[b]));
        ++added;
    }
    while (a != mine.end())
        entries.push_back(std::move(*a++));
    return added;
}

void TitleSet::RemoveAt(size_t position) {
    const std::string* title = entries[position].title;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(position));
    index.erase(*title);
}

void TitleSet::Clear() {
    entries.clear();
    index.clear();
}

} // namespace listfile

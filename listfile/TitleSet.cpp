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
    if (entries.empty()) {
        std::swap(index, other.index);
        std::swap(entries, other.entries);
        other.Clear();
        return entries.size();
    }
    std::vector<Entry> fresh;
    for (Entry& entry : other.entries) {
        // The node moves across whole: the title keeps its address.
        auto node = other.index.extract(*entry.title);
        if (index.count(node.value()))
            continue;
        entry.title = &*index.insert(std::move(node)).position;
        fresh.push_back(std::move(entry));
    }
    other.Clear();
    if (fresh.empty())
        return 0;
    std::vector<Entry> merged;
    merged.reserve(entries.size() + fresh.size());
    // Stable: of equal keys, this set's titles come first.
    std::merge(std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()),
               std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()),
               std::back_inserter(merged), KeyLess);
    entries.swap(merged);
    return fresh.size();
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

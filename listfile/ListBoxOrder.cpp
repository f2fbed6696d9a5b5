#include "listfile/ListBoxOrder.h"

#include <algorithm>
#include <numeric>

#include "listfile/SystemCodePage.h"

namespace listfile {

// The list box compares with CompareString in its locale, case ignored, on
// the text as the ANSI messages convert it. Wine's list box moves every
// entry behind an insertion point, about n*n/4 moves for titles in file
// order, and a comparison costs a microsecond or more, so the sort goes by
// sort keys of the same rule and the result is checked pair by pair with
// the list box's own comparison.
bool SortAsListBoxDoes(LCID locale, std::vector<std::string>& titles,
                       const std::atomic<bool>* stop) {
    // A stop is looked for every few thousand titles: a million take seconds.
    auto stopped = [stop](size_t i) { return stop && (i & 4095) == 0 && *stop; };
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::vector<std::wstring> wide;
    std::vector<std::string> keys;
    wide.reserve(titles.size());
    keys.reserve(titles.size());
    bool keyed = true;
    for (const std::string& title : titles) {
        if (stopped(wide.size()))
            return false;
        wide.push_back(Widen(title));
        // A sort key is bytes compared unsigned, as std::string compares.
        int size = ::LCMapStringW(locale, flags, wide.back().c_str(), -1, nullptr, 0);
        std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size <= 0 || !::LCMapStringW(locale, flags, wide.back().c_str(), -1,
                                         reinterpret_cast<LPWSTR>(&key[0]), size))
            keyed = false;
        keys.push_back(std::move(key));
    }
    std::vector<size_t> order(titles.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // The comparison leaves the sort by an exception once stopped.
    struct Stopped {};
    size_t comparisons = 0;
    try {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            if (stopped(++comparisons))
                throw Stopped();
            return keys[a] < keys[b];
        });
    } catch (const Stopped&) {
        return false;
    }
    bool ordered = keyed;
    for (size_t i = 1; ordered && i < order.size(); ++i) {
        if (stopped(i))
            return false;
        ordered = ::CompareStringW(locale, NORM_IGNORECASE, wide[order[i - 1]].c_str(), -1,
                                   wide[order[i]].c_str(), -1) != CSTR_GREATER_THAN;
    }
    std::vector<std::string> sorted;
    sorted.reserve(titles.size());
    for (size_t index : order)
        sorted.push_back(std::move(titles[index]));
    titles.swap(sorted);
    return ordered;
}

} // namespace listfile

// Ordering titles as the sorted list box does, away from the list box.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace listfile {

// Sorts the titles by the comparison of a sorted list box of this locale
// (LB_GETLOCALE). False when the result could not be confirmed pair by pair:
// the order is then only nearly right and the list box must place each title
// itself. Safe on any thread. Gives up, leaving the titles in some order,
// as soon as stop (when given) is set.
bool SortAsListBoxDoes(LCID locale, std::vector<std::string>& titles,
                       const std::atomic<bool>* stop = nullptr);

} // namespace listfile

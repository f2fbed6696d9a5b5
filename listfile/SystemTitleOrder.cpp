#include "listfile/SystemTitleOrder.h"

#include <windows.h>

#include "listfile/SystemCodePage.h"

namespace listfile {

// The sort key of the comparison a sorted list box makes (CompareString in
// its locale, case ignored, on the text as the ANSI messages convert it):
// compared as bytes, a million titles sort and merge without a call into
// the system per comparison.
std::string SystemTitleOrder::SortKey(const std::string& title) const {
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::wstring wide = Widen(title);
    int size = ::LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, nullptr, 0);
    std::string key(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size <= 0 || !::LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1,
                                     reinterpret_cast<LPWSTR>(&key[0]), size))
        return title; // no key: the bytes themselves still give one order
    return key;
}

} // namespace listfile

#include "listfile/SystemCodePage.h"

namespace listfile {

bool SystemCodePage::ToAnsi(const std::u16string& text, std::string& ansi) const {
    ansi.clear();
    if (text.empty())
        return true;
    // No best fit: a character the code page lacks becomes "?" and is
    // reported, instead of turning quietly into a look-alike.
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    int length = static_cast<int>(text.size());
    BOOL replaced = FALSE;
    int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                     nullptr, &replaced);
    if (size <= 0)
        return false;
    ansi.resize(static_cast<size_t>(size));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, &ansi[0], size, nullptr,
                          &replaced);
    return !replaced;
}

bool SystemCodePage::RoundTrips(const std::string& ansi) const {
    std::wstring wide = Widen(ansi);
    int length = static_cast<int>(wide.size());
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size != static_cast<int>(ansi.size()))
        return false;
    std::string back(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &back[0], size, nullptr, nullptr);
    return back == ansi;
}

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return std::wstring();
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

} // namespace listfile

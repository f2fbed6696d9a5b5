#include "bannedlist/BannedTitles.h"

#include <algorithm>

namespace bannedlist {

void BannedTitles::Attach(HWND box) {
    listBox = box;
    index.clear();
    int count = Count();
    for (int i = 0; i < count; ++i)
        index.insert(At(i));
}

bool BannedTitles::IsNewTitle(const std::string& title) const {
    return !title.empty() && index.find(title) == index.end();
}

bool BannedTitles::Contains(const std::string& title) const {
    return !title.empty() && index.find(title) != index.end();
}

bool BannedTitles::AddToListBox(const std::string& title) {
    LRESULT at = ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE)
        return false;
    // The list box keeps text in its own form; bytes that do not survive the
    // code page's round trip must not leave the index holding a title the
    // list does not.
    index.insert(At(static_cast<int>(at)));
    return true;
}

bool BannedTitles::Insert(const std::string& title) {
    if (!IsNewTitle(title))
        return false;
    return AddToListBox(title);
}

size_t BannedTitles::InsertMany(const std::vector<std::string>& titles) {
    ::SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    size_t added = 0;
    for (const std::string& title : titles) {
        if (IsNewTitle(title) && AddToListBox(title))
            ++added;
    }
    ::SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox, nullptr, TRUE);
    return added;
}

size_t BannedTitles::AppendInOrder(const std::vector<std::string>& titles) {
    ::SendMessageA(listBox, WM_SETREDRAW, FALSE, 0);
    size_t added = 0;
    for (const std::string& title : titles) {
        if (!IsNewTitle(title))
            continue;
        LRESULT at = ::SendMessageA(listBox, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(title.c_str()));
        if (at == LB_ERR || at == LB_ERRSPACE)
            continue;
        index.insert(title);
        ++added;
    }
    ::SendMessageA(listBox, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox, nullptr, TRUE);
    return added;
}

int BannedTitles::Count() const {
    LRESULT count = ::SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string BannedTitles::At(int position) const {
    // Asked in W: Wine's ANSI form of LB_GETTEXT passes through a fixed
    // 512-character buffer and overruns it on a longer entry. The list box
    // holds the text converted from the ANSI code page; converting back
    // gives the bytes that went in.
    LRESULT length = ::SendMessageW(listBox, LB_GETTEXTLEN, position, 0);
    if (length == LB_ERR || length <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = ::SendMessageW(listBox, LB_GETTEXT, position, reinterpret_cast<LPARAM>(&wide[0]));
    if (got == LB_ERR || got <= 0)
        return std::string();
    int wideLength = static_cast<int>(std::min<LRESULT>(got, length));
    int size =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &text[0], size, nullptr, nullptr);
    return text;
}

void BannedTitles::RemoveAt(int position) {
    std::string title = At(position);
    if (::SendMessageA(listBox, LB_DELETESTRING, position, 0) == LB_ERR)
        return;
    auto found = index.find(title);
    if (found != index.end())
        index.erase(found);
}

void BannedTitles::Clear() {
    ::SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    index.clear();
}

std::vector<std::string> BannedTitles::IndexedTitles() const {
    return std::vector<std::string>(index.begin(), index.end());
}

} // namespace bannedlist

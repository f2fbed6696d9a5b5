#include "bannedlist/BannedTitles.h"

void BannedTitles::Attach(HWND listBox) {
    listBox_ = listBox;
    index_.clear();
    int count = Count();
    for (int i = 0; i < count; ++i)
        index_.insert(At(i));
}

bool BannedTitles::IsNewTitle(const std::string& title) const {
    return !title.empty() && index_.find(title) == index_.end();
}

bool BannedTitles::Contains(const std::string& title) const {
    return !title.empty() && index_.find(title) != index_.end();
}

bool BannedTitles::AddToListBox(const std::string& title) {
    LRESULT at = ::SendMessageA(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE)
        return false;
    // The list box keeps text in its own form; bytes that do not survive the
    // code page's round trip must not leave the index holding a title the
    // list does not.
    index_.insert(At(static_cast<int>(at)));
    return true;
}

bool BannedTitles::Insert(const std::string& title) {
    if (!IsNewTitle(title))
        return false;
    return AddToListBox(title);
}

size_t BannedTitles::InsertMany(const std::vector<std::string>& titles) {
    ::SendMessageA(listBox_, WM_SETREDRAW, FALSE, 0);
    size_t added = 0;
    for (const std::string& title : titles) {
        if (IsNewTitle(title) && AddToListBox(title))
            ++added;
    }
    ::SendMessageA(listBox_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox_, nullptr, TRUE);
    return added;
}

int BannedTitles::Count() const {
    LRESULT count = ::SendMessageA(listBox_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string BannedTitles::At(int index) const {
    LRESULT length = ::SendMessageA(listBox_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = ::SendMessageA(listBox_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got == LB_ERR || got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

void BannedTitles::RemoveAt(int index) {
    std::string title = At(index);
    if (::SendMessageA(listBox_, LB_DELETESTRING, index, 0) == LB_ERR)
        return;
    auto found = index_.find(title);
    if (found != index_.end())
        index_.erase(found);
}

void BannedTitles::Clear() {
    ::SendMessageA(listBox_, LB_RESETCONTENT, 0, 0);
    index_.clear();
}

std::vector<std::string> BannedTitles::IndexedTitles() const {
    return std::vector<std::string>(index_.begin(), index_.end());
}

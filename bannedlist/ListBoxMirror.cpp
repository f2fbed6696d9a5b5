#include "bannedlist/ListBoxMirror.h"

#include <algorithm>

namespace bannedlist {

namespace {
// Titles added at once, without a pause; a list this long shows in a few
// tens of milliseconds.
constexpr size_t kShownAtOnce = 4096;
// Titles per list box call batch, between looks at the clock.
constexpr size_t kStep = 64;
} // namespace

void ListBoxMirror::Attach(HWND listBox) {
    box = listBox;
    Reset();
}

void ListBoxMirror::Inserted(size_t position) {
    // Behind what is shown, the fill brings it in its turn.
    if (!box || position > shown)
        return;
    const std::string& title = list.At(position);
    LRESULT at =
        ::SendMessageA(box, LB_INSERTSTRING, position, reinterpret_cast<LPARAM>(title.c_str()));
    if (at != LB_ERR && at != LB_ERRSPACE)
        ++shown;
}

void ListBoxMirror::Removed(size_t position) {
    if (!box || position >= shown)
        return;
    if (::SendMessageA(box, LB_DELETESTRING, position, 0) != LB_ERR)
        --shown;
}

void ListBoxMirror::Reset() {
    if (!box)
        return;
    ::SendMessageA(box, LB_RESETCONTENT, 0, 0);
    shown = 0;
    size_t count = list.Count();
    if (count > kShownAtOnce) {
        // Room for every title up front: Wine's list box otherwise grows
        // its storage in small steps.
        size_t bytes = 0;
        for (size_t i = 0; i < count; ++i)
            bytes += list.At(i).size() + 1;
        ::SendMessageA(box, LB_INITSTORAGE, count,
                       static_cast<LPARAM>(std::min<size_t>(bytes, 0x7FFFFFFF)));
    }
    FillSome();
}

bool ListBoxMirror::FillSome() {
    if (!box)
        return false;
    DWORD start = ::GetTickCount();
    ::SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    bool room = true;
    while (room && shown < list.Count()) {
        room = Append(std::min(kStep, list.Count() - shown));
        if (shown >= kShownAtOnce && ::GetTickCount() - start >= fillStepMs)
            break;
    }
    ::SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(box, nullptr, TRUE);
    bool more = room && shown < list.Count();
    if (more && scheduleFill)
        scheduleFill();
    return more;
}

bool ListBoxMirror::Append(size_t count) {
    for (size_t end = shown + count; shown < end;) {
        const std::string& title = list.At(shown);
        LRESULT at = ::SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(title.c_str()));
        // Out of room: what is shown stays what it is.
        if (at == LB_ERR || at == LB_ERRSPACE)
            return false;
        ++shown;
    }
    return true;
}

} // namespace bannedlist

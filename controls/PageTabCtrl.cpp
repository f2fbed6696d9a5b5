#include "controls/PageTabCtrl.h"

#include "framework/Dpi.h"

namespace controls {

int32_t PageTabCtrl::AddPage(const char* caption, int32_t pageId, fw::Dialog* page) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    int n = static_cast<int>(SendMessage(TCM_GETITEMCOUNT));
    n = static_cast<int>(SendMessage(TCM_INSERTITEMA, n, reinterpret_cast<LPARAM>(&item)));
    if (n < 0)
        return -1;
    if (!page) {
        SendMessage(TCM_DELETEITEM, n);
        return -1;
    }
    pageEntries.push_back(page);
    pageIds.push_back(pageId);
    focusTargets.push_back(nullptr);
    if (page->m_hWnd)
        MakePage(n);
    return n;
}

bool PageTabCtrl::MakePages() {
    bool made = true;
    for (int index = 0; index < PageCount(); ++index)
        made = MakePage(index) && made;
    return made;
}

bool PageTabCtrl::MakePage(int index) {
    fw::Dialog* page = pageEntries[index];
    if (!page->m_hWnd && !page->Create(::GetParent(m_hWnd)))
        return false;
    if (::GetParent(page->m_hWnd) == m_hWnd)
        return true; // taken in already
    ::SetParent(page->m_hWnd, m_hWnd);

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (client.right - client.left > 0 && client.bottom - client.top > 0)
        FitPage(index, client.right - client.left, client.bottom - client.top);

    focusTargets[index] =
        PageAdded(index, pageIds[index]) ? ::GetWindow(page->m_hWnd, GW_CHILD) : ::GetFocus();
    // The first tab is the one shown while none is selected.
    int selected = CurrentSelection();
    if (index == (selected < 0 ? 0 : selected))
        ShowPage(index, true);
    return true;
}

namespace {
// The gap between a page and the tab control's border on every side.
constexpr int kPageMargin = 4;
} // namespace

void PageTabCtrl::FitPage(int index, int width, int height) {
    if (index < 0 || index >= PageCount() || !pageEntries[index]->m_hWnd)
        return;
    RECT item{};
    SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    int rows = static_cast<int>(SendMessage(TCM_GETROWCOUNT));
    DWORD style = GetStyle();
    int margin = fw::ScaleToDpi(kPageMargin, fw::WindowDpi(m_hWnd));
    int x, y, cx, cy;
    if (style & TCS_VERTICAL) {
        int band = (item.right - item.left) * rows;
        x = (style & TCS_RIGHT) ? margin : band + margin;
        y = margin;
        cx = width - band - 2 * margin;
        cy = height - 2 * margin;
    } else {
        int band = (item.bottom - item.top) * rows;
        x = margin;
        y = (style & TCS_BOTTOM) ? margin : band + margin;
        cx = width - 2 * margin;
        cy = height - band - 2 * margin;
    }
    ::SetWindowPos(pageEntries[index]->m_hWnd, nullptr, x, y, cx, cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PageTabCtrl::SelectPage(int index) {
    if (index < 0 || index >= static_cast<int>(SendMessage(TCM_GETITEMCOUNT)) ||
        index >= PageCount() || !MakePage(index))
        return false;
    int current = CurrentSelection();
    if (index == current)
        return true;
    if (current >= 0 && current < PageCount())
        LeavePage(current);
    SendMessage(TCM_SETCURSEL, index);
    if (focusTargets[index])
        ::SetFocus(focusTargets[index]);
    FitPageToClient(index);
    ShowPage(index, true);
    return true;
}

HWND PageTabCtrl::FocusTarget(int index) const {
    return index >= 0 && index < PageCount() ? focusTargets[index] : nullptr;
}

bool PageTabCtrl::PageAdded(int, int32_t) {
    return true;
}
void PageTabCtrl::PageActivated(int, int32_t) {}
void PageTabCtrl::PageDeactivating(int, int32_t) {}
void PageTabCtrl::PageRemoved(int, int32_t) {}

int PageTabCtrl::CurrentSelection() const {
    int current = static_cast<int>(SendMessage(TCM_GETCURSEL));
    return current < PageCount() ? current : -1;
}

void PageTabCtrl::FitPageToClient(int index) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    FitPage(index, client.right - client.left, client.bottom - client.top);
}

void PageTabCtrl::LeavePage(int index) {
    focusTargets[index] = ::GetFocus();
    ShowPage(index, false);
    // A page may move the focus while it is being hidden, on purpose: the
    // options page puts it on a field that failed its check. Coming back,
    // the user lands there.
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(pageEntries[index]->m_hWnd, focus))
        focusTargets[index] = focus;
}

void PageTabCtrl::ShowPage(int index, bool show) {
    ::ShowWindow(pageEntries[index]->m_hWnd, show ? SW_SHOW : SW_HIDE);
}

LRESULT PageTabCtrl::OnSelChanging(int, LPNMHDR, bool& bHandled) {
    int current = CurrentSelection();
    if (current < 0) {
        bHandled = false;
        return 0;
    }
    PageDeactivating(current, pageIds[current]);
    LeavePage(current);
    return 0;
}

LRESULT PageTabCtrl::OnSelChange(int, LPNMHDR, bool& bHandled) {
    int current = CurrentSelection();
    if (current < 0) {
        bHandled = false;
        return 0;
    }
    MakePage(current);
    // The focus moves before the page becomes visible.
    if (focusTargets[current])
        ::SetFocus(focusTargets[current]);
    FitPageToClient(current);
    ShowPage(current, true);
    PageActivated(current, pageIds[current]);
    return 0;
}

LRESULT PageTabCtrl::OnSetFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    int current = CurrentSelection();
    if (current < 0)
        return result;
    // A click on a tab takes the focus to the strip first. Coming from inside
    // the current page, it is that page's focus now, newer than the one kept.
    HWND previous = reinterpret_cast<HWND>(wParam);
    if (previous && ::IsChild(pageEntries[current]->m_hWnd, previous))
        focusTargets[current] = previous;
    // The strip passes the focus on at once: it never holds it under a page.
    if (focusTargets[current] && ::IsWindow(focusTargets[current]))
        ::SetFocus(focusTargets[current]);
    return result;
}

LRESULT PageTabCtrl::OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    int current = CurrentSelection();
    if (current >= 0)
        focusTargets[current] = ::GetFocus();
    return result;
}

LRESULT PageTabCtrl::OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    for (int index = PageCount() - 1; index >= 0; --index) {
        PageRemoved(index, pageIds[index]);
        pageEntries[index]->DestroyWindow();
    }
    pageEntries.clear();
    focusTargets.clear();
    pageIds.clear();
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT PageTabCtrl::OnDpiChanged(UINT, WPARAM, LPARAM, bool&) {
    // The control has its new size and font: every page fits it again.
    for (int index = 0; index < PageCount(); ++index)
        FitPageToClient(index);
    return 0;
}

LRESULT PageTabCtrl::OnForwardToParent(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    // What a page sends to its parent reaches the main window, as if the
    // pages were the main window's own children.
    return ::SendMessageA(::GetParent(m_hWnd), msg, wParam, lParam);
}

} // namespace controls

// A tab control that hosts pages (modeless child dialogs), switches them
// itself, sizes them into its display area (with a margin that follows the
// window's DPI) and keeps each page's focus.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "framework/Dialog.h"

namespace controls {

class PageTabCtrl : public fw::Window {
public:
    // The page is borrowed: its owner keeps it for as long as the tab
    // control lives. One already created is modeless and hidden; one not yet
    // created gets its tab now and is created (a child of the tab control's
    // parent, as the others) when first selected or by MakePages. Returns
    // the tab index or -1.
    int32_t AddPage(const char* caption, int32_t pageId, fw::Dialog* page);
    // Creates every page not created yet; false when one could not be.
    bool MakePages();
    bool SelectPage(int index);
    void FitPage(int index, int width, int height);

    int PageCount() const { return static_cast<int>(pageEntries.size()); }
    HWND FocusTarget(int index) const;

    BEGIN_MSG_MAP(PageTabCtrl)
        REFLECTED_NOTIFY_CODE_HANDLER(TCN_SELCHANGING, OnSelChanging)
        REFLECTED_NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnSelChange)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(fw::kDpiChangedAfterParent, OnDpiChanged)
        MESSAGE_HANDLER(WM_COMMAND, OnForwardToParent)
        MESSAGE_HANDLER(WM_NOTIFY, OnForwardToParent)
    END_MSG_MAP()

protected:
    // Overridable by derived tab controls; the defaults are what this program runs.
    virtual bool PageAdded(int index, int32_t pageId);
    virtual void PageActivated(int index, int32_t pageId);
    virtual void PageDeactivating(int index, int32_t pageId);
    virtual void PageRemoved(int index, int32_t pageId);

private:
    LRESULT OnSelChanging(int, LPNMHDR, bool& bHandled);
    LRESULT OnSelChange(int, LPNMHDR, bool& bHandled);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnKillFocus(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnForwardToParent(UINT, WPARAM, LPARAM, bool&);
    int CurrentSelection() const;
    // Takes a created page in: its place, its focus, shown when selected.
    bool MakePage(int index);
    void FitPageToClient(int index);
    void ShowPage(int index, bool show);
    // Keeps the page's focus and hides it.
    void LeavePage(int index);

    std::vector<fw::Dialog*> pageEntries;
    std::vector<HWND> focusTargets;
    std::vector<int32_t> pageIds;
};

} // namespace controls

#include "settings/BrowsersPage.h"

#include <vector>

#include "framework/DataExchange.h"

namespace settings {

namespace {
using controls::ButtonLook;
const ButtonLook kButtonLooks[] = {
    {IDC_BROWSER_ADD, IDI_ADD, RGB(0, 128, 0)},
    {IDC_BROWSER_REMOVE, IDI_REMOVE, RGB(128, 0, 0)},
    {IDC_ADD_TODAYS_BROWSERS, IDI_APPEND, RGB(0, 0, 128)},
    {IDC_NEVER_ADD, IDI_ADD, RGB(0, 128, 0)},
    {IDC_NEVER_REMOVE, IDI_REMOVE, RGB(128, 0, 0)},
};
} // namespace

void BrowsersPage::DoDataExchange(fw::DataExchange& dx) {
    for (size_t i = 0; i < std::size(kButtonLooks); ++i)
        dx.Control(kButtonLooks[i].id, buttons[i]);
}

bool BrowsersPage::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    for (size_t i = 0; i < std::size(kButtonLooks); ++i) {
        buttons[i].SetLook(kButtonLooks[i].icon, kButtonLooks[i].hoverText);
    }
    for (int entry : {IDC_BROWSER_ENTRY, IDC_NEVER_ENTRY})
        ::SendDlgItemMessageA(m_hWnd, entry, EM_LIMITTEXT, kMaxNameCharacters, 0);
    ShowLists();
    return true;
}

void BrowsersPage::ShowLists() {
    Show(IDC_BROWSER_LIST, settings.BrowserNames);
    Show(IDC_NEVER_LIST, settings.NeverClose);
}

void BrowsersPage::Show(int listBox, const NameList& list) {
    HWND box = GetDlgItem(listBox);
    if (!box)
        return;
    ::SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(box, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : list.Names())
        ::SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(box, nullptr, TRUE);
}

bool BrowsersPage::AddBrowserName(const std::string& name) {
    if (!settings.BrowserNames.Add(name))
        return false;
    settings.BrowserNamesEdited = true;
    Show(IDC_BROWSER_LIST, settings.BrowserNames);
    return true;
}

bool BrowsersPage::AddNeverClose(const std::string& words) {
    if (!settings.NeverClose.Add(words))
        return false;
    settings.NeverCloseEdited = true;
    Show(IDC_NEVER_LIST, settings.NeverClose);
    return true;
}

void BrowsersPage::AddTodaysBrowsers() {
    for (const std::string& name : TodaysBrowserNames())
        AddBrowserName(name);
}

void BrowsersPage::RemoveSelected(int listBox, NameList& list) {
    HWND box = GetDlgItem(listBox);
    LRESULT n = ::SendMessageA(box, LB_GETSELCOUNT, 0, 0);
    if (n == LB_ERR || n <= 0)
        return;
    std::vector<int> selected(static_cast<size_t>(n));
    n = ::SendMessageA(box, LB_GETSELITEMS, n, reinterpret_cast<LPARAM>(selected.data()));
    // From the last, so that each position still names its entry.
    for (LRESULT i = n - 1; i >= 0; --i)
        list.RemoveAt(static_cast<size_t>(selected[static_cast<size_t>(i)]));
}

void BrowsersPage::RemoveSelectedBrowserNames() {
    size_t before = settings.BrowserNames.Size();
    RemoveSelected(IDC_BROWSER_LIST, settings.BrowserNames);
    if (settings.BrowserNames.Size() == before)
        return;
    // No name at all would judge nothing: the program's own names come back.
    if (settings.BrowserNames.Empty())
        settings.BrowserNames = DefaultBrowserNames();
    settings.BrowserNamesEdited = true;
    Show(IDC_BROWSER_LIST, settings.BrowserNames);
}

void BrowsersPage::RemoveSelectedNeverClose() {
    size_t before = settings.NeverClose.Size();
    RemoveSelected(IDC_NEVER_LIST, settings.NeverClose);
    if (settings.NeverClose.Size() == before)
        return;
    settings.NeverCloseEdited = true;
    Show(IDC_NEVER_LIST, settings.NeverClose);
}

void BrowsersPage::AddFromEntry(int entry) {
    std::string text = fw::WindowText(GetDlgItem(entry));
    if (entry == IDC_NEVER_ENTRY)
        AddNeverClose(text);
    else
        AddBrowserName(text);
    ::SetDlgItemTextA(m_hWnd, entry, "");
}

LRESULT BrowsersPage::OnButton(WORD, WORD id, HWND, bool&) {
    switch (id) {
    case IDC_BROWSER_ADD:
        AddFromEntry(IDC_BROWSER_ENTRY);
        break;
    case IDC_BROWSER_REMOVE:
        RemoveSelectedBrowserNames();
        break;
    case IDC_ADD_TODAYS_BROWSERS:
        AddTodaysBrowsers();
        break;
    case IDC_NEVER_ADD:
        AddFromEntry(IDC_NEVER_ENTRY);
        break;
    case IDC_NEVER_REMOVE:
        RemoveSelectedNeverClose();
        break;
    }
    return 0;
}

void BrowsersPage::OnOK() {
    HWND focus = ::GetFocus();
    if (focus == GetDlgItem(IDC_BROWSER_ENTRY))
        AddFromEntry(IDC_BROWSER_ENTRY);
    else if (focus == GetDlgItem(IDC_NEVER_ENTRY))
        AddFromEntry(IDC_NEVER_ENTRY);
}

LRESULT BrowsersPage::OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    WORD key = LOWORD(wParam);
    if (key == VK_DELETE) {
        HWND box = reinterpret_cast<HWND>(lParam);
        if (box == GetDlgItem(IDC_BROWSER_LIST))
            RemoveSelectedBrowserNames();
        else if (box == GetDlgItem(IDC_NEVER_LIST))
            RemoveSelectedNeverClose();
    }
    // The list box still moves its caret and selection itself.
    return DefWindowProc(msg, wParam, lParam);
}

} // namespace settings

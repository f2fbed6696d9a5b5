#include "bannedlist/BannedListPage.h"

#include <vector>

namespace bannedlist {

namespace {
struct ButtonLook {
    int id;
    int icon;
    COLORREF hoverText;
};
const ButtonLook kButtonLooks[] = {
    {IDC_ADD, IDI_ADD, RGB(0, 128, 0)},       {IDC_REMOVE, IDI_REMOVE, RGB(128, 0, 0)},
    {IDC_SAVE, IDI_SAVE, RGB(0, 0, 128)},     {IDC_LOAD, IDI_LOAD, RGB(0, 0, 128)},
    {IDC_UPDATE, IDI_UPDATE, RGB(0, 0, 128)}, {IDC_APPEND, IDI_APPEND, RGB(0, 0, 128)},
    {IDC_NEW, IDI_NEW, RGB(0, 0, 128)},
};
} // namespace

void BannedListPage::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_ADD, addButton);
    dx.Control(IDC_REMOVE, removeButton);
    dx.Control(IDC_SAVE, saveButton);
    dx.Control(IDC_LOAD, loadButton);
    dx.Control(IDC_APPEND, appendButton);
    dx.Control(IDC_NEW, newButton);
    dx.Control(IDC_UPDATE, updateButton);
    dx.Text(IDC_ENTRY, EntryText);
}

bool BannedListPage::OnInitDialog() {
    titles.Attach(GetDlgItem(IDC_BANNED_LIST));
    fw::Dialog::OnInitDialog();
    for (const ButtonLook& look : kButtonLooks) {
        auto* button =
            static_cast<controls::ImageButton*>(fw::Window::FromHandle(GetDlgItem(look.id)));
        if (!button)
            continue;
        button->SetIconResources(look.icon, 0);
        button->ShadeStateColour(controls::ImageButton::HoverBack, 20, true);
        button->SetStateColour(controls::ImageButton::HoverText, look.hoverText, true);
    }
    return true;
}

LRESULT BannedListPage::OnButton(WORD, WORD id, HWND, bool&) {
    switch (id) {
    case IDC_ADD:
        OnAdd();
        break;
    case IDC_REMOVE:
        RemoveSelected();
        break;
    case IDC_NEW:
        OnNew();
        break;
    case IDC_LOAD:
        OnLoad();
        break;
    case IDC_SAVE:
        OnSave();
        break;
    case IDC_APPEND:
        OnAppend();
        break;
    case IDC_UPDATE:
        OnUpdate();
        break;
    }
    return 0;
}

void BannedListPage::OnAdd() {
    UpdateData(true);
    titles.Insert(EntryText);
    EntryText.clear();
    UpdateData(false);
}

void BannedListPage::RemoveSelected() {
    HWND list = titles.ListBox();
    LRESULT n = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (n == LB_ERR || n <= 0)
        return;
    std::vector<int> index(static_cast<size_t>(n));
    n = ::SendMessageA(list, LB_GETSELITEMS, n, reinterpret_cast<LPARAM>(index.data()));
    if (n == LB_ERR || n <= 0)
        return;
    index.resize(static_cast<size_t>(n));
    // Each deletion moves the entries behind it up by one.
    for (size_t k = 0; k < index.size(); ++k) {
        titles.RemoveAt(index[k]);
        for (size_t j = k; j < index.size(); ++j)
            --index[j];
    }
    // The entry that followed the last removed one; nothing when none follows.
    ::SendMessageA(list, LB_SETSEL, TRUE, index.back() + 1);
    UpdateData(false);
}

LRESULT BannedListPage::OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    WORD key = LOWORD(wParam);
    if (key == VK_DELETE || key == VK_BACK)
        RemoveSelected();
    // The list box still moves its caret and selection itself.
    return DefWindowProc(msg, wParam, lParam);
}

} // namespace bannedlist

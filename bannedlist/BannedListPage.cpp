#include "bannedlist/BannedListPage.h"

#include <commdlg.h>

#include <vector>

#include "bannedlist/SaveFailedDialog.h"
#include "listfile/UpdateDownload.h"

namespace bannedlist {

namespace {

using controls::ButtonLook;
const ButtonLook kButtonLooks[] = {
    {IDC_ADD, IDI_ADD, RGB(0, 128, 0)},       {IDC_REMOVE, IDI_REMOVE, RGB(128, 0, 0)},
    {IDC_SAVE, IDI_SAVE, RGB(0, 0, 128)},     {IDC_LOAD, IDI_LOAD, RGB(0, 0, 128)},
    {IDC_UPDATE, IDI_UPDATE, RGB(0, 0, 128)}, {IDC_APPEND, IDI_APPEND, RGB(0, 0, 128)},
    {IDC_NEW, IDI_NEW, RGB(0, 0, 128)},
};

// Room for any path the dialogs can return.
constexpr size_t kPathBuffer = 32768;

// The standard Explorer-style open or save dialog: no filter, no default
// extension, the read-only box hidden, no demand that the file or its
// folder exist; the save dialog asks before replacing a file.
bool ChooseFile(HWND owner, bool save, std::string& chosen) {
    std::vector<char> name(kPathBuffer, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : 0);
    BOOL ok = save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
    if (!ok || !name[0])
        return false;
    chosen = name.data();
    return true;
}

} // namespace

BannedListPage::BannedListPage(BannedList& shown)
    : fw::Dialog(IDD_BANNEDLIST), list(shown),
      mirror(shown, [this] { ::PostMessageA(m_hWnd, kFillList, 0, 0); }),
      update(shown, [this](const Notice& notice) { Notify(notice); }) {}

BannedListPage::~BannedListPage() {
    list.SetView(nullptr);
}

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
    mirror.Attach(GetDlgItem(IDC_BANNED_LIST));
    list.SetView(&mirror);
    fw::Dialog::OnInitDialog();
    for (const ButtonLook& look : kButtonLooks) {
        auto* button =
            static_cast<controls::ImageButton*>(fw::Window::FromHandle(GetDlgItem(look.id)));
        if (!button)
            continue;
        button->SetLook(look.icon, look.hoverText);
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
    list.Insert(EntryText);
    EntryText.clear();
    UpdateData(false);
}

void BannedListPage::RemoveSelected() {
    HWND box = GetDlgItem(IDC_BANNED_LIST);
    LRESULT n = ::SendMessageA(box, LB_GETSELCOUNT, 0, 0);
    if (n == LB_ERR || n <= 0)
        return;
    std::vector<int> index(static_cast<size_t>(n));
    n = ::SendMessageA(box, LB_GETSELITEMS, n, reinterpret_cast<LPARAM>(index.data()));
    if (n == LB_ERR || n <= 0)
        return;
    index.resize(static_cast<size_t>(n));
    // Each removal moves the entries behind it up by one.
    for (size_t k = 0; k < index.size(); ++k) {
        list.RemoveAt(static_cast<size_t>(index[k]));
        for (size_t j = k; j < index.size(); ++j)
            --index[j];
    }
    // The entry that followed the last removed one; nothing when none follows.
    ::SendMessageA(box, LB_SETSEL, TRUE, index.back() + 1);
    UpdateData(false);
}

LRESULT BannedListPage::OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    WORD key = LOWORD(wParam);
    if (key == VK_DELETE || key == VK_BACK)
        RemoveSelected();
    // The list box still moves its caret and selection itself.
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT BannedListPage::OnFillList(UINT, WPARAM, LPARAM, bool&) {
    mirror.FillSome();
    return 0;
}

void BannedListPage::ShowWriteError(const listfile::WriteError& error) {
    ::MessageBoxA(Owner(), listfile::WriteErrorMessage(error).c_str(), fw::GetAppTitle().c_str(),
                  MB_OK | MB_ICONSTOP);
}

bool BannedListPage::SaveListAtExit(bool interactive) {
    for (;;) {
        std::optional<std::string> reason = list.SaveAtExit();
        if (!reason)
            return true;
        if (!interactive)
            return false;
        SaveFailedDialog question("The banned list was not saved.\n\n" + *reason +
                                  "\n\nSave it to another file, close without saving it, or "
                                  "keep Velmora running?");
        int choice = question.Ask(Owner());
        if (choice == IDC_CLOSE_WITHOUT_SAVING)
            return true;
        if (choice != IDC_SAVE_ELSEWHERE)
            return false;
        std::string chosen;
        if (ChooseFile(Owner(), true, chosen))
            list.SetPath(chosen);
    }
}

void BannedListPage::Notify(const Notice& notice) {
    notices.push_back(notice);
    if (!showingNotice)
        ::PostMessageA(m_hWnd, kShowNotices, 0, 0);
}

LRESULT BannedListPage::OnShowNotices(UINT, WPARAM, LPARAM, bool&) {
    // One box at a time: notices that come while one shows wait for it.
    if (showingNotice)
        return 0;
    showingNotice = true;
    while (!notices.empty()) {
        Notice notice = notices.front();
        notices.erase(notices.begin());
        UINT icon = notice.kind == Notice::Kind::Problem   ? MB_ICONSTOP
                    : notice.kind == Notice::Kind::Warning ? MB_ICONEXCLAMATION
                                                           : MB_ICONINFORMATION;
        ::MessageBoxA(Owner(), notice.text.c_str(), fw::GetAppTitle().c_str(), MB_OK | icon);
    }
    showingNotice = false;
    return 0;
}

void BannedListPage::OnNew() {
    list.StartNew();
}

void BannedListPage::OnLoad() {
    OpenChosenFile(true);
}

void BannedListPage::OnAppend() {
    OpenChosenFile(false);
}

void BannedListPage::OpenChosenFile(bool replace) {
    std::string chosen;
    if (!ChooseFile(Owner(), false, chosen))
        return;
    if (std::optional<Notice> notice = replace ? list.Load(chosen) : list.Append(chosen))
        Notify(*notice);
    UpdateData(false);
}

void BannedListPage::OnSave() {
    std::string chosen;
    if (!ChooseFile(Owner(), true, chosen))
        return;
    if (std::optional<listfile::WriteError> error = list.SaveAs(chosen))
        ShowWriteError(*error);
}

void BannedListPage::OnUpdate() {
    update.Start(listfile::UpdateUrl(), Owner());
}

} // namespace bannedlist

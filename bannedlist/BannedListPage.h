// The Banned List tab: a view of the banned list, with adding, removing and
// the file buttons; what the list's operations report is shown here.
#pragma once

#include <string>
#include <vector>

#include "bannedlist/BannedList.h"
#include "bannedlist/ListBoxMirror.h"
#include "bannedlist/UpdateDialog.h"
#include "controls/ImageButton.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "resources/resource.h"

namespace bannedlist {

class BannedListPage : public fw::Dialog {
public:
    explicit BannedListPage(BannedList& shown);
    ~BannedListPage() override;

    std::string EntryText;
    controls::ImageButton addButton;
    controls::ImageButton removeButton;
    controls::ImageButton saveButton;
    controls::ImageButton loadButton;
    controls::ImageButton appendButton;
    controls::ImageButton newButton;
    controls::ImageButton updateButton;

    void RemoveSelected();
    // The list written to its file as the program closes. When it cannot
    // be and interactive is set, the user chooses: save it elsewhere (which
    // then becomes the list file), close without saving it, or keep
    // running (false).
    bool SaveListAtExit(bool interactive);
    // A running update ends now: a download is given up.
    void FinishUpdate() { update.Finish(); }

    // Shown in a message box once the program's queue gets to it, one box
    // at a time.
    void Notify(const Notice& notice);

    void OnAdd();
    void OnNew();
    void OnLoad();
    void OnAppend();
    void OnSave();
    void OnUpdate();

    BEGIN_MSG_MAP(BannedListPage)
        COMMAND_HANDLER(IDC_ADD, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_REMOVE, BN_CLICKED, OnButton)
        MESSAGE_HANDLER(WM_VKEYTOITEM, OnVKeyToItem)
        COMMAND_HANDLER(IDC_NEW, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_LOAD, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_SAVE, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_APPEND, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_UPDATE, BN_CLICKED, OnButton)
        MESSAGE_HANDLER(DM_GETDEFID, OnGetDefId)
        MESSAGE_HANDLER(kShowNotices, OnShowNotices)
        MESSAGE_HANDLER(kFillList, OnFillList)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter and Escape inside a page do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    static constexpr UINT kShowNotices = WM_APP + 1;
    static constexpr UINT kFillList = WM_APP + 2;

    LRESULT OnShowNotices(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnFillList(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnButton(WORD, WORD id, HWND, bool&);
    LRESULT OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // No default button: Enter in the entry field is the page's OK, which does nothing.
    LRESULT OnGetDefId(UINT, WPARAM, LPARAM, bool&) { return 0; }
    void ShowWriteError(const listfile::WriteError& error);
    // Load (replace) or Append: the open dialog, then the file into the list.
    void OpenChosenFile(bool replace);
    HWND Owner() const { return ::GetAncestor(m_hWnd, GA_ROOT); }

    BannedList& list;
    ListBoxMirror mirror;
    UpdateDialog update;
    std::vector<Notice> notices;
    bool showingNotice = false;
};

} // namespace bannedlist

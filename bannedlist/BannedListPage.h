// The Banned List tab: the BannedList with adding, removing and the list files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bannedlist/BannedTitles.h"
#include "listfile/ListFileGuard.h"
#include "bannedlist/UpdateDialog.h"
#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

namespace bannedlist {

class BannedListPage : public fw::Dialog {
public:
    BannedListPage() : fw::Dialog(IDD_BANNEDLIST), update(*this) {}

    BannedTitles titles; // the list box IDC_BANNED_LIST and its exact index
    std::string EntryText;
    std::string ListPath;
    controls::ImageButton addButton;
    controls::ImageButton removeButton;
    controls::ImageButton saveButton;
    controls::ImageButton loadButton;
    controls::ImageButton appendButton;
    controls::ImageButton newButton;
    controls::ImageButton updateButton;
    // List files that were not read whole or as they are.
    listfile::ListFileGuard fileGuard;

    bool IsNewTitle(const std::string& title) const { return titles.IsNewTitle(title); }
    void RemoveSelected();

    // List files: merge a file's titles into the list; write the list out.
    // A file that exists but cannot be read, or whose text had to be changed
    // on the way, is noted in fileGuard and the user is told.
    void ReadListFile(const std::string& path);
    // False when the file could not be written; the file error is shown
    // unless reportErrors is false.
    bool WriteListFile(const std::string& path, bool reportErrors = true);
    // The list written to ListPath when the program closes. A file that
    // could not be read is left alone; when the list cannot be written and
    // interactive is set, the user chooses: save it elsewhere (ListPath then
    // names that file), close without saving it, or keep running (false).
    bool SaveListAtExit(bool interactive);
    // A running update ends now: a download is given up, a merge completed.
    void FinishUpdate() { update.Finish(); }

    // Shown in a message box once the program's queue gets to it.
    void Notify(const std::string& text, UINT icon);
    // Guards and tells about a file read with changes (see ReadListFile).
    void NoteHowFileWasRead(const std::string& path, const listfile::ReadReport& report);

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
    struct Notice {
        std::string text;
        UINT icon;
    };

    LRESULT OnShowNotices(UINT, WPARAM, LPARAM, bool&);
    std::optional<listfile::WriteError> WriteList(const std::string& path);
    LRESULT OnButton(WORD, WORD id, HWND, bool&);
    LRESULT OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // No default button: Enter in the entry field is the page's OK, which does nothing.
    LRESULT OnGetDefId(UINT, WPARAM, LPARAM, bool&) { return 0; }

    UpdateDialog update;
    std::vector<Notice> notices;
    bool showingNotice = false;
};

} // namespace bannedlist

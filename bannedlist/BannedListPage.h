// The Banned List tab: the BannedList with adding, removing and the list files.
#pragma once

#include <string>

#include "bannedlist/BannedTitles.h"
#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "resources/resource.h"

class BannedListPage : public fw::CDialog {
public:
    BannedListPage() : fw::CDialog(IDD_BANNEDLIST) {}

    BannedTitles titles; // the list box IDC_BANNED_LIST and its exact index
    std::string EntryText;
    std::string ListPath;
    ImageButton addButton;
    ImageButton removeButton;
    ImageButton saveButton;
    ImageButton loadButton;
    ImageButton appendButton;
    ImageButton newButton;
    ImageButton updateButton;

    bool IsNewTitle(const std::string& title) const { return titles.IsNewTitle(title); }
    void RemoveSelected();

    // List files: merge a file's titles into the list; write the list out.
    void ReadListFile(const std::string& path);
    // False when the file could not be written; the file error is shown
    // unless reportErrors is false.
    bool WriteListFile(const std::string& path, bool reportErrors = true);

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
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter and Escape inside a page do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnButton(WORD, WORD id, HWND, bool&);
    LRESULT OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // No default button: Enter in the entry field is the page's OK, which does nothing.
    LRESULT OnGetDefId(UINT, WPARAM, LPARAM, bool&) { return 0; }
};

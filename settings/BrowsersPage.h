// The Browsers tab: a view that edits the settings value's two lists, the
// names that make a window a browser's and the words that keep a window
// from every rule. A change acts on the next new window.
#pragma once

#include <string>

#include "controls/ImageButton.h"
#include "framework/Dialog.h"
#include "resources/resource.h"
#include "settings/Settings.h"

namespace settings {

class BrowsersPage : public fw::Dialog {
public:
    explicit BrowsersPage(Settings& edited) : fw::Dialog(IDD_BROWSERS), settings(edited) {}

    controls::ImageButton buttons[5];

    // Adds a browser name or a never-close word or title; false when it is
    // empty or listed already.
    bool AddBrowserName(const std::string& name);
    bool AddNeverClose(const std::string& words);
    // The names of today's browsers that are not listed yet.
    void AddTodaysBrowsers();
    // Removing every browser name brings the defaults back.
    void RemoveSelectedBrowserNames();
    void RemoveSelectedNeverClose();
    // The lists into their list boxes.
    void ShowLists();

    BEGIN_MSG_MAP(BrowsersPage)
        COMMAND_HANDLER(IDC_BROWSER_ADD, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_BROWSER_REMOVE, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_ADD_TODAYS_BROWSERS, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_NEVER_ADD, BN_CLICKED, OnButton)
        COMMAND_HANDLER(IDC_NEVER_REMOVE, BN_CLICKED, OnButton)
        MESSAGE_HANDLER(WM_VKEYTOITEM, OnVKeyToItem)
        MESSAGE_HANDLER(DM_GETDEFID, OnGetDefId)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter in an entry field adds what it holds to its list.
    void OnOK() override;
    void OnCancel() override {}

private:
    LRESULT OnButton(WORD, WORD id, HWND, bool&);
    LRESULT OnVKeyToItem(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    // No default button: Enter is the page's OK.
    LRESULT OnGetDefId(UINT, WPARAM, LPARAM, bool&) { return 0; }
    // The entry field's text into its list, and the field emptied.
    void AddFromEntry(int entry);
    void Show(int listBox, const NameList& list);
    void RemoveSelected(int listBox, NameList& list);

    Settings& settings;
};

} // namespace settings

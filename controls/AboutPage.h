// The About tab: banner, product line and version, and the maker's links.
#pragma once

#include "controls/HyperLinkLabel.h"
#include "controls/Picture.h"
#include "framework/Dialog.h"
#include "resources/resource.h"

namespace controls {

class AboutPage : public fw::Dialog {
public:
    AboutPage() : fw::Dialog(IDD_ABOUT) {}

    // The maker's addresses; the three are also the captions of their labels.
    static const char* const kWebSiteUrl;
    static const char* const kSupportUrl;
    static const char* const kHelpUrl;

    HyperLinkLabel supportLink;
    HyperLinkLabel webSiteLink;
    HyperLinkLabel helpLink;
    HyperLinkLabel advertLink;
    Picture banner{IDB_ABOUT_BANNER};

    BEGIN_MSG_MAP(AboutPage)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        CHAIN_MSG_MAP(fw::Dialog)
        // The labels' click commands and any other: nothing to do, the labels open their links.
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Enter and Escape inside a page do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnCommand(UINT, WPARAM, LPARAM, bool&) { return 0; }
    LRESULT OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, bool& bHandled);
};

} // namespace controls

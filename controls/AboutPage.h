// The About tab: banner, product line and version, and the maker's links.
#pragma once

#include "framework/Dialog.h"
#include "resources/resource.h"

class AboutPage : public fw::CDialog {
public:
    AboutPage() : fw::CDialog(IDD_ABOUT) {}

    BEGIN_MSG_MAP(AboutPage)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    // Enter and Escape inside a page do nothing.
    void OnOK() override {}
    void OnCancel() override {}
};

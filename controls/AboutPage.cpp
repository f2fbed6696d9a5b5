#include "controls/AboutPage.h"

#include "framework/DataExchange.h"

namespace controls {

const char* const AboutPage::kWebSiteUrl = "http://www.draxtel.example/velmora/";
const char* const AboutPage::kSupportUrl = "http://www.draxtel.example/support/";
const char* const AboutPage::kHelpUrl = "http://www.draxtel.example/help/velmora/";

void AboutPage::DoDataExchange(fw::DataExchange& dx) {
    dx.Control(IDC_SUPPORT_LINK, supportLink);
    dx.Control(IDC_WEBSITE_LINK, webSiteLink);
    dx.Control(IDC_HELP_LINK, helpLink);
    dx.Control(IDC_ADVERT_LINK, advertLink);
    dx.Control(IDC_ABOUT_BANNER, banner);
}

bool AboutPage::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // Null where the system has no hand cursor: the labels then keep the arrow.
    HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    struct Link {
        HyperLinkLabel& label;
        const char* url;
    };
    const Link links[] = {
        {supportLink, kSupportUrl}, {webSiteLink, kWebSiteUrl}, {helpLink, kHelpUrl}};
    for (const Link& link : links) {
        link.label.SetUrlLink(true, false)
            .SetTextColour(RGB(0, 0, 255))
            .SetBold(true)
            .SetPointerCursor(hand)
            .SetLinkUrl(link.url);
    }
    advertLink.SetUrlLink(true, false)
        .SetTextColour(RGB(255, 0, 0))
        .SetPointerCursor(hand)
        .SetLinkUrl(kWebSiteUrl);
    return true;
}

LRESULT AboutPage::OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, bool& bHandled) {
    // The banner keeps its place in the white strip at any dialog-unit size:
    // its picture is centred and the rest of its control is white, so no
    // strip of page colour opens beside it when the dialog font runs wider.
    if (reinterpret_cast<HWND>(lParam) != GetDlgItem(IDC_ABOUT_BANNER)) {
        bHandled = false;
        return 0;
    }
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

} // namespace controls

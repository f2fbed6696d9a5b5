// The About page from its real template: its four link labels and what a
// click on each opens.
#include <gtest/gtest.h>

#include "controls/AboutPage.h"
#include "tests/win/ControlsHost.h"

using wintest::HostWindow;
using wintest::RecordedShell;

namespace {

struct AboutPageTest : ::testing::Test {
    HostWindow host{500, 400};
    AboutPage page;

    void SetUp() override {
        ASSERT_TRUE(page.Create(host.m_hWnd));
        ::ShowWindow(page.m_hWnd, SW_SHOW);
        wintest::Pump();
    }
    HyperLinkLabel* Label(int id) {
        return static_cast<HyperLinkLabel*>(fw::CWindow::FromHandle(page.GetDlgItem(id)));
    }
};

} // namespace

TEST_F(AboutPageTest, FourLabelsAreBoundAndConfigured) {
    struct Expected {
        int id;
        HyperLinkLabel* object;
        COLORREF colour;
        bool bold;
        const char* url;
    };
    const Expected expected[] = {
        {IDC_SUPPORT_LINK, &page.supportLink, RGB(0, 0, 255), true, AboutPage::kSupportUrl},
        {IDC_WEBSITE_LINK, &page.webSiteLink, RGB(0, 0, 255), true, AboutPage::kWebSiteUrl},
        {IDC_HELP_LINK, &page.helpLink, RGB(0, 0, 255), true, AboutPage::kHelpUrl},
        {IDC_ADVERT_LINK, &page.advertLink, RGB(255, 0, 0), false, AboutPage::kWebSiteUrl},
    };
    HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.id);
        ASSERT_EQ(e.object, Label(e.id)) << "the member subclasses the template's control";
        EXPECT_EQ(e.colour, e.object->TextColour());
        if (e.bold)
            EXPECT_EQ(FW_BOLD, e.object->FontRecord().lfWeight);
        else
            EXPECT_LT(e.object->FontRecord().lfWeight, FW_BOLD) << "the dialog font's own weight";
        EXPECT_EQ(e.url, e.object->LinkUrl());
        EXPECT_EQ(controls::LinkMode::Url, e.object->GetLinkMode());
        EXPECT_FALSE(e.object->NotifiesParent());
        EXPECT_EQ(hand, e.object->PointerCursor());
        EXPECT_FALSE(e.object->HasCustomBrush()) << "the default background";
        EXPECT_EQ(0, e.object->FontRecord().lfUnderline);
        EXPECT_TRUE(::GetWindowLongA(e.object->m_hWnd, GWL_STYLE) & SS_NOTIFY);
    }
    // The three address labels show their own address.
    EXPECT_EQ(AboutPage::kSupportUrl, page.supportLink.GetWindowText());
    EXPECT_EQ(AboutPage::kWebSiteUrl, page.webSiteLink.GetWindowText());
    EXPECT_EQ(AboutPage::kHelpUrl, page.helpLink.GetWindowText());
}

TEST_F(AboutPageTest, ClickingALinkOpensItsAddressNotItsCaption) {
    RecordedShell shell;
    for (int id : {IDC_SUPPORT_LINK, IDC_WEBSITE_LINK, IDC_HELP_LINK, IDC_ADVERT_LINK})
        ::SendMessageA(page.GetDlgItem(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(4u, shell.Requests().size());
    EXPECT_EQ(AboutPage::kSupportUrl, shell.Requests()[0].file);
    EXPECT_EQ(AboutPage::kWebSiteUrl, shell.Requests()[1].file);
    EXPECT_EQ(AboutPage::kHelpUrl, shell.Requests()[2].file);
    EXPECT_EQ(AboutPage::kWebSiteUrl, shell.Requests()[3].file)
        << "the advertisement opens the web site";
    for (const auto& request : shell.Requests())
        EXPECT_EQ("open", request.verb);
}

TEST_F(AboutPageTest, EnterEscapeAndLabelCommandsChangeNothing) {
    ::SendMessageA(page.m_hWnd, WM_COMMAND, IDOK, 0);
    ::SendMessageA(page.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    ::SendMessageA(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_HELP_LINK, STN_CLICKED),
                   reinterpret_cast<LPARAM>(page.GetDlgItem(IDC_HELP_LINK)));
    wintest::Pump();
    EXPECT_TRUE(::IsWindow(page.m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(page.m_hWnd));
    EXPECT_TRUE(host.commands.empty()) << "nothing reaches the page's parent";
}

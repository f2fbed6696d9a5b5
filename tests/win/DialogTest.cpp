// The framework with real dialogs: the Options page editing the settings
// value and the data exchange's failure rules there, exceptions in
// handlers, the life of window objects, and the layout at a DPI.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/BanHotkey.h"
#include "settings/OptionsPage.h"
#include "tests/win/Support.h"

using wintest::MessageBoxWatcher;

namespace {

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page.Create(host.m_hWnd));
        // Hiding the page here is the end of a test, not a change of tab.
        page.StopApplyingOnHide();
        ::ShowWindow(page.m_hWnd, SW_SHOW);
        value.Delay = 250;
        value.Sessions = 3;
        page.ShowSettings();
        // As By Window Size and By Session leave them: a disabled field cannot take the focus.
        for (int id : {IDC_HEIGHT, IDC_WIDTH, IDC_SESSIONS})
            ::EnableWindow(Item(id), TRUE);
    }
    HWND Item(int id) const { return page.GetDlgItem(id); }
    void Type(int id, const char* text) const { ::SetWindowTextA(Item(id), text); }
    void Check(int id, bool on) const { ::SendMessageA(Item(id), BM_SETCHECK, on, 0); }

    wintest::HostWindow host;
    settings::Settings value;
    settings::OptionsPage page{value, engine::BanHotkeyKeyProblem};
};

} // namespace

TEST_F(Exchange, AFailedReadKeepsEarlierFieldsNewAndTheFailingOneAndLaterOldQuietlyOrNot) {
    EXPECT_EQ(1, ::SendMessageA(Item(IDC_HOTKEY), EM_GETLIMITTEXT, 0, 0)) << "the key's limit";
    Type(IDC_HEIGHT, "123");
    Check(IDC_BY_NAME, false);
    Type(IDC_HOTKEY, "q");
    Type(IDC_DELAY, "x1");
    Type(IDC_SESSIONS, "9");
    Check(IDC_BY_SESSION, true);
    {
        MessageBoxWatcher watcher;
        EXPECT_FALSE(page.ReadControls());
        EXPECT_EQ(std::vector<std::string>{"Please enter a positive integer."}, watcher.Texts());
    }
    EXPECT_EQ(123, value.Height);
    EXPECT_EQ(0, value.ByName);
    EXPECT_EQ("q", value.Key);
    EXPECT_EQ(250u, value.Delay) << "the failing field keeps its value";
    EXPECT_EQ(3, value.Sessions) << "later fields are not read";
    EXPECT_EQ(0, value.BySess);
    EXPECT_EQ(Item(IDC_DELAY), ::GetFocus());
    EXPECT_EQ(MAKELONG(0, 2), ::SendMessageA(Item(IDC_DELAY), EM_GETSEL, 0, 0)) << "text selected";

    ::SetFocus(Item(IDC_BY_NAME));
    MessageBoxWatcher watcher;
    EXPECT_FALSE(page.ReadControls(true));
    EXPECT_EQ(Item(IDC_BY_NAME), ::GetFocus()) << "a quiet read moves no focus";
    // Corrected, the same read goes through to the end.
    Type(IDC_DELAY, "  40ms");
    EXPECT_TRUE(page.ReadControls());
    EXPECT_TRUE(watcher.Texts().empty()) << "and shows no message";
    EXPECT_EQ(40u, value.Delay) << "blanks before the number skipped, text after it ignored";
    EXPECT_EQ(9, value.Sessions);
    EXPECT_EQ(1, value.BySess);
}

TEST_F(Exchange, EachFieldHasItsOwnMessageAndTakesTheFocus) {
    const struct {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {IDC_HEIGHT, "", "Please enter an integer."},
        {IDC_WIDTH, "abc", "Please enter an integer."},
        {IDC_HOTKEY, "ab", "Please enter no more than 1 characters."},
        {IDC_DELAY, "", "Please enter a positive integer."},
        {IDC_DELAY, "-1", "Please enter a positive integer."},
        {IDC_SESSIONS, "+", "Please enter an integer."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        page.ShowSettings();
        Type(c.id, c.text);
        MessageBoxWatcher watcher;
        EXPECT_FALSE(page.ReadControls());
        EXPECT_EQ(std::vector<std::string>{c.message}, watcher.Texts());
        EXPECT_EQ(Item(c.id), ::GetFocus());
    }
    EXPECT_EQ(250u, value.Delay) << "-1 must not wrap round to 4294967295";
}

// Typing commits at once, quietly; a field that does not read says so each
// time a window comes to be judged, one box at a time, until it reads.
TEST_F(Exchange, EachChangeActsAtOnceAndAFieldThatDoesNotReadSaysSoBeforeEachJudgment) {
    MessageBoxWatcher watcher;
    Type(IDC_WIDTH, "640");
    EXPECT_EQ(640, value.Width);
    page.ShowPendingProblem();
    Type(IDC_DELAY, "");
    Type(IDC_SESSIONS, "7");
    EXPECT_EQ(250u, value.Delay);
    EXPECT_EQ(3, value.Sessions) << "behind the field that does not read";
    EXPECT_TRUE(watcher.Texts().empty()) << "typing shows no message";
    page.ShowPendingProblem();
    page.ShowPendingProblem();
    EXPECT_EQ(2u, watcher.Texts().size()) << "once for each window judged";
    EXPECT_EQ(Item(IDC_DELAY), ::GetFocus());
    Type(IDC_DELAY, "5");
    page.ShowPendingProblem();
    EXPECT_EQ(2u, watcher.Texts().size()) << "read now";
    EXPECT_EQ(5u, value.Delay);
    EXPECT_EQ(7, value.Sessions);
}

// The controls set from the value tell the page of changes, which must not
// read the controls not yet set back into the value.
TEST_F(Exchange, ShowingTheValueLeavesItAsItIs) {
    value.ByName = 0;
    page.ShowSettings();
    value.ByName = 1;
    value.Height = 5;
    value.Key = "k";
    page.ShowSettings();
    EXPECT_EQ(1, value.ByName);
    EXPECT_EQ(5, value.Height);
    EXPECT_EQ("k", value.Key);
    EXPECT_EQ(BST_CHECKED, ::SendMessageA(Item(IDC_BY_NAME), BM_GETCHECK, 0, 0));
}

namespace {

class ThrowingDialog : public fw::Dialog {
public:
    ThrowingDialog() : fw::Dialog(IDD_OPTIONS) {}
    fw::Window box;
    BEGIN_MSG_MAP(ThrowingDialog)
        MESSAGE_HANDLER(WM_APP, OnThrow)
        CHAIN_MSG_MAP(fw::Dialog)
    END_MSG_MAP()

protected:
    void DoDataExchange(fw::DataExchange& dx) override { dx.Control(IDC_BY_NAME, box); }

private:
    LRESULT OnThrow(UINT, WPARAM, LPARAM, bool&) { throw std::runtime_error("handler failed"); }
};

} // namespace

// Reflection is seen at work in the image button's click.
TEST(Framework, ExceptionsStopInTheProcedureAndObjectsAndWindowsLetGoOfEachOther) {
    wintest::HostWindow host;
    HWND dialogWindow = nullptr;
    {
        ThrowingDialog dialog;
        ASSERT_TRUE(dialog.Create(host.m_hWnd));
        HWND box = dialog.GetDlgItem(IDC_BY_NAME);
        ASSERT_EQ(&dialog.box, fw::Window::FromHandle(box));
        EXPECT_EQ(0, dialog.SendMessage(WM_APP)) << "an exception does not reach the system";
        ::DestroyWindow(dialog.m_hWnd);
        EXPECT_EQ(nullptr, dialog.m_hWnd) << "cleared at WM_NCDESTROY";
        EXPECT_EQ(nullptr, dialog.box.m_hWnd);
        ThrowingDialog second;
        ASSERT_TRUE(second.Create(host.m_hWnd));
        dialogWindow = second.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(dialogWindow)) << "an object takes its window with it";
}

namespace {
std::vector<RECT> ControlPlaces(HWND dialog) {
    std::vector<RECT> places;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        places.push_back(r);
    }
    return places;
}
LONG FontHeight(HWND window) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    return font.lfHeight;
}
} // namespace

// The update window as it opens over a main window at 200 %, then moved
// to a monitor at 100 %.
TEST(DialogLayout, AnOwnedDialogOpensAtItsOwnersScaleInProportionAndAMoveLaysItOutAgain) {
    wintest::HostWindow host;
    fw::Dialog plain(IDD_UPDATE), scaled(IDD_UPDATE);
    ASSERT_TRUE(plain.Create(host.m_hWnd));
    fw::RecordWindowDpi(host.m_hWnd, 192);
    ASSERT_TRUE(scaled.Create(host.m_hWnd));
    fw::ForgetWindowDpi(host.m_hWnd);
    std::vector<RECT> at96 = ControlPlaces(plain.m_hWnd), at192 = ControlPlaces(scaled.m_hWnd);
    ASSERT_EQ(4u, at96.size());
    ASSERT_EQ(at96.size(), at192.size());
    for (size_t i = 0; i < at96.size(); ++i)
        EXPECT_TRUE(at192[i].left == 2 * at96[i].left && at192[i].top == 2 * at96[i].top &&
                    at192[i].right == 2 * at96[i].right && at192[i].bottom == 2 * at96[i].bottom)
            << "control " << i;
    RECT client96{}, client192{};
    ::GetClientRect(plain.m_hWnd, &client96);
    ::GetClientRect(scaled.m_hWnd, &client192);
    EXPECT_EQ(2 * client96.right, client192.right);
    EXPECT_EQ(2 * client96.bottom, client192.bottom);
    HWND cancel = scaled.GetDlgItem(IDCANCEL);
    EXPECT_EQ(-21, FontHeight(cancel)) << "8 points at 192 DPI";

    RECT suggested{};
    ::GetWindowRect(plain.m_hWnd, &suggested);
    ::SendMessageA(scaled.m_hWnd, fw::kDpiChanged, MAKEWPARAM(96, 96),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    ::GetWindowRect(scaled.m_hWnd, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested));
    std::vector<RECT> back = ControlPlaces(scaled.m_hWnd);
    for (size_t i = 0; i < at96.size(); ++i)
        EXPECT_TRUE(::EqualRect(&back[i], &at96[i])) << "control " << i;
    EXPECT_EQ(FontHeight(plain.GetDlgItem(IDCANCEL)), FontHeight(cancel));
    // A DPI no display has changes nothing.
    ::SendMessageA(scaled.m_hWnd, fw::kDpiChanged, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(96u, scaled.LayoutDpi());
}

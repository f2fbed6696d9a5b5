// The window framework with real windows: data exchange and its failure
// rules, reflection of notifications to the control's own object, and the
// life of subclassed and created windows.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Handle.h"
#include "resources/resource.h"
#include "tests/win/MessageBoxWatcher.h"

namespace {

// A top-level host for child-dialog templates.
class Host {
public:
    Host() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelmoraFrameworkHost";
        ::RegisterClassA(&wc);
        hwnd_.Reset(::CreateWindowExA(0, "VelmoraFrameworkHost", "host",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                      nullptr, wc.hInstance, nullptr));
    }
    HWND Get() const { return hwnd_.Get(); }

private:
    fw::UniqueWindow hwnd_;
};

// Four fields of the options template, in a known order.
class ExchangeDialog : public fw::CDialog {
public:
    ExchangeDialog() : fw::CDialog(IDD_OPTIONS) {}
    int32_t height = 11;
    std::string key = "k";
    uint32_t delay = 5;
    int32_t sessions = 2;

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        dx.Int(IDC_HEIGHT, height);
        dx.Text(IDC_HOTKEY, key, 1);
        dx.UInt(IDC_DELAY, delay);
        dx.Int(IDC_SESSIONS, sessions);
    }
};

std::string Text(HWND dialog, int id) {
    char buffer[256] = {};
    ::GetDlgItemTextA(dialog, id, buffer, sizeof(buffer));
    return buffer;
}

class DataExchangeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create(host.Get()));
        ::ShowWindow(dialog.m_hWnd, SW_SHOW);
        // Disabled in the template until their rules are on.
        ::EnableWindow(dialog.GetDlgItem(IDC_HEIGHT), TRUE);
        ::EnableWindow(dialog.GetDlgItem(IDC_SESSIONS), TRUE);
    }
    void Type(int id, const char* text) { ::SetDlgItemTextA(dialog.m_hWnd, id, text); }

    Host host;
    ExchangeDialog dialog;
};

} // namespace

TEST_F(DataExchangeTest, WriteShowsTheFieldsAndReadParsesThemBack) {
    EXPECT_EQ("11", Text(dialog.m_hWnd, IDC_HEIGHT));
    EXPECT_EQ("k", Text(dialog.m_hWnd, IDC_HOTKEY));
    EXPECT_EQ(1, ::SendMessageA(dialog.GetDlgItem(IDC_HOTKEY), EM_GETLIMITTEXT, 0, 0));
    Type(IDC_HEIGHT, " -40px");
    Type(IDC_DELAY, "+250");
    Type(IDC_SESSIONS, "3");
    MessageBoxWatcher watcher;
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_TRUE(watcher.Texts().empty());
    EXPECT_EQ(-40, dialog.height);
    EXPECT_EQ(250u, dialog.delay);
    EXPECT_EQ(3, dialog.sessions);
}

TEST_F(DataExchangeTest, AFailureStopsTheExchangeAtTheFailingField) {
    Type(IDC_HEIGHT, "99");
    Type(IDC_DELAY, "");
    Type(IDC_SESSIONS, "7");
    MessageBoxWatcher watcher;
    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_EQ(1u, watcher.Texts().size());
    EXPECT_EQ("Please enter a positive integer.", watcher.Texts()[0]);
    EXPECT_EQ(99, dialog.height) << "an earlier field keeps its new value";
    EXPECT_EQ(5u, dialog.delay) << "the failing field keeps its old value";
    EXPECT_EQ(2, dialog.sessions) << "a later field keeps its old value";
    EXPECT_EQ(dialog.GetDlgItem(IDC_DELAY), ::GetFocus());
}

TEST_F(DataExchangeTest, TheFailingFieldGetsTheFocusWithItsTextSelected) {
    Type(IDC_HEIGHT, "tall");
    MessageBoxWatcher watcher;
    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_EQ(1u, watcher.Texts().size());
    EXPECT_EQ("Please enter an integer.", watcher.Texts()[0]);
    HWND field = dialog.GetDlgItem(IDC_HEIGHT);
    EXPECT_EQ(field, ::GetFocus());
    DWORD start = 0, end = 0;
    ::SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(4u, end);
}

TEST_F(DataExchangeTest, TooManyCharactersAndNegativeUnsignedFail) {
    // The edit's own limit stops typing, not pasting by message.
    ::SendMessageA(dialog.GetDlgItem(IDC_HOTKEY), EM_LIMITTEXT, 0, 0);
    Type(IDC_HOTKEY, "ab");
    MessageBoxWatcher watcher;
    EXPECT_FALSE(dialog.UpdateData(true));
    Type(IDC_HOTKEY, "b");
    Type(IDC_DELAY, "-1");
    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_EQ(2u, watcher.Texts().size());
    EXPECT_EQ("Please enter no more than 1 characters.", watcher.Texts()[0]);
    EXPECT_EQ("Please enter a positive integer.", watcher.Texts()[1]);
    EXPECT_EQ("b", dialog.key);
    EXPECT_EQ(5u, dialog.delay) << "-1 must not wrap round to 4294967295";
}

TEST_F(DataExchangeTest, AQuietReadFailsWithoutAMessage) {
    Type(IDC_HEIGHT, "");
    MessageBoxWatcher watcher;
    EXPECT_FALSE(dialog.UpdateData(true, true));
    EXPECT_TRUE(watcher.Texts().empty());
    EXPECT_EQ(11, dialog.height);
}

namespace {

std::vector<std::string> g_clicks;

// A check box that sees its own click first and lets the parent's run after.
class ReflectedButton : public fw::CWindow {
public:
    bool consume = false;
    BEGIN_MSG_MAP(ReflectedButton)
        REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnClicked)
    END_MSG_MAP()

private:
    LRESULT OnClicked(WORD, WORD, HWND, bool& bHandled) {
        g_clicks.push_back("button");
        bHandled = consume;
        return 0;
    }
};

class ClickDialog : public fw::CDialog {
public:
    ClickDialog() : fw::CDialog(IDD_OPTIONS) {}
    ReflectedButton button;
    BEGIN_MSG_MAP(ClickDialog)
        COMMAND_HANDLER(IDC_BY_NAME, BN_CLICKED, OnClicked)
        MESSAGE_HANDLER(WM_APP, OnThrow)
        CHAIN_MSG_MAP(fw::CDialog)
    END_MSG_MAP()

protected:
    void DoDataExchange(fw::DataExchange& dx) override { dx.Control(IDC_BY_NAME, button); }

private:
    LRESULT OnClicked(WORD, WORD, HWND, bool&) {
        g_clicks.push_back("dialog");
        return 0;
    }
    LRESULT OnThrow(UINT, WPARAM, LPARAM, bool&) { throw std::runtime_error("handler failed"); }
};

} // namespace

TEST(Reflection, TheControlSeesItsNotificationBeforeTheParent) {
    Host host;
    ClickDialog dialog;
    ASSERT_TRUE(dialog.Create(host.Get()));
    ASSERT_EQ(&dialog.button, fw::CWindow::FromHandle(dialog.GetDlgItem(IDC_BY_NAME)));
    g_clicks.clear();
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BY_NAME, BN_CLICKED),
                   reinterpret_cast<LPARAM>(dialog.button.m_hWnd));
    EXPECT_EQ((std::vector<std::string>{"button", "dialog"}), g_clicks);

    dialog.button.consume = true;
    g_clicks.clear();
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BY_NAME, BN_CLICKED),
                   reinterpret_cast<LPARAM>(dialog.button.m_hWnd));
    EXPECT_EQ((std::vector<std::string>{"button"}), g_clicks) << "a consumed notification stops";
}

TEST(Reflection, AnExceptionInAHandlerDoesNotReachTheSystem) {
    Host host;
    ClickDialog dialog;
    ASSERT_TRUE(dialog.Create(host.Get()));
    EXPECT_EQ(0, ::SendMessageA(dialog.m_hWnd, WM_APP, 0, 0));
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
}

TEST(WindowLife, ObjectsLetGoOfDestroyedWindowsAndWindowsOfDestroyedObjects) {
    Host host;
    HWND button = nullptr;
    {
        ClickDialog dialog;
        ASSERT_TRUE(dialog.Create(host.Get()));
        button = dialog.GetDlgItem(IDC_BY_NAME);
        ASSERT_TRUE(dialog.button.m_hWnd);
        ::DestroyWindow(dialog.m_hWnd);
        EXPECT_EQ(nullptr, dialog.m_hWnd) << "cleared at WM_NCDESTROY";
        EXPECT_EQ(nullptr, dialog.button.m_hWnd);
        EXPECT_FALSE(::IsWindow(button));
    }
    HWND dialogWindow = nullptr;
    {
        ClickDialog dialog;
        ASSERT_TRUE(dialog.Create(host.Get()));
        dialogWindow = dialog.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(dialogWindow)) << "an object takes its window with it";
}

#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/StartupTrace.h"

namespace fw {

namespace {
bool ReturnsResultDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}
} // namespace

bool Dialog::Create(HWND parent) {
    if (m_hWnd)
        return false;
    dialogProcedure = StaticDlgProc;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                     parent, StaticDlgProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

INT_PTR Dialog::DoModal(HWND parent) {
    continueModal = true;
    modalResult = -1;
    if (!Create(parent))
        return -1;
    if (parent)
        ::EnableWindow(parent, FALSE);
    if (continueModal && visibleOnStart && !(GetStyle() & WS_VISIBLE)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        fw::MarkStartup("shown");
        ::UpdateWindow(m_hWnd);
        fw::MarkStartup("first paint");
    }
    RunModalLoop();
    if (parent) {
        ::EnableWindow(parent, TRUE);
        ::SetActiveWindow(parent);
    }
    DestroyWindow();
    return modalResult;
}

void Dialog::RunModalLoop() {
    MSG msg;
    fw::MarkStartup("message loop");
    while (continueModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for whoever runs the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!PreTranslateChain(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

bool Dialog::PreTranslateChain(MSG* msg) {
    // Only input is translated. Finding a window's object asks comctl32 for
    // its subclass, a window property: one call to the Wine server for each
    // window on the way up, which every report and timer would pay.
    bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                 (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) ||
                 (msg->message >= WM_NCMOUSEMOVE && msg->message <= WM_NCXBUTTONDBLCLK);
    if (!input)
        return false;
    // From the target up to this dialog: controls first, then their pages.
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        Window* obj = FromHandle(hwnd);
        if (obj && obj->PreTranslateMessage(msg))
            return true;
        if (hwnd == m_hWnd)
            break;
    }
    return false;
}

void Dialog::EndDialog(INT_PTR result) {
    modalResult = result;
    continueModal = false;
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

bool Dialog::UpdateData(bool read, bool quiet) {
    DataExchange dx(m_hWnd, read, quiet);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::PreTranslateMessage(MSG* msg) {
    bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                 (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!input || !m_hWnd)
        return false;
    return ::IsDialogMessageA(m_hWnd, msg) != FALSE;
}

LRESULT Dialog::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A list box's key query: -1 asks the list box to do its own handling.
    if (msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM)
        return -1;
    UINT savedMsg = defaultingMsg;
    defaultingMsg = msg;
    ++defaultingDepth;
    LRESULT result = ::DefDlgProcA(m_hWnd, msg, wParam, lParam);
    --defaultingDepth;
    defaultingMsg = savedMsg;
    return result;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT Dialog::OnInitDialogMessage(UINT, WPARAM, LPARAM, bool&) {
    fw::MarkStartup("dialog and its controls made");
    // Laid out for its DPI before anything of it is sized from its controls.
    layout.Capture(m_hWnd, templateId);
    fw::MarkStartup("dialog laid out");
    return OnInitDialog() ? TRUE : FALSE;
}

bool Dialog::TakeDpiChange(WPARAM wParam, LPARAM lParam) {
    UINT dpi = LOWORD(wParam);
    if (!IsUsableDpi(dpi))
        return false;
    RecordWindowDpi(m_hWnd, dpi);
    // The system's rectangle keeps the window on the monitor it moved to.
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested && suggested->right > suggested->left && suggested->bottom > suggested->top)
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    layout.Apply(m_hWnd, dpi);
    TellDescendantsDpiChanged(m_hWnd);
    return true;
}

LRESULT Dialog::OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    TakeDpiChange(wParam, lParam);
    return 0;
}

LRESULT Dialog::OnDpiChangedAfterParent(UINT, WPARAM, LPARAM, bool&) {
    layout.Apply(m_hWnd, WindowDpi(m_hWnd));
    return 0;
}

LRESULT Dialog::OnOkCommand(WORD, WORD, HWND, bool&) {
    OnOK();
    return 0;
}

LRESULT Dialog::OnCancelCommand(WORD, WORD, HWND, bool&) {
    OnCancel();
    return 0;
}

INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (self) {
            self->m_hWnd = hwnd;
            self->kind = Kind::Dialog;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self || self->m_hWnd != hwnd)
        return FALSE;
    if (self->defaultingDepth > 0 && msg == self->defaultingMsg)
        return FALSE;

    LRESULT result = 0;
    bool handled = false;
    // A C++ exception must never unwind through user32.
    try {
        handled = self->ReflectNotification(msg, wParam, lParam, result) ||
                  self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
    } catch (...) {
        handled = false;
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        ForgetWindowDpi(hwnd);
        self->Detach();
        self->OnFinalMessage(hwnd);
        return FALSE;
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(msg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace fw

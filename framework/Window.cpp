#include "framework/Window.h"

#include <commctrl.h>

namespace fw {

namespace {
constexpr UINT_PTR kSubclassId = 1;
HWND g_mainWindow = nullptr;

// Debian's 64-bit MinGW import library lacks GetWindowSubclass, although
// every comctl32 that has SetWindowSubclass exports it (ordinal 411), so it
// is looked up where the other three come from.
using GetWindowSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
BOOL LookUpSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* ref) {
    static const GetWindowSubclassFn getWindowSubclass = [] {
        HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
        FARPROC fn = comctl ? ::GetProcAddress(comctl, "GetWindowSubclass") : nullptr;
        if (!fn && comctl)
            fn = ::GetProcAddress(comctl, MAKEINTRESOURCEA(411));
        return reinterpret_cast<GetWindowSubclassFn>(reinterpret_cast<void*>(fn));
    }();
    return getWindowSubclass ? getWindowSubclass(hwnd, proc, id, ref) : FALSE;
}
} // namespace

HWND GetMainWindow() {
    return g_mainWindow;
}
void SetMainWindow(HWND hwnd) {
    g_mainWindow = hwnd;
}

std::string GetAppName() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n < MAX_PATH ? n : 0);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

namespace {
std::string g_appTitle;
} // namespace

void SetAppTitle(const std::string& title) {
    g_appTitle = title;
}
std::string GetAppTitle() {
    return g_appTitle.empty() ? GetAppName() : g_appTitle;
}

Window::~Window() {
    // A window must not outlive its object: its procedure would reach freed memory.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        if (kind == Kind::Subclassed)
            UnsubclassWindow();
        else
            ::DestroyWindow(m_hWnd);
    }
}

DLGPROC Window::dialogProcedure = nullptr;

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    DWORD_PTR ref = 0;
    if (LookUpSubclass(hwnd, StaticSubclassProc, kSubclassId, &ref))
        return reinterpret_cast<Window*>(ref);
    bool created =
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(StaticWndProc);
    bool dialog = dialogProcedure && ::GetWindowLongPtrA(hwnd, DWLP_DLGPROC) ==
                                         reinterpret_cast<LONG_PTR>(dialogProcedure);
    if (created || dialog)
        return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return nullptr;
}

bool Window::RegisterPrivateClass(const char* className) {
    WNDCLASSA wc{};
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoA(inst, className, &wc))
        return true;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}

HWND Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                      int y, int cx, int cy, HWND parent, HMENU menu) {
    if (m_hWnd)
        return nullptr;
    return ::CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, menu,
                             ::GetModuleHandleA(nullptr), this);
}

bool Window::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

bool Window::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd)
        return false;
    if (!::SetWindowSubclass(hwnd, StaticSubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = hwnd;
    kind = Kind::Subclassed;
    OnSubclassed();
    return true;
}

void Window::UnsubclassWindow() {
    if (kind != Kind::Subclassed || !m_hWnd)
        return;
    ::RemoveWindowSubclass(m_hWnd, StaticSubclassProc, kSubclassId);
    Detach();
}

void Window::Detach() {
    m_hWnd = nullptr;
    kind = Kind::None;
}

bool Window::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool Window::PreTranslateMessage(MSG*) {
    return false;
}

LRESULT Window::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (kind) {
    case Kind::Created:
        return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
    case Kind::Subclassed:
        return ::DefSubclassProc(m_hWnd, msg, wParam, lParam);
    default:
        return 0;
    }
}

std::string WindowText(HWND hwnd) {
    int len = ::GetWindowTextLengthA(hwnd);
    if (len <= 0)
        return std::string();
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = ::GetWindowTextA(hwnd, &text[0], len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool Window::ReflectNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            child = item->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID));
        break;
    }
    default:
        return false;
    }
    if (!child || child == m_hWnd)
        return false;
    Window* obj = FromHandle(child);
    if (!obj || obj == this)
        return false;
    return obj->ProcessWindowMessage(child, OCM__BASE + msg, wParam, lParam, lResult);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A C++ exception must never unwind through user32.
    try {
        LRESULT result = 0;
        if (ReflectNotification(msg, wParam, lParam, result))
            return result;
        if (ProcessWindowMessage(m_hWnd, msg, wParam, lParam, result))
            return result;
        return DefWindowProc(msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->m_hWnd = hwnd;
            self->kind = Kind::Created;
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    LRESULT result = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->Detach();
        self->OnFinalMessage(hwnd);
    }
    return result;
}

LRESULT CALLBACK Window::StaticSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<Window*>(ref);
    if (!self || self->m_hWnd != hwnd)
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    LRESULT result = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, StaticSubclassProc, kSubclassId);
        self->Detach();
        self->OnFinalMessage(hwnd);
    }
    return result;
}

} // namespace fw

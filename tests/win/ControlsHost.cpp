#include "tests/win/ControlsHost.h"

#include "framework/Handle.h"

namespace wintest {

int GdiObjectCount() {
    int count = 0;
    for (UINT_PTR slot = 1; slot < 0x10000; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)))
            ++count;
    }
    return count;
}

void Pump(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (milliseconds)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

COLORREF PixelAt(HWND window, int x, int y) {
    ::UpdateWindow(window);
    fw::WindowDc dc(window);
    return ::GetPixel(dc.Get(), x, y);
}

int CountPixels(HWND window, const std::function<bool(COLORREF)>& test) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    return CountPixels(window, rc, test);
}

int CountPixels(HWND window, const RECT& area, const std::function<bool(COLORREF)>& test) {
    ::UpdateWindow(window);
    fw::WindowDc dc(window);
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(::GetPixel(dc.Get(), x, y)))
                ++n;
    return n;
}

HostWindow::HostWindow(int width, int height, COLORREF backgroundColour)
    : background(backgroundColour), font_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))) {
    const char kClass[] = "VelmoraControlsTestHost";
    RegisterPrivateClass(kClass);
    CreateEx(0, kClass, "Controls test host", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, width,
             height, nullptr, nullptr);
    ::SetForegroundWindow(m_hWnd);
    Pump();
}

HostWindow::~HostWindow() {
    DestroyWindow();
}

HWND HostWindow::AddButton(int id, const char* caption, DWORD style, int x, int y, int w, int h) {
    HWND button = ::CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                    m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return button;
}

HWND HostWindow::AddStatic(int id, const char* text, DWORD style, int x, int y, int w, int h) {
    HWND label = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                   m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return label;
}

LRESULT HostWindow::OnCommand(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    Command command{HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)};
    commands.push_back(command);
    if (onCommand)
        onCommand(command);
    return 0;
}

LRESULT HostWindow::OnNotify(UINT, WPARAM, LPARAM lParam, bool&) {
    notifications.push_back(*reinterpret_cast<NMHDR*>(lParam));
    return 0;
}

LRESULT HostWindow::OnEraseBackground(UINT, WPARAM wParam, LPARAM, bool&) {
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    fw::UniqueBrush brush(::CreateSolidBrush(background));
    ::FillRect(reinterpret_cast<HDC>(wParam), &rc, brush.Get());
    return TRUE;
}

LRESULT HostWindow::OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    SendToDescendants(m_hWnd, msg, wParam, lParam);
    return 0;
}

namespace {
struct Forward {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
BOOL CALLBACK ForwardTo(HWND child, LPARAM lParam) {
    const auto* forward = reinterpret_cast<const Forward*>(lParam);
    ::SendMessageA(child, forward->msg, forward->wParam, forward->lParam);
    return TRUE;
}
void Record(const controls::ShellRequest& request) {
    RecordedShell::Requests().push_back(request);
}
} // namespace

void SendToDescendants(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
    Forward forward{msg, wParam, lParam};
    ::EnumChildWindows(parent, ForwardTo, reinterpret_cast<LPARAM>(&forward));
}

RecordedShell::RecordedShell() : previous_(controls::SetShellLauncher(Record)) {
    Requests().clear();
}

RecordedShell::~RecordedShell() {
    controls::SetShellLauncher(previous_);
}

std::vector<controls::ShellRequest>& RecordedShell::Requests() {
    static std::vector<controls::ShellRequest> requests;
    return requests;
}

} // namespace wintest

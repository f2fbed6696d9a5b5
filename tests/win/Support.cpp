#include "tests/win/Support.h"

namespace wintest {

void Settle() {
    // Two marks: what is handled before the first may post more, which the
    // second follows.
    const UINT mark = ::RegisterWindowMessageA("VelmoraTestSettle");
    for (int round = 0; round < 2; ++round) {
        ::PostThreadMessageA(::GetCurrentThreadId(), mark, round, 0);
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0 && !(msg.message == mark && !msg.hwnd)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

COLORREF PixelAt(HWND window, int x, int y) {
    ::UpdateWindow(window);
    fw::WindowDc dc(window);
    return ::GetPixel(dc.Get(), x, y);
}

int CountPixels(HWND window, const std::function<bool(COLORREF)>& test) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    ::UpdateWindow(window);
    fw::WindowDc dc(window);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += test(::GetPixel(dc.Get(), x, y)) ? 1 : 0;
    return n;
}

HostWindow::HostWindow() {
    RegisterPrivateClass("VelmoraTestHost");
    CreateEx(0, "VelmoraTestHost", "Test host", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, 600,
             500, nullptr, nullptr);
    ::SetForegroundWindow(m_hWnd);
    Settle();
}

HWND HostWindow::Add(const char* cls, int id, const char* text, DWORD style, int x, int y, int w,
                     int h) {
    HWND child = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
    return child;
}

bool HostWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_COMMAND)
        return false;
    if (onCommand)
        onCommand(LOWORD(wParam), HIWORD(wParam));
    result = 0;
    return true;
}

namespace {
MessageBoxWatcher* g_watcher = nullptr;
} // namespace

MessageBoxWatcher::MessageBoxWatcher()
    : hook(::SetWindowsHookExA(WH_CBT, OnCbt, nullptr, ::GetCurrentThreadId())) {
    g_watcher = this;
}

MessageBoxWatcher::~MessageBoxWatcher() {
    g_watcher = nullptr;
}

// A box is activated once it shows its text; its own loop takes the answer.
LRESULT CALLBACK MessageBoxWatcher::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[16] = {};
    if (code == HCBT_ACTIVATE && g_watcher && ::GetClassNameA(box, cls, sizeof(cls)) &&
        std::string(cls) == "#32770" && ::GetWindow(box, GW_OWNER) && box != g_watcher->answered) {
        g_watcher->answered = box;
        g_watcher->texts.push_back(e2e::MessageBoxText(box));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<controls::ShellRequest> RecordedShell::requests;

RecordedShell::RecordedShell()
    : previous(controls::SetShellLauncher(
          [](const controls::ShellRequest& request) { requests.push_back(request); })) {
    requests.clear();
}

RecordedShell::~RecordedShell() {
    controls::SetShellLauncher(previous);
}

} // namespace wintest

#include "tests/win/Support.h"

#include <cstdlib>

#include "hook/hook.h"

namespace wintest {

void Pump(DWORD ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (::GetTickCount() - start >= ms)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

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

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD start = ::GetTickCount(); !condition(); Pump(10)) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
    }
    return true;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
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
    Pump();
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

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (_stricmp(cls, "Static") == 0)
        *reinterpret_cast<std::string*>(lParam) += TextOf(hwnd);
    return TRUE;
}
} // namespace

MessageBoxWatcher::MessageBoxWatcher()
    : hook_(::SetWindowsHookExA(WH_CBT, OnCbt, nullptr, ::GetCurrentThreadId())) {
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
        std::string(cls) == "#32770" && ::GetWindow(box, GW_OWNER) && box != g_watcher->answered_) {
        g_watcher->answered_ = box;
        std::string text;
        ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
        g_watcher->texts_.push_back(text);
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

namespace {
const char kMadeClass[] = "VelmoraTestMade";

void RegisterMadeClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kMadeClass;
    ::RegisterClassA(&wc);
}

HWND MakeWindow(const std::string& title) {
    return ::CreateWindowExA(0, kMadeClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                             300, 200, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

// This test program again, with the arguments of one of its maker modes.
fw::UniqueKernelHandle StartSelf(const std::string& arguments) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return {};
    ::CloseHandle(pi.hThread);
    return fw::UniqueKernelHandle(pi.hProcess);
}
} // namespace

int RunWindowMaker(const char* prefix, int count, int holdMs) {
    RegisterMadeClass();
    for (int i = 0; i < count; ++i) {
        HWND hwnd = MakeWindow(std::string(prefix) + " " + std::to_string(i));
        Pump(static_cast<DWORD>(holdMs));
        ::DestroyWindow(hwnd);
    }
    return 0;
}

fw::UniqueKernelHandle StartWindowMaker(const std::string& prefix, int count, int holdMs) {
    return StartSelf("--window-maker \"" + prefix + "\" " + std::to_string(count) + " " +
                     std::to_string(holdMs));
}

int RunWaitingWindowMaker(const char* prefix, const char* ready, const char* go) {
    fw::UniqueKernelHandle readyEvent(::OpenEventA(EVENT_MODIFY_STATE, FALSE, ready));
    fw::UniqueKernelHandle goEvent(::OpenEventA(SYNCHRONIZE, FALSE, go));
    if (!readyEvent || !goEvent)
        return 1;
    RegisterMadeClass();
    HWND kept = MakeWindow(std::string(prefix) + " kept");
    Pump(100);
    ::SetEvent(readyEvent.Get());
    HANDLE wait = goEvent.Get();
    for (bool going = false; !going;) {
        going =
            ::MsgWaitForMultipleObjects(1, &wait, FALSE, 30000, QS_ALLINPUT) != WAIT_OBJECT_0 + 1;
        Pump();
    }
    ::DestroyWindow(kept);
    HWND next = MakeWindow(std::string(prefix) + " 0");
    Pump(100);
    ::DestroyWindow(next);
    return 0;
}

fw::UniqueKernelHandle StartWaitingWindowMaker(const std::string& prefix, const std::string& ready,
                                               const std::string& go) {
    return StartSelf("--window-maker-waiting \"" + prefix + "\" " + ready + " " + go);
}

int RunSecondWatcher(HWND target, const char* ready, const char* done) {
    fw::UniqueKernelHandle readyEvent(::OpenEventA(EVENT_MODIFY_STATE, FALSE, ready));
    fw::UniqueKernelHandle doneEvent(::OpenEventA(SYNCHRONIZE, FALSE, done));
    if (!readyEvent || !doneEvent)
        return 1;
    SetHook(target);
    SetEnable(1);
    ::SetEvent(readyEvent.Get());
    HANDLE wait = doneEvent.Get();
    while (::MsgWaitForMultipleObjects(1, &wait, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
    RemoveHook();
    return 0;
}

fw::UniqueKernelHandle StartSecondWatcher(HWND target, const std::string& ready,
                                          const std::string& done) {
    return StartSelf("--second-watcher " + std::to_string(reinterpret_cast<UINT_PTR>(target)) +
                     " " + ready + " " + done);
}

} // namespace wintest

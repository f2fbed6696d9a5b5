// The floor of the start-up benchmark: the least a Win32 program does to
// show one window and answer messages, built and started like Velmora.exe.
// Built a second time as the floor of a start hidden in the notification
// area: the window made and answering, never shown.
#include <windows.h>

namespace {
#ifdef VELMORA_MINIMAL_HIDDEN
const DWORD kShown = 0;
#else
const DWORD kShown = WS_VISIBLE;
#endif

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VelmoraBenchMinimalWindow";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(0, wc.lpszClassName, "Minimal Window",
                                    WS_OVERLAPPEDWINDOW | kShown, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                                    300, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

// The floor of the start-up benchmark: the least a Win32 program does to
// show one window and answer messages, built and started like Velmora.exe.
// Built a second time as the floor of a start hidden in the notification
// area: the window made and answering, never shown. Built again with the
// program's manifest and libraries (VELMORA_MINIMAL_LINKED), and with one
// line of text in the dialog font as well (VELMORA_MINIMAL_TEXT): each pair
// measures what Wine spends on that step alone.
#include <windows.h>

#ifdef VELMORA_MINIMAL_LINKED
#include <commctrl.h>
#endif

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
#ifdef VELMORA_MINIMAL_LINKED
    // What the program does with those libraries before its window.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key) == ERROR_SUCCESS)
        ::RegCloseKey(key);
#endif
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
#ifdef VELMORA_MINIMAL_TEXT
    // The dialog font of the program's templates, in a static control.
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    HFONT font = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, "MS Shell Dlg");
    HWND text = ::CreateWindowExA(0, "STATIC", "One line of text", WS_CHILD | WS_VISIBLE, 10, 10,
                                  300, 20, window, nullptr, instance, nullptr);
    ::SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // Measured, as a dialog measures its font, shown or not.
    HDC dc = ::GetDC(text);
    HGDIOBJ before = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, "One line of text", 16, &size);
    ::SelectObject(dc, before);
    ::ReleaseDC(text, dc);
    ::UpdateWindow(window);
#endif
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
#ifdef VELMORA_MINIMAL_TEXT
    ::DeleteObject(font);
#endif
    return 0;
}

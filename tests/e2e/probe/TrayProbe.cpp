#include "tests/e2e/probe/TrayProbe.h"

namespace {

probe::Report g_report __attribute__((section(".shared"), shared)) =
    {probe::kMagic, 0, 0, 0, 0, 0, 0, 0, 0, {}, {}, {}, 0};
HMODULE g_module = nullptr;

// Wine takes 16-bit handle values for the full handles of the calling
// process, so every object of the process can be found by trying each index.
LONG CountGdiObjects() {
    LONG n = 0;
    for (UINT_PTR h = 1; h < 0x10000; ++h) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(h)))
            ++n;
    }
    return n;
}

// USER handles run from 0x20 in steps of 2.
template <typename Test> LONG CountUserHandles(Test test) {
    LONG n = 0;
    for (UINT_PTR h = 0x20; h < 0x10000; h += 2) {
        if (test(reinterpret_cast<HANDLE>(h)))
            ++n;
    }
    return n;
}

bool IsIcon(HANDLE h) {
    ICONINFO info{};
    if (!::GetIconInfo(static_cast<HICON>(h), &info))
        return false;
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return true;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<LONG*>(count);
    return TRUE;
}

// A top-level window and all below it (EnumChildWindows goes all the way down).
BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
    ++*reinterpret_cast<LONG*>(count);
    ::EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
}

BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM found) {
    char name[16] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    if (::lstrcmpA(name, "#32768") == 0 && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CountObjects() {
    // GDI first: the icon test makes and deletes bitmaps.
    g_report.gdiObjects = CountGdiObjects();
    g_report.menus = CountUserHandles([](HANDLE h) { return ::IsMenu(static_cast<HMENU>(h)); });
    g_report.icons = CountUserHandles(IsIcon);
    LONG windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    g_report.windows = windows;
}

void ReadMenu() {
    g_report.menuFound = 0;
    g_report.itemCount = 0;
    HWND window = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&window));
    if (!window)
        return;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0));
    if (!::IsMenu(menu))
        return;
    g_report.menuFound = 1;
    int count = ::GetMenuItemCount(menu);
    g_report.itemCount = count;
    g_report.defaultPosition = static_cast<LONG>(::GetMenuDefaultItem(menu, TRUE, 0));
    for (int i = 0; i < count && i < static_cast<int>(probe::kMaxItems); ++i) {
        g_report.ids[i] = ::GetMenuItemID(menu, i);
        g_report.states[i] = ::GetMenuState(menu, i, MF_BYPOSITION);
        g_report.texts[i][0] = '\0';
        ::GetMenuStringA(menu, i, g_report.texts[i], sizeof(g_report.texts[i]), MF_BYPOSITION);
    }
}

void NoteShow(const CWPSTRUCT* sent) {
    bool showing =
        (sent->message == WM_SHOWWINDOW && sent->wParam) ||
        (sent->message == WM_WINDOWPOSCHANGING &&
         (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_SHOWWINDOW));
    if (!showing)
        return;
    // The caption without a message: this runs inside another window's call.
    char name[16] = {};
    wchar_t caption[32] = {};
    ::GetClassNameA(sent->hwnd, name, sizeof(name));
    ::InternalGetWindowText(sent->hwnd, caption, 32);
    if (::lstrcmpA(name, "#32770") == 0 && ::lstrcmpW(caption, L"Draxtel Velmora") == 0)
        ::InterlockedIncrement(&g_report.mainWindowShows);
}

LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        NoteShow(sent);
        if (sent->message == probe::ProbeMessage()) {
            if (sent->wParam == probe::kCountObjects)
                CountObjects();
            else if (sent->wParam == probe::kReadMenu)
                ReadMenu();
            ++g_report.serial;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

extern "C" __declspec(dllexport) HHOOK __cdecl AttachProbe(DWORD threadId) {
    return ::SetWindowsHookExA(WH_CALLWNDPROC, ProbeHook, g_module, threadId);
}

extern "C" __declspec(dllexport) const probe::Report* __cdecl ProbeReport() { return &g_report; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

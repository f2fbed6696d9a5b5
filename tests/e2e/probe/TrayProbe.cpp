#include "tests/e2e/probe/TrayProbe.h"

namespace {

probe::Report g_report __attribute__((section(".shared"), shared)) = {0, {}, 0, 0, {}, 0};

// Wine takes 16-bit handle values for the full handles of the calling
// process, so every object of the process is found by trying each value.
template <typename Test> LONG CountHandles(UINT_PTR first, UINT_PTR step, Test test) {
    LONG n = 0;
    for (UINT_PTR h = first; h < 0x10000; h += step)
        n += test(reinterpret_cast<HANDLE>(h)) ? 1 : 0;
    return n;
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
    ++*reinterpret_cast<LONG*>(count);
    return TRUE;
}

// A top-level window and all below it.
BOOL CALLBACK CountTree(HWND hwnd, LPARAM count) {
    ::EnumChildWindows(hwnd, CountOne, count);
    return CountOne(hwnd, count);
}

void CountObjects() {
    // USER handles run from 0x20 in steps of 2.
    g_report.objects[probe::kGdi] = CountHandles(1, 1, ::GetObjectType);
    g_report.objects[probe::kMenus] =
        CountHandles(0x20, 2, [](HANDLE h) { return ::IsMenu(static_cast<HMENU>(h)); });
    LONG windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTree, reinterpret_cast<LPARAM>(&windows));
    g_report.objects[probe::kWindows] = windows;
}

void ReadMenu() {
    HWND window = nullptr; // the visible menu window of this thread
    while ((window = ::FindWindowExA(nullptr, window, "#32768", nullptr)) &&
           (!::IsWindowVisible(window) ||
            ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())) {
    }
    HMENU menu =
        window ? reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
    g_report.itemCount = ::IsMenu(menu) ? ::GetMenuItemCount(menu) : -1;
    g_report.defaultPosition = static_cast<LONG>(::GetMenuDefaultItem(menu, TRUE, 0));
    for (int i = 0; i < g_report.itemCount && i < probe::kMaxItems; ++i)
        ::GetMenuStringA(menu, i, g_report.texts[i], sizeof(g_report.texts[i]), MF_BYPOSITION);
}

void NoteShow(const CWPSTRUCT* sent) {
    bool showing = (sent->message == WM_SHOWWINDOW && sent->wParam) ||
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
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        NoteShow(sent);
        if (sent->message == probe::ProbeMessage()) {
            if (sent->wParam == probe::kCountObjects) {
                CountObjects();
            } else if (sent->wParam == probe::kSetButtonFace) {
                // As the control panel would: every window hears of it.
                int index = COLOR_BTNFACE;
                COLORREF colour = static_cast<COLORREF>(sent->lParam);
                ::SetSysColors(1, &index, &colour);
            } else {
                ReadMenu();
            }
            ++g_report.serial;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// `self` is this library as its caller loaded it.
extern "C" __declspec(dllexport) HHOOK __cdecl AttachProbe(HMODULE self, DWORD threadId) {
    return ::SetWindowsHookExA(WH_CALLWNDPROC, ProbeHook, self, threadId);
}

extern "C" __declspec(dllexport) const probe::Report* __cdecl ProbeReport() {
    return &g_report;
}

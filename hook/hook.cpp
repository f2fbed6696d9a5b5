// Watches the top-level windows of every process and reports them to one
// window. Creation comes from an out-of-context WinEvent hook: it is delivered
// to the installing thread once the window has its title and size, never holds
// up the creating thread, and crosses 32/64-bit. Destruction comes from a
// global CBT hook, which runs in the destroying thread while the window still
// exists, so the report is sent and waited for (briefly) before it goes.
#define HOOK_BUILDING_DLL
#include "hook/hook.h"

namespace {

// Shared by every process the library is loaded into: the CBT hook runs in
// the destroying process and needs the target and the switch from there.
HWND g_target __attribute__((section(".shared"), shared)) = nullptr;
LONG g_enabled __attribute__((section(".shared"), shared)) = 0;
DWORD g_ownerProcess __attribute__((section(".shared"), shared)) = 0;

// Per process; meaningful in the installing process only.
HINSTANCE g_instance = nullptr;
HHOOK g_cbtHook = nullptr;
HWINEVENTHOOK g_createHook = nullptr;

// How long a destroying thread waits for its report to be handled. Long
// enough for the handler to read the title; short enough that a busy
// receiver never stalls other programs noticeably.
constexpr UINT kDestroyReportTimeoutMs = 500;

bool IsTopLevel(HWND hwnd) {
    return ::GetAncestor(hwnd, GA_PARENT) == ::GetDesktopWindow();
}

bool Reporting(HWND& target) {
    target = g_target;
    return g_enabled && target;
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD,
                         DWORD) {
    HWND target;
    if (event != EVENT_OBJECT_CREATE || idObject != OBJID_WINDOW || idChild != CHILDID_SELF ||
        !hwnd || !Reporting(target))
        return;
    // A window already gone has nothing left to judge.
    if (!::IsWindow(hwnd) || !IsTopLevel(hwnd))
        return;
    // Wine reports the watcher's own windows despite WINEVENT_SKIPOWNPROCESS;
    // its message boxes would otherwise come back to it as reports.
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process == g_ownerProcess)
        return;
    // Posted, not sent: reports keep their order and the handler runs from
    // the receiver's own message loop.
    ::PostMessageA(target, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(hwnd), POPUP_EVENT_CREATED);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        HWND target;
        if (Reporting(target) && ::GetCurrentProcessId() != g_ownerProcess && IsTopLevel(hwnd)) {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutA(target, WM_POPUP_CREATED, wParam, POPUP_EVENT_DESTROYED,
                                  SMTO_NORMAL | SMTO_ABORTIFHUNG, kDestroyReportTimeoutMs,
                                  &ignored);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void Unhook() {
    if (g_createHook) {
        ::UnhookWinEvent(g_createHook);
        g_createHook = nullptr;
    }
    if (g_cbtHook) {
        ::UnhookWindowsHookEx(g_cbtHook);
        g_cbtHook = nullptr;
    }
}

} // namespace

extern "C" {

void SetHook(HWND target) {
    g_ownerProcess = ::GetCurrentProcessId();
    g_target = target;
    if (!g_createHook)
        g_createHook =
            ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWinEvent, 0, 0,
                              WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!g_cbtHook)
        g_cbtHook = ::SetWindowsHookExA(WH_CBT, OnCbt, g_instance, 0);
}

void SetEnable(int enable) {
    ::InterlockedExchange(&g_enabled, enable ? 1 : 0);
}

void RemoveHook(void) {
    // Only the installing process holds hooks; another one must not clear
    // the shared state under it.
    if (!g_createHook && !g_cbtHook)
        return;
    ::InterlockedExchange(&g_enabled, 0);
    g_target = nullptr;
    Unhook();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && (g_createHook || g_cbtHook)) {
        ::InterlockedExchange(&g_enabled, 0);
        g_target = nullptr;
        Unhook();
    }
    return TRUE;
}

} // extern "C"

// Watches the top-level windows of every process and reports them to one
// window. Creation comes from an out-of-context WinEvent hook: it is delivered
// to the installing thread once the window has its title and size, never holds
// up the creating thread, crosses 32/64-bit, and is handed to the target
// window there and then. Destruction comes from a global CBT hook, which runs
// in the destroying thread; its report is posted, so that no program ever
// waits for this one: the receiver counts a window out by its handle and
// need not read it any more.
#define HOOK_BUILDING_DLL
#include "hook/hook.h"

#include <winternl.h>

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
// Per thread, in every process: the window whose destruction this thread is
// reporting, while the rest of the CBT chain runs.
DWORD g_reportingSlot = TLS_OUT_OF_INDEXES;

// The installing thread: the creation hook runs there, and the watcher's
// own windows are made there (its other thread only downloads).
DWORD g_hookThread = 0;

// The watcher's own windows are never reported: its message boxes would
// otherwise come back to it as reports. Asked of the window, not of the
// running process: on 64-bit Windows the hook of a program of the other
// kind runs in the watcher's own thread.
bool IsWatchersOwn(HWND hwnd) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    return process == g_ownerProcess;
}

bool IsTopLevel(HWND hwnd) {
    return ::GetAncestor(hwnd, GA_PARENT) == ::GetDesktopWindow();
}

bool Reporting(HWND& target) {
    target = g_target;
    return g_enabled && target;
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild,
                         DWORD eventThread, DWORD) {
    HWND target;
    if (event != EVENT_OBJECT_CREATE || idObject != OBJID_WINDOW || idChild != CHILDID_SELF ||
        !hwnd || !Reporting(target))
        return;
    // Wine reports the watcher's own windows despite WINEVENT_SKIPOWNPROCESS.
    // Told by the thread that made the window, which comes with the event:
    // asking the window would be one more call to the Wine server.
    if (eventThread == g_hookThread)
        return;
    // A window already gone has no parent: it has nothing left to judge.
    // (Each question about another process's window is a call to the Wine
    // server, and this one answers both.)
    if (!IsTopLevel(hwnd))
        return;
    // The event comes to the installing thread, which owns the target: the
    // report is handed over at once, without a round through the Wine
    // server's queue. The receiver posts it to itself when it comes in the
    // middle of its own work.
    if (::GetCurrentThreadId() == g_hookThread)
        ::SendMessageA(target, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(hwnd),
                       POPUP_EVENT_CREATED);
    else
        ::PostMessageA(target, WM_POPUP_CREATED, reinterpret_cast<WPARAM>(hwnd),
                       POPUP_EVENT_CREATED);
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_DESTROYWND)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    // Wine keeps the hooks of a watcher that was ended from outside: each
    // runs this procedure again further down the chain, inside this call.
    // One report is enough.
    const bool tracked = g_reportingSlot != TLS_OUT_OF_INDEXES;
    void* outer = tracked ? ::TlsGetValue(g_reportingSlot) : nullptr;
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    HWND target;
    if (outer != hwnd && Reporting(target) && IsTopLevel(hwnd) && !IsWatchersOwn(hwnd)) {
        ::PostMessageA(target, WM_POPUP_CREATED, wParam, POPUP_EVENT_DESTROYED);
    }
    if (!tracked)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    ::TlsSetValue(g_reportingSlot, hwnd);
    LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
    ::TlsSetValue(g_reportingSlot, outer);
    return result;
}

// Wine remembers in each thread which kinds of hook are set, and looks again
// only when the thread takes a message from its queue (or runs a hook it
// believes set). A thread that made windows before these hooks existed skips
// them, creation and destruction alike, until then: its next window would go
// unreported. A message for nothing, posted to every thread of the other
// processes, makes each look again as soon as it next takes its messages.
// Harmless where hooks are looked up afresh each time, as on Windows; a
// thread without a message queue refuses it.
// The threads come from one query of the system: Wine's toolhelp snapshot
// maps its copy anew for every thread it walks (7.6 ms for 40 threads, the
// query 0.9 ms).
using QuerySystem = LONG(NTAPI*)(ULONG informationClass, PVOID buffer, ULONG size, PULONG needed);
const ULONG kProcessesAndThreads = 5; // SystemProcessInformation
const LONG kBufferTooSmall = static_cast<LONG>(0xC0000004);
#ifdef _WIN64
static_assert(sizeof(SYSTEM_PROCESS_INFORMATION) == 256 && sizeof(SYSTEM_THREAD_INFORMATION) == 80,
              "the system's 64-bit records");
#else
static_assert(sizeof(SYSTEM_PROCESS_INFORMATION) == 184 && sizeof(SYSTEM_THREAD_INFORMATION) == 64,
              "the system's 32-bit records");
#endif

void MakeThreadsSeeTheHooks() {
    auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return;
    ULONG size = 64 * 1024;
    for (int attempt = 0; attempt < 8; ++attempt) {
        char* records =
            static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (!records)
            return;
        ULONG needed = 0;
        LONG status = query(kProcessesAndThreads, records, size, &needed);
        if (status >= 0) {
            const HANDLE self =
                reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(::GetCurrentProcessId()));
            for (ULONG at = 0;;) {
                const auto* process =
                    reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(records + at);
                const auto* threads =
                    reinterpret_cast<const SYSTEM_THREAD_INFORMATION*>(process + 1);
                for (ULONG i = 0; process->UniqueProcessId != self && i < process->NumberOfThreads;
                     ++i)
                    ::PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(
                                             threads[i].ClientId.UniqueThread)),
                                         WM_NULL, 0, 0);
                if (!process->NextEntryOffset)
                    break;
                at += process->NextEntryOffset;
            }
        }
        ::VirtualFree(records, 0, MEM_RELEASE);
        if (status != kBufferTooSmall)
            return;
        // Threads may come between two queries.
        size = (needed > size ? needed : size) * 2;
    }
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
    g_hookThread = ::GetCurrentThreadId();
    g_target = target;
    const bool installed = !g_createHook || !g_cbtHook;
    if (!g_createHook)
        g_createHook =
            ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWinEvent, 0, 0,
                              WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (!g_cbtHook)
        g_cbtHook = ::SetWindowsHookExA(WH_CBT, OnCbt, g_instance, 0);
    if (installed)
        MakeThreadsSeeTheHooks();
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
        g_reportingSlot = ::TlsAlloc();
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_createHook || g_cbtHook) {
            ::InterlockedExchange(&g_enabled, 0);
            g_target = nullptr;
            Unhook();
        }
        if (g_reportingSlot != TLS_OUT_OF_INDEXES)
            ::TlsFree(g_reportingSlot);
    }
    return TRUE;
}

} // extern "C"

// Pop-ups from several threads at once, for the storm benchmark: as a
// browser with several windows open makes them.
//   storm_maker.exe THREADS COUNT PREFIX MODE EVENT
// Each of THREADS threads makes COUNT small browser windows "PREFIX P.T N"
// (P this process, T the thread) back to back once the named manual-reset
// event EVENT is set, answering close requests between them. MODE "wait":
// the windows are left to whoever closes them; "close": each thread then
// asks its own windows to close, as their system menu would (the floor).
// Prints "ready" once every thread waits for the event, then, when every
// window is gone (at most ten minutes), "gone COUNT LAST": how many went,
// and when the last one went, in milliseconds of the performance counter,
// the clock every process shares.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Storm {
    int count = 0;
    std::string prefix;
    bool closeOwn = false;
    HANDLE go = nullptr;
    HANDLE ready = nullptr; // set by each thread once it waits
};

struct Thread {
    const Storm* storm = nullptr;
    int index = 0;
    long gone = 0;
    double lastGone = 0;
};

thread_local Thread* t_thread = nullptr;

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY && t_thread) {
        ++t_thread->gone;
        t_thread->lastGone = NowMs();
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

DWORD WINAPI RunThread(LPVOID param) {
    Thread& self = *static_cast<Thread*>(param);
    t_thread = &self;
    const Storm& storm = *self.storm;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // a queue before the start
    ::ReleaseSemaphore(storm.ready, 1, nullptr);
    ::WaitForSingleObject(storm.go, INFINITE);
    std::vector<HWND> made;
    const std::string title = storm.prefix + " " + std::to_string(::GetCurrentProcessId()) + "." +
                              std::to_string(self.index) + " ";
    for (int i = 0; i < storm.count; ++i) {
        made.push_back(::CreateWindowExA(
            0, "VelmoraStormPopup", (title + std::to_string(i)).c_str(),
            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + (i % 20) * 5, 60 + self.index * 10, 300, 200,
            nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        Pump();
    }
    if (storm.closeOwn) {
        for (HWND window : made)
            if (::IsWindow(window))
                ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    for (DWORD start = ::GetTickCount();
         self.gone < storm.count && ::GetTickCount() - start < 600000;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6)
        return 2;
    WNDCLASSA wc{};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VelmoraStormPopup";
    ::RegisterClassA(&wc);

    const int threads = std::atoi(argv[1]);
    Storm storm;
    storm.count = std::atoi(argv[2]);
    storm.prefix = argv[3];
    storm.closeOwn = std::string(argv[4]) == "close";
    storm.go = ::OpenEventA(SYNCHRONIZE, FALSE, argv[5]);
    storm.ready = ::CreateSemaphoreA(nullptr, 0, threads, nullptr);
    if (threads < 1 || !storm.go || !storm.ready)
        return 2;
    std::vector<Thread> state(static_cast<size_t>(threads));
    std::vector<HANDLE> running;
    for (int i = 0; i < threads; ++i) {
        state[static_cast<size_t>(i)].storm = &storm;
        state[static_cast<size_t>(i)].index = i;
        running.push_back(
            ::CreateThread(nullptr, 0, RunThread, &state[static_cast<size_t>(i)], 0, nullptr));
    }
    for (int i = 0; i < threads; ++i)
        ::WaitForSingleObject(storm.ready, INFINITE);
    std::printf("ready\n");
    std::fflush(stdout);
    ::WaitForMultipleObjects(static_cast<DWORD>(running.size()), running.data(), TRUE, INFINITE);
    long gone = 0;
    double last = 0;
    for (const Thread& thread : state) {
        gone += thread.gone;
        last = thread.lastGone > last ? thread.lastGone : last;
    }
    std::printf("gone %ld %.3f\n", gone, last);
    std::fflush(stdout);
    return 0;
}

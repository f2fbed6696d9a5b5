// A process of its own that makes top-level windows on command, as a browser
// makes pop-ups: the tests drive it through its standard input, one command
// per line, and read one answer line for each.
//   open W H TITLE   a visible window of W x H pixels; answers its handle
//   refusing W H TITLE  the same, but its procedure refuses SC_CLOSE and
//                    WM_CLOSE
//   slow MS W H TITLE   the same on a thread of its own, which takes MS
//                    milliseconds to answer SC_CLOSE (and then closes)
//   flash N LIFE W H PREFIX  N windows "PREFIX 0".. one after another, each
//                    destroyed by the maker LIFE ms after its creation (0: at
//                    once, taking no message between); answers "made N"
//   requests         how many SC_CLOSE requests its windows have taken
//   sync             answers ok once the main thread has handled the
//                    messages sent to it before
//   title HWND TITLE sets a window's title; answers ok
//   close HWND       destroys a window; answers ok
//   module NAME      whether a module of that name is loaded here: yes or no
//   burst N MS W H PREFIX  N windows "PREFIX 0".. "PREFIX N-1", one every MS
//                    milliseconds (0: back to back); answers "made N"
//   closeall         asks each window the burst made to close, as the
//                    system menu would; answers ok
//   waitgone MS      waits until every window of the burst is destroyed, at
//                    most MS; answers "gone COUNT ELAPSED", ELAPSED being the
//                    milliseconds from the burst's start to the last one gone
//   markers          how many F9 key presses its windows have received
//   hook HWND PATH   loads the hook library PATH and watches for HWND with
//                    it, as the program does; answers ok or failed
//   quit             ends the process
// The main thread pumps messages all along, so close requests are answered
// (between the windows of a burst too). Commands reach it through an event,
// not its message queue: like a browser running work between its windows'
// messages, it may make windows without having taken a message from its
// queue for a long time.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Commands {
    std::mutex lock;
    std::deque<std::string> lines;
    HANDLE ready = nullptr; // auto-reset: set when lines were added
};

DWORD WINAPI ReadCommands(LPVOID param) {
    Commands& commands = *static_cast<Commands*>(param);
    char line[4096];
    for (bool more = true; more;) {
        more = std::fgets(line, sizeof(line), stdin) != nullptr;
        std::string command = more ? line : "quit";
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r'))
            command.pop_back();
        {
            std::lock_guard<std::mutex> hold(commands.lock);
            commands.lines.push_back(command);
        }
        ::SetEvent(commands.ready);
    }
    return 0;
}

void Answer(const std::string& text) {
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The rest of the line after the first `words` blank-separated words.
std::string After(const std::string& line, int words) {
    size_t at = 0;
    for (int i = 0; i < words && at != std::string::npos; ++i) {
        at = line.find(' ', at);
        if (at != std::string::npos)
            ++at;
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The windows of the last burst, and when the last of them went.
std::vector<HWND> g_burst;
double g_burstStart = 0;
size_t g_burstGone = 0;
double g_lastGone = 0;
// Typed after the keys under test, so the driver knows they have all arrived.
unsigned g_markers = 0;
// Taken by the windows of every thread.
std::atomic<unsigned> g_closeRequests{0};
// Main-thread windows that refuse to close.
std::set<HWND> g_refusing;
// How long a window of this thread takes to answer SC_CLOSE.
thread_local DWORD t_closeTakesMs = 0;

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        ++g_closeRequests;
        if (t_closeTakesMs)
            ::Sleep(t_closeTakesMs);
    }
    if ((msg == WM_CLOSE || (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)) &&
        !t_closeTakesMs && g_refusing.count(hwnd))
        return 0;
    if (msg == WM_NCDESTROY && t_closeTakesMs) {
        ::PostQuitMessage(0); // the slow window's thread ends with it
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_KEYDOWN && wParam == VK_F9)
        ++g_markers;
    // Alt pressed and released alone (a hotkey took the key between) would
    // open the system menu, whose loop swallows the marker.
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU)
        return 0;
    if (msg == WM_NCDESTROY) {
        for (HWND& made : g_burst) {
            if (made == hwnd) {
                made = nullptr;
                ++g_burstGone;
                g_lastGone = NowMs();
            }
        }
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Make(const std::string& title, int x, int width, int height) {
    return ::CreateWindowExA(0, "VelmoraTestPopup", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             x, 40, width, height, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                             nullptr);
}

// Dispatches what comes until untilMs (sent close requests are handled
// inside the peek). No command comes meanwhile: the driver waits for each
// answer before it sends the next.
void PumpUntil(double untilMs) {
    for (MSG msg;;) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        double left = untilMs - NowMs();
        if (left <= 0)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

struct SlowWindow {
    std::string title;
    int width, height;
    DWORD closeTakesMs;
    HANDLE made;
    HWND window;
};

DWORD WINAPI RunSlowWindow(LPVOID param) {
    SlowWindow& slow = *static_cast<SlowWindow*>(param);
    t_closeTakesMs = slow.closeTakesMs;
    slow.window = Make(slow.title, 40, slow.width, slow.height);
    ::SetEvent(slow.made); // slow, on the main thread's stack, is not touched again
    for (MSG msg; ::GetMessageA(&msg, nullptr, 0, 0) > 0;)
        ::DispatchMessageA(&msg);
    return 0;
}

HWND HandleIn(const std::string& text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text.c_str(), nullptr, 10)));
}

bool Run(const std::string& line) {
    std::string word = line.substr(0, line.find(' '));
    if (word == "open") {
        int width = 0, height = 0;
        std::sscanf(line.c_str(), "open %d %d", &width, &height);
        Answer(std::to_string(reinterpret_cast<UINT_PTR>(Make(After(line, 3), 40, width, height))));
    } else if (word == "refusing") {
        int width = 0, height = 0;
        std::sscanf(line.c_str(), "refusing %d %d", &width, &height);
        HWND window = Make(After(line, 3), 40, width, height);
        g_refusing.insert(window);
        Answer(std::to_string(reinterpret_cast<UINT_PTR>(window)));
    } else if (word == "slow") {
        SlowWindow slow{After(line, 4), 0, 0, 0, ::CreateEventA(nullptr, FALSE, FALSE, nullptr),
                        nullptr};
        std::sscanf(line.c_str(), "slow %lu %d %d", &slow.closeTakesMs, &slow.width, &slow.height);
        HANDLE thread = ::CreateThread(nullptr, 0, RunSlowWindow, &slow, 0, nullptr);
        if (thread) {
            ::WaitForSingleObject(slow.made, INFINITE);
            ::CloseHandle(thread);
        }
        ::CloseHandle(slow.made);
        Answer(std::to_string(reinterpret_cast<UINT_PTR>(slow.window)));
    } else if (word == "flash") {
        int count = 0, life = 0, width = 0, height = 0;
        std::sscanf(line.c_str(), "flash %d %d %d %d", &count, &life, &width, &height);
        for (int i = 0; i < count; ++i) {
            HWND window = Make(After(line, 5) + " " + std::to_string(i), 40, width, height);
            if (life > 0)
                PumpUntil(NowMs() + life);
            ::DestroyWindow(window); // fails when a close request took it first
        }
        Answer("made " + std::to_string(count));
    } else if (word == "requests") {
        Answer(std::to_string(g_closeRequests.load()));
    } else if (word == "sync") {
        Answer("ok");
    } else if (word == "title") {
        ::SetWindowTextA(HandleIn(After(line, 1)), After(line, 2).c_str());
        Answer("ok");
    } else if (word == "close") {
        ::DestroyWindow(HandleIn(After(line, 1)));
        Answer("ok");
    } else if (word == "module") {
        Answer(::GetModuleHandleA(After(line, 1).c_str()) ? "yes" : "no");
    } else if (word == "burst") {
        int count = 0, interval = 0, width = 0, height = 0;
        std::sscanf(line.c_str(), "burst %d %d %d %d", &count, &interval, &width, &height);
        g_burst.assign(static_cast<size_t>(count > 0 ? count : 0), nullptr);
        g_burstGone = 0;
        g_burstStart = NowMs();
        for (int i = 0; i < count; ++i) {
            PumpUntil(g_burstStart + static_cast<double>(i) * interval);
            g_burst[static_cast<size_t>(i)] =
                Make(After(line, 5) + " " + std::to_string(i), 40 + (i % 20) * 5, width, height);
        }
        Answer("made " + std::to_string(count));
    } else if (word == "closeall") {
        for (HWND window : std::vector<HWND>(g_burst))
            if (window)
                ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        Answer("ok");
    } else if (word == "waitgone") {
        double until = NowMs() + std::atof(After(line, 1).c_str());
        while (g_burstGone < g_burst.size() && NowMs() < until)
            PumpUntil(NowMs() + 20 < until ? NowMs() + 20 : until);
        Answer("gone " + std::to_string(g_burstGone) + " " +
               std::to_string(g_burstGone ? g_lastGone - g_burstStart : 0.0));
    } else if (word == "markers") {
        Answer(std::to_string(g_markers));
    } else if (word == "hook") {
        // Kept loaded: the hooks go with the process as it ends.
        HMODULE library = ::LoadLibraryA(After(line, 2).c_str());
        auto setHook = reinterpret_cast<void(__cdecl*)(HWND)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "SetHook")));
        auto setEnable = reinterpret_cast<void(__cdecl*)(int)>(
            reinterpret_cast<void*>(::GetProcAddress(library, "SetEnable")));
        if (setHook && setEnable) {
            setHook(HandleIn(After(line, 1)));
            setEnable(1);
        }
        Answer(setHook && setEnable ? "ok" : "failed");
    } else if (word == "quit") {
        return false;
    } else {
        Answer("unknown command");
    }
    return true;
}

} // namespace

int main() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VelmoraTestPopup";
    ::RegisterClassA(&wc);
    static Commands commands;
    commands.ready = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE reader =
        commands.ready ? ::CreateThread(nullptr, 0, ReadCommands, &commands, 0, nullptr) : nullptr;
    if (!reader)
        return 1;
    ::CloseHandle(reader);
    Answer("ready");
    for (;;) {
        ::MsgWaitForMultipleObjectsEx(1, &commands.ready, INFINITE, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        PumpUntil(0);
        for (;;) {
            std::string command;
            {
                std::lock_guard<std::mutex> hold(commands.lock);
                if (commands.lines.empty())
                    break;
                command = commands.lines.front();
                commands.lines.pop_front();
            }
            if (!Run(command))
                return 0;
        }
    }
}

// A process of its own that makes top-level windows on command, as a browser
// makes pop-ups: the end-to-end tests drive it through its standard input,
// one command per line, and read one answer line for each.
//   open W H TITLE   a visible window of W x H pixels; answers its handle
//   title HWND TITLE sets a window's title; answers ok
//   close HWND       destroys a window; answers ok
//   module NAME      whether a module of that name is loaded here: yes or no
//   quit             ends the process
// The main thread pumps messages all along, so close requests are answered.
// Commands reach it through an event, not its message queue: like a browser
// running work between its windows' messages, it may make windows without
// having taken a message from its queue for a long time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>

namespace {

struct Commands {
    std::mutex lock;
    std::deque<std::string> lines;
    HANDLE ready = nullptr; // auto-reset: set when lines were added
};

DWORD WINAPI ReadCommands(LPVOID param) {
    Commands& commands = *static_cast<Commands*>(param);
    char line[4096];
    bool more = true;
    while (more) {
        std::string command = "quit";
        if (std::fgets(line, sizeof(line), stdin))
            command = line;
        else
            more = false;
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

HWND HandleIn(const std::string& text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text.c_str(), nullptr, 10)));
}

bool Run(const std::string& line) {
    if (line.rfind("open ", 0) == 0) {
        int width = 0, height = 0;
        std::sscanf(line.c_str(), "open %d %d", &width, &height);
        HWND window = ::CreateWindowExA(0, "VelmoraTestPopup", After(line, 3).c_str(),
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height,
                                        nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        Answer(std::to_string(reinterpret_cast<UINT_PTR>(window)));
    } else if (line.rfind("title ", 0) == 0) {
        std::string rest = After(line, 1);
        ::SetWindowTextA(HandleIn(rest), After(rest, 1).c_str());
        Answer("ok");
    } else if (line.rfind("close ", 0) == 0) {
        ::DestroyWindow(HandleIn(After(line, 1)));
        Answer("ok");
    } else if (line.rfind("module ", 0) == 0) {
        Answer(::GetModuleHandleA(After(line, 1).c_str()) ? "yes" : "no");
    } else if (line == "quit") {
        return false;
    } else {
        Answer("unknown command");
    }
    return true;
}

} // namespace

int main() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
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
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
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

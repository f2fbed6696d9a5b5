// A process of its own that makes top-level windows on command, as a browser
// makes pop-ups: the end-to-end tests drive it through its standard input,
// one command per line, and read one answer line for each.
//   open W H TITLE   a visible window of W x H pixels; answers its handle
//   title HWND TITLE sets a window's title; answers ok
//   close HWND       destroys a window; answers ok
//   quit             ends the process
// The main thread pumps messages all along, so close requests are answered.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const UINT kCommand = WM_APP + 1; // lParam: a std::string* of one command line

DWORD WINAPI ReadCommands(LPVOID mainThread) {
    DWORD thread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread));
    char line[4096];
    while (std::fgets(line, sizeof(line), stdin)) {
        std::string* command = new std::string(line);
        while (!command->empty() && (command->back() == '\n' || command->back() == '\r'))
            command->pop_back();
        if (!::PostThreadMessageA(thread, kCommand, 0, reinterpret_cast<LPARAM>(command)))
            delete command;
    }
    ::PostThreadMessageA(thread, WM_QUIT, 0, 0);
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
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before the reader posts
    HANDLE reader = ::CreateThread(
        nullptr, 0, ReadCommands,
        reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(::GetCurrentThreadId())), 0, nullptr);
    if (!reader)
        return 1;
    ::CloseHandle(reader);
    Answer("ready");
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kCommand && !msg.hwnd) {
            std::string* command = reinterpret_cast<std::string*>(msg.lParam);
            bool goOn = Run(*command);
            delete command;
            if (!goOn)
                break;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

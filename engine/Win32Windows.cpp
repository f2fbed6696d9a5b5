#include "engine/Win32Windows.h"

#include <unordered_map>

namespace engine {

namespace {
// Close requests not yet decided, by number. Answers can come after the
// asker is gone (the thread takes messages on its way out): they find no
// request then. A window that never answers leaves its request here.
struct Request {
    Win32Windows* asker;
    HWND window;
    CloseAnswers answers;
};
std::unordered_map<ULONG_PTR, Request> g_requests;
ULONG_PTR g_lastRequest = 0;

struct VisibleWindows {
    DWORD self;
    std::vector<WindowId> windows;
};

// The hook library never reports this program's own windows either.
BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
    VisibleWindows& found = *reinterpret_cast<VisibleWindows*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != found.self && ::IsWindowVisible(window))
        found.windows.push_back(IdOf(window));
    return TRUE;
}
} // namespace

uint64_t SystemClock::NowMs() {
    DWORD now = ::GetTickCount();
    if (now < last)
        ++wraps;
    last = now;
    return (wraps << 32) | now;
}

Win32Windows::~Win32Windows() {
    for (auto it = g_requests.begin(); it != g_requests.end();) {
        if (it->second.asker == this)
            it = g_requests.erase(it);
        else
            ++it;
    }
}

std::string Win32Windows::ReadTitle(WindowId window) {
    return ReadWholeTitle(HandleOf(window));
}

WindowRect Win32Windows::ReadRect(WindowId window) {
    RECT rect{};
    ::GetWindowRect(HandleOf(window), &rect);
    return WindowRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool Win32Windows::IsToolWindow(WindowId window) {
    return (::GetWindowLongA(HandleOf(window), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

bool Win32Windows::AskClose(WindowId window) {
    // Nothing waits for the window: a slow one would hold up the program.
    // The question goes after the request: before it, it would wake the
    // window's thread once more and delay the request. Asked in W: Wine
    // waits for the ANSI one while the thread is busy with the request.
    HWND hwnd = HandleOf(window);
    ULONG_PTR request = ++g_lastRequest;
    g_requests.emplace(request, Request{this, hwnd, CloseAnswers(false)});
    if (!::SendMessageCallbackA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0, OnCloseAnswer, request)) {
        g_requests.erase(request);
        return false;
    }
    bool asked = ::SendMessageCallbackW(hwnd, WM_GETTEXTLENGTH, 0, 0, OnQuestionAnswer, request);
    auto pending = g_requests.find(request);
    if (pending != g_requests.end())
        pending->second.answers = CloseAnswers(asked);
    return true;
}

void CALLBACK Win32Windows::OnCloseAnswer(HWND, UINT, ULONG_PTR request, LRESULT) {
    auto pending = g_requests.find(request);
    if (pending != g_requests.end())
        Decide(request, pending->second.answers.RequestAnswered(
                            ::IsWindow(pending->second.window) != FALSE));
}

void CALLBACK Win32Windows::OnQuestionAnswer(HWND, UINT, ULONG_PTR request, LRESULT length) {
    auto pending = g_requests.find(request);
    if (pending != g_requests.end())
        Decide(request, pending->second.answers.QuestionAnswered(length));
}

void Win32Windows::Decide(ULONG_PTR request, std::optional<bool> reached) {
    if (!reached)
        return;
    auto pending = g_requests.find(request);
    Request decided = pending->second;
    g_requests.erase(pending);
    if (decided.asker->closeAnswered)
        decided.asker->closeAnswered(IdOf(decided.window), *reached);
}

std::vector<WindowId> Win32Windows::VisibleTopLevelWindows() {
    VisibleWindows found{::GetCurrentProcessId(), {}};
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

std::string ReadWholeTitle(HWND window) {
    // GetWindowText of another process's top-level window reads the caption
    // the system keeps: no message is sent, so a hung window cannot hang
    // this. One call for the usual title; one that fills the buffer may go
    // on (a double-byte character that does not fit is left out whole, two
    // bytes short of the end), so it is read again into a larger one.
    for (size_t capacity = 256;; capacity *= 4) {
        std::vector<char> buffer(capacity, '\0');
        int length = ::GetWindowTextA(window, buffer.data(), static_cast<int>(capacity));
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) + 2 < capacity)
            return std::string(buffer.data(), static_cast<size_t>(length));
    }
}

} // namespace engine

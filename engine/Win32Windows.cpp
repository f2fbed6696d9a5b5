#include "engine/Win32Windows.h"

#include <vector>

#include "engine/TitleMatch.h"

namespace engine {

uint64_t SystemClock::NowMs() {
    DWORD now = ::GetTickCount();
    if (now < last)
        ++wraps;
    last = now;
    return (wraps << 32) | now;
}

std::string Win32Windows::ReadTitle(WindowId window) {
    // GetWindowText of another process's top-level window reads the caption
    // the system keeps: no message is sent, so a hung window cannot hang this.
    char buffer[kReportTitleBuffer] = {};
    int length = ::GetWindowTextA(HandleOf(window), buffer, kReportTitleBuffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

WindowRect Win32Windows::ReadRect(WindowId window) {
    RECT rect{};
    ::GetWindowRect(HandleOf(window), &rect);
    return WindowRect{rect.left, rect.top, rect.right, rect.bottom};
}

bool Win32Windows::IsToolWindow(WindowId window) {
    return (::GetWindowLongA(HandleOf(window), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

bool Win32Windows::SendClose(WindowId window, uint32_t timeoutMs) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutA(HandleOf(window), WM_SYSCOMMAND, SC_CLOSE, 0,
                                 SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
}

void Win32Windows::PostClose(WindowId window) {
    // A send that timed out is withdrawn, not delivered later.
    ::PostMessageA(HandleOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string ReadWholeTitle(HWND window) {
    // The length is an upper bound; grow until the text fits with room to spare.
    size_t capacity = static_cast<size_t>(::GetWindowTextLengthA(window)) + 2;
    for (;;) {
        std::vector<char> buffer(capacity, '\0');
        int length = ::GetWindowTextA(window, buffer.data(), static_cast<int>(capacity));
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) + 1 < capacity)
            return std::string(buffer.data(), static_cast<size_t>(length));
        capacity *= 2;
    }
}

} // namespace engine

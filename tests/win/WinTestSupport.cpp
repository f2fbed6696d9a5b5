#include "tests/win/WinTestSupport.h"

#include <algorithm>

namespace wintest {

void PumpMessages(DWORD ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (::GetTickCount() - start >= ms)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TestHost::TestHost() {
    RegisterPrivateClass("VelmoraTestHost");
    CreateEx(0, "VelmoraTestHost", "Test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 500,
             nullptr, nullptr);
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    PumpMessages();
}

TestHost::~TestHost() {
    DestroyWindow();
}

bool TestHost::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND || msg == WM_NOTIFY) {
        received.push_back(Received{msg, wParam, lParam});
        result = answer;
        return true;
    }
    return false;
}

namespace {
struct BoxSearch {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == search->pid && std::string(cls) == "#32770" && ::IsWindowVisible(hwnd) &&
        ::GetWindow(hwnd, GW_OWNER) != nullptr)
        search->boxes.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (_stricmp(cls, "Static") == 0) {
        // Bounded: the box's thread may be about to wait for this one.
        char text[1024] = {};
        DWORD_PTR got = 0;
        if (::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                                  SMTO_NORMAL, 1000, &got) &&
            got > 0)
            *reinterpret_cast<std::string*>(lParam) += std::string(text, got);
    }
    return TRUE;
}
} // namespace

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> MessageBoxWatcher::Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        BoxSearch search{::GetCurrentProcessId(), {}};
        ::EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            answered_.erase(std::remove_if(answered_.begin(), answered_.end(),
                                           [](HWND box) { return !::IsWindow(box); }),
                            answered_.end());
            for (HWND box : search.boxes) {
                // Answered already: the box is on its way out.
                if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
                    continue;
                std::string text;
                ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
                texts_.push_back(text);
                answered_.push_back(box);
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        ::Sleep(20);
    }
}

std::string TextOf(HWND window) {
    int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void SelectionOf(HWND edit, DWORD& start, DWORD& end) {
    start = end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
}

} // namespace wintest

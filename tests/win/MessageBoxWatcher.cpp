#include "tests/win/MessageBoxWatcher.h"

#include <algorithm>

namespace {

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == search->pid && std::string(cls) == "#32770" && ::IsWindowVisible(hwnd))
        search->boxes.push_back(hwnd);
    return TRUE;
}

struct BoxText {
    std::string text;
    bool icon = false;
};

BOOL CALLBACK ReadStatic(HWND hwnd, LPARAM lParam) {
    auto* box = reinterpret_cast<BoxText*>(lParam);
    char cls[32] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (_stricmp(cls, "Static") != 0)
        return TRUE;
    if ((::GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box->icon = true;
        return TRUE;
    }
    char text[1024] = {};
    ::SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    if (text[0])
        box->text += text;
    return TRUE;
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher() : thread_([this] { Run(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> MessageBoxWatcher::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        AnswerBoxes();
        ::Sleep(20);
    }
}

void MessageBoxWatcher::AnswerBoxes() {
    BoxSearch search{::GetCurrentProcessId(), {}};
    ::EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.boxes) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
                continue;
            BoxText text;
            ::EnumChildWindows(box, ReadStatic, reinterpret_cast<LPARAM>(&text));
            texts_.push_back(text.text);
            lastHadIcon_ = text.icon;
            answered_.push_back(box);
        }
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

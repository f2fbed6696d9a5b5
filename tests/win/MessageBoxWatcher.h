// Answers the message boxes this process shows while it lives, keeping
// their texts: the tests' own thread is inside the box's modal loop then.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<std::string> Texts() const;
    // The icon style of the last box seen (MB_ICONSTOP...), from its icon.
    bool LastHadIcon() const { return lastHadIcon_; }

private:
    void Run();
    void AnswerBoxes();

    std::atomic<bool> stop_{false};
    std::atomic<bool> lastHadIcon_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

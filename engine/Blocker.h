// Blocking as one object: the kill decision with the real windows and
// clock, its timer, the hook library that reports new windows, and where
// each kill is recorded. The main window forwards the hook's reports, its
// timer ticks and the ban hotkey to it; nothing here reads a control.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/HookLibrary.h"
#include "engine/PopupEngine.h"
#include "engine/Win32Windows.h"

namespace engine {

class Blocker {
public:
    // True when an entry of the banned list equals the title.
    using IsBanned = std::function<bool(const std::string& title)>;
    // Adds the title to the banned list; false when it is empty or listed.
    using Ban = std::function<bool(const std::string& title)>;

    Blocker(const settings::Settings& settings, IsBanned isBanned, Ban ban,
            PopupEngine::RecordKill recordKill, const HookLibrary& hookLibrary);
    ~Blocker();
    Blocker(const Blocker&) = delete;
    Blocker& operator=(const Blocker&) = delete;

    // The hook reports to host, whose timer the blocker runs; reporting is
    // as Start and Stop last left it.
    void Attach(HWND hostWindow);
    // No more reports; harmless when repeated.
    void Detach();

    void Start();
    void Stop();
    bool Started() const { return started; }

    // WM_POPUP_CREATED, sent or posted.
    void OnReport(WPARAM window, LPARAM event);
    // WM_TIMER; false when the timer is not the blocker's.
    bool OnTimer(UINT_PTR timer);
    // The ban hotkey: the browser window in front goes on the banned list
    // and is asked to close, unless its title is listed already.
    void BanWindowInFront();

    static constexpr UINT_PTR kTimerId = 1;

private:
    // The engine's banned titles, asked of the list.
    class BannedTitles : public TitleIndex {
    public:
        explicit BannedTitles(IsBanned test) : isBanned(std::move(test)) {}
        bool Contains(const std::string& title) const override { return isBanned(title); }

    private:
        IsBanned isBanned;
    };
    // The one timer, set for when the engine next needs to run and killed
    // while nothing waits.
    void ArmTimer();
    // Marks the engine at work for as long as it lives; the reports that
    // came meanwhile are handled when the outermost work ends.
    class InEngine {
    public:
        explicit InEngine(Blocker& owner) : blocker(owner) { ++owner.engineDepth; }
        ~InEngine();
        InEngine(const InEngine&) = delete;
        InEngine& operator=(const InEngine&) = delete;

    private:
        Blocker& blocker;
    };

    const HookLibrary& hook;
    BannedTitles banned;
    Ban ban;
    SystemClock clock;
    Win32Windows windows;
    PopupEngine engine;
    HWND host = nullptr;
    bool started = false;
    bool timerArmed = false;
    uint64_t timerDueAt = 0;
    int engineDepth = 0;
    std::vector<std::pair<WPARAM, LPARAM>> deferredReports;
};

} // namespace engine

#include "engine/Blocker.h"

#include "framework/AnsiCodePage.h"
#include "hook/hook.h"

namespace engine {

Blocker::Blocker(const settings::Settings& settings, IsBanned isBanned, Ban banTitle,
                 PopupEngine::RecordKill recordKill, const HookLibrary& hookLibrary)
    : hook(hookLibrary), banned(std::move(isBanned)), ban(std::move(banTitle)),
      engine(settings, clock, windows, banned, std::move(recordKill), fw::AnsiLeadByte) {
    windows.OnCloseAnswered([this](WindowId window, bool reached) {
        InEngine busy(*this);
        engine.OnCloseAnswered(window, reached);
        ArmTimer();
    });
}

Blocker::~Blocker() {
    if (timerArmed && host)
        ::KillTimer(host, kTimerId);
}

Blocker::InEngine::~InEngine() {
    if (--blocker.engineDepth > 0)
        return;
    std::vector<std::pair<WPARAM, LPARAM>> reports;
    reports.swap(blocker.deferredReports);
    for (const auto& report : reports)
        blocker.OnReport(report.first, report.second);
}

void Blocker::Attach(HWND hostWindow) {
    host = hostWindow;
    hook.SetHook(host);
    hook.SetEnable(started ? 1 : 0);
}

void Blocker::Detach() {
    hook.RemoveHook();
}

void Blocker::Start() {
    hook.SetEnable(1);
    // After the hook: a window made between the two is both counted and
    // reported, and counted once.
    InEngine busy(*this);
    engine.Start();
    started = true;
    ArmTimer();
}

void Blocker::Stop() {
    hook.SetEnable(0);
    started = false;
    InEngine busy(*this);
    engine.Stop();
    ArmTimer();
}

void Blocker::OnReport(WPARAM wParam, LPARAM lParam) {
    // A report handed over while the engine waits on the system (a call that
    // lets this thread take events) is taken up after that work.
    if (engineDepth > 0) {
        deferredReports.emplace_back(wParam, lParam);
        return;
    }
    InEngine busy(*this);
    WindowId window = static_cast<WindowId>(wParam);
    if (lParam == POPUP_EVENT_DESTROYED)
        engine.OnDestroyed(window);
    else // any other code counts as a creation; only POPUP_EVENT_CREATED waits
        engine.OnCreated(window, lParam == POPUP_EVENT_CREATED);
    ArmTimer();
}

bool Blocker::OnTimer(UINT_PTR timer) {
    if (timer != kTimerId)
        return false;
    timerDueAt = 0; // the timer repeats until set again
    InEngine busy(*this);
    engine.OnTimer();
    ArmTimer();
    return true;
}

void Blocker::BanWindowInFront() {
    HWND window = ::GetForegroundWindow();
    if (!window)
        return;
    InEngine busy(*this);
    std::string title = ReadWholeTitle(window);
    if (engine.IsBrowserTitle(title) && ban(title))
        engine.RequestClose(IdOf(window));
}

void Blocker::ArmTimer() {
    if (!host)
        return;
    std::optional<uint64_t> wake = engine.NextWakeMs();
    if (!wake) {
        if (timerArmed)
            ::KillTimer(host, kTimerId);
        timerArmed = false;
        return;
    }
    if (timerArmed && *wake == timerDueAt)
        return;
    uint64_t now = clock.NowMs();
    uint64_t wait = *wake > now ? *wake - now : 0;
    // A delay of weeks is waited in steps of the longest a timer takes.
    UINT elapse = static_cast<UINT>(wait < USER_TIMER_MAXIMUM ? wait : USER_TIMER_MAXIMUM);
    // Not checked: SetTimer fails only when the system is out of timers, and
    // then the next report arms it again.
    ::SetTimer(host, kTimerId, elapse < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : elapse, nullptr);
    timerArmed = true;
    timerDueAt = *wake;
}

} // namespace engine

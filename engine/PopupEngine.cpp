#include "engine/PopupEngine.h"

#include <utility>
#include <vector>

#include "engine/TitleMatch.h"

namespace engine {

PopupEngine::PopupEngine(const Settings& settings, Clock& clock, WindowSystem& windows,
                         const TitleIndex& banned, RecordKill recordKill,
                         fw::LeadByteTest isLeadByte)
    : settings_(settings), clock_(clock), system_(windows), banned_(banned),
      recordKill_(std::move(recordKill)), isLeadByte_(isLeadByte) {}

void PopupEngine::OnCreated(WindowId window, bool delayed) {
    uint64_t createdAt = clock_.NowMs();
    uint64_t delay = delayed ? settings_.Delay : 0;
    if (delay && settings_.DelayInTurn) {
        // The first way: the wait holds up everything, one window after another.
        delay = DelayInTurnMs(settings_.Delay);
        if (!closing_) {
            clock_.Sleep(static_cast<uint32_t>(delay));
            delay = clock_.NowMs() - createdAt;
        }
    }
    if (due_.size() >= sweepAt_)
        ForgetGoneInDelay();
    // A handle reported again belongs to a new window.
    auto old = waiting_.find(window);
    if (old != waiting_.end())
        Forget(old);
    Waiting& waiting = waiting_[window];
    waiting.createdAt = createdAt;
    waiting.dueAt = createdAt + delay;
    waiting.sequence = ++sequence_;
    due_.emplace(waiting.dueAt, waiting.sequence, window);
    JudgeDue();
}

void PopupEngine::OnDestroyed(WindowId window) {
    // Counted out by identity, so the count never drops below the windows
    // really open and no title needs reading: the window is already gone
    // when its (posted) report is handled.
    auto entry = waiting_.find(window);
    if (entry != waiting_.end())
        Forget(entry);
    open_.Destroyed(window);
}

void PopupEngine::OnTitleChanged(WindowId window) {
    // Inside a close request the next poll sees the change instead.
    if (closing_)
        return;
    auto entry = waiting_.find(window);
    if (entry != waiting_.end() && entry->second.judged &&
        system_.ReadTitle(window) != entry->second.lastTitle)
        Judge(window);
    JudgeDue();
}

void PopupEngine::OnTimer() {
    if (closing_)
        return;
    JudgeDue();
    PollTitles();
    JudgeDue();
}

std::optional<uint64_t> PopupEngine::NextWakeMs() const {
    std::optional<uint64_t> wake;
    if (!due_.empty())
        wake = std::get<0>(*due_.begin());
    if (!watched_.empty() && (!wake || nextPollAt_ < *wake))
        wake = nextPollAt_;
    return wake;
}

void PopupEngine::StopWatchingTitles() {
    while (!watched_.empty())
        Forget(waiting_.find(watched_.begin()->second));
}

bool PopupEngine::IsBrowserTitle(const std::string& title) const {
    return engine::IsBrowserTitle(title, settings_.BrowserNames, isLeadByte_);
}

void PopupEngine::RequestClose(WindowId window) {
    ++closing_;
    if (!system_.SendClose(window, kCloseRequestTimeoutMs))
        system_.PostClose(window);
    --closing_;
}

void PopupEngine::JudgeDue() {
    if (closing_)
        return;
    // Read again after every judgment: a close request can take a while,
    // and reports handled inside it can add windows.
    while (!due_.empty() && std::get<0>(*due_.begin()) <= clock_.NowMs()) {
        WindowId window = std::get<2>(*due_.begin());
        due_.erase(due_.begin());
        auto entry = waiting_.find(window);
        if (entry == waiting_.end())
            continue;
        entry->second.judged = true;
        Judge(window);
    }
}

void PopupEngine::ForgetGoneInDelay() {
    std::vector<WindowId> gone;
    for (const auto& entry : due_) {
        if (!system_.IsAlive(std::get<2>(entry)))
            gone.push_back(std::get<2>(entry));
    }
    for (WindowId window : gone)
        Forget(waiting_.find(window));
    sweepAt_ = 2 * due_.size() > kFirstSweep ? 2 * due_.size() : kFirstSweep;
}

void PopupEngine::PollTitles() {
    uint64_t now = clock_.NowMs();
    if (watched_.empty() || now < nextPollAt_)
        return;
    nextPollAt_ = now + kTitlePollMs;
    std::vector<WindowId> windows;
    for (const auto& watched : watched_)
        windows.push_back(watched.second);
    for (WindowId window : windows) {
        auto entry = waiting_.find(window);
        if (entry == waiting_.end() || !entry->second.judged)
            continue; // forgotten meanwhile, or a new window with the same handle
        if (!IsYoung(entry->second)) {
            Forget(entry);
            continue;
        }
        std::string title = system_.ReadTitle(window);
        if (title != entry->second.lastTitle)
            Judge(window);
        else if (title.empty() && !system_.IsAlive(window))
            Forget(entry);
    }
}

void PopupEngine::Judge(WindowId window) {
    auto entry = waiting_.find(window);
    if (entry == waiting_.end())
        return;
    std::string title = system_.ReadTitle(window);
    // Gone before its judgment: dropped, never counted.
    if (title.empty() && !system_.IsAlive(window)) {
        Forget(entry);
        return;
    }
    WindowRect rect = system_.ReadRect(window);
    Waiting& waiting = entry->second;
    waiting.lastTitle = title;
    if (IsBrowserTitle(title)) {
        Candidate candidate;
        candidate.newlyCounted = !waiting.counted;
        if (!waiting.counted) {
            waiting.counted = true;
            open_.Created(window);
            // Windows whose destruction report was lost must not hold places.
            open_.ForgetGone([this](WindowId id) { return system_.IsAlive(id); });
        }
        candidate.openBrowserCount = open_.Count();
        candidate.width = rect.right - rect.left;
        candidate.height = rect.bottom - rect.top;
        if (DecideKill(settings_, candidate, [&] { return banned_.Contains(title); }) !=
            KillReason::None) {
            // Closed at most once: forgotten before the request, which
            // lets reports about it arrive on this stack.
            Forget(entry);
            Kill(window, title);
            return;
        }
    }
    if (!IsYoung(waiting) || system_.IsToolWindow(window)) {
        Forget(entry);
        return;
    }
    if (watched_.empty())
        nextPollAt_ = clock_.NowMs() + kTitlePollMs;
    watched_.emplace(waiting.sequence, window);
}

bool PopupEngine::IsYoung(const Waiting& waiting) {
    return clock_.NowMs() < waiting.createdAt + LateTitleMs();
}

void PopupEngine::Forget(Entry entry) {
    const Waiting& waiting = entry->second;
    if (waiting.judged)
        watched_.erase(waiting.sequence);
    else
        due_.erase(std::make_tuple(waiting.dueAt, waiting.sequence, entry->first));
    waiting_.erase(entry);
}

void PopupEngine::Kill(WindowId window, const std::string& title) {
    // The record follows the request whether or not the window closes.
    RequestClose(window);
    recordKill_(title);
}

uint64_t PopupEngine::LateTitleMs() const {
    uint32_t seconds = settings_.LateTitleSeconds;
    return 1000ull * (seconds < kMaxLateTitleSeconds ? seconds : kMaxLateTitleSeconds);
}

} // namespace engine

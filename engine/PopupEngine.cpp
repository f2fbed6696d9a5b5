#include "engine/PopupEngine.h"

#include <utility>
#include <vector>

#include "engine/TitleMatch.h"

namespace engine {

PopupEngine::PopupEngine(const settings::Settings& liveSettings, Clock& timeSource,
                         WindowSystem& windows, const TitleIndex& bannedTitles, RecordKill onKill,
                         fw::LeadByteTest leadByteTest)
    : settings(liveSettings), clock(timeSource), system(windows), banned(bannedTitles),
      recordKill(std::move(onKill)), isLeadByte(leadByteTest) {}

void PopupEngine::OnCreated(WindowId window, bool delayed) {
    uint64_t createdAt = clock.NowMs();
    uint64_t delay = delayed ? settings.Delay : 0;
    if (delay && settings.DelayInTurn) {
        // The first way: the wait holds up everything, one window after another.
        delay = DelayInTurnMs(settings.Delay);
        if (!closing) {
            clock.Sleep(static_cast<uint32_t>(delay));
            delay = clock.NowMs() - createdAt;
        }
    }
    if (due.size() >= sweepAt)
        ForgetGoneInDelay();
    // A handle reported again belongs to a new window.
    auto old = waiting.find(window);
    if (old != waiting.end())
        Forget(old);
    Waiting& added = waiting[window];
    added.createdAt = createdAt;
    added.dueAt = createdAt + delay;
    added.sequence = ++sequence;
    due.emplace(added.dueAt, added.sequence, window);
    JudgeDue();
}

void PopupEngine::OnDestroyed(WindowId window) {
    // Counted out by identity, so the count never drops below the windows
    // really open and no title needs reading: the window is already gone
    // when its (posted) report is handled.
    auto entry = waiting.find(window);
    if (entry != waiting.end())
        Forget(entry);
    open.Destroyed(window);
}

void PopupEngine::OnTitleChanged(WindowId window) {
    // Inside a close request the next poll sees the change instead.
    if (closing)
        return;
    auto entry = waiting.find(window);
    if (entry != waiting.end() && entry->second.judged &&
        system.ReadTitle(window) != entry->second.lastTitle)
        Judge(window);
    JudgeDue();
}

void PopupEngine::OnTimer() {
    if (closing)
        return;
    JudgeDue();
    PollTitles();
    JudgeDue();
}

std::optional<uint64_t> PopupEngine::NextWakeMs() const {
    std::optional<uint64_t> wake;
    if (!due.empty())
        wake = std::get<0>(*due.begin());
    if (!watched.empty() && (!wake || nextPollAt < *wake))
        wake = nextPollAt;
    return wake;
}

void PopupEngine::StopWatchingTitles() {
    while (!watched.empty())
        Forget(waiting.find(watched.begin()->second));
}

bool PopupEngine::IsBrowserTitle(const std::string& title) const {
    return Compiled(settings.BrowserNames, browserWords, browserGeneration)
        .FoundIn(title, isLeadByte);
}

bool PopupEngine::IsNeverClose(const std::string& title) const {
    return Compiled(settings.NeverClose, neverCloseWords, neverCloseGeneration)
        .FoundIn(title, isLeadByte);
}

const TitleWords& PopupEngine::Compiled(const settings::NameList& list, TitleWords& words,
                                        uint64_t& generation) const {
    if (generation != list.Generation()) {
        words = TitleWords(list.Names());
        generation = list.Generation();
    }
    return words;
}

void PopupEngine::RequestClose(WindowId window) {
    ++closing;
    if (!system.SendClose(window, kCloseRequestTimeoutMs))
        system.PostClose(window);
    --closing;
}

void PopupEngine::JudgeDue() {
    if (closing)
        return;
    // Read again after every judgment: a close request can take a while,
    // and reports handled inside it can add windows.
    while (!due.empty() && std::get<0>(*due.begin()) <= clock.NowMs()) {
        WindowId window = std::get<2>(*due.begin());
        due.erase(due.begin());
        auto entry = waiting.find(window);
        if (entry == waiting.end())
            continue;
        entry->second.judged = true;
        Judge(window);
    }
}

void PopupEngine::ForgetGoneInDelay() {
    std::vector<WindowId> gone;
    for (const auto& entry : due) {
        if (!system.IsAlive(std::get<2>(entry)))
            gone.push_back(std::get<2>(entry));
    }
    for (WindowId window : gone)
        Forget(waiting.find(window));
    sweepAt = 2 * due.size() > kFirstSweep ? 2 * due.size() : kFirstSweep;
}

void PopupEngine::PollTitles() {
    uint64_t now = clock.NowMs();
    if (watched.empty() || now < nextPollAt)
        return;
    nextPollAt = now + kTitlePollMs;
    std::vector<WindowId> windows;
    for (const auto& item : watched)
        windows.push_back(item.second);
    for (WindowId window : windows) {
        auto entry = waiting.find(window);
        if (entry == waiting.end() || !entry->second.judged)
            continue; // forgotten meanwhile, or a new window with the same handle
        if (!IsYoung(entry->second)) {
            Forget(entry);
            continue;
        }
        std::string title = system.ReadTitle(window);
        if (title != entry->second.lastTitle)
            Judge(window);
        else if (title.empty() && !system.IsAlive(window))
            Forget(entry);
    }
}

void PopupEngine::Judge(WindowId window) {
    auto entry = waiting.find(window);
    if (entry == waiting.end())
        return;
    std::string title = system.ReadTitle(window);
    // Gone before its judgment: dropped, never counted.
    if (title.empty() && !system.IsAlive(window)) {
        Forget(entry);
        return;
    }
    WindowRect rect = system.ReadRect(window);
    Waiting& state = entry->second;
    state.lastTitle = title;
    if (IsBrowserTitle(title)) {
        Candidate candidate;
        candidate.newlyCounted = !state.counted;
        if (!state.counted) {
            state.counted = true;
            open.Created(window);
            // Windows whose destruction report was lost must not hold places.
            open.ForgetGone([this](WindowId id) { return system.IsAlive(id); });
        }
        candidate.openBrowserCount = open.Count();
        candidate.width = rect.right - rect.left;
        candidate.height = rect.bottom - rect.top;
        // A never-close title keeps its window from every rule; it still
        // counts as an open browser window.
        if (DecideKill(settings, candidate, [&] { return banned.Contains(title); }) !=
                KillReason::None &&
            !IsNeverClose(title)) {
            // Closed at most once: forgotten before the request, which
            // lets reports about it arrive on this stack.
            Forget(entry);
            Kill(window, title);
            return;
        }
    }
    if (!IsYoung(state) || system.IsToolWindow(window)) {
        Forget(entry);
        return;
    }
    if (watched.empty())
        nextPollAt = clock.NowMs() + kTitlePollMs;
    watched.emplace(state.sequence, window);
}

bool PopupEngine::IsYoung(const Waiting& state) {
    return clock.NowMs() < state.createdAt + LateTitleMs();
}

void PopupEngine::Forget(Entry entry) {
    const Waiting& state = entry->second;
    if (state.judged)
        watched.erase(state.sequence);
    else
        due.erase(std::make_tuple(state.dueAt, state.sequence, entry->first));
    waiting.erase(entry);
}

void PopupEngine::Kill(WindowId window, const std::string& title) {
    // The record follows the request whether or not the window closes.
    RequestClose(window);
    recordKill(title);
}

uint64_t PopupEngine::LateTitleMs() const {
    return 1000ull * settings.LateTitleSeconds;
}

} // namespace engine

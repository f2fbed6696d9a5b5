#include "engine/PopupEngine.h"

#include <algorithm>
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
    // A report handled after Stop: the user has turned blocking off.
    if (!blocking && !settings.DelayInTurn)
        return;
    uint64_t createdAt = clock.NowMs();
    uint64_t delay = delayed ? settings.Delay : 0;
    if (delay && settings.DelayInTurn) {
        // The first way: the wait holds up everything, one window after another.
        clock.Sleep(DelayInTurnMs(settings.Delay));
        delay = clock.NowMs() - createdAt;
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
    // Answered and still there then: it closed later, as browsers do. Before
    // its answer, the answer tells whether its thread took the request.
    auto kill = asked.find(window);
    if (kill != asked.end() && kill->second.answered)
        Settle(kill, true);
}

void PopupEngine::OnTitleChanged(WindowId window) {
    auto entry = waiting.find(window);
    if (entry != waiting.end() && entry->second.judged &&
        system.ReadTitle(window) != entry->second.lastTitle)
        Judge(window);
    JudgeDue();
}

void PopupEngine::OnTimer() {
    JudgeDue();
    PollTitles();
    JudgeDue();
    SettleDue();
}

void PopupEngine::OnCloseAnswered(WindowId window, bool reached) {
    auto kill = asked.find(window);
    if (kill == asked.end())
        return; // the hotkey's request, or one given up
    if (!reached || !system.IsAlive(window)) {
        Settle(kill, reached);
        return;
    }
    // Still there: it refused, or it closes later; the report or the
    // settling time tells.
    kill->second.answered = true;
    kill->second.settleAt = clock.NowMs() + kCloseOutcomeMs;
    settling.emplace(kill->second.settleAt, window);
}

std::optional<uint64_t> PopupEngine::NextWakeMs() const {
    std::optional<uint64_t> wake;
    if (!due.empty())
        wake = std::get<0>(*due.begin());
    if (!watched.empty() && (!wake || nextPollAt < *wake))
        wake = nextPollAt;
    if (!settling.empty() && (!wake || settling.begin()->first < *wake))
        wake = settling.begin()->first;
    return wake;
}

void PopupEngine::Start() {
    blocking = true;
    // Windows open while blocking was off sent no reports.
    open.Clear();
    for (WindowId window : system.VisibleTopLevelWindows()) {
        if (IsBrowserTitle(system.ReadTitle(window)))
            open.Created(window);
    }
}

void PopupEngine::Stop() {
    blocking = false;
    while (!waiting.empty())
        Forget(waiting.begin());
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

void PopupEngine::JudgeDue() {
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
            // Windows whose destruction report was lost (their process was
            // ended from outside) must not hold places. Looked for only when
            // a place is at stake, or once those counted have doubled: a
            // look asks after every window counted.
            if ((settings.BySess && open.Count() > settings.Sessions) ||
                static_cast<size_t>(open.Count()) >= openSweepAt) {
                open.ForgetGone([this](WindowId id) { return system.IsAlive(id); });
                openSweepAt = std::max(2 * static_cast<size_t>(open.Count()), kFirstSweep);
            }
        }
        candidate.openBrowserCount = open.Count();
        candidate.width = rect.right - rect.left;
        candidate.height = rect.bottom - rect.top;
        auto isBanned = [&] {
            return IsListedTitle(
                title, [this](const std::string& listed) { return banned.Contains(listed); },
                isLeadByte);
        };
        // A never-close title keeps its window from every rule; it still
        // counts as an open browser window.
        if (DecideKill(settings, candidate, isBanned) != KillReason::None && !IsNeverClose(title)) {
            // Closed at most once.
            Forget(entry);
            Kill(window, title);
            return;
        }
    }
    if (!blocking || !IsYoung(state) || system.IsToolWindow(window)) {
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
    // A handle reported again belongs to a new window.
    auto old = asked.find(window);
    if (old != asked.end())
        Settle(old, false);
    if (asked.size() >= askedSweepAt)
        ForgetUnanswered();
    // Entered first: an answer can come within the request (a window of
    // this thread is answered at once). No timer until the answer: the
    // program's thread is left to the window's meanwhile.
    Asked& kill = asked[window];
    kill.title = title;
    kill.askedAt = clock.NowMs();
    if (!system.AskClose(window))
        Settle(asked.find(window), false); // gone before the request
}

void PopupEngine::Settle(AskedEntry entry, bool record) {
    if (entry->second.answered)
        settling.erase(std::make_pair(entry->second.settleAt, entry->first));
    std::string title = std::move(entry->second.title);
    asked.erase(entry);
    if (record)
        recordKill(title);
}

void PopupEngine::SettleDue() {
    uint64_t now = clock.NowMs();
    while (!settling.empty() && settling.begin()->first <= now) {
        auto kill = asked.find(settling.begin()->second);
        // Gone since its answer, its report lost (a process the hook
        // library cannot reach); else it refused.
        Settle(kill, !system.IsAlive(kill->first));
    }
}

void PopupEngine::ForgetUnanswered() {
    // Wine answers a request as soon as its window goes, but the answer may
    // still wait in this thread's queue behind the report being handled, and
    // in a storm a maker's thread can take seconds to come to the request:
    // only a request that old is given up.
    uint64_t now = clock.NowMs();
    std::vector<WindowId> gone;
    for (const auto& kill : asked) {
        if (!kill.second.answered && now - kill.second.askedAt >= kUnansweredGivenUpMs &&
            !system.IsAlive(kill.first))
            gone.push_back(kill.first);
    }
    for (WindowId window : gone)
        Settle(asked.find(window), false);
    askedSweepAt = 2 * asked.size() > kFirstSweep ? 2 * asked.size() : kFirstSweep;
}

uint64_t PopupEngine::LateTitleMs() const {
    return 1000ull * settings.LateTitleSeconds;
}

} // namespace engine

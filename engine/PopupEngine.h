// The kill decision: what happens to each window the hook library reports.
// Portable: the windows, the clock, the banned titles and the statistics
// come in through small interfaces, so the whole decision runs under a
// fake clock with fake windows.
//
// Each window waits on its own clock: a creation report schedules its
// judgment at creation + "Delay", and windows are judged in the order their
// delays end. Nothing blocks meanwhile; the host calls OnTimer when
// NextWakeMs says, and needs no timer at all while nothing waits. A window
// that no rule closed is judged again when its title changes, until
// "LateTitleSeconds" after its creation. A close request is never waited
// on either: the kill is recorded once the window is known to have gone
// after its thread took the request.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/KillRules.h"
#include "engine/OpenBrowserWindows.h"
#include "engine/TitleMatch.h"
#include "framework/CodePage.h"
#include "settings/Settings.h"

namespace engine {

using WindowId = OpenBrowserWindows::WindowId;

struct WindowRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds that only go forward.
    virtual uint64_t NowMs() = 0;
    // Waits on the calling thread.
    virtual void Sleep(uint32_t ms) = 0;
};

// The windows the engine judges, of any process.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual bool IsAlive(WindowId window) = 0;
    // The whole title, whatever its length; empty when gone.
    virtual std::string ReadTitle(WindowId window) = 0;
    virtual WindowRect ReadRect(WindowId window) = 0;
    // Tooltips, menus and palettes: never a browser's pop-up, whatever text
    // they come to show, so their titles are not watched.
    virtual bool IsToolWindow(WindowId window) = 0;
    // Asks the window to close as if chosen from its system menu, and
    // returns at once; false when the window is gone already. The host
    // passes the answer on to PopupEngine::OnCloseAnswered.
    virtual bool AskClose(WindowId window) = 0;
    // The visible top-level windows of the other programs.
    virtual std::vector<WindowId> VisibleTopLevelWindows() = 0;
};

// The banned titles.
class TitleIndex {
public:
    virtual ~TitleIndex() = default;
    // True when an entry equals the title byte for byte.
    virtual bool Contains(const std::string& title) const = 0;
};

// A window still there when it answers a close request has this long to
// go: browsers close after their pages' unload handlers have run. Still
// there then, it refused. (Windows takes a window that answers nothing for 5
// seconds for hung.) A window whose thread never takes the request hangs,
// and is never recorded.
constexpr uint32_t kCloseOutcomeMs = 5000;
// How long a request whose window went may wait for its answer.
constexpr uint32_t kUnansweredGivenUpMs = 60000;
// How often the titles of windows that wait for one are read: no platform
// event reports a title change of another process's window under Wine.
constexpr uint32_t kTitlePollMs = 100;

class PopupEngine {
public:
    using RecordKill = std::function<void(const std::string& title)>;

    // settings are read at every decision, so a change acts on the next one.
    PopupEngine(const settings::Settings& liveSettings, Clock& timeSource, WindowSystem& windows,
                const TitleIndex& bannedTitles, RecordKill onKill, fw::LeadByteTest leadByteTest);

    // A new window: it waits its "Delay" when delayed, else it is judged now.
    // While blocking is stopped it is dropped (with "DelayInTurn" judged, as
    // the first versions did).
    void OnCreated(WindowId window, bool delayed = true);
    // A window being destroyed: forgotten, and counted out if it was counted;
    // a kill whose request it had taken is recorded.
    void OnDestroyed(WindowId window);
    void OnTitleChanged(WindowId window);
    // Judges the windows whose delay is over, reads the watched titles and
    // settles the close requests whose time has come.
    void OnTimer();
    // The answer to a close request: reached is false when the window was
    // gone before its thread took the request.
    void OnCloseAnswered(WindowId window, bool reached);
    // When OnTimer is next needed; nothing while no window waits.
    std::optional<uint64_t> NextWakeMs() const;
    // Blocking starts: the browser windows open now are counted for the
    // session rule, and the reports count on from there.
    void Start();
    // Blocking stops: windows in their delay or watched for a title are
    // dropped, neither judged nor counted. With "DelayInTurn" nothing is
    // in its delay: the stop waited behind each window's wait.
    void Stop();

    bool IsBrowserTitle(const std::string& title) const;
    // A title that no rule closes.
    bool IsNeverClose(const std::string& title) const;
    // Asks the window to close (the ban hotkey's request: nothing is recorded).
    void RequestClose(WindowId window) { system.AskClose(window); }

    // openBrowserCount: browser windows counted in and not yet gone.
    int32_t OpenBrowserCount() const { return open.Count(); }
    // Windows in their delay or watched for a title.
    size_t WaitingCount() const { return waiting.size(); }

private:
    struct Waiting {
        uint64_t createdAt = 0;
        uint64_t dueAt = 0;
        uint64_t sequence = 0; // creation order
        bool judged = false;   // its delay is over
        bool counted = false;  // it has shown a browser title
        std::string lastTitle; // at its last judgment
    };
    using Entry = std::unordered_map<WindowId, Waiting>::iterator;
    // A kill asked for and not yet settled.
    struct Asked {
        std::string title;
        uint64_t askedAt = 0;
        // Once its thread took the request and the window was still there.
        bool answered = false;
        uint64_t settleAt = 0;
    };
    using AskedEntry = std::unordered_map<WindowId, Asked>::iterator;

    void JudgeDue();
    // Windows whose destruction was never reported would otherwise wait out
    // a long delay in memory: swept whenever those waiting have doubled.
    void ForgetGoneInDelay();
    static constexpr size_t kFirstSweep = 64;
    void PollTitles();
    void Judge(WindowId window);
    // Still inside its late-title time.
    bool IsYoung(const Waiting& state);
    void Forget(Entry entry);
    void Kill(WindowId window, const std::string& title);
    // Recorded, or given up; either way forgotten.
    void Settle(AskedEntry entry, bool record);
    void SettleDue();
    // Should a request whose window went never be answered, it would stay:
    // swept whenever those asked have doubled.
    void ForgetUnanswered();
    uint64_t LateTitleMs() const;

    // Compiled anew whenever the list changes.
    const TitleWords& Compiled(const settings::NameList& list, TitleWords& words,
                               uint64_t& generation) const;

    const settings::Settings& settings;
    mutable TitleWords browserWords;
    mutable TitleWords neverCloseWords;
    mutable uint64_t browserGeneration = 0;
    mutable uint64_t neverCloseGeneration = 0;
    Clock& clock;
    WindowSystem& system;
    const TitleIndex& banned;
    RecordKill recordKill;
    fw::LeadByteTest isLeadByte;

    std::unordered_map<WindowId, Waiting> waiting;
    // Windows in their delay, by (due time, sequence).
    std::set<std::tuple<uint64_t, uint64_t, WindowId>> due;
    // Judged windows watched for a new title, by sequence.
    std::map<uint64_t, WindowId> watched;
    size_t sweepAt = kFirstSweep;
    uint64_t nextPollAt = 0;
    uint64_t sequence = 0;
    size_t openSweepAt = kFirstSweep;
    std::unordered_map<WindowId, Asked> asked;
    size_t askedSweepAt = kFirstSweep;
    // The kills answered with the window still there, by (settling time, window).
    std::set<std::pair<uint64_t, WindowId>> settling;
    bool blocking = true;
    OpenBrowserWindows open;
};

} // namespace engine

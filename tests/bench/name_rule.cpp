// The kill decision for a browser window that only the name rule could
// close, with 100, 10,000 and 100,000 banned titles: the program's decision
// (the banned list's exact index) next to the same decision walking a list
// box of the same titles entry by entry (LB_GETCOUNT, LB_GETTEXT, byte
// comparison), both measured in this run.
#include <windows.h>
#include <commctrl.h>

#include "bannedlist/BannedList.h"
#include "engine/KillRules.h"
#include "engine/PopupEngine.h"
#include "engine/TitleMatch.h"
#include "engine/Win32Windows.h"
#include "framework/AnsiCodePage.h"
#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "listfile/Win32ListFileSystem.h"
#include "settings/Settings.h"
#include "stats/KillCount.h"
#include "tests/bench/BenchSupport.h"

namespace {

// Zero-padded numbers keep byte order and the list box's own order the
// same, so the titles go in already sorted (Wine inserts in O(n) otherwise).
std::string BannedTitle(int i) {
    char text[64];
    std::snprintf(text, sizeof(text), "Banned pop-up %06d - Opera", i);
    return text;
}

struct Index : engine::TitleIndex {
    explicit Index(const bannedlist::BannedList& list) : titles(list) {}
    bool Contains(const std::string& title) const override { return titles.Contains(title); }
    const bannedlist::BannedList& titles;
};

// The decision without the index: the name rule walks the list box.
engine::KillReason WalkingDecision(const settings::Settings& options, HWND listBox, HWND window) {
    engine::Win32Windows windows;
    engine::WindowRect rect = windows.ReadRect(engine::IdOf(window));
    std::string title = windows.ReadTitle(engine::IdOf(window));
    if (!engine::IsBrowserTitle(title, options.BrowserNames.Names(), fw::AnsiLeadByte))
        return engine::KillReason::None;
    engine::Candidate candidate;
    candidate.width = rect.right - rect.left;
    candidate.height = rect.bottom - rect.top;
    return engine::DecideKill(options, candidate,
                              [&] { return bench::WalkListBoxFor(listBox, title); });
}

// Pop-ups that ignore the close request, so the same one can be judged again.
LRESULT CALLBACK StubbornProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        return 0;
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA stubborn{};
    stubborn.lpfnWndProc = StubbornProc;
    stubborn.hInstance = instance;
    stubborn.lpszClassName = "BenchPopup";
    ::RegisterClassA(&stubborn);

    HWND host = ::CreateWindowExA(0, "STATIC", "bench host", WS_POPUP, 0, 0, 800, 600, nullptr,
                                  nullptr, instance, nullptr);
    HWND listBox = ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_HASSTRINGS, 0, 0, 300, 200,
                                     host, nullptr, instance, nullptr);
    if (!host || !listBox) {
        std::printf("could not create the windows\n");
        return 1;
    }
    settings::Settings options;
    options.LateTitleSeconds = 0; // judged once, as the walk is
    listfile::SystemTitleOrder order;
    listfile::Win32ListFileSystem files;
    listfile::SystemCodePage codePage;
    bannedlist::BannedList banned(order, files, codePage);
    stats::KillCount kills;
    engine::SystemClock clock;
    engine::Win32Windows windows;
    Index index(banned);
    engine::PopupEngine killer(
        options, clock, windows, index, [&](const std::string& title) { kills.Record(title); },
        fw::AnsiLeadByte);
    // Too big for the size rule, not banned: only the name rule decides, and
    // the walk has to look at every entry (the common case).
    HWND popup = ::CreateWindowExA(0, "BenchPopup", "Unlisted pop-up - Opera", WS_OVERLAPPEDWINDOW,
                                   0, 0, 1200, 800, nullptr, nullptr, instance, nullptr);

    std::printf("Kill decision for a browser window under the name rule (median per decision)\n");
    std::printf("%9s %12s %12s %10s\n", "titles", "indexed us", "walk us", "walk/idx");
    for (int count : {100, 10000, 100000}) {
        banned.Clear();
        ::SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
        std::vector<std::string> titles;
        for (int i = 0; i < count; ++i) {
            titles.push_back(BannedTitle(i));
            ::SendMessageA(listBox, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(titles.back().c_str()));
        }
        if (banned.Merge(listfile::TitleSet::From(titles, order)) != titles.size()) {
            std::printf("not all of %d titles went in\n", count);
            return 1;
        }
        double indexed = bench::MedianMs(201, [&] { killer.OnCreated(engine::IdOf(popup)); });
        engine::KillReason reason = engine::KillReason::Name;
        double walked = bench::MedianMs(count >= 100000  ? 5
                                        : count >= 10000 ? 21
                                                         : 201,
                                        [&] { reason = WalkingDecision(options, listBox, popup); });
        if (reason != engine::KillReason::None) {
            std::printf("the walk found an unlisted title\n");
            return 1;
        }
        std::printf("%9d %12.1f %12.1f %9.0fx\n", count, indexed * 1000.0, walked * 1000.0,
                    walked / indexed);
        std::fflush(stdout);
    }

    // The Browsers tab's lists at their long end: 100 browser names and
    // 1,000 never-close words, none in the title, beside the first run's
    // four names and none, deciding the same window side by side.
    settings::Settings longLists = options;
    for (int i = 0; i < 96; ++i)
        longLists.BrowserNames.Add("Browser " + std::to_string(i));
    for (int i = 0; i < 1000; ++i)
        longLists.NeverClose.Add("Sign in to service " + std::to_string(i));
    engine::PopupEngine withLists(
        longLists, clock, windows, index, [&](const std::string& title) { kills.Record(title); },
        fw::AnsiLeadByte);
    // A title the size rule would close, so that the never-close words are
    // looked at on every decision.
    HWND small = ::CreateWindowExA(0, "BenchPopup", "Unlisted pop-up - Opera", WS_OVERLAPPEDWINDOW,
                                   0, 0, 300, 200, nullptr, nullptr, instance, nullptr);
    double firstRun = bench::MedianMs(2001, [&] { killer.OnCreated(engine::IdOf(small)); });
    double longRun = bench::MedianMs(2001, [&] { withLists.OnCreated(engine::IdOf(small)); });
    std::printf("\nDecision for a small browser window (median per decision)\n");
    std::printf("%-48s %10.2f us\n", "4 browser names, no never-close word", firstRun * 1000.0);
    std::printf("%-48s %10.2f us\n", "100 browser names, 1,000 never-close words",
                longRun * 1000.0);
    std::printf("%-48s %10.2fx (goal: at most 2x)\n", "long lists / first run", longRun / firstRun);
    bench::PrintSummary("decision with the Browsers tab's long lists, beside the first run's",
                        longRun * 1000.0, firstRun * 1000.0, 2, "us");
    ::DestroyWindow(small);
    ::DestroyWindow(popup);
    ::DestroyWindow(host);
    return 0;
}

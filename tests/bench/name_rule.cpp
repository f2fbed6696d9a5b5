// The kill decision for a browser window that only the name rule could
// close, with 100, 10,000 and 100,000 banned titles: the program's decision
// (exact index beside the list box) next to the same decision walking the
// list box entry by entry (LB_GETCOUNT, LB_GETTEXT, byte comparison), both
// measured in this run on the same list box.
#include <windows.h>
#include <commctrl.h>

#include "bannedlist/BannedListPage.h"
#include "engine/KillRules.h"
#include "engine/PopupEngine.h"
#include "engine/TitleMatch.h"
#include "engine/Win32Windows.h"
#include "framework/AnsiCodePage.h"
#include "settings/OptionsPage.h"
#include "stats/StatisticsPage.h"
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
    explicit Index(const bannedlist::BannedTitles& list) : titles(list) {}
    bool Contains(const std::string& title) const override { return titles.Contains(title); }
    const bannedlist::BannedTitles& titles;
};

// The decision without the index: the name rule walks the list box.
engine::KillReason WalkingDecision(settings::OptionsPage& options, HWND listBox, HWND window) {
    options.ReadForReport();
    engine::Win32Windows windows;
    engine::WindowRect rect = windows.ReadRect(engine::IdOf(window));
    std::string title = windows.ReadTitle(engine::IdOf(window));
    if (!engine::IsBrowserTitle(title, options.BrowserNames, fw::AnsiLeadByte))
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
    settings::OptionsPage options;
    bannedlist::BannedListPage banned;
    stats::StatisticsPage stats;
    if (!host || !options.Create(host) || !banned.Create(host) || !stats.Create(host)) {
        std::printf("could not create the pages\n");
        return 1;
    }
    options.StopApplyingOnHide();
    options.LateTitleSeconds = 0; // judged once, as the walk is
    engine::SystemClock clock;
    engine::Win32Windows windows;
    Index index(banned.titles);
    engine::PopupEngine killer(
        options, clock, windows, index, [&](const std::string& title) { stats.RecordKill(title); },
        fw::AnsiLeadByte);
    // Too big for the size rule, not banned: only the name rule decides, and
    // the walk has to look at every entry (the common case).
    HWND popup = ::CreateWindowExA(0, "BenchPopup", "Unlisted pop-up - Opera", WS_OVERLAPPEDWINDOW,
                                   0, 0, 1200, 800, nullptr, nullptr, instance, nullptr);

    std::printf("Kill decision for a browser window under the name rule (median per decision)\n");
    std::printf("%9s %12s %12s %10s\n", "titles", "indexed us", "walk us", "walk/idx");
    for (int count : {100, 10000, 100000}) {
        banned.titles.Clear();
        std::vector<std::string> titles;
        for (int i = 0; i < count; ++i)
            titles.push_back(BannedTitle(i));
        if (banned.titles.InsertMany(titles) != titles.size()) {
            std::printf("not all of %d titles went in\n", count);
            return 1;
        }
        double indexed = bench::MedianMs(201, [&] {
            options.ReadForReport();
            killer.OnCreated(engine::IdOf(popup));
        });
        engine::KillReason reason = engine::KillReason::Name;
        double walked = bench::MedianMs(
            count >= 100000  ? 5
            : count >= 10000 ? 21
                             : 201,
            [&] { reason = WalkingDecision(options, banned.titles.ListBox(), popup); });
        if (reason != engine::KillReason::None) {
            std::printf("the walk found an unlisted title\n");
            return 1;
        }
        std::printf("%9d %12.1f %12.1f %9.0fx\n", count, indexed * 1000.0, walked * 1000.0,
                    walked / indexed);
        std::fflush(stdout);
    }
    ::DestroyWindow(popup);
    ::DestroyWindow(host);
    return 0;
}

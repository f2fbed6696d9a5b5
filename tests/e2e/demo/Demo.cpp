// scripts/run.sh --demo: the program's main job in a minute. It starts
// Velmora with its window shown, bans one title, opens four windows from
// another process (two the size rule closes, one that stays, one with the
// banned title), shows the Statistics page listing what was closed, saves
// a picture of it in the folder VELMORA_SCREENSHOTS names and prints its
// path. Velmora keeps running afterwards.
#include <cstdio>

#include "tests/e2e/Harness.h"

using namespace e2e;

int main() {
    UseQuietSettings(); // on screen, no list file: the demo's own prefix
    VelmoraProcess app;
    HWND main = app.Start(MakeWorkDir("demo")) ? app.WaitForMainWindow() : nullptr;
    MakerProcess maker;
    if (!main || !maker.Start()) {
        std::printf("the demo could not start Velmora or its window maker\n");
        return 1;
    }
    const char banned[] = "Casino bonus - Opera";
    AddTitle(app, banned);
    const struct {
        const char* title;
        int width, height;
    } windows[] = {
        {"Win a prize - Opera", 300, 200},      // smaller than 1000 x 700: closed
        {"Special offer - Netscape", 480, 360}, // closed too
        {"Daily news - Opera", 1100, 760},      // large and not banned: stays
        {banned, 1100, 760},                    // banned: closed by its name
    };
    for (const auto& window : windows) {
        std::printf("opening \"%s\" (%d x %d)\n", window.title, window.width, window.height);
        maker.Open(window.title, window.width, window.height);
        SettleWith(app, maker);
    }
    app.SelectTab(kStatsPage);
    ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    app.Settle();
    for (const std::string& line : app.StatisticsLines())
        std::printf("  %s\n", line.c_str());
    bool saved = SaveScreenshot(main, "velmora-demo");
    std::printf(saved ? "The Statistics page: %s/velmora-demo.png\n"
                      : "*** the picture could not be saved in %s\n",
                Env("VELMORA_SCREENSHOTS").c_str());
    // Velmora goes on running as run.sh runs it; the windows the maker made
    // go with it.
    app.Detach();
    return saved ? 0 : 1;
}

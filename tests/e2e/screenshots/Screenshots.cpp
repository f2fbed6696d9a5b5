// Pictures of the four pages and of the tray menu for the README, saved as
// PNGs in the folder named by VELMORA_SCREENSHOTS. A step of the test run,
// not a test: it checks nothing, and its exit code says only whether every
// picture was saved.
#include <cstdio>

#include "tests/e2e/Harness.h"

using namespace e2e;

int main() {
    if (Env("VELMORA_SCREENSHOTS").empty()) {
        std::fprintf(stderr, "VELMORA_SCREENSHOTS names no folder\n");
        return 2;
    }
    int failed = 0;
    auto saved = [&](HWND window, const char* name) {
        bool ok = window && SaveScreenshot(window, name);
        std::printf("%s %s\n", ok ? "saved" : "could not save", name);
        failed += ok ? 0 : 1;
    };
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartApp(app, "screenshots");
    const char* const names[] = {"banned-list", "statistics", "options", "browsers", "about"};
    for (int page = kBannedPage; main && page <= kAboutPage; ++page) {
        app.SelectTab(page);
        ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        app.Settle();
        saved(main, names[page]);
    }
    ::PostMessageA(TrayWindowOf(app), kTrayNotify, IDR_TRAY_STARTED, WM_RBUTTONUP);
    WaitUntil([&] { return ShownMenu(app) != nullptr; });
    saved(ShownMenu(app), "tray-menu");
    ChooseInMenu(app, {VK_ESCAPE});
    if (!app.Close())
        ++failed;
    return failed;
}

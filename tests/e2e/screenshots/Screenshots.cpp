// Pictures of the four pages and of the tray menu for the README, saved as
// PNGs in the folder named by VELMORA_SCREENSHOTS, their names ending in the
// display scale when it is not 100 % ("options-150.png"). A step of the
// test run, not a test: it checks nothing, and its exit code says only
// whether every picture was saved.
#include <cstdio>
#include <string>

#include "tests/e2e/Harness.h"

using namespace e2e;

int main() {
    if (Env("VELMORA_SCREENSHOTS").empty()) {
        std::fprintf(stderr, "VELMORA_SCREENSHOTS names no folder\n");
        return 2;
    }
    int failed = 0;
    fw::WindowDc screen(nullptr);
    int percent = ::GetDeviceCaps(screen.Get(), LOGPIXELSY) * 100 / 96;
    std::string scale = percent == 100 ? "" : "-" + std::to_string(percent);
    auto saved = [&](HWND window, const char* name) {
        bool ok = window && SaveScreenshot(window, name + scale);
        std::printf("%s %s%s\n", ok ? "saved" : "could not save", name, scale.c_str());
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

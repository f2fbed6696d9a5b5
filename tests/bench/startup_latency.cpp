// Start-up of Velmora.exe to its main window ready, and the latency of a
// report: from a window's creation in this process to the main window's
// handler acting on it (its close request arriving back here), beside the
// platform's floor measured in the same run: a message sent to the other
// process and answered.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/e2e/Harness.h"

namespace {

LARGE_INTEGER g_frequency;
LONGLONG g_closeRequestedAt = 0;

LONGLONG Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG ticks) { return 1000.0 * static_cast<double>(ticks) / g_frequency.QuadPart; }

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE && !g_closeRequestedAt)
        g_closeRequestedAt = Now();
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

struct Stats {
    double median, p99, max;
};

Stats Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return {samples[n / 2], samples[std::min(n - 1, (n * 99) / 100)], samples.back()};
}

} // namespace

int main() {
    ::QueryPerformanceFrequency(&g_frequency);
    e2e::UseQuietSettings();

    std::vector<double> startups;
    for (int run = 0; run < 5; ++run) {
        e2e::VelmoraProcess app;
        LONGLONG t0 = Now();
        if (!app.Start(e2e::MakeWorkDir("bench-start")) || !app.WaitForMainWindow()) {
            std::printf("Velmora did not start\n");
            return 1;
        }
        startups.push_back(Ms(Now() - t0));
        app.Close();
    }
    Stats start = Summarise(startups);
    std::printf("start-up to main window ready: median %.1f ms, max %.1f ms (%zu runs)\n",
                start.median, start.max, startups.size());

    e2e::VelmoraProcess app;
    if (!app.Start(e2e::MakeWorkDir("bench-latency")) || !app.WaitForMainWindow())
        return 1;
    HWND main = app.MainWindow();

    WNDCLASSA wc{};
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmoraBenchPopup";
    ::RegisterClassA(&wc);

    const int kWindows = 200;
    std::vector<double> latencies, fromCall, creations;
    for (int i = 0; i < kWindows; ++i) {
        g_closeRequestedAt = 0;
        LONGLONG t0 = Now();
        HWND popup = ::CreateWindowExA(0, "VelmoraBenchPopup", "Bench - Opera",
                                       WS_OVERLAPPEDWINDOW, 20, 20, 200, 100, nullptr,
                                       nullptr, wc.hInstance, nullptr);
        LONGLONG created = Now();
        creations.push_back(Ms(created - t0));
        // The size rule closes it: wait for the close request, answering messages.
        DWORD started = ::GetTickCount();
        while (!g_closeRequestedAt && ::GetTickCount() - started < 5000) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        if (g_closeRequestedAt) {
            latencies.push_back(Ms(g_closeRequestedAt - created));
            fromCall.push_back(Ms(g_closeRequestedAt - t0));
        }
        if (::IsWindow(popup))
            ::DestroyWindow(popup);
        Pump();
    }

    // The handler alone: the same report sent straight to the main window,
    // with blocking stopped so the hook does not close the window first.
    app.Click(app.Control(1015));
    app.Settle();
    std::vector<double> handler;
    for (int i = 0; i < kWindows; ++i) {
        HWND popup = ::CreateWindowExA(0, "VelmoraBenchPopup", "Bench - Opera", WS_OVERLAPPEDWINDOW,
                                       20, 20, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        app.Settle();
        g_closeRequestedAt = 0;
        LONGLONG t0 = Now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(main, WM_APP + 0x14D, reinterpret_cast<WPARAM>(popup), 111,
                              SMTO_NORMAL, 5000, &result);
        if (g_closeRequestedAt)
            handler.push_back(Ms(g_closeRequestedAt - t0));
        if (::IsWindow(popup))
            ::DestroyWindow(popup);
        Pump();
    }

    std::vector<double> floor;
    for (int i = 0; i < kWindows; ++i) {
        DWORD_PTR result = 0;
        LONGLONG t0 = Now();
        ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        floor.push_back(Ms(Now() - t0));
    }
    app.Close();

    if (latencies.empty()) {
        std::printf("no window was closed: no latency to report\n");
        return 1;
    }
    Stats report = Summarise(latencies);
    Stats create = Summarise(creations);
    Stats call = Summarise(fromCall);
    std::printf("CreateWindow itself: median %.3f ms, p99 %.3f ms\n", create.median, create.p99);
    std::printf("from the start of the CreateWindow call to the close request: median %.3f ms, "
                "p99 %.3f ms\n",
                call.median, call.p99);
    Stats base = Summarise(floor);
    if (!handler.empty()) {
        Stats h = Summarise(handler);
        std::printf("handler alone, report sent to it directly: median %.3f ms, p99 %.3f ms\n",
                    h.median, h.p99);
    }
    std::printf("report latency, window created to close request (%zu of %d windows): median %.3f ms, "
                "p99 %.3f ms\n",
                latencies.size(), kWindows, report.median, report.p99);
    std::printf("floor, message sent to the other process and answered:     median %.3f ms, "
                "p99 %.3f ms\n",
                base.median, base.p99);
    std::printf("ratio to the floor: median %.2fx, p99 %.2fx (goal: within 2x)\n",
                report.median / base.median, report.p99 / base.p99);
    return 0;
}

// A test library hooked into Velmora's user-interface thread, to see and do
// what only that process can under Wine: the menu it tracks (menu handles do
// not work across processes), its USER and GDI objects (GetGuiResources
// answers 0), its system colours (each process keeps its own), and, hooked
// into every thread, each time its main window is shown.
#pragma once

#include <windows.h>

namespace probe {

constexpr int kMaxItems = 12;
// An icon leaked shows as its two bitmaps among the GDI objects.
enum Object { kGdi, kMenus, kWindows, kObjectKinds };

// What the probe saw last, in a section that every process loading the
// library shares.
struct Report {
    LONG serial;
    LONG objects[kObjectKinds];
    LONG itemCount; // -1: no menu tracked
    LONG defaultPosition;
    char texts[kMaxItems][32];
    LONG mainWindowShows;
};

enum Query : WPARAM { kCountObjects = 1, kReadMenu = 2, kSetButtonFace = 3 };
// Sent (never posted) to a window of the hooked thread, with a Query and,
// for kSetButtonFace, the colour.
inline UINT ProbeMessage() {
    return ::RegisterWindowMessageA("VelmoraE2EProbe");
}

// The exports: "AttachProbe" hooks a thread (0: every thread), "ProbeReport".
using AttachProbeFunction = HHOOK(__cdecl*)(HMODULE self, DWORD threadId);
using ProbeReportFunction = const Report*(__cdecl*)();

} // namespace probe

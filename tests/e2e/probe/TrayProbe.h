// A test library that the end-to-end driver hooks into Velmora's
// user-interface thread, to look at what only that process can see under
// Wine: a tracked menu (menu handles do not work across processes) and the
// number of its USER and GDI objects (GetGuiResources always answers 0).
#pragma once

#include <windows.h>

namespace probe {

constexpr UINT kMaxItems = 8;
constexpr LONG kMagic = 0x7E57;

// What the probe saw last; lives in a section every process that loads the
// library shares.
struct Report {
    LONG magic;
    LONG serial;
    // Objects of the process.
    LONG gdiObjects;
    LONG menus;
    LONG icons;
    LONG windows;
    // The menu tracked on the thread, if any.
    LONG menuFound;
    LONG itemCount;
    LONG defaultPosition;
    UINT ids[kMaxItems];
    UINT states[kMaxItems];
    char texts[kMaxItems][32];
    // Times a window captioned "Draxtel Velmora" was about to be shown, in
    // any process the hook reaches.
    LONG mainWindowShows;
};

enum Query : WPARAM { kCountObjects = 1, kReadMenu = 2 };

// Sent (never posted) to any window of the hooked thread, with a Query.
inline UINT ProbeMessage() { return ::RegisterWindowMessageA("VelmoraE2EProbe"); }

// The library's two exports, found with GetProcAddress.
// "AttachProbe": hooks the thread (0: every thread); null when the hook could not be set.
using AttachProbeFunction = HHOOK(__cdecl*)(DWORD threadId);
// "ProbeReport": the shared report.
using ProbeReportFunction = const Report*(__cdecl*)();

} // namespace probe

// The hook library's interface: three plain exports and one message back.
#pragma once

#include <windows.h>

// To the window given to SetHook, sent from its own thread or posted:
// wParam = the window concerned, lParam = POPUP_EVENT_CREATED or
// POPUP_EVENT_DESTROYED.
#define WM_POPUP_CREATED (WM_APP + 0x14D)
#define POPUP_EVENT_CREATED 111
#define POPUP_EVENT_DESTROYED 222

#ifdef HOOK_BUILDING_DLL
extern "C" {
// Installs the watching for the calling thread's target window.
__declspec(dllexport) void SetHook(HWND target);
// 1: report window creation and destruction; 0: report nothing.
__declspec(dllexport) void SetEnable(int enable);
// Removes the watching; harmless when repeated or before SetHook.
__declspec(dllexport) void RemoveHook(void);
}
#endif

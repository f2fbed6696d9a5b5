// The DPI a window is shown at, the system's sizes at a DPI, and the layout
// of a dialog at any DPI. Windows 10's per-window DPI functions are looked
// up when first needed, so the program still runs where they are missing.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/DpiRules.h"
#include "framework/Handle.h"

namespace fw {

// The messages of a DPI change (Windows 8.1 and 10), missing from older headers.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedBeforeParent = 0x02E2;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

UINT SystemDpi();
// What the window last heard in WM_DPICHANGED, or the nearest window above
// it (parent or owner) that heard one; else the system's answer for the
// window: GetDpiForWindow, the monitor's DPI, or the system DPI.
UINT WindowDpi(HWND window);
// Kept on the window until ForgetWindowDpi (before it is destroyed).
void RecordWindowDpi(HWND window, UINT dpi);
void ForgetWindowDpi(HWND window);
// GetSystemMetrics as it answers at dpi.
int SystemMetricForDpi(int index, UINT dpi);
// WM_DPICHANGED_AFTERPARENT to every window below top, each parent before
// its children, as Windows 10 tells them.
void TellDescendantsDpiChanged(HWND top);
// An icon resource of the program, drawn at size x size pixels; null when
// it cannot be loaded. The caller owns it.
HICON LoadIconAtSize(int resourceId, int size);

// A dialog from its template laid out in proportion at any DPI: every
// control keeps its 96-DPI place times dpi / 96, in the template's font made
// for dpi. At 96 DPI the dialog manager's own layout stays as it is.
class DialogLayout {
public:
    DialogLayout() = default;
    DialogLayout(const DialogLayout&) = delete;
    DialogLayout& operator=(const DialogLayout&) = delete;

    // At WM_INITDIALOG, while the template's controls are all there is:
    // their places, then the layout for the dialog's DPI. A top-level dialog
    // also takes its size for that DPI.
    void Capture(HWND dialog, UINT templateId);
    // Places and font for dpi (the dialog's own size is the caller's).
    void Apply(HWND dialog, UINT dpi);
    // The DPI the controls are laid out for; 0 before Capture.
    UINT Dpi() const { return dpi; }

private:
    struct Place {
        HWND control;
        PixelRect at96;
    };
    HFONT FontFor(UINT target);

    std::vector<Place> places;
    PixelRect client96;
    DialogTemplateInfo templateInfo;
    // The dialog manager's font, made for the DPI the dialog was created at.
    HFONT createdFont = nullptr;
    UINT createdFontDpi = 0;
    UniqueFont madeFont;
    UINT madeFontDpi = 0;
    UINT dpi = 0;
};

} // namespace fw

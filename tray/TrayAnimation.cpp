#include "tray/TrayAnimation.h"

// Plain hide and show; the animated version replaces these.
void ShrinkToTray(HWND window) { ::ShowWindow(window, SW_HIDE); }

void GrowFromTray(HWND window) {
    ::ShowWindow(window, SW_SHOW);
    ::SetActiveWindow(window);
    ::SetForegroundWindow(window);
}

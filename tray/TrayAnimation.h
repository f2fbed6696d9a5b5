// Moving the main window into the notification area and back, with the
// system's caption animation.
#pragma once

#include <windows.h>

namespace tray {

// Animates the window into the notification area, takes it off the taskbar
// and hides it.
void ShrinkToTray(HWND window);
// Gives the window back to the desktop, animates it out of the notification
// area, shows and activates it.
void GrowFromTray(HWND window);
// The screen rectangle the animations aim at.
void LocateNotificationArea(RECT& rect);
// Whether the system's minimise and restore animation is switched on.
bool MinimizeAnimationOn();
// Makes the window a child of the hidden parent, off the taskbar; false when
// the hidden parent cannot be made.
bool DetachFromTaskbar(HWND window);
// The hidden parent, or null while it has not been needed yet.
HWND HiddenParentWindow();

} // namespace tray

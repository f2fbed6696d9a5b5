// Moving the main window into the notification area and back.
#pragma once

#include <windows.h>

void ShrinkToTray(HWND window);
void GrowFromTray(HWND window);

// Pictures of the real program taken from the virtual display, for the
// README and for checks on what is actually drawn.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Pixels of a screen rectangle, top row first.
class ScreenShot {
public:
    bool Take(const RECT& screenRect);
    bool TakeWindow(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle (shot coordinates) have this colour.
    int Count(COLORREF colour, const RECT& area) const;
    int Count(COLORREF colour) const { return Count(colour, RECT{0, 0, width_, height_}); }
    // Writes a 24-bit BMP into the folder named by VELMORA_SCREENSHOTS (the
    // test script turns it into a PNG). False when there is no such folder.
    bool Save(const std::string& name) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<BYTE> bgr_; // rows of width_ * 3 bytes padded to 4, top row first
    int Stride() const { return (width_ * 3 + 3) & ~3; }
};

// A top-level window of the process with this class ("#32768" for a menu).
HWND FindTopLevelOfProcess(DWORD pid, const char* className, bool visibleOnly = true);

} // namespace e2e

// A push button or check box drawn flat with a 16 x 16 icon beside its caption.
#pragma once

#include "framework/Window.h"

class ImageButton : public fw::CWindow {
public:
    enum StateColour { HoverBack = 0, HoverText = 1, NormalBack = 2, NormalText = 3, FocusBack = 4, FocusText = 5 };
    static constexpr int AUTO_GREY_ICON = -2;

    ImageButton() = default;

    int SetIconResources(int firstId, int secondId);
    int SetIconHandles(HICON first, HICON second);
    int SetStateColour(int slot, COLORREF colour, bool repaint = true);
    int ShadeStateColour(int slot, int shade, bool repaint = true);
    int ResetStateColours(bool repaint = true);
    int SetPressShift(int style, bool repaint = true);
    int SetCheckState(int checked, bool repaint = true);
    int GetCheckState() const;
    int SetLinkTarget(const char* address);
};

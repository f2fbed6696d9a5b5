// The arithmetic behind ImageButton's look, free of windows so that it can be
// checked on its own: colours, the grey picture, where icon and caption go,
// and the style and check-state rules of the button messages.
#pragma once

#include <cstdint>

namespace controls {

// A colour in the platform's 0x00BBGGRR layout, so it converts to COLORREF as is.
using Colour = uint32_t;
constexpr Colour MakeColour(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// Moves all three channels by the same amount toward white (shade > 0) or
// black, stopping where the first channel reaches its end, so the hue stays.
Colour ShadeColour(Colour colour, int shade);

// Luminance of a pixel as the grey picture uses it, truncated.
int GreyLevel(Colour colour);
// The grey picture's pixel: black stays black (it is the transparent part
// of a classic icon), anything else becomes its grey level.
Colour GreyPixel(Colour colour);

// Result codes of the button's operations.
enum ButtonResult : int {
    kDone = 0,
    kIconUnreadable = 1,
    kBadSlot = 3,
    kBadShade = 5,
    kBadPressStyle = 6,
    kAddressTooLong = 7,
};

// The six state colours, by slot.
class StateColours {
public:
    static constexpr int kSlots = 6;
    // Even slots the face colour, odd slots the text colour.
    void Reset(Colour face, Colour text);
    int Set(int slot, Colour colour);
    int Shade(int slot, int shade);
    Colour Get(int slot) const { return slot >= 0 && slot < kSlots ? slots[slot] : 0; }

private:
    Colour slots[kSlots] = {};
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Spot {
    int x = 0, y = 0;
    bool operator==(const Spot& o) const { return x == o.x && y == o.y; }
};

enum class ImageAlign { Left = 0, Above = 1, Right = 2 };

struct ImageLayout {
    ImageAlign align = ImageAlign::Left;
    int marginX = 3;
    int marginY = 3;
    Spot pressShift{1, 1};
    bool checkBox = false;
};

// Where an image of w x h goes on a button whose client area is item; moves
// the caption rectangle out of its way. Halves truncate toward zero.
Spot LayoutImage(const ImageLayout& layout, bool hasCaption, const Box& item, Box& caption,
                 bool pressed, int w, int h);

// A check box's text starts this many pixels (at 96 DPI) right of its icon.
constexpr int kCheckBoxTextGap = 5;
// Where the measured caption goes: measured keeps the rectangle's left and
// top and the wrapped text's size; the result is centred in the remembered
// rectangle (a check box's text sits checkBoxGap pixels in from its left instead).
Box PlaceCaption(const Box& remembered, const Box& measured, bool checkBox,
                 int checkBoxGap = kCheckBoxTextGap);

// 0 = the first image, 1 = the second.
int ChooseImage(bool pressed, bool checkBox, bool hovering, bool hasSecond);

// Button styles: the low five bits are the button type.
constexpr uint32_t kTypeMask = 0x1F;
constexpr uint32_t kOwnerDraw = 0x0B;
constexpr uint32_t kDefPushButton = 0x01;
constexpr uint32_t kPushButton = 0x00;
constexpr uint32_t kCheckBoxBit = 0x02;
constexpr uint32_t OwnerDrawStyle(uint32_t style) {
    return (style & ~kTypeMask) | kOwnerDraw;
}
// The default-button flag after the dialog manager asks for style.
bool DefaultAfterSetStyle(uint32_t requested, bool current);
// BM_SETCHECK: checked and indeterminate both check; anything else unchecks.
constexpr bool CheckedBySetCheck(uintptr_t wParam) {
    return wParam == 1 || wParam == 2;
}

} // namespace controls

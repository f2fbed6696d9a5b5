#include "controls/ButtonRules.h"

#include <algorithm>

namespace controls {

Colour ShadeColour(Colour colour, int shade) {
    int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    int d =
        shade > 0 ? std::min({shade, 255 - r, 255 - g, 255 - b}) : std::max({shade, -r, -g, -b});
    return MakeColour(r + d, g + d, b + d);
}

int GreyLevel(Colour colour) {
    // The weights are summed in this order; the truncated result must not
    // depend on the compiler reassociating them.
    double grey = 0.587 * GreenOf(colour);
    grey += 0.114 * BlueOf(colour);
    grey += 0.299 * RedOf(colour);
    return static_cast<int>(grey);
}

Colour GreyPixel(Colour colour) {
    if ((colour & 0xFFFFFF) == 0)
        return 0;
    int grey = GreyLevel(colour);
    return MakeColour(grey, grey, grey);
}

void StateColours::Reset(Colour face, Colour text) {
    for (int slot = 0; slot < kSlots; ++slot)
        slots[slot] = slot % 2 == 0 ? face : text;
}

int StateColours::Set(int slot, Colour colour) {
    if (slot < 0 || slot >= kSlots)
        return kBadSlot;
    slots[slot] = colour;
    return kDone;
}

int StateColours::Shade(int slot, int shade) {
    if (slot < 0 || slot >= kSlots)
        return kBadSlot;
    if (shade < -255 || shade > 255)
        return kBadShade;
    slots[slot] = ShadeColour(slots[slot], shade);
    return kDone;
}

Spot LayoutImage(const ImageLayout& layout, bool hasCaption, const Box& item, Box& caption,
                 bool pressed, int w, int h) {
    Spot image{item.left, item.top};
    switch (layout.align) {
    case ImageAlign::Left:
        if (!hasCaption) {
            image.x += (item.Width() - w) / 2;
        } else {
            image.x += layout.marginX;
            caption.left += w + layout.marginX;
        }
        image.y += (item.Height() - h) / 2;
        break;
    case ImageAlign::Above:
        image.x += (item.Width() - w) / 2;
        if (hasCaption) {
            image.y = layout.marginY;
            caption.top += h;
        } else {
            image.y += (item.Height() - h) / 2;
        }
        break;
    case ImageAlign::Right:
        if (!hasCaption) {
            image.x += (item.Width() - w) / 2;
        } else {
            caption.right -= caption.left + layout.marginX + w;
            caption.left = layout.marginX;
            image.x = item.Width() - layout.marginX - w;
            image.y += (item.Height() - h) / 2;
        }
        break;
    }
    if (pressed && !layout.checkBox) {
        image.x += layout.pressShift.x;
        image.y += layout.pressShift.y;
    }
    return image;
}

Box PlaceCaption(const Box& remembered, const Box& measured, bool checkBox, int checkBoxGap) {
    int dx = checkBox ? checkBoxGap : (remembered.Width() - measured.Width()) / 2;
    int dy = (remembered.Height() - measured.Height()) / 2;
    return Box{measured.left + dx, measured.top + dy, measured.right + dx, measured.bottom + dy};
}

int ChooseImage(bool pressed, bool checkBox, bool hovering, bool hasSecond) {
    if (pressed || (!checkBox && hovering))
        return 0;
    return hasSecond ? 1 : 0;
}

bool DefaultAfterSetStyle(uint32_t requested, bool current) {
    switch (requested & kTypeMask) {
    case kDefPushButton:
        return true;
    case kPushButton:
        return false;
    default:
        return current;
    }
}

} // namespace controls

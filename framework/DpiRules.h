// The arithmetic of drawing at a display scale, and the dialog templates the
// layout is computed from. Portable: no windows.h.
//
// The program is laid out and drawn at 96 DPI (100 %); at any other DPI every
// place and size is the 96-DPI one times dpi / 96, and the pictures are those
// drawn for the listed scale at or below the DPI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fw {

constexpr unsigned kBaseDpi = 96;
// The scales the pictures are drawn for: 100, 125, 150, 175 and 200 %.
constexpr unsigned kPictureDpis[] = {96, 120, 144, 168, 192};

// 50 % to 1000 %: a DPI outside is no display's, and is not acted on.
constexpr bool IsUsableDpi(unsigned dpi) {
    return dpi >= 48 && dpi <= 960;
}

// value * numerator / denominator, rounded half away from zero (the system's MulDiv).
int MulDivRound(int value, int numerator, int denominator);
// A length at 96 DPI, at dpi.
inline int ScaleToDpi(int value, unsigned dpi) {
    return MulDivRound(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}
// A line or edge one pixel wide at 96 DPI: whole pixels only, so it stays
// sharp (one pixel up to 191 DPI, two from 192).
int LineWidthForDpi(unsigned dpi);

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
// Each edge scaled on its own: rectangles that touch or keep apart at 96
// DPI still do at any DPI, and one inside another stays inside.
PixelRect ScaleToDpi(const PixelRect& rect, unsigned dpi);

// The listed scale whose pictures a window at dpi shows: the largest at or
// below it (96 below 96), so a picture is never enlarged.
unsigned PictureDpi(unsigned dpi);
// The size of a square picture of size96 pixels at 96 DPI, as drawn for dpi.
inline int PictureSize(int size96, unsigned dpi) {
    return ScaleToDpi(size96, PictureDpi(dpi));
}
// The resource id of a bitmap drawn for pictureDpi: the 100 % picture's id,
// plus 1000 for each 25 % above it (resources/resource.h lists them).
int ScaledBitmapId(int id96, unsigned pictureDpi);

// A rectangle of a dialog template, in dialog units.
struct DialogUnitRect {
    int x = 0, y = 0, cx = 0, cy = 0;
};
// Dialog units to pixels as the dialog manager converts them, with the
// dialog font's average character width and height as base units.
PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, int baseX, int baseY);

// What the layout needs of a dialog template (DLGTEMPLATEEX, as DIALOGEX makes it).
struct DialogTemplateInfo {
    DialogUnitRect frame;
    uint32_t style = 0;
    // The font of a DS_SETFONT template.
    bool hasFont = false;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    std::u16string face;
    // The controls, in the order the dialog manager creates them.
    std::vector<DialogUnitRect> items;
};
// False for a template of the older form, one that ends before its last
// control, or no template at all.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplateInfo& info);

} // namespace fw

#include "framework/DpiRules.h"

namespace fw {

int MulDivRound(int value, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    if (denominator < 0) {
        value = -value;
        denominator = -denominator;
    }
    int64_t product = static_cast<int64_t>(value) * numerator;
    int64_t half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

int LineWidthForDpi(unsigned dpi) {
    return dpi < 2 * kBaseDpi ? 1 : static_cast<int>(dpi / kBaseDpi);
}

PixelRect ScaleToDpi(const PixelRect& rect, unsigned dpi) {
    return PixelRect{ScaleToDpi(rect.left, dpi), ScaleToDpi(rect.top, dpi),
                     ScaleToDpi(rect.right, dpi), ScaleToDpi(rect.bottom, dpi)};
}

unsigned PictureDpi(unsigned dpi) {
    unsigned chosen = kPictureDpis[0];
    for (unsigned listed : kPictureDpis)
        if (listed <= dpi)
            chosen = listed;
    return chosen;
}

int ScaledBitmapId(int id96, unsigned pictureDpi) {
    return id96 + 1000 * static_cast<int>((PictureDpi(pictureDpi) - kBaseDpi) / 24);
}

PixelRect DialogUnitsToPixels(const DialogUnitRect& rect, int baseX, int baseY) {
    PixelRect pixels;
    pixels.left = MulDivRound(rect.x, baseX, 4);
    pixels.top = MulDivRound(rect.y, baseY, 8);
    pixels.right = pixels.left + MulDivRound(rect.cx, baseX, 4);
    pixels.bottom = pixels.top + MulDivRound(rect.cy, baseY, 8);
    return pixels;
}

namespace {

// Reads a template front to back; every read past the end fails, and once
// failed every later read does too.
class TemplateReader {
public:
    TemplateReader(const uint8_t* bytes, size_t length) : data(bytes), size(length) {}
    bool Ok() const { return ok; }
    uint32_t Word() { return Take(2); }
    uint32_t Dword() { return Take(4); }
    int Short() { return static_cast<int16_t>(Take(2)); }
    uint32_t Byte() { return Take(1); }
    // Controls start on a 4-byte boundary of the template.
    void AlignToDword() { Skip(((at + 3) & ~static_cast<size_t>(3)) - at); }
    void Skip(size_t n) {
        if (!ok || n > size - at)
            ok = false;
        else
            at += n;
    }
    // A string of UTF-16 code units ending in 0.
    std::u16string String() {
        std::u16string text;
        for (char16_t unit = static_cast<char16_t>(Word()); ok && unit;
             unit = static_cast<char16_t>(Word()))
            text += unit;
        return text;
    }
    // A resource name or class: nothing, an ordinal, or a string.
    void NameOrOrdinal() {
        uint32_t first = Word();
        if (first == 0xFFFF)
            Word();
        else if (first != 0)
            for (uint32_t unit = Word(); ok && unit; unit = Word()) {
            }
    }

private:
    uint32_t Take(size_t n) {
        if (!ok || n > size - at) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < n; ++i)
            value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
        at += n;
        return value;
    }

    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool ok = true;
};

constexpr uint32_t kSetFont = 0x40; // DS_SETFONT

DialogUnitRect ReadUnits(TemplateReader& in) {
    DialogUnitRect rect;
    rect.x = in.Short();
    rect.y = in.Short();
    rect.cx = in.Short();
    rect.cy = in.Short();
    return rect;
}

} // namespace

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplateInfo& info) {
    info = DialogTemplateInfo();
    if (!data)
        return false;
    // DIALOGEX templates only (version 1, signature 0xFFFF): what the
    // resource compiler makes of every template of this program.
    if (size < 4 || data[0] != 1 || data[1] != 0 || data[2] != 0xFF || data[3] != 0xFF)
        return false;
    TemplateReader in(data, size);
    in.Skip(4 + 4 + 4); // version and signature, help id, extended style
    info.style = in.Dword();
    size_t count = in.Word();
    info.frame = ReadUnits(in);
    in.NameOrOrdinal(); // menu
    in.NameOrOrdinal(); // window class
    in.String();        // title
    if (info.style & kSetFont) {
        info.hasFont = true;
        info.pointSize = static_cast<int>(in.Word());
        info.weight = static_cast<int>(in.Word());
        info.italic = in.Byte() != 0;
        in.Skip(1); // character set: the dialog manager asks for the default
        info.face = in.String();
    }
    for (size_t i = 0; in.Ok() && i < count; ++i) {
        in.AlignToDword();
        in.Skip(4 + 4 + 4); // help id, extended style, style
        info.items.push_back(ReadUnits(in));
        in.Skip(4);         // id
        in.NameOrOrdinal(); // class
        in.NameOrOrdinal(); // title
        in.Skip(in.Word()); // creation data, counted in bytes
    }
    if (!in.Ok())
        info.items.clear();
    return in.Ok();
}

} // namespace fw

#include <gtest/gtest.h>

#include "framework/DpiRules.h"
#include "resources/resource.h"

using namespace fw;

TEST(DpiScale, EdgesScaleAloneSoTouchingRectanglesNeverOverlapAndHalvesRoundAway) {
    EXPECT_EQ(-17, MulDivRound(-11, 144, 96)) << "half away from zero, as MulDiv";
    EXPECT_EQ(17, MulDivRound(11, 144, 96));
    EXPECT_EQ(0, MulDivRound(5, 1, 0)) << "no division by zero";
    // The Add and Remove buttons at 96 DPI, one pixel apart, and a pair that touch.
    const PixelRect add{244, 130, 318, 150}, remove{319, 130, 415, 150},
        touching{318, 130, 330, 150};
    for (unsigned dpi = 96; dpi <= 240; ++dpi) {
        EXPECT_LE(ScaleToDpi(add, dpi).right, ScaleToDpi(touching, dpi).left) << dpi;
        EXPECT_LT(ScaleToDpi(add, dpi).right, ScaleToDpi(remove, dpi).left) << dpi;
    }
    EXPECT_EQ(add, ScaleToDpi(add, 96));
    EXPECT_EQ((PixelRect{366, 195, 477, 225}), ScaleToDpi(add, 144));
    EXPECT_EQ(1, LineWidthForDpi(168));
    EXPECT_EQ(2, LineWidthForDpi(192));
}

TEST(DpiScale, PicturesComeFromTheDrawnScaleAtOrBelowAndNeverGrow) {
    const unsigned dpis[] = {72, 96, 119, 120, 143, 144, 168, 191, 192, 288};
    const unsigned drawn[] = {96, 96, 96, 120, 120, 144, 168, 168, 192, 192};
    for (size_t i = 0; i < sizeof(dpis) / sizeof(dpis[0]); ++i)
        EXPECT_EQ(drawn[i], PictureDpi(dpis[i])) << dpis[i];
    EXPECT_EQ(24, PictureSize(16, 150));
    EXPECT_EQ(32, PictureSize(16, 240));
    // The bitmaps the resource script lists, by the rule the code finds them with.
    EXPECT_EQ(IDB_BANNER, ScaledBitmapId(IDB_BANNER, 96));
    EXPECT_EQ(IDB_BANNER_125, ScaledBitmapId(IDB_BANNER, 130));
    EXPECT_EQ(IDB_BANNER_150, ScaledBitmapId(IDB_BANNER, 144));
    EXPECT_EQ(IDB_ABOUT_BANNER_175, ScaledBitmapId(IDB_ABOUT_BANNER, 168));
    EXPECT_EQ(IDB_ABOUT_BANNER_200, ScaledBitmapId(IDB_ABOUT_BANNER, 192));
}

namespace {
// A template written out as the resource compiler lays it down.
struct TemplateBytes {
    std::vector<uint8_t> bytes;
    void Word(uint32_t v) {
        bytes.push_back(v & 0xFF);
        bytes.push_back((v >> 8) & 0xFF);
    }
    void Dword(uint32_t v) {
        Word(v & 0xFFFF);
        Word(v >> 16);
    }
    void Text(const char* s) {
        for (; *s; ++s)
            Word(static_cast<unsigned char>(*s));
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
};

// DIALOGEX 0, 0, 252, 262 with FONT 8, "MS Shell Dlg" and two controls.
TemplateBytes ExtendedTemplate() {
    TemplateBytes t;
    t.Word(1), t.Word(0xFFFF), t.Dword(0), t.Dword(0), t.Dword(0x80C800C0); // DS_SETFONT
    t.Word(2), t.Word(0), t.Word(0), t.Word(252), t.Word(262);
    t.Word(0), t.Word(0), t.Text("Draxtel Velmora");
    t.Word(8), t.Word(400), t.bytes.push_back(0), t.bytes.push_back(1), t.Text("MS Shell Dlg");
    t.Align();
    t.Dword(0), t.Dword(0), t.Dword(0x50000000), t.Word(4), t.Word(65), t.Word(245), t.Word(179);
    t.Dword(1022), t.Text("SysTabControl32"), t.Word(0), t.Word(0);
    t.Align();
    t.Dword(0), t.Dword(0), t.Dword(0x50010000), t.Word(0xFFFC), t.Word(245), t.Word(50),
        t.Word(14);
    t.Dword(1015), t.Word(0xFFFF), t.Word(0x80), t.Text("Start"), t.Word(3);
    t.bytes.insert(t.bytes.end(), {7, 7, 7});
    return t;
}
} // namespace

TEST(DialogTemplates, ControlsComeInOrderWithTheirDialogUnitsAndTheFont) {
    TemplateBytes t = ExtendedTemplate();
    DialogTemplateInfo info;
    ASSERT_TRUE(ParseDialogTemplate(t.bytes.data(), t.bytes.size(), info));
    EXPECT_EQ(252, info.frame.cx);
    EXPECT_TRUE(info.hasFont);
    EXPECT_EQ(8, info.pointSize);
    EXPECT_EQ(400, info.weight);
    EXPECT_EQ(u"MS Shell Dlg", info.face);
    ASSERT_EQ(2u, info.items.size());
    EXPECT_EQ(65, info.items[0].y);
    EXPECT_EQ(-4, info.items[1].x) << "coordinates are signed";
    EXPECT_EQ(14, info.items[1].cy);
    // The tab control as Wine 8 placed it at 96 DPI (base units 7 and 13).
    EXPECT_EQ((PixelRect{7, 106, 436, 397}), DialogUnitsToPixels(info.items[0], 7, 13));
}

TEST(DialogTemplates, ATemplateCutShortAnywhereOrOfTheOlderFormIsRefusedWithNoControls) {
    TemplateBytes t = ExtendedTemplate();
    DialogTemplateInfo info;
    for (size_t size = 0; size < t.bytes.size(); ++size) {
        EXPECT_FALSE(ParseDialogTemplate(t.bytes.data(), size, info)) << size;
        EXPECT_TRUE(info.items.empty()) << size;
    }
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 10, info));
    t.bytes[0] = 0x40; // a DLGTEMPLATE's style
    EXPECT_FALSE(ParseDialogTemplate(t.bytes.data(), t.bytes.size(), info));
}

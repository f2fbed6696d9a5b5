#include <gtest/gtest.h>

#include "controls/ButtonRules.h"

using namespace controls;

TEST(ButtonColours, ShadeAndGreyWithTheFigures) {
    EXPECT_EQ(MakeColour(232, 228, 220), ShadeColour(MakeColour(212, 208, 200), 20));
    EXPECT_EQ(MakeColour(255, 255, 255), ShadeColour(MakeColour(240, 240, 240), 20));
    EXPECT_EQ(MakeColour(255, 205, 105), ShadeColour(MakeColour(250, 200, 100), 20))
        << "red reaches white first and limits the others";
    EXPECT_EQ(MakeColour(0, 90, 190), ShadeColour(MakeColour(10, 100, 200), -20));
    EXPECT_EQ(76, GreyLevel(MakeColour(255, 0, 0)));
    EXPECT_EQ(149, GreyLevel(MakeColour(0, 255, 0)));
    EXPECT_EQ(29, GreyLevel(MakeColour(0, 0, 255)));
    EXPECT_EQ(0, GreyLevel(MakeColour(1, 0, 0))) << "a near-black pixel truncates to black";
    EXPECT_EQ(MakeColour(208, 208, 208), GreyPixel(MakeColour(212, 208, 200)));
    EXPECT_EQ(MakeColour(0, 0, 0), GreyPixel(MakeColour(0, 0, 0))) << "black stays";
}

TEST(ButtonColours, SlotsResetToFaceAndTextAndRefuseBadArguments) {
    StateColours colours;
    colours.Reset(MakeColour(212, 208, 200), MakeColour(0, 0, 0));
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(slot % 2 ? MakeColour(0, 0, 0) : MakeColour(212, 208, 200), colours.Get(slot));
    EXPECT_EQ(kDone, colours.Shade(0, 20));
    EXPECT_EQ(MakeColour(232, 228, 220), colours.Get(0));
    EXPECT_EQ(kBadSlot, colours.Set(6, MakeColour(1, 2, 3)));
    EXPECT_EQ(kBadSlot, colours.Shade(6, 300)) << "the slot is judged first";
    EXPECT_EQ(kBadShade, colours.Shade(2, 256));
    EXPECT_EQ(kBadShade, colours.Shade(2, -256));
    EXPECT_EQ(MakeColour(212, 208, 200), colours.Get(2)) << "a refused shade changes nothing";
    EXPECT_EQ(kDone, colours.Shade(2, 255));
}

TEST(ButtonLayout, IconPlacesCaptionsAndImages) {
    // (layout changes, caption, pressed, item) -> spot, caption box after
    ImageLayout left, checkBox, above, right;
    checkBox.checkBox = true;
    above.align = ImageAlign::Above;
    right.align = ImageAlign::Right;
    const Box button{0, 0, 60, 21}, odd{0, 0, 61, 22};
    const struct {
        const ImageLayout& layout;
        bool caption, pressed;
        Box item;
        Spot spot;
        Box after;
    } cases[] = {
        {left, true, false, button, {3, 2}, {19, 0, 60, 21}},
        {left, true, true, button, {4, 3}, {19, 0, 60, 21}},
        {checkBox, true, true, button, {3, 2}, {19, 0, 60, 21}}, // a held check box stays
        {left, false, false, odd, {22, 3}, odd}, // no caption, centred, nothing moved
        {above, true, false, odd, {22, 3}, {0, 16, 61, 22}},
        {right, true, false, odd, {42, 3}, {3, 0, 42, 22}},
        {right, false, false, odd, {22, 0}, odd}, // alone on a right-aligned button: the top
        {left, false, false, {0, 0, 10, 10}, {-3, -3}, {0, 0, 10, 10}}, // halves toward zero
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        Box caption = cases[i].item;
        EXPECT_EQ(cases[i].spot, LayoutImage(cases[i].layout, cases[i].caption, cases[i].item,
                                             caption, cases[i].pressed, 16, 16))
            << "case " << i;
        EXPECT_EQ(cases[i].after, caption) << "case " << i;
    }

    const Box remembered{19, 0, 60, 21}, measured{19, 0, 40, 13};
    EXPECT_EQ((Box{29, 4, 50, 17}), PlaceCaption(remembered, measured, false));
    EXPECT_EQ((Box{24, 4, 45, 17}), PlaceCaption(remembered, measured, true)) << "check box";
    EXPECT_EQ((Box{9, 4, 70, 17}), PlaceCaption(remembered, {19, 0, 80, 13}, false))
        << "a caption wider than its room spills out on both sides";

    // A check box shows the tick while checked or held; a push button with two
    // icons the first under the pointer.
    EXPECT_EQ(0, ChooseImage(true, true, false, true));
    EXPECT_EQ(1, ChooseImage(false, true, true, true));
    EXPECT_EQ(0, ChooseImage(false, false, true, true));
    EXPECT_EQ(1, ChooseImage(false, false, false, true));
}

#include <gtest/gtest.h>

#include "controls/ButtonRules.h"

using namespace controls;

TEST(ButtonColours, ShadeMovesAllChannelsByTheSameLimitedAmount) {
    EXPECT_EQ(MakeColour(232, 228, 220), ShadeColour(MakeColour(212, 208, 200), 20));
    EXPECT_EQ(MakeColour(255, 255, 255), ShadeColour(MakeColour(240, 240, 240), 20));
    EXPECT_EQ(MakeColour(255, 205, 105), ShadeColour(MakeColour(250, 200, 100), 20))
        << "red reaches white first and limits the others";
    EXPECT_EQ(MakeColour(0, 90, 190), ShadeColour(MakeColour(10, 100, 200), -20));
    EXPECT_EQ(MakeColour(0, 0, 0), ShadeColour(MakeColour(0, 0, 0), -255));
    EXPECT_EQ(MakeColour(12, 34, 56), ShadeColour(MakeColour(12, 34, 56), 0));
}

TEST(ButtonColours, SlotsResetToFaceAndTextAndRefuseBadArguments) {
    StateColours colours;
    colours.Reset(MakeColour(212, 208, 200), MakeColour(0, 0, 0));
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(slot % 2 ? MakeColour(0, 0, 0) : MakeColour(212, 208, 200), colours.Get(slot));

    EXPECT_EQ(kDone, colours.Shade(0, 20));
    EXPECT_EQ(MakeColour(232, 228, 220), colours.Get(0));
    EXPECT_EQ(kDone, colours.Set(1, MakeColour(0, 128, 0)));
    EXPECT_EQ(MakeColour(0, 128, 0), colours.Get(1));

    EXPECT_EQ(kBadSlot, colours.Set(6, MakeColour(1, 2, 3)));
    EXPECT_EQ(kBadSlot, colours.Set(-1, MakeColour(1, 2, 3)));
    EXPECT_EQ(kBadSlot, colours.Shade(6, 300)) << "the slot is judged first";
    EXPECT_EQ(kBadShade, colours.Shade(2, 256));
    EXPECT_EQ(kBadShade, colours.Shade(2, -256));
    EXPECT_EQ(MakeColour(212, 208, 200), colours.Get(2)) << "a refused shade changes nothing";
    EXPECT_EQ(kDone, colours.Shade(2, 255));
    EXPECT_EQ(MakeColour(255, 251, 243), colours.Get(2));
}

TEST(ButtonColours, GreyPictureUsesLuminanceAndKeepsBlack) {
    EXPECT_EQ(MakeColour(76, 76, 76), GreyPixel(MakeColour(255, 0, 0)));
    EXPECT_EQ(MakeColour(149, 149, 149), GreyPixel(MakeColour(0, 255, 0)));
    EXPECT_EQ(MakeColour(29, 29, 29), GreyPixel(MakeColour(0, 0, 255)));
    EXPECT_EQ(MakeColour(208, 208, 208), GreyPixel(MakeColour(212, 208, 200)));
    EXPECT_EQ(MakeColour(0, 0, 0), GreyPixel(MakeColour(0, 0, 0)));
    EXPECT_EQ(MakeColour(255, 255, 255), GreyPixel(MakeColour(255, 255, 255)));
    EXPECT_EQ(0, GreyLevel(MakeColour(1, 0, 0))) << "a near-black pixel truncates to black";
}

TEST(ButtonLayout, IconBesideCaptionSitsAtTheMarginAndMovesWhenPressed) {
    ImageLayout layout;
    Box item{0, 0, 60, 21};
    Box caption = item;
    EXPECT_EQ((Spot{3, 2}), LayoutImage(layout, true, item, caption, false, 16, 16));
    EXPECT_EQ(19, caption.left);
    EXPECT_EQ(60, caption.right);
    caption = item;
    EXPECT_EQ((Spot{4, 3}), LayoutImage(layout, true, item, caption, true, 16, 16));

    layout.checkBox = true;
    caption = item;
    EXPECT_EQ((Spot{3, 2}), LayoutImage(layout, true, item, caption, true, 16, 16))
        << "a held check box does not move";

    ImageLayout tall;
    tall.pressShift = Spot{0, 2};
    caption = item;
    EXPECT_EQ((Spot{3, 4}), LayoutImage(tall, true, item, caption, true, 16, 16));
}

TEST(ButtonLayout, OtherAlignmentsAndNoCaption) {
    ImageLayout layout;
    Box item{0, 0, 61, 22};
    Box caption = item;
    EXPECT_EQ((Spot{22, 3}), LayoutImage(layout, false, item, caption, false, 16, 16));
    EXPECT_EQ(item, caption) << "no caption, nothing moved";

    layout.align = ImageAlign::Above;
    caption = item;
    EXPECT_EQ((Spot{22, 3}), LayoutImage(layout, true, item, caption, false, 16, 16));
    EXPECT_EQ(16, caption.top);

    layout.align = ImageAlign::Right;
    caption = item;
    EXPECT_EQ((Spot{42, 3}), LayoutImage(layout, true, item, caption, false, 16, 16));
    EXPECT_EQ((Box{3, 0, 42, 22}), caption);
    caption = item;
    EXPECT_EQ((Spot{22, 0}), LayoutImage(layout, false, item, caption, false, 16, 16))
        << "alone on the right-aligned button it stays at the top";

    Box narrow{0, 0, 10, 10};
    caption = narrow;
    layout.align = ImageAlign::Left;
    EXPECT_EQ((Spot{-3, -3}), LayoutImage(layout, false, narrow, caption, false, 16, 16))
        << "halves truncate toward zero";
}

TEST(ButtonLayout, CaptionIsCentredOrSetInForACheckBox) {
    Box remembered{19, 0, 60, 21};
    Box measured{19, 0, 40, 13};
    EXPECT_EQ((Box{29, 4, 50, 17}), PlaceCaption(remembered, measured, false));
    EXPECT_EQ((Box{24, 4, 45, 17}), PlaceCaption(remembered, measured, true));
    Box wide{19, 0, 80, 13};
    EXPECT_EQ((Box{9, 4, 70, 17}), PlaceCaption(remembered, wide, false))
        << "a caption wider than its room spills out on both sides";
}

TEST(ButtonLayout, WhichIconIsShown) {
    // Check box: the tick while checked or held, the cross otherwise, hover or not.
    EXPECT_EQ(0, ChooseImage(true, true, false, true));
    EXPECT_EQ(1, ChooseImage(false, true, true, true));
    // Push button with two icons: the first under the pointer.
    EXPECT_EQ(0, ChooseImage(false, false, true, true));
    EXPECT_EQ(1, ChooseImage(false, false, false, true));
    EXPECT_EQ(0, ChooseImage(false, false, false, false));
}

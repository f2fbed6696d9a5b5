#include <gtest/gtest.h>

#include "controls/ButtonRules.h"

using namespace controls;

TEST(ButtonColours, ShadeMovesEveryChannelAlikeUntilTheFirstReachesItsEnd) {
    EXPECT_EQ(MakeColour(232, 228, 220), ShadeColour(MakeColour(212, 208, 200), 20));
    EXPECT_EQ(MakeColour(255, 255, 255), ShadeColour(MakeColour(240, 240, 240), 20));
    EXPECT_EQ(MakeColour(255, 205, 105), ShadeColour(MakeColour(250, 200, 100), 20))
        << "red reaches white first and limits the others";
    EXPECT_EQ(MakeColour(0, 90, 190), ShadeColour(MakeColour(10, 100, 200), -20));
}

TEST(ButtonColours, ASlotOrShadeOutOfRangeIsRefusedAndChangesNothing) {
    StateColours colours;
    colours.Reset(MakeColour(212, 208, 200), MakeColour(0, 0, 0));
    EXPECT_EQ(kBadSlot, colours.Set(6, MakeColour(1, 2, 3)));
    EXPECT_EQ(kBadSlot, colours.Shade(-1, 20));
    EXPECT_EQ(kBadShade, colours.Shade(2, 256));
    EXPECT_EQ(kBadShade, colours.Shade(2, -256));
    EXPECT_EQ(MakeColour(212, 208, 200), colours.Get(2));
}

TEST(ButtonLayout, AHeldCheckBoxKeepsItsIconInPlaceWhereAPushButtonsMoves) {
    ImageLayout pushButton, checkBox;
    checkBox.checkBox = true;
    const Box item{0, 0, 60, 21};
    Box caption = item;
    EXPECT_EQ((Spot{4, 3}), LayoutImage(pushButton, true, item, caption, true, 16, 16));
    EXPECT_EQ((Box{19, 0, 60, 21}), caption) << "the caption starts beside the icon";
    caption = item;
    EXPECT_EQ((Spot{3, 2}), LayoutImage(checkBox, true, item, caption, true, 16, 16));
}

TEST(ButtonLayout, APushButtonsCaptionIsCentredAndACheckBoxsSitsFivePixelsIn) {
    const Box remembered{19, 0, 60, 21}, measured{19, 0, 40, 13};
    EXPECT_EQ((Box{29, 4, 50, 17}), PlaceCaption(remembered, measured, false));
    EXPECT_EQ((Box{24, 4, 45, 17}), PlaceCaption(remembered, measured, true));
}

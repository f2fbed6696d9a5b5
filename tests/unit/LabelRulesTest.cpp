#include <gtest/gtest.h>

#include "controls/LabelRules.h"

using namespace controls;

namespace {
int Width(const GradientBand& band) {
    return band.right - band.left;
}
} // namespace

TEST(LabelGradient, AtMostAHundredBandsTheLastTakingTheRestColoursSteppingInFractions) {
    auto bands = GradientBands(0, 250, MakeColour(0, 0, 0), MakeColour(255, 255, 255));
    ASSERT_EQ(100u, bands.size());
    for (size_t i = 0; i < 99; ++i)
        EXPECT_EQ(2, Width(bands[i])) << i;
    EXPECT_EQ(52, Width(bands[99]));
    EXPECT_EQ(250, bands[99].right);

    bands = GradientBands(10, 50, MakeColour(0, 0, 0), MakeColour(255, 255, 255));
    ASSERT_EQ(40u, bands.size());
    for (size_t i = 0; i < bands.size(); ++i)
        EXPECT_TRUE(Width(bands[i]) == 1 && bands[i].left == 10 + static_cast<int>(i)) << i;
    EXPECT_TRUE(GradientBands(5, 5, 0, 0).empty());
    EXPECT_TRUE(GradientBands(5, 1, 0, 0).empty());

    // Colours step in fractions and stop short of the end.
    bands = GradientBands(0, 100, MakeColour(0, 0, 0), MakeColour(255, 255, 255));
    ASSERT_EQ(100u, bands.size());
    EXPECT_EQ(MakeColour(0, 0, 0), bands[0].colour);
    EXPECT_EQ(MakeColour(2, 2, 2), bands[1].colour) << "652/256 truncated";
    EXPECT_EQ(MakeColour(252, 252, 252), bands[99].colour);

    bands = GradientBands(0, 4, MakeColour(200, 10, 100), MakeColour(0, 210, 100));
    ASSERT_EQ(4u, bands.size());
    EXPECT_EQ(MakeColour(200, 10, 100), bands[0].colour);
    EXPECT_EQ(MakeColour(50, 160, 100), bands[3].colour) << "falling and rising channels";
}

TEST(LabelText, FormatFollowsTheStaticStyle) {
    using namespace textformat;
    EXPECT_EQ(kLeft | kWordBreak, LabelTextFormat(0x0, "a"));
    EXPECT_EQ(kCenter | kWordBreak, LabelTextFormat(0x1, "a"));
    EXPECT_EQ(kRight | kWordBreak, LabelTextFormat(0x2, "a"));
    EXPECT_EQ(kLeft, LabelTextFormat(0xC, "a"));
    EXPECT_EQ(kLeft | kWordBreak, LabelTextFormat(0xB, "a"));
    EXPECT_EQ(kLeft | kWordBreak | kExpandTabs, LabelTextFormat(0x100, "a\tb"))
        << "SS_NOTIFY and other high bits do not matter";
    EXPECT_EQ(kCenter | kVCenter | kSingleLine, LabelTextFormat(0x202, "one line\t"));
    EXPECT_EQ(kCenter, LabelTextFormat(0x200, "two\r\nlines"));
    EXPECT_EQ(kCenter | kVCenter | kSingleLine, LabelTextFormat(0x200, "bare\nnewline"));
}

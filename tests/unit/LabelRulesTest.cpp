#include <gtest/gtest.h>

#include "controls/LabelRules.h"

using namespace controls;

// The About page's labels: plain left-aligned statics that become links.
TEST(LabelText, ALeftAlignedLabelWrapsItsWordsWithOrWithoutTheLinksNotifyStyle) {
    using namespace textformat;
    const uint32_t kNotify = 0x100;
    EXPECT_EQ(kLeft | kWordBreak, LabelTextFormat(0x0, "two words"));
    EXPECT_EQ(kLeft | kWordBreak, LabelTextFormat(kNotify, "two words"));
}

// The banner's gradient: bands that cover the width exactly and climb from
// one colour to the other.
TEST(Gradient, BandsCoverTheWidthAndRunFromStartToEndColour) {
    std::vector<GradientBand> bands =
        GradientBands(10, 260, MakeColour(0, 0, 255), MakeColour(255, 255, 255));
    ASSERT_EQ(100u, bands.size());
    EXPECT_EQ(10, bands.front().left);
    EXPECT_EQ(260, bands.back().right) << "the last band takes the remainder";
    for (size_t i = 1; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i - 1].right, bands[i].left);
        EXPECT_LE(RedOf(bands[i - 1].colour), RedOf(bands[i].colour));
    }
    EXPECT_EQ(MakeColour(0, 0, 255), bands.front().colour);
    EXPECT_GE(RedOf(bands.back().colour), 250);
    EXPECT_EQ(7u, GradientBands(0, 7, 0, 0).size()) << "no band narrower than a pixel";
    EXPECT_TRUE(GradientBands(5, 5, 0, 0).empty());
    EXPECT_TRUE(GradientBands(5, 1, 0, 0).empty());
}

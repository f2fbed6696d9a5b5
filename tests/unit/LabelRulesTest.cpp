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

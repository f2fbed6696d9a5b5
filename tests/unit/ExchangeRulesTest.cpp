#include <gtest/gtest.h>

#include "framework/CodePage.h"
#include "framework/ExchangeRules.h"
#include "tests/unit/CodePages.h"

using namespace fw;

TEST(ExchangeRules, NumbersReadLikeAFormattedScan) {
    const struct {
        const char* text;
        int32_t value;
    } good[] = {{"42", 42},    {"  \t-17", -17},           {"+8", 8},
                {"12abc", 12}, {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}};
    for (const auto& g : good) {
        int32_t v = 99;
        EXPECT_TRUE(ParseSignedDecimal(g.text, v)) << g.text;
        EXPECT_EQ(g.value, v) << g.text;
    }
    for (const char* bad : {"", "   ", "abc", "-", "+", "- 5", "x12", "2147483648", "-2147483649",
                            "99999999999999999999"}) {
        int32_t v = 7;
        EXPECT_FALSE(ParseSignedDecimal(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(7, v) << "a failure leaves the value alone: \"" << bad << '"';
    }
    uint32_t u = 5;
    EXPECT_TRUE(ParseUnsignedDecimal(" 4294967295 ms", u));
    EXPECT_EQ(4294967295u, u);
    EXPECT_TRUE(ParseUnsignedDecimal("-0", u));
    EXPECT_EQ(0u, u);
    for (const char* bad : {"", "-1", "4294967296", "ms"}) {
        uint32_t w = 5;
        EXPECT_FALSE(ParseUnsignedDecimal(bad, w)) << '"' << bad << '"';
        EXPECT_EQ(5u, w);
    }
}

TEST(ExchangeRules, CharactersAreCountedNotBytes) {
    EXPECT_EQ(0u, CountCharacters("", testcp::Cp932));
    EXPECT_EQ(1u, CountCharacters("\x82\xa0", testcp::Cp932)) << "one double-byte character";
    EXPECT_EQ(2u, CountCharacters("\x82\xa0", testcp::Cp1252));
    EXPECT_EQ(1u, CountCharacters("\x82", testcp::Cp932)) << "a lone lead byte still counts once";
    EXPECT_EQ("Please enter no more than 1 characters.", FormatTooManyCharacters(1));
}

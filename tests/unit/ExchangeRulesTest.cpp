#include <gtest/gtest.h>

#include "framework/ExchangeRules.h"
#include "tests/unit/CodePages.h"

using namespace fw;

TEST(ExchangeRules, SignedNumbersReadLikeAFormattedScan) {
    int32_t v = 99;
    EXPECT_TRUE(ParseSignedDecimal("42", v));
    EXPECT_EQ(42, v);
    EXPECT_TRUE(ParseSignedDecimal("  \t-17", v));
    EXPECT_EQ(-17, v);
    EXPECT_TRUE(ParseSignedDecimal("+8", v));
    EXPECT_EQ(8, v);
    EXPECT_TRUE(ParseSignedDecimal("12abc", v)) << "text after the number is ignored";
    EXPECT_EQ(12, v);
    EXPECT_TRUE(ParseSignedDecimal("-2147483648", v));
    EXPECT_EQ(INT32_MIN, v);
    EXPECT_TRUE(ParseSignedDecimal("2147483647", v));
    EXPECT_EQ(INT32_MAX, v);
}

TEST(ExchangeRules, SignedFailuresLeaveTheValueAlone) {
    for (const char* bad : {"", "   ", "abc", "-", "+", "- 5", "x12", "2147483648", "-2147483649",
                            "99999999999999999999"}) {
        int32_t v = 7;
        EXPECT_FALSE(ParseSignedDecimal(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(7, v) << '"' << bad << '"';
    }
}

TEST(ExchangeRules, UnsignedNumbersRefuseMinusAndOverflow) {
    uint32_t v = 5;
    EXPECT_TRUE(ParseUnsignedDecimal(" 4294967295 ms", v));
    EXPECT_EQ(4294967295u, v);
    EXPECT_TRUE(ParseUnsignedDecimal("-0", v));
    EXPECT_EQ(0u, v);
    for (const char* bad : {"", "-1", "4294967296", "ms"}) {
        uint32_t w = 5;
        EXPECT_FALSE(ParseUnsignedDecimal(bad, w)) << '"' << bad << '"';
        EXPECT_EQ(5u, w);
    }
}

TEST(ExchangeRules, CharactersAreCountedNotBytes) {
    EXPECT_EQ(0u, CountCharacters("", testcp::Cp932));
    EXPECT_EQ(1u, CountCharacters("x", testcp::Cp932));
    EXPECT_EQ(1u, CountCharacters("\x82\xa0", testcp::Cp932)) << "one double-byte character";
    EXPECT_EQ(2u, CountCharacters("\x82\xa0", testcp::Cp1252));
    EXPECT_EQ(1u, CountCharacters("\x82", testcp::Cp932)) << "a lone lead byte still counts once";
    EXPECT_EQ("Please enter no more than 1 characters.", FormatTooManyCharacters(1));
}

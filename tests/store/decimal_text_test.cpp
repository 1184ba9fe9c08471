#include "store/decimal_text.h"

#include <gtest/gtest.h>

namespace quarry {

TEST(DecimalText, ReadsLikeTheCLibrary) {
    EXPECT_EQ(parseDecimal("281"), 281);
    EXPECT_EQ(parseDecimal("  \t-42"), -42);
    EXPECT_EQ(parseDecimal("+7"), 7);
    EXPECT_EQ(parseDecimal("12ab"), 12);
    EXPECT_EQ(parseDecimal("abc"), 0);
    EXPECT_EQ(parseDecimal(""), 0);
    EXPECT_EQ(parseDecimal("-"), 0);
    EXPECT_EQ(parseDecimal(" - 5"), 0);
}

TEST(DecimalText, WrapsAroundBeyondThirtyTwoBits) {
    EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
    EXPECT_EQ(parseDecimal("2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseDecimal("4294967295"), -1);
    EXPECT_EQ(parseDecimal("4294967296"), 0);
    EXPECT_EQ(parseDecimal("-4294967291"), 5);
    // A long run of digits keeps only its low 32 bits, without undefined overflow.
    EXPECT_EQ(parseDecimal("99999999999999999999999"), -159383553);
}

} // namespace quarry

#include "convert/core/ListNumbering.h"

#include <gtest/gtest.h>

#include <limits>

namespace corvanel::convert {
namespace {

TEST(ListNumbering, DecimalAndLeadingZero) {
    EXPECT_EQ(FormatNumber(7, NumberFormat::kDecimal), "7");
    EXPECT_EQ(FormatNumber(7, NumberFormat::kDecimalZero), "07");
    EXPECT_EQ(FormatNumber(12, NumberFormat::kDecimalZero), "12");
}

TEST(ListNumbering, RomanNumeralsWithinTheirRange) {
    EXPECT_EQ(FormatNumber(1, NumberFormat::kUpperRoman), "I");
    EXPECT_EQ(FormatNumber(4, NumberFormat::kLowerRoman), "iv");
    EXPECT_EQ(FormatNumber(1994, NumberFormat::kUpperRoman), "MCMXCIV");
    EXPECT_EQ(FormatNumber(3999, NumberFormat::kUpperRoman), "MMMCMXCIX");
    // Outside 1..3999 there is no roman numeral: decimal instead.
    EXPECT_EQ(FormatNumber(0, NumberFormat::kUpperRoman), "0");
    EXPECT_EQ(FormatNumber(4000, NumberFormat::kLowerRoman), "4000");
    EXPECT_EQ(FormatNumber(-3, NumberFormat::kLowerRoman), "-3");
}

TEST(ListNumbering, LettersRepeatOrCountLikeColumns) {
    EXPECT_EQ(FormatNumber(1, NumberFormat::kUpperLetter), "A");
    EXPECT_EQ(FormatNumber(26, NumberFormat::kLowerLetter), "z");
    EXPECT_EQ(FormatNumber(27, NumberFormat::kUpperLetter), "AA");
    EXPECT_EQ(FormatNumber(54, NumberFormat::kLowerLetter), "bbb");
    EXPECT_EQ(FormatNumber(27, NumberFormat::kUpperLetterBase26), "AA");
    EXPECT_EQ(FormatNumber(28, NumberFormat::kLowerLetterBase26), "ab");
    EXPECT_EQ(FormatNumber(703, NumberFormat::kUpperLetterBase26), "AAA");
    // Huge or non-positive values stay short.
    EXPECT_EQ(FormatNumber(2147483647, NumberFormat::kUpperLetter), "2147483647");
    EXPECT_EQ(FormatNumber(0, NumberFormat::kLowerLetter), "0");
    EXPECT_LE(
        FormatNumber(std::numeric_limits<std::int64_t>::max(), NumberFormat::kUpperLetterBase26)
            .size(),
        16u);
}

TEST(ListNumbering, OrdinalsAndWords) {
    EXPECT_EQ(FormatNumber(1, NumberFormat::kOrdinal), "1st");
    EXPECT_EQ(FormatNumber(12, NumberFormat::kOrdinal), "12th");
    EXPECT_EQ(FormatNumber(23, NumberFormat::kOrdinal), "23rd");
    EXPECT_EQ(FormatNumber(111, NumberFormat::kOrdinal), "111th");
    EXPECT_EQ(
        FormatNumber(std::numeric_limits<std::int64_t>::min(), NumberFormat::kOrdinal).substr(0, 1),
        "-");
    EXPECT_EQ(FormatNumber(3, NumberFormat::kCardinalText), "Three");
    EXPECT_EQ(FormatNumber(42, NumberFormat::kCardinalText), "Forty-two");
    EXPECT_EQ(FormatNumber(1205, NumberFormat::kCardinalText), "One thousand two hundred five");
    EXPECT_EQ(FormatNumber(2, NumberFormat::kOrdinalText), "Second");
    EXPECT_EQ(FormatNumber(20, NumberFormat::kOrdinalText), "Twentieth");
    EXPECT_EQ(FormatNumber(112, NumberFormat::kOrdinalText), "One hundred twelfth");
    EXPECT_EQ(FormatNumber(5000000, NumberFormat::kCardinalText), "5000000");
}

TEST(ListNumbering, BulletsAndNoneHaveNoNumber) {
    EXPECT_EQ(FormatNumber(5, NumberFormat::kBullet), "");
    EXPECT_EQ(FormatNumber(5, NumberFormat::kNone), "");
}

TEST(ListNumbering, FormatNamesAndWordCodes) {
    EXPECT_EQ(NumberFormatFromName("lowerRoman"), NumberFormat::kLowerRoman);
    EXPECT_EQ(NumberFormatFromName("lower-roman"), NumberFormat::kLowerRoman);
    EXPECT_EQ(NumberFormatFromName("upperLetter"), NumberFormat::kUpperLetter);
    EXPECT_EQ(NumberFormatFromName("decimalZero"), NumberFormat::kDecimalZero);
    EXPECT_EQ(NumberFormatFromName("bullet"), NumberFormat::kBullet);
    EXPECT_EQ(NumberFormatFromName("chineseCounting"), NumberFormat::kDecimal);
    EXPECT_EQ(NumberFormatFromName(""), NumberFormat::kDecimal);
    EXPECT_EQ(NumberFormatFromWordCode(2), NumberFormat::kLowerRoman);
    EXPECT_EQ(NumberFormatFromWordCode(23), NumberFormat::kBullet);
    EXPECT_EQ(NumberFormatFromWordCode(255), NumberFormat::kNone);
    EXPECT_EQ(NumberFormatFromWordCode(-1), NumberFormat::kDecimal);
}

}  // namespace
}  // namespace corvanel::convert

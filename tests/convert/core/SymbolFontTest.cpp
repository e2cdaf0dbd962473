#include "convert/core/SymbolFont.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

TEST(SymbolFont, RecognisesTheSymbolFonts) {
    EXPECT_EQ(ClassifySymbolFont("Symbol"), SymbolFontKind::kSymbol);
    EXPECT_EQ(ClassifySymbolFont("symbol"), SymbolFontKind::kSymbol);
    EXPECT_EQ(ClassifySymbolFont("Symbola"), SymbolFontKind::kOther);
    EXPECT_EQ(ClassifySymbolFont("Wingdings 2"), SymbolFontKind::kWingdings);
    EXPECT_EQ(ClassifySymbolFont("Webdings"), SymbolFontKind::kWingdings);
    EXPECT_EQ(ClassifySymbolFont(""), SymbolFontKind::kOther);
}

TEST(SymbolFont, SymbolCharactersInBothFormsMapToUnicode) {
    EXPECT_EQ(SymbolToUnicode(U'a'), U'\u03B1');    // alpha
    EXPECT_EQ(SymbolToUnicode(0xF061), U'\u03B1');  // the same, private-use form
    EXPECT_EQ(SymbolToUnicode(0xF0B7), U'\u2022');  // bullet
    EXPECT_EQ(SymbolToUnicode(0xF0E5), U'\u2211');  // n-ary summation
    EXPECT_EQ(SymbolToUnicode(0xF020), U' ');
    EXPECT_EQ(SymbolToUnicode(0xF080), 0u);  // nothing there
    EXPECT_EQ(SymbolToUnicode(0x1F), 0u);
    EXPECT_EQ(SymbolToUnicode(0xF100), 0u);
    EXPECT_EQ(SymbolFontCode(0xF0B7), 0xB7u);
}

TEST(SymbolFont, BulletGlyphsBecomeBulletCharacters) {
    EXPECT_EQ(BulletText("\xEF\x82\xB7", SymbolFontKind::kSymbol), "\xE2\x80\xA2");
    EXPECT_EQ(BulletText("\xC2\xA7", SymbolFontKind::kWingdings), "\xE2\x80\xA2");
    EXPECT_EQ(BulletText("\xEF\x82\xA7", SymbolFontKind::kOther), "\xE2\x80\xA2");
    EXPECT_EQ(BulletText("o", SymbolFontKind::kOther), "o");
    EXPECT_EQ(BulletText("\xE2\x80\x93", SymbolFontKind::kOther), "\xE2\x80\x93");
    EXPECT_EQ(WingdingsToUnicode(0xF0FC), U'\u2713');
    EXPECT_EQ(WingdingsToUnicode(0xF0A7), U'\u2022');
}

TEST(SymbolFont, RunsInSymbolFontsAreMapped) {
    EXPECT_EQ(MapSymbolFontText("a=b", SymbolFontKind::kSymbol), "\xCE\xB1=\xCE\xB2");
    EXPECT_EQ(MapSymbolFontText("\xEF\x81\xA1", SymbolFontKind::kSymbol), "\xCE\xB1");
    // Another font's private-use form stands for its own character code.
    EXPECT_EQ(MapSymbolFontText("x\xEF\x83\xA9", SymbolFontKind::kOther), "x\xC3\xA9");
    // Broken UTF-8 does not throw the decoding off.
    EXPECT_EQ(MapSymbolFontText("\xE2\x80", SymbolFontKind::kOther), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace corvanel::convert

#include "convert/core/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

using namespace std::string_literals;

TEST(TextEncoding, AppendUtf8CoversAllLengthsAndReplacesInvalidCodePoints) {
    std::string s;
    AppendUtf8(s, U'A');
    AppendUtf8(s, U'\u00E9');
    AppendUtf8(s, U'\u20AC');
    AppendUtf8(s, U'\U0001F600');
    AppendUtf8(s, 0xD800);
    EXPECT_EQ(s, "A\u00E9\u20AC\U0001F600\uFFFD");
}

TEST(TextEncoding, ValidatesUtf8) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));           // Latin-1
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // truncated
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

TEST(TextEncoding, DecodesWindowsCodePages) {
    EXPECT_EQ(DecodeCodePage("caf\xE9 \x80 \x93q\x94", 1252), "caf\u00E9 \u20AC \u201Cq\u201D");
    EXPECT_EQ(DecodeCodePage("\xCF\xF0\xE8\xE2\xE5\xF2", 1251),
              "\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(DecodeCodePage("\x93\xFA\x96\x7B", 932), "\u65E5\u672C");
    EXPECT_EQ(DecodeCodePage("abc", 99999), "abc");  // unknown code page: read as 1252
}

TEST(TextEncoding, InvalidDoubleByteSequencesBecomeReplacementCharacters) {
    const std::string decoded = DecodeCodePage("a\x81", 932);
    EXPECT_EQ(decoded.substr(0, 1), "a");
    EXPECT_NE(decoded.find("\uFFFD"), std::string::npos);
}

TEST(TextEncoding, DecodesUtf16WithSurrogatePairs) {
    EXPECT_EQ(DecodeUtf16Le("h\0i\0=\xD8\x00\xDE"s), "hi\U0001F600");
    EXPECT_EQ(DecodeUtf16Be("\0h\0i"s), "hi");
    EXPECT_EQ(DecodeUtf16Le("\x00\xD8x\0"s), "\uFFFDx");  // unpaired high surrogate
}

}  // namespace
}  // namespace corvanel::convert

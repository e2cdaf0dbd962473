#include "convert/rtf/RtfTokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvanel::convert::rtf {
namespace {

// A compact spelling of the tokens: "{", "}", "\word", "\word12", "\'e9", "\sym:x", "text".
std::vector<std::string> Spell(std::string_view input) {
    RtfTokenizer tokenizer(input);
    std::vector<std::string> out;
    for (RtfToken t = tokenizer.Next(); t.kind != RtfToken::Kind::kEnd; t = tokenizer.Next()) {
        switch (t.kind) {
            case RtfToken::Kind::kGroupStart:
                out.push_back("{");
                break;
            case RtfToken::Kind::kGroupEnd:
                out.push_back("}");
                break;
            case RtfToken::Kind::kControlWord:
                out.push_back("\\" + std::string(t.word) +
                              (t.hasParameter ? std::to_string(t.parameter) : ""));
                break;
            case RtfToken::Kind::kControlSymbol:
                out.push_back(std::string("\\sym:") + t.symbol);
                break;
            case RtfToken::Kind::kHexByte: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\'%02x", t.byte);
                out.push_back(hex);
                break;
            }
            case RtfToken::Kind::kText:
                out.push_back(std::string(t.word));
                break;
            case RtfToken::Kind::kEnd:
                break;
        }
    }
    return out;
}

using V = std::vector<std::string>;

TEST(RtfTokenizer, ControlWordsTakeOneSpaceAsDelimiterAndSignedParameters) {
    EXPECT_EQ(Spell("{\\b  bold\\fs-24x\\par}"),
              (V{"{", "\\b", " bold", "\\fs-24", "x", "\\par", "}"}));
    EXPECT_EQ(Spell("\\a-b"), (V{"\\a", "-b"}));
    EXPECT_EQ(Spell("\\n99999999999999"), (V{"\\n2147483647"}));
}

TEST(RtfTokenizer, SymbolsHexAndLineBreaks) {
    EXPECT_EQ(Spell("a\r\nb\\{\\'E9\\~\\\n"),
              (V{"a", "b", "\\sym:{", "\\'e9", "\\sym:~", "\\sym:\n"}));
}

TEST(RtfTokenizer, BinaryDataIsSkippedWithinTheInput) {
    EXPECT_EQ(Spell("\\bin3 {}\\x"), (V{"x"}));
    EXPECT_EQ(Spell("a\\bin1000 xyz"), (V{"a"}));
}

TEST(RtfTokenizer, SkipGroupHonoursEscapesAndBinaryData) {
    RtfTokenizer tokenizer("\\{{\\}}\\bin2 }}}rest");
    EXPECT_TRUE(tokenizer.SkipGroup());
    const RtfToken t = tokenizer.Next();
    EXPECT_EQ(t.kind, RtfToken::Kind::kText);
    EXPECT_EQ(t.word, "rest");
    RtfTokenizer open("{{{");
    EXPECT_FALSE(open.SkipGroup());
}

}  // namespace
}  // namespace corvanel::convert::rtf

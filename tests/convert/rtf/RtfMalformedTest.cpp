#include "RtfTestUtil.h"

#include "convert/core/ErrorCode.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

struct MalformedCase {
    const char* name;
    std::string rtf;
    ErrorCode code;    // kNone: reads
    std::string text;  // the text when it reads
};

std::string Nested(int depth, const std::string& inner) {
    return std::string(depth, '{') + inner + std::string(depth, '}');
}

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(RtfMalformed, ReadsWhatItCanOrFailsAsDamaged) {
    const MalformedCase& c = GetParam();
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes("bad.rtf", c.rtf, writer);
    EXPECT_EQ(result.code, c.code) << result.description;
    if (c.code == ErrorCode::kNone) {
        EXPECT_EQ(writer.Text(), c.text);
    } else {
        EXPECT_NE(result.description.find("bad.rtf is damaged"), std::string::npos)
            << result.description;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RtfMalformed,
    ::testing::Values(
        // A truncated document gives what was read, as Word does.
        MalformedCase{"MissingClosingBraces", "{\\rtf1 one\\par {\\b two", ErrorCode::kNone,
                      "one\ntwo\n"},
        MalformedCase{"TruncatedInFootnote", "{\\rtf1 a\\chftn{\\footnote b", ErrorCode::kNone,
                      "a1\n\n1 b\n"},
        MalformedCase{"TruncatedInTable", "{\\rtf1\\intbl a\\cell b", ErrorCode::kNone, "a\tb\n"},
        MalformedCase{"TruncatedControlWord", "{\\rtf1 text\\", ErrorCode::kNone, "text\n"},
        MalformedCase{"TruncatedHex", "{\\rtf1 x\\'4", ErrorCode::kNone, "x4\n"},
        MalformedCase{"BadHexDigits", "{\\rtf1 x\\'zzy}", ErrorCode::kNone, "xzzy\n"},
        // Extra closing braces end the document; what follows is not read.
        MalformedCase{"UnbalancedClosing", "{\\rtf1 a}}} b", ErrorCode::kNone, "a\n"},
        MalformedCase{"BinaryPastTheEnd", "{\\rtf1 a{\\pict\\bin999999999 xyz}}", ErrorCode::kNone,
                      "a\n"},
        MalformedCase{"BinaryInBodyIsSkipped", "{\\rtf1 a\\bin3 }}}b}", ErrorCode::kNone, "ab\n"},
        MalformedCase{"NegativeBinaryLength", "{\\rtf1 a\\bin-5 b}", ErrorCode::kNone, "ab\n"},
        MalformedCase{"UnicodeOutOfRange", "{\\rtf1 \\u99999 a\\u-99999 b\\u0 c}", ErrorCode::kNone,
                      "\xEF\xBF\xBD\xEF\xBF\xBD\n"},
        MalformedCase{"LoneSurrogates", "{\\rtf1 \\u-10179?x\\u-8704?}", ErrorCode::kNone,
                      "\xEF\xBF\xBDx\xEF\xBF\xBD\n"},
        MalformedCase{"HighSurrogateBeforeParagraphOrGroupEnd",
                      "{\\rtf1 a\\u55357?\\par {b\\u55357?}\\u55357\\u55357?}", ErrorCode::kNone,
                      "a\xEF\xBF\xBD\nb\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\n"},
        MalformedCase{"HugeParameters", "{\\rtf1 {\\uc99999999999999\\u65 abc}\\itap999999 d}",
                      ErrorCode::kNone, "A\nd\n"},
        MalformedCase{"UnknownCharsetAndCodePage",
                      "{\\rtf1\\ansicpg77777{\\fonttbl{\\f0\\fcharset250 X;}}\\f0 \\'e9}",
                      ErrorCode::kNone, "\xC3\xA9\n"},
        MalformedCase{"FontNumberNeverDefined", "{\\rtf1{\\fonttbl}\\f99 \\'e9}", ErrorCode::kNone,
                      "\xC3\xA9\n"},
        MalformedCase{"RowWithoutCells", "{\\rtf1\\row\\nestrow\\cell}", ErrorCode::kNone, "\n"},
        MalformedCase{"StructureWordsInTheDocumentGroup",
                      "{\\rtf1\\stylesheet\\listtable\\pict a\\par}", ErrorCode::kNone, "a\n"},
        MalformedCase{"DeepGroupsInASkippedDestination",
                      "{\\rtf1{\\pict " + Nested(100000, "x") + "}ok}", ErrorCode::kNone, "ok\n"},
        MalformedCase{"DeepGroups", "{\\rtf1 " + Nested(100000, "x") + "}", ErrorCode::kDamaged,
                      ""},
        MalformedCase{"DeepUnclosedGroups", "{\\rtf1 " + std::string(100000, '{'),
                      ErrorCode::kDamaged, ""}),
    [](const ::testing::TestParamInfo<MalformedCase>& param) { return param.param.name; });

}  // namespace
}  // namespace corvanel::convert

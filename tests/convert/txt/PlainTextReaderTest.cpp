#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "TestFacts.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

std::string TextOf(const std::string& bytes) {
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes("notes.txt", bytes, writer);
    EXPECT_TRUE(result.Ok()) << result.description;
    return writer.TakeText();
}

TEST(PlainTextReader, EveryLineEndingMakesAParagraphAndAFinalOneAddsNone) {
    EXPECT_EQ(TextOf("a\r\nb\nc\rd"), "a\nb\nc\nd\n");
    EXPECT_EQ(TextOf("a\n"), "a\n");
    EXPECT_EQ(TextOf("a\n\n"), "a\n\n");
    EXPECT_EQ(TextOf("\r\n\r\nx\r\n"), "\n\nx\n");
    EXPECT_EQ(TextOf(""), "");
}

TEST(PlainTextReader, ByteOrderMarksChooseTheEncoding) {
    EXPECT_EQ(TextOf("\xEF\xBB\xBF"
                     "caf\xC3\xA9\n"),
              "caf\xC3\xA9\n");
    EXPECT_EQ(TextOf(std::string("\xFF\xFE"
                                 "h\0i\0\n\0\xAC\x20",
                                 10)),
              "hi\n\xE2\x82\xAC\n");
    EXPECT_EQ(TextOf(std::string("\xFE\xFF\0h\0i\0\r\0\n\0z", 12)), "hi\nz\n");
}

TEST(PlainTextReader, ValidUtf8StaysAndOtherBytesAreWindows1252) {
    EXPECT_EQ(TextOf("\xE2\x82\xAC 5"), "\xE2\x82\xAC 5\n");
    EXPECT_EQ(TextOf("caf\xE9 \x80 \x93"), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C\n");
}

TEST(PlainTextReader, BrokenUtf8AfterAByteOrderMarkBecomesReplacementCharacters) {
    EXPECT_EQ(TextOf("\xEF\xBB\xBF"
                     "a\xE9z"),
              "a\xEF\xBF\xBDz\n");
}

TEST(PlainTextReader, TabsStayFormFeedsBreakAndOtherControlCharactersGo) {
    const std::string padding(400, 'x');  // a few stray control bytes in a long text
    EXPECT_EQ(TextOf(padding + "\na\tb\x01\x1B\x7F"
                               "c\fd\x0B"
                               "e"),
              padding + "\na\tbc\nde\n");
    EXPECT_EQ(TextOf(std::string("\xFF\xFE"
                                 "a\0\0\0b\0",
                                 8)),
              "ab\n");
}

TEST(PlainTextReader, IsRecognisedAsTextAndStatesNothing) {
    const DocumentFacts facts = testing::FactsOf("notes.txt", "Title: not a property\nbody\n");
    EXPECT_EQ(facts.format, "text");
    EXPECT_TRUE(facts.properties.empty());
}

}  // namespace
}  // namespace corvanel::convert

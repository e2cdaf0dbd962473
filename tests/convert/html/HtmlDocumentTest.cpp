#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

// features.html is LibreOffice's HTML of tests/data/rtf/features.fodt. Its HTML keeps the
// deleted words as plain text and draws the text box as a floating span before its paragraph;
// a browser shows both so, and so does the reader.
TEST(HtmlDocument, LibreOfficeWrittenPageReadsInFull) {
    std::string text;
    ConvertOptions options;
    options.newline = "\n";  // the same on every system
    const ConversionResult result =
        ExtractText(std::string(CORVANEL_TEST_DATA_DIR) + "/html/features.html", text, options);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(text,
              "Corvanel sample: reading order\n"
              "The first paragraph has visible text, a tab and a line\nbreak.\n"
              "Accepted changes: kept removed words words.\n"
              "A note follows1 and an endnotei.\n"
              "1.\tApples\n"
              "a.\tGreen ones\n"
              "2.\tPears\n"
              "\xE2\x80\xA2\tBullet one\n"
              "\xE2\x80\xA2\tBullet two\n"
              "Name\tValue\n"
              "Width\nin mm\tinner a\tinner b\n"
              "Text in a box\n"
              "Anchor paragraph ends here.\n"
              "Last paragraph with caf\xC3\xA9, \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, "
              "\xE3\x81\x82 and \xCE\xB1\xE2\x89\xA5\xCE\xB2.\n"
              "\n"
              "1 The footnote text.\n"
              "i The endnote text.\n");
}

}  // namespace
}  // namespace corvanel::convert

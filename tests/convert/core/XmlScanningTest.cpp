// The tag-end search against a byte-by-byte reading of the same rule, on every string of a
// small alphabet up to a length, from every start: quotes, ">" inside values and values that
// run across the sixteen-byte steps of the fast path.
#include "convert/core/XmlScanning.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace corvanel::convert {
namespace {

std::size_t ReferenceTagEnd(std::string_view xml, std::size_t from) {
    char open = 0;
    for (std::size_t i = from; i < xml.size(); ++i) {
        const char c = xml[i];
        if (open != 0) {
            open = c == open ? 0 : open;
        } else if (c == '"' || c == '\'') {
            open = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

TEST(XmlScanning, TagEndAgreesWithAByteByByteReading) {
    // Mostly plain bytes, as in real tags, so that values span the fast path's steps.
    const std::string alphabet = "aaaaaaaaaa= \"\"'>/";
    std::mt19937 random(20261207);
    for (int round = 0; round < 20000; ++round) {
        std::string xml(random() % 90, 'a');
        for (char& c : xml) {
            c = alphabet[random() % alphabet.size()];
        }
        for (std::size_t from = 0; from <= xml.size(); ++from) {
            ASSERT_EQ(xmlscan::TagEnd(xml, from), ReferenceTagEnd(xml, from))
                << "in \"" << xml << "\" from " << from;
        }
    }
}

TEST(XmlScanning, TagEndSkipsQuotedValuesAcrossLongTags) {
    const std::string value(40, 'x');
    const std::string tag = "<w:t a=\"" + value + ">" + value + "\" b='\"" + value + "'>text>";
    EXPECT_EQ(xmlscan::TagEnd(tag, 1), tag.size() - 5);
    EXPECT_EQ(xmlscan::TagEnd("<a b=\"never closed>", 1), std::string_view::npos);
    const std::string singleQuoted = "<a b='x\">'" + std::string(30, ' ') + ">";
    EXPECT_EQ(xmlscan::TagEnd(singleQuoted, 1), singleQuoted.size());
}

}  // namespace
}  // namespace corvanel::convert

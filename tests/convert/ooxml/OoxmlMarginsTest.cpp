// Headers, footers and comments, added only when asked for.

#include "DocxBuilder.h"
#include "convert/ooxml/BodyBlocks.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string Reference(const std::string& kind, const std::string& type, const std::string& id) {
    return "<w:" + kind + "Reference w:type=\"" + type + "\" r:id=\"" + id + "\"/>";
}

std::string Comment(const std::string& author, const std::string& paragraphs) {
    const std::string attribute = author.empty() ? "" : " w:author=\"" + author + "\"";
    return "<w:comment w:id=\"0\"" + attribute + ">" + paragraphs + "</w:comment>";
}

// Two sections: the first ends in a paragraph, names a first-page header before its usual one
// and shares the footer with the last; the body's own section repeats the usual header.
DocxBuilder TwoSections() {
    DocxBuilder docx;
    docx.headers = {Para("Usual head"), Para("First head"), Para("Last head")};
    docx.footers = {Para("Foot")};
    docx.comments = Comment("Ann", Para("Check") + Para("this.")) + Comment("", Para("Anon"));
    docx.body = Para("One") +
                Para("<w:sectPr>" + Reference("header", "first", "rh2") +
                         Reference("header", "default", "rh1") +
                         Reference("footer", "default", "rf1") + "</w:sectPr>",
                     TextRun("Two")) +
                Para("Three") + "<w:sectPr>" + Reference("header", "default", "rh1") +
                Reference("header", "even", "rh3") + Reference("footer", "default", "rf1") +
                "</w:sectPr>";
    return docx;
}

TEST(OoxmlMargins, HeadersLeadFootersAndCommentsFollowInSectionOrder) {
    const std::string body = "One\nTwo\nThree\n";
    const struct {
        MarginTexts include;
        std::string text;
    } kCases[] = {
        {{}, body},
        {{true, true, true},
         "Usual head\nFirst head\nLast head\n\n" + body + "\nFoot\n\nAnn: Check this.\nAnon\n"},
        {{false, false, true}, body + "\nAnn: Check this.\nAnon\n"},
    };
    // Parsed whole, and a few blocks at a time as a large body is.
    for (const std::size_t batchBytes : {std::size_t{0}, std::size_t{64}}) {
        ooxml::SetBodyBatchBytesForTesting(batchBytes);
        for (const auto& c : kCases) {
            const Converted converted = ConvertBytes(TwoSections().Build(), c.include);
            EXPECT_TRUE(converted.result.Ok()) << converted.result.description;
            EXPECT_EQ(converted.text, c.text) << batchBytes;
        }
    }
    ooxml::SetBodyBatchBytesForTesting(0);
}

}  // namespace
}  // namespace corvanel::convert::testing

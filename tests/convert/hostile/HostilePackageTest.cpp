// Hostile ZIP packages and XML: bombs, entity expansion and absurd nesting must be refused or
// read safely, quickly and with a description that names the file.

#include "HostileInput.h"
#include "TestZip.h"
#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

using testing::BillionLaughsDoctype;
using testing::ConvertedFileTest;
using testing::DocxParts;
using testing::ExpectRefused;
using testing::FlatOdt;
using testing::FlatWordPackage;
using testing::MakeOdt;
using testing::MakeZip;
using testing::Nested;
using testing::OdfContentXml;
using testing::WordDocumentElement;
using testing::WordDocumentXml;

class HostilePackage : public ConvertedFileTest {};

// 24 MiB of one letter deflates more than a thousand times.
std::string HighRatioDocumentXml() {
    return WordDocumentXml("<w:p><w:r><w:t>" + std::string(24u << 20, 'a') + "</w:t></w:r></w:p>");
}

TEST_F(HostilePackage, AHighRatioPartIsRefusedAsAZipBomb) {
    const ConversionResult result =
        Convert("bomb.docx", MakeZip(DocxParts(HighRatioDocumentXml())));
    ExpectRefused(result, ErrorCode::kTooLarge, path);
    EXPECT_NE(result.description.find("ZIP bomb"), std::string::npos) << result.description;
}

// Patches the uncompressed size of every entry, in the local headers and the central directory.
std::string WithDeclaredSizes(std::string zip, std::uint32_t size) {
    const auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) {
            zip[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        }
    };
    for (std::size_t at = zip.find("PK\x03\x04"); at != std::string::npos;
         at = zip.find("PK\x03\x04", at + 4)) {
        put(at + 22);
    }
    for (std::size_t at = zip.find("PK\x01\x02"); at != std::string::npos;
         at = zip.find("PK\x01\x02", at + 4)) {
        put(at + 24);
    }
    return zip;
}

TEST_F(HostilePackage, AZipBombThatUnderstatesItsSizeIsNotInflatedPastIt) {
    const ConversionResult result =
        Convert("liar.docx", WithDeclaredSizes(MakeZip(DocxParts(HighRatioDocumentXml())), 4096));
    ASSERT_FALSE(result.Ok());
    EXPECT_TRUE(result.code == ErrorCode::kDamaged || result.code == ErrorCode::kTooLarge)
        << result.description;
    EXPECT_NE(result.description.find(path), std::string::npos) << result.description;
}

TEST_F(HostilePackage, APartDeclaredLargerThanTheLimitIsRefusedBeforeInflating) {
    const ConversionResult result =
        Convert("declared.docx",
                WithDeclaredSizes(MakeZip(DocxParts(WordDocumentXml("<w:p/>"))), 0xF0000000u));
    ExpectRefused(result, ErrorCode::kTooLarge, path);
}

TEST_F(HostilePackage, ANestedZipInsideADocumentIsNeverOpened) {
    // The inner archive is itself a bomb and a complete document of its own: opening it would
    // either be refused or bring its text in.
    const std::string inner = MakeZip(DocxParts(WordDocumentXml(
        "<w:p><w:r><w:t>INNER " + std::string(24u << 20, 'b') + "</w:t></w:r></w:p>")));
    const std::string outer = MakeZip(DocxParts(
        WordDocumentXml("<w:p><w:r><w:t>outer text</w:t></w:r></w:p>"),
        {{"word/embeddings/inner.docx", inner},
         {"word/embeddings/inner.zip", inner},
         {"word/_rels/document.xml.rels",
          "<?xml version=\"1.0\"?><Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
          "Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
          "relationships/package\" Target=\"embeddings/inner.docx\"/></Relationships>"}}));
    const ConversionResult result = Convert("outer.docx", outer);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_NE(text.find("outer text"), std::string::npos) << text;
    EXPECT_EQ(text.find("INNER"), std::string::npos);
}

// Entities of a document type are never expanded: "&lol9;" stays what it is (or the part is
// refused), and the text stays small.
void ExpectNoExpansion(const ConversionResult& result, const std::string& text,
                       const std::string& path) {
    if (result.Ok()) {
        EXPECT_LT(text.size(), 100000u);
        EXPECT_EQ(text.find("lollollol"), std::string::npos) << text.substr(0, 200);
    } else {
        ExpectRefused(result, ErrorCode::kDamaged, path);
    }
}

TEST_F(HostilePackage, EntityExpansionIsNeverPerformed) {
    const std::string body = "<w:p><w:r><w:t>before &lol9; after</w:t></w:r></w:p>";
    ConversionResult result =
        Convert("laughs.docx",
                MakeZip(DocxParts(WordDocumentXml(body, BillionLaughsDoctype("w:document")))));
    ExpectNoExpansion(result, text, path);

    const std::string odfBody = "<text:p>before &lol9; after</text:p>";
    result =
        Convert("laughs.odt",
                MakeOdt(OdfContentXml(odfBody, BillionLaughsDoctype("office:document-content"))));
    ExpectNoExpansion(result, text, path);

    result = Convert("laughs.fodt", FlatOdt(odfBody, BillionLaughsDoctype("office:document")));
    ExpectNoExpansion(result, text, path);

    result = Convert("laughs.xml", FlatWordPackage(WordDocumentElement(body),
                                                   BillionLaughsDoctype("pkg:package")));
    ExpectNoExpansion(result, text, path);

    result = Convert("laughs.htm", BillionLaughsDoctype("html") +
                                       "<html><body><p>before &lol9; after</p></body></html>");
    ExpectNoExpansion(result, text, path);
}

constexpr std::size_t kDeep = 100000;

TEST_F(HostilePackage, DeeplyNestedWordXmlIsDamaged) {
    struct Case {
        const char* name;
        std::string body;
    };
    const Case cases[] = {
        {"content-controls.docx",
         "<w:p>" + Nested("<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", kDeep) + "</w:p>"},
        {"tables.docx", Nested("<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>", kDeep)},
        {"runs.docx", "<w:p>" + Nested("<w:hyperlink>", "</w:hyperlink>", kDeep) + "</w:p>"},
        {"unclosed.docx", Nested("<w:p>", "", kDeep)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(Convert(c.name, MakeZip(DocxParts(WordDocumentXml(c.body)))),
                      ErrorCode::kDamaged, path);
    }
    ExpectRefused(Convert("flat-package.xml", FlatWordPackage(WordDocumentElement(cases[0].body))),
                  ErrorCode::kDamaged, path);
    // Word 2003 XML looks inside elements it does not know, so their depth counts there too.
    ExpectRefused(Convert("unknown.xml",
                          "<?xml version=\"1.0\"?><w:wordDocument "
                          "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
                          "xmlns:x9=\"urn:example:unknown\"><w:body>" +
                              Nested("<x9:a>", "</x9:a>", kDeep) + "</w:body></w:wordDocument>"),
                  ErrorCode::kDamaged, path);
}

TEST_F(HostilePackage, DeeplyNestedUnknownWordElementsAreSkippedWhole) {
    const ConversionResult result =
        Convert("unknown.docx",
                MakeZip(DocxParts(WordDocumentXml(Nested("<x9:a>", "</x9:a>", kDeep) +
                                                  "<w:p><w:r><w:t>after</w:t></w:r></w:p>"))));
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(text, "after\n");
}

TEST_F(HostilePackage, DeeplyNestedOpenDocumentXmlIsDamaged) {
    struct Case {
        const char* name;
        std::string body;
    };
    const Case cases[] = {
        {"spans.odt", "<text:p>" + Nested("<text:span>", "</text:span>", kDeep) + "</text:p>"},
        {"sections.odt", Nested("<text:section>", "</text:section>", kDeep)},
        {"lists.odt",
         Nested("<text:list><text:list-item>", "</text:list-item></text:list>", kDeep)},
        {"tables.odt", Nested("<table:table><table:table-row><table:table-cell>",
                              "</table:table-cell></table:table-row></table:table>", kDeep)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(Convert(c.name, MakeOdt(OdfContentXml(c.body))), ErrorCode::kDamaged, path);
    }
    ExpectRefused(
        Convert("spans.fodt",
                FlatOdt("<text:p>" + Nested("<text:span>", "</text:span>", kDeep) + "</text:p>")),
        ErrorCode::kDamaged, path);
}

TEST_F(HostilePackage, HtmlNestedPastTheParsersLimitIsDamagedNotCutShort) {
    // The HTML parser stops at its depth limit and keeps only what came before: the text after
    // the deep part must not silently go missing.
    for (const std::size_t depth : {kDeep, std::size_t{300}}) {
        SCOPED_TRACE(depth);
        ExpectRefused(Convert("deep.htm", "<html><body><p>before</p>" +
                                              Nested("<div><b>", "</b></div>", depth) +
                                              "<p>after</p></body></html>"),
                      ErrorCode::kDamaged, path);
    }
    const ConversionResult result =
        Convert("nested.htm", "<html><body><p>before</p>" + Nested("<div>", "</div>", 100) +
                                  "<p>after</p></body></html>");
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(text, "before\nx\nafter\n");
}

}  // namespace
}  // namespace corvanel::convert

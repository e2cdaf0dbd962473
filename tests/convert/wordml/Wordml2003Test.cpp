// Word 2003 XML documents (<w:wordDocument>).

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "StructureLog.h"
#include "TestFacts.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

using testing::StructureLog;

std::string WordXml2003(const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<?mso-application progid=\"Word.Document\"?>\n"
           "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
           "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\" "
           "xmlns:aml=\"http://schemas.microsoft.com/aml/2001/core\" "
           "xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:ns0=\"urn:example:custom\">" +
           inner + "</w:wordDocument>";
}

std::string Para(const std::string& text) {
    return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

struct Result {
    ConversionResult result;
    std::string text;
};

Result Convert(const std::string& xml, MarginTexts include = {}) {
    PlainTextWriter writer("\n");
    writer.WantMarginTexts(include);
    Result r;
    r.result = ReadDocumentBytes("old.xml", xml, writer);
    r.text = writer.TakeText();
    return r;
}

std::string TextOf(const std::string& inner, MarginTexts include = {}) {
    const Result r = Convert(WordXml2003(inner), include);
    EXPECT_TRUE(r.result.Ok()) << r.result.description;
    return r.text;
}

TEST(Wordml2003, HeadersFootersAndCommentsWhenAsked) {
    const std::string body =
        "<w:body><wx:sect><w:p><w:r><w:t>One</w:t></w:r><w:r><aml:annotation aml:id=\"0\" "
        "w:type=\"Word.Comment\" aml:author=\"Ann\"><aml:content>" +
        Para("Check") +
        "</aml:content></aml:annotation></w:r></w:p><w:sectPr>"
        "<w:hdr w:type=\"first\">" +
        Para("First") + "</w:hdr><w:hdr w:type=\"odd\">" + Para("Head") +
        "</w:hdr><w:ftr w:type=\"odd\">" + Para("Foot") + "</w:ftr></w:sectPr></wx:sect></w:body>";
    const struct {
        MarginTexts include;
        std::string text;
    } kCases[] = {
        {{}, "One\n"},
        {{true, true, true}, "Head\nFirst\n\nOne\n\nFoot\n\nAnn: Check\n"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(TextOf(body, c.include), c.text);
    }
}

TEST(Wordml2003, SectionsParagraphsRunsAndTables) {
    EXPECT_EQ(TextOf("<w:body><wx:sect>" + Para("Hello") +
                     "<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r></w:p>"
                     "<wx:sub-section><w:tbl><w:tr><w:tc>" +
                     Para("x") + "</w:tc><w:tc>" + Para("y") +
                     "</w:tc></w:tr><w:tr><w:tc><w:tcPr><w:vmerge/></w:tcPr>" + Para("old") +
                     "</w:tc><w:tc>" + Para("z") +
                     "</w:tc></w:tr></w:tbl></wx:sub-section>"
                     "<w:sectPr><w:hdr w:type=\"odd\">" +
                     Para("header") + "</w:hdr></w:sectPr></wx:sect></w:body>"),
              "Hello\na\tb\nc\nx\ty\n\tz\n");
}

TEST(Wordml2003, ListsFromListDefinitions) {
    const std::string lists =
        "<w:lists><w:listDef w:listDefId=\"0\">"
        "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:lvlText w:val=\"%1.\"/></w:lvl>"
        "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:nfc w:val=\"4\"/>"
        "<w:lvlText w:val=\"%2)\"/></w:lvl>"
        "<w:lvl w:ilvl=\"2\"><w:nfc w:val=\"23\"/><w:lvlText w:val=\"\xEF\x82\xB7\"/>"
        "<w:rPr><w:rFonts w:ascii=\"Symbol\" w:h-ansi=\"Symbol\"/></w:rPr></w:lvl>"
        "</w:listDef><w:list w:ilfo=\"1\"><w:ilst w:val=\"0\"/></w:list>"
        "<w:list w:ilfo=\"2\"><w:ilst w:val=\"0\"/><w:lvlOverride w:ilvl=\"0\">"
        "<w:startOverride w:val=\"5\"/></w:lvlOverride></w:list></w:lists>";
    const auto item = [](int ilfo, int ilvl, const std::string& text) {
        return "<w:p><w:pPr><w:listPr><w:ilvl w:val=\"" + std::to_string(ilvl) +
               "\"/><w:ilfo w:val=\"" + std::to_string(ilfo) +
               "\"/><wx:t wx:val=\"?\"/>"
               "</w:listPr></w:pPr><w:r><w:t>" +
               text + "</w:t></w:r></w:p>";
    };
    EXPECT_EQ(TextOf(lists + "<w:body>" + item(1, 0, "one") + item(1, 1, "sub") +
                     item(1, 2, "dot") + item(1, 0, "two") + item(2, 0, "five") + "</w:body>"),
              "1.\tone\na)\tsub\n\xE2\x80\xA2\tdot\n2.\ttwo\n5.\tfive\n");
}

TEST(Wordml2003, StylesGiveNumberingAndHideText) {
    EXPECT_EQ(TextOf("<w:lists><w:listDef w:listDefId=\"3\"><w:lvl w:ilvl=\"0\">"
                     "<w:start w:val=\"1\"/><w:nfc w:val=\"1\"/><w:lvlText w:val=\"%1.\"/>"
                     "</w:lvl></w:listDef><w:list w:ilfo=\"4\"><w:ilst w:val=\"3\"/></w:list>"
                     "</w:lists><w:styles><w:style w:type=\"paragraph\" w:styleId=\"H\">"
                     "<w:pPr><w:listPr><w:ilfo w:val=\"4\"/></w:listPr></w:pPr></w:style>"
                     "<w:style w:type=\"character\" w:styleId=\"Hid\"><w:rPr><w:vanish/>"
                     "</w:rPr></w:style></w:styles><w:body>"
                     "<w:p><w:pPr><w:pStyle w:val=\"H\"/></w:pPr><w:r><w:t>Title</w:t></w:r>"
                     "<w:r><w:rPr><w:rStyle w:val=\"Hid\"/></w:rPr><w:t>secret</w:t></w:r></w:p>"
                     "</w:body>"),
              "I.\tTitle\n");
}

TEST(Wordml2003, RevisionsCommentsHyperlinksAndCustomElements) {
    EXPECT_EQ(TextOf("<w:body><w:p><w:r><w:t>a</w:t></w:r>"
                     "<aml:annotation w:type=\"Word.Insertion\"><aml:content><w:r><w:t>b</w:t>"
                     "</w:r></aml:content></aml:annotation>"
                     "<aml:annotation w:type=\"Word.Deletion\"><aml:content><w:r>"
                     "<w:delText>x</w:delText></w:r></aml:content></aml:annotation>"
                     "<aml:annotation w:type=\"Word.Bookmark.Start\" w:name=\"m\"/>"
                     "<w:r><aml:annotation w:type=\"Word.Comment\"><aml:content>" +
                     Para("comment") +
                     "</aml:content></aml:annotation></w:r>"
                     "<w:hlink w:dest=\"http://example.com\"><w:r><w:t>c</w:t></w:r></w:hlink>"
                     "<ns0:field><w:r><w:t>d</w:t></w:r></ns0:field></w:p>"
                     "<ns0:block>" +
                     Para("custom block") + "</ns0:block></w:body>"),
              "abcd\ncustom block\n");
    // Runs nested in runs keep their text, each with its own properties.
    EXPECT_EQ(TextOf("<w:body><w:p><w:hlink><w:r><w:rPr/><w:r><w:t>nested</w:t></w:r>"
                     "<w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden</w:t></w:r></w:r></w:hlink>"
                     "</w:p></w:body>"),
              "nested\n");
}

TEST(Wordml2003, StructureOfHeadingsListsLinksMergesAndStyles) {
    StructureLog log;
    const std::string xml = WordXml2003(
        "<w:lists><w:listDef w:listDefId=\"0\"><w:lvl w:ilvl=\"0\"><w:nfc w:val=\"23\"/>"
        "<w:lvlText w:val=\"-\"/></w:lvl></w:listDef><w:list w:ilfo=\"1\"><w:ilst "
        "w:val=\"0\"/></w:list></w:lists><w:styles><w:style w:type=\"paragraph\" "
        "w:styleId=\"Berschrift2\"><w:name w:val=\"heading 2\"/><w:rPr><w:i/></w:rPr>"
        "</w:style></w:styles><w:body><w:p><w:pPr><w:pStyle w:val=\"Berschrift2\"/></w:pPr>"
        "<w:r><w:t>h</w:t></w:r></w:p><w:p><w:pPr><w:listPr><w:ilvl w:val=\"0\"/><w:ilfo "
        "w:val=\"1\"/></w:listPr></w:pPr><w:hlink w:dest=\"http://x.example/\" "
        "w:bookmark=\"b\"><w:r><w:rPr><w:strike/></w:rPr><w:t>item</w:t></w:r></w:hlink></w:p>"
        "<w:tbl><w:tr><w:tc><w:tcPr><w:vmerge w:val=\"restart\"/></w:tcPr>" +
        Para("m") + "</w:tc></w:tr><w:tr><w:tc><w:tcPr><w:vmerge/></w:tcPr>" + Para("") +
        "</w:tc></w:tr></w:tbl></w:body>");
    ASSERT_TRUE(ReadDocumentBytes("old.xml", xml, log).Ok());
    EXPECT_EQ(log.Lines(),
              "P\nH2\nSTYLE i\nT h\n/P\nP\nLI0*\nLABEL -\nLINK http://x.example/#b\nSTYLE "
              "s\nT item\n/LINK\n/P\nTABLE\nROW\nCELL\nSPAN 1x2\nP\nT m\n/P\n/CELL\n/ROW\nROW\n"
              "CELL\nCOVERED\n/CELL\n/ROW\n/TABLE\n");
}

TEST(Wordml2003, InlineFootnotesAndFields) {
    EXPECT_EQ(TextOf("<w:docPr><w:footnotePr><w:numFmt w:val=\"lower-roman\"/></w:footnotePr>"
                     "</w:docPr><w:body><w:p><w:r><w:t>Text</w:t></w:r><w:r><w:footnote>"
                     "<w:p><w:r><w:footnoteRef/></w:r><w:r><w:t> The note.</w:t></w:r></w:p>"
                     "</w:footnote></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                     "<w:r><w:instrText>PAGE</w:instrText></w:r>"
                     "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t> 3</w:t></w:r>"
                     "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
                     "<w:p><w:r><w:pict><v:shape><v:textbox><w:txbxContent>" +
                     Para("boxed") +
                     "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p></w:body>"),
              "Texti 3\n\nboxed\n\ni The note.\n");
}

TEST(Wordml2003, BrokenDocumentsFailClearly) {
    const Result notXml = Convert(WordXml2003("<w:body><w:p>"));
    EXPECT_EQ(notXml.result.code, ErrorCode::kDamaged);
    EXPECT_NE(notXml.result.description.find("old.xml"), std::string::npos);

    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<ns0:x>";
    }
    for (int i = 0; i < 100000; ++i) {
        deep += "</ns0:x>";
    }
    EXPECT_EQ(Convert(WordXml2003("<w:body>" + deep + "</w:body>")).result.code,
              ErrorCode::kDamaged);

    // No body at all: an empty document.
    const Result empty = Convert(WordXml2003(""));
    EXPECT_TRUE(empty.result.Ok());
    EXPECT_EQ(empty.text, "");
}

TEST(Wordml2003, FormatAndTheDocumentPropertiesItStates) {
    using testing::Properties;
    const std::string properties =
        "<o:DocumentProperties xmlns:o=\"urn:schemas-microsoft-com:office:office\">"
        "<o:Title>Minutes</o:Title><o:Author> Cy </o:Author><o:LastAuthor>Di</o:LastAuthor>"
        "<o:Created>2005-03-03T10:12:00Z</o:Created><o:LastSaved>2005-03-04T08:00:00Z"
        "</o:LastSaved><o:Pages>2</o:Pages><o:Words>321</o:Words></o:DocumentProperties>";
    const std::string body = "<w:body>" + Para("text") + "</w:body>";
    struct Case {
        std::string inner;
        Properties expected;
    };
    const std::vector<Case> cases = {
        {properties + body,
         {{DocumentProperty::kTitle, "Minutes"},
          {DocumentProperty::kAuthor, "Cy"},
          {DocumentProperty::kCreated, "2005-03-03T10:12:00Z"},
          {DocumentProperty::kModified, "2005-03-04T08:00:00Z"},
          {DocumentProperty::kPages, "2"},
          {DocumentProperty::kWords, "321"}}},
        {body, {}},
    };
    for (const Case& c : cases) {
        const DocumentFacts facts = testing::FactsOf("old.xml", WordXml2003(c.inner));
        EXPECT_EQ(facts.format, "wordml");
        EXPECT_EQ(facts.properties, c.expected);
    }
}

}  // namespace
}  // namespace corvanel::convert

#include "OdfTestDocuments.h"
#include "TestFacts.h"
#include "TestZip.h"

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvanel::convert {
namespace {

using testing::MakeFlatOdt;
using testing::MakeOdt;
using testing::MakeZip;
using testing::OdfContent;

ConversionResult Read(const std::string& bytes, std::string& text, MarginTexts include = {}) {
    PlainTextWriter writer;
    writer.WantMarginTexts(include);
    ConversionResult result = ReadDocumentBytes("doc.odt", bytes, writer);
    text = writer.TakeText();
    return result;
}

std::string TextOf(const std::string& bytes, MarginTexts include = {}) {
    std::string text;
    const ConversionResult result = Read(bytes, text, include);
    EXPECT_TRUE(result.Ok()) << result.description;
    return text;
}

TEST(OdfReader, ParagraphsHeadingsAndRunsJoinWithoutAddedSpaces) {
    const std::string body =
        R"(<text:h text:outline-level="1">Title</text:h>)"
        R"(<text:p>Wo<text:span text:style-name="T1">rd</text:span> <text:a xlink:href="x">link</text:a></text:p>)"
        R"(<text:p/>)"
        R"(<text:p>after<text:soft-page-break/> page</text:p>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "Title\nWord link\n\nafter page\n");
}

TEST(OdfReader, CollapsesWhitespaceAndKeepsExplicitSpacesTabsAndBreaks) {
    const std::string body =
        "<text:p>\n   a  \n b<text:s text:c=\"3\"/>c <text:s/>d</text:p>"
        "<text:p><text:s/>lead\t<text:tab/>x <text:line-break/>  y  </text:p>"
        "<text:p><text:span>one </text:span> <text:span> two</text:span></text:p>";
    EXPECT_EQ(TextOf(MakeOdt(body)), "a b   c  d\n lead \tx\ny\none two\n");
}

TEST(OdfReader, TableRowsAreLinesAndCellsAreTabSeparated) {
    const std::string body =
        R"(<table:table><table:table-column table:number-columns-repeated="2"/>)"
        R"(<table:table-header-rows><table:table-row><table:table-cell><text:p>H1</text:p></table:table-cell>)"
        R"(<table:table-cell><text:p>H2</text:p></table:table-cell></table:table-row></table:table-header-rows>)"
        R"(<table:table-row><table:table-cell><text:p>a</text:p><text:p>b</text:p></table:table-cell>)"
        R"(<table:table-cell/></table:table-row></table:table><text:p>after</text:p>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "H1\tH2\na\nb\t\nafter\n");
}

TEST(OdfReader, CoveredCellsBesideASpanVanishButUnderARowSpanStayEmpty) {
    const std::string body =
        R"(<table:table>)"
        R"(<table:table-row><table:table-cell table:number-rows-spanned="2"><text:p>tall</text:p></table:table-cell>)"
        R"(<table:table-cell table:number-columns-spanned="2"><text:p>wide</text:p></table:table-cell>)"
        R"(<table:covered-table-cell/></table:table-row>)"
        R"(<table:table-row><table:covered-table-cell/><table:table-cell><text:p>b</text:p></table:table-cell>)"
        R"(<table:table-cell><text:p>c</text:p></table:table-cell></table:table-row>)"
        R"(<table:table-row><table:table-cell><text:p>d</text:p></table:table-cell></table:table-row>)"
        R"(</table:table>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "tall\twide\n\tb\tc\nd\n");
}

TEST(OdfReader, NestedTablesStayInPlaceAndRepeatsAreBounded) {
    const std::string body =
        R"(<table:table><table:table-row><table:table-cell><text:p>out</text:p>)"
        R"(<table:table><table:table-row><table:table-cell table:number-columns-repeated="2"><text:p>in</text:p></table:table-cell>)"
        R"(</table:table-row></table:table></table:table-cell></table:table-row></table:table>)"
        R"(<table:table><table:table-row table:number-rows-repeated="1048576">)"
        R"(<table:table-cell table:number-columns-repeated="16384"/></table:table-row></table:table>)";
    const std::string text = TextOf(MakeOdt(body));
    EXPECT_EQ(text.substr(0, 11), "out\nin\tin\n\t");
    // 1024 rows of 1024 empty cells at most, not a sheet's worth.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 1024);
    EXPECT_LE(text.size(), 2u * 1024 * 1024);
}

TEST(OdfReader, TextBoxesFollowTheirAnchorParagraphOnce) {
    const std::string body =
        R"(<text:p>anchor <draw:frame draw:name="f"><draw:text-box><text:p>box one</text:p>)"
        R"(<text:p>box two</text:p></draw:text-box><draw:image/></draw:frame>text</text:p>)"
        R"(<text:p>next<draw:custom-shape><text:p>shape</text:p></draw:custom-shape></text:p>)"
        R"(<draw:frame text:anchor-type="page"><draw:text-box><text:p>page box</text:p></draw:text-box></draw:frame>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "anchor text\nbox one\nbox two\nnext\nshape\npage box\n");
}

TEST(OdfReader, NotesGiveTheirCitationInTheTextAndFollowTheBody) {
    const std::string body =
        R"(<text:p>Body<text:note text:note-class="endnote"><text:note-citation>i</text:note-citation>)"
        R"(<text:note-body><text:p>end</text:p></text:note-body></text:note> and)"
        R"(<text:note text:note-class="footnote"><text:note-citation text:label="*">1</text:note-citation>)"
        R"(<text:note-body><text:p>foot</text:p></text:note-body></text:note></text:p>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "Bodyi and*\n\n* foot\ni end\n");
}

TEST(OdfReader, TrackedDeletionsCommentsAndHiddenTextStayOut) {
    const std::string styles =
        R"(<style:style style:name="Hid" style:family="paragraph"><style:text-properties text:display="none"/></style:style>)"
        R"(<style:style style:name="HidChild" style:family="text" style:parent-style-name="HidText"/>)";
    const std::string common =
        R"(<style:style style:name="HidText" style:family="text"><style:text-properties text:display="none"/></style:style>)";
    const std::string body =
        R"(<text:tracked-changes><text:changed-region text:id="c1"><text:deletion>)"
        R"(<office:change-info><dc:creator>x</dc:creator></office:change-info><text:p>deleted</text:p>)"
        R"(</text:deletion></text:changed-region></text:tracked-changes>)"
        R"(<text:p>Some<text:change text:change-id="c1"/> <text:change-start text:change-id="c2"/>new<text:change-end text:change-id="c2"/>)"
        R"(<office:annotation><dc:creator>x</dc:creator><text:p>comment</text:p></office:annotation> text)"
        R"(<text:hidden-text text:condition="ooow:1" text:string-value="secret" text:is-hidden="true"/>)"
        R"(<text:span text:style-name="HidChild">gone</text:span></text:p>)"
        R"(<text:p text:style-name="Hid">hidden paragraph</text:p>)"
        R"(<text:p><text:hidden-paragraph text:condition="ooow:1" text:is-hidden="true"/>also hidden</text:p>)"
        R"(<text:section text:name="s" text:display="none"><text:p>hidden section</text:p></text:section>)"
        R"(<text:section text:name="t"><text:p>shown section</text:p></text:section>)"
        R"(<text:sequence-decls><text:sequence-decl text:name="Table"/></text:sequence-decls>)";
    EXPECT_EQ(TextOf(MakeOdt(body, styles, common)), "Some new text\nshown section\n");
}

TEST(OdfReader, FieldsGiveTheirDisplayedText) {
    const std::string body =
        R"(<text:p>Page <text:page-number text:select-page="current">3</text:page-number> of )"
        R"(<text:page-count>7</text:page-count>, <text:date>2024-01-02</text:date>)"
        R"(<text:bookmark-start text:name="b"/>, <text:ruby><text:ruby-base>kan</text:ruby-base>)"
        R"(<text:ruby-text>k</text:ruby-text></text:ruby></text:p>)"
        R"(<text:table-of-content><text:table-of-content-source><text:index-title-template>Contents)"
        R"(</text:index-title-template></text:table-of-content-source><text:index-body>)"
        R"(<text:p>Entry<text:tab/>1</text:p></text:index-body></text:table-of-content>)";
    EXPECT_EQ(TextOf(MakeOdt(body)), "Page 3 of 7, 2024-01-02, kan\nEntry\t1\n");
}

TEST(OdfReader, FlatDocumentsReadLikePackages) {
    const std::string list =
        R"(<text:list-style style:name="L1"><text:list-level-style-number text:level="1" style:num-format="1" style:num-suffix="."/></text:list-style>)";
    const std::string body =
        R"(<text:p>flat</text:p><text:list text:style-name="L1"><text:list-item><text:p>item</text:p></text:list-item></text:list>)";
    EXPECT_EQ(TextOf(MakeFlatOdt(body, {}, list)), "flat\n1.\titem\n");
}

TEST(OdfReader, FailuresSayWhatIsWrong) {
    std::string text;
    ConversionResult r =
        Read(MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                      {"content.xml", "<office:document-content/>"}}),
             text);
    EXPECT_EQ(r.code, ErrorCode::kNotReadable) << r.description;

    r = Read(MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"}}), text);
    EXPECT_EQ(r.code, ErrorCode::kDamaged);
    EXPECT_NE(r.description.find("content.xml"), std::string::npos) << r.description;

    r = Read(MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                      {"content.xml", "<office:document-content><office:body><office:te"}}),
             text);
    EXPECT_EQ(r.code, ErrorCode::kDamaged);
    EXPECT_NE(r.description.find("doc.odt"), std::string::npos) << r.description;

    r = Read(MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                      {"META-INF/manifest.xml",
                       "<manifest:manifest><manifest:file-entry manifest:full-path=\"content.xml\">"
                       "<manifest:encryption-data/></manifest:file-entry></manifest:manifest>"},
                      {"content.xml", std::string("\x8F\x01\xFF scrambled", 12)}}),
             text);
    EXPECT_EQ(r.code, ErrorCode::kPasswordProtected) << r.description;

    PlainTextWriter writer;
    r = ReadDocumentBytes("sheet.fods",
                          R"(<office:document xmlns:office="o"><office:body><office:spreadsheet/>)"
                          R"(</office:body></office:document>)",
                          writer);
    EXPECT_EQ(r.code, ErrorCode::kNotReadable) << r.description;
}

TEST(OdfReader, PackageWithoutMimetypeIsRecognisedByItsContent) {
    EXPECT_EQ(TextOf(MakeZip({{"content.xml", OdfContent("<text:p>no mimetype</text:p>")}})),
              "no mimetype\n");
}

TEST(OdfReader, DeepNestingFailsCleanly) {
    std::string body;
    for (int i = 0; i < 5000; ++i) {
        body += "<text:span>";
    }
    body += "x";
    for (int i = 0; i < 5000; ++i) {
        body += "</text:span>";
    }
    std::string text;
    const ConversionResult r = Read(MakeOdt("<text:p>" + body + "</text:p>"), text);
    EXPECT_EQ(r.code, ErrorCode::kDamaged) << r.description;
}

TEST(OdfReader, EntitiesOfADocumentTypeAreNeverExpanded) {
    std::string dtd = "<!DOCTYPE office:document-content [<!ENTITY a0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        const std::string previous = "&a" + std::to_string(i - 1) + ";";
        dtd += "<!ENTITY a" + std::to_string(i) + " \"" + previous + previous + previous +
               previous + previous + previous + previous + previous + previous + previous + "\">";
    }
    dtd += "]>";
    std::string content = OdfContent("<text:p>x &a9; y</text:p>");
    content.insert(content.find("<office:document-content"), dtd);
    std::string text;
    const ConversionResult r =
        Read(MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                      {"content.xml", content}}),
             text);
    // Either refused or read without the billion copies.
    EXPECT_TRUE(r.Ok() || r.code == ErrorCode::kDamaged) << r.description;
    EXPECT_LT(text.size(), 100u);
}

// OpenOffice.org 1.x: no <office:text>, numbered lists as <text:ordered-list>, notes as
// <text:footnote>/<text:endnote> with their own citation and body elements, tabs as
// <text:tab-stop>.
TEST(OdfReader, OpenOfficeOrgOneDocuments) {
    const std::string content =
        R"(<office:document-content xmlns:office="http://openoffice.org/2000/office" )"
        R"(xmlns:style="http://openoffice.org/2000/style" xmlns:text="http://openoffice.org/2000/text">)"
        R"(<office:automatic-styles><text:list-style style:name="L1">)"
        R"(<text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1"/>)"
        R"(</text:list-style></office:automatic-styles><office:body>)"
        R"(<text:p>a<text:tab-stop/>b<text:footnote><text:footnote-citation>1</text:footnote-citation>)"
        R"(<text:footnote-body><text:p>foot</text:p></text:footnote-body></text:footnote>)"
        R"(<text:endnote><text:endnote-citation>i</text:endnote-citation>)"
        R"(<text:endnote-body><text:p>end</text:p></text:endnote-body></text:endnote></text:p>)"
        R"(<text:ordered-list text:style-name="L1"><text:list-item><text:p>one</text:p></text:list-item>)"
        R"(</text:ordered-list></office:body></office:document-content>)";
    EXPECT_EQ(
        TextOf(MakeZip({{"mimetype", "application/vnd.sun.xml.writer"}, {"content.xml", content}})),
        "a\tb1i\n1.\tone\n\n1 foot\ni end\n");
}

TEST(OdfFacts, FormatAndStatedPropertiesOfPackagesAndFlatDocuments) {
    using testing::Properties;
    const std::string content = OdfContent("<text:p>text</text:p>");
    const auto odt = [&](const std::string& mimetype, const std::string& meta) {
        std::vector<std::pair<std::string, std::string>> parts = {{"mimetype", mimetype},
                                                                  {"content.xml", content}};
        if (!meta.empty()) {
            parts.emplace_back("meta.xml", "<office:document-meta><office:meta>" + meta +
                                               "</office:meta></office:document-meta>");
        }
        return MakeZip(parts);
    };
    const std::string meta =
        "<dc:title>Notes</dc:title><meta:initial-creator> Ann </meta:initial-creator>"
        "<dc:creator>Bo</dc:creator><meta:creation-date>2015-03-01T17:26:12.31"
        "</meta:creation-date><dc:date>2015-03-01T17:52:11Z</dc:date>"
        "<meta:document-statistic meta:page-count=\"2\" meta:word-count=\"40\"/>";
    const Properties stated = {{DocumentProperty::kTitle, "Notes"},
                               {DocumentProperty::kAuthor, "Ann"},
                               {DocumentProperty::kCreated, "2015-03-01T17:26:12"},
                               {DocumentProperty::kModified, "2015-03-01T17:52:11Z"},
                               {DocumentProperty::kPages, "2"},
                               {DocumentProperty::kWords, "40"}};
    std::string flat = MakeFlatOdt("<text:p>text</text:p>");
    flat.replace(flat.find("<office:styles>"), 0, "<office:meta>" + meta + "</office:meta>");
    struct Case {
        const char* name;
        std::string bytes;
        const char* format;
        Properties expected;
    };
    const std::vector<Case> cases = {
        {"stated.odt", odt("application/vnd.oasis.opendocument.text", meta), "odt", stated},
        // Without the first author, the last one to save it stands in.
        {"form.ott",
         odt("application/vnd.oasis.opendocument.text-template",
             "<dc:creator>Bo</dc:creator><dc:date>2020-05-01T10:00:00-04:00</dc:date>"),
         "ott",
         {{DocumentProperty::kAuthor, "Bo"},
          {DocumentProperty::kModified, "2020-05-01T10:00:00-04:00"}}},
        {"bare.odt", odt("application/vnd.oasis.opendocument.text", ""), "odt", {}},
        {"old.sxw",
         odt("application/vnd.sun.xml.writer", "<dc:title>Old</dc:title>"),
         "sxw",
         {{DocumentProperty::kTitle, "Old"}}},
        {"old.stw", odt("application/vnd.sun.xml.writer.template", ""), "stw", {}},
        {"no-mimetype.odt",
         odt("", "<dc:title>Kept</dc:title>"),
         "odt",
         {{DocumentProperty::kTitle, "Kept"}}},
        {"flat.fodt", flat, "fodt", stated},
    };
    for (const Case& c : cases) {
        const DocumentFacts facts = testing::FactsOf(c.name, c.bytes);
        EXPECT_EQ(facts.format, c.format) << c.name;
        EXPECT_EQ(facts.properties, c.expected) << c.name;
    }
}

TEST(OdfReader, HeadersFootersAndAnnotationsWhenAsked) {
    // Two page styles share their header; the second has a left-page one too.
    const std::string pages =
        R"(<style:master-page style:name="Standard"><style:header><text:p>Head</text:p>)"
        R"(</style:header><style:footer><text:p>Foot</text:p></style:footer></style:master-page>)"
        R"(<style:master-page style:name="Other"><style:header><text:p>Head</text:p>)"
        R"(</style:header><style:header-left><text:p>Left</text:p></style:header-left>)"
        R"(</style:master-page>)";
    const std::string body =
        R"(<text:p>One<office:annotation><dc:creator>Ann</dc:creator><dc:date>2024-01-01)"
        R"(</dc:date><text:p>Check</text:p><text:p>this.</text:p></office:annotation> two</text:p>)";
    const struct {
        MarginTexts include;
        std::string text;
    } kCases[] = {
        {{}, "One two\n"},
        {{true, true, true}, "Head\nLeft\n\nOne two\n\nFoot\n\nAnn: Check this.\n"},
        {{false, true, false}, "One two\n\nFoot\n"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(TextOf(MakeOdt(body, {}, {}, pages), c.include), c.text);
        EXPECT_EQ(TextOf(MakeFlatOdt(body, {}, {}, pages), c.include), c.text);
    }
    // Page styles that cannot be read only leave the headers and footers out.
    EXPECT_EQ(TextOf(MakeOdt(body, {}, {}, "<style:master-page>"), {true, true, false}),
              "One two\n");
}

}  // namespace
}  // namespace corvanel::convert

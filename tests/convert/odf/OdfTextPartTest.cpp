// Reading an OpenDocument text body a batch of top-level blocks at a time: what the scanner cuts,
// what the skeleton keeps, and that every document reads as when its part is parsed whole.

#include "OdfTestDocuments.h"
#include "TestZip.h"

#include "convert/Converter.h"
#include "convert/core/ConvertError.h"
#include "convert/plaintext/PlainTextWriter.h"
#include "convert/core/SourceFile.h"
#include "convert/core/XmlDocument.h"
#include "convert/core/ZipPackage.h"
#include "convert/odf/OdfTextPart.h"
#include "convert/ooxml/BodyBlocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvanel::convert {
namespace {

using testing::MakeFlatOdt;
using testing::MakeOdt;
using testing::MakeZip;
using testing::OdfContent;

constexpr std::size_t kEveryBlock = 1;  // each block is a batch of its own
constexpr std::size_t kWhole = SIZE_MAX;

// The batch size for one scope.
class BatchBytes {
public:
    explicit BatchBytes(std::size_t bytes) { odf::SetTextBatchBytesForTesting(bytes); }
    ~BatchBytes() { odf::SetTextBatchBytesForTesting(0); }
    BatchBytes(const BatchBytes&) = delete;
    BatchBytes& operator=(const BatchBytes&) = delete;
};

struct Converted {
    ConversionResult result;
    std::string text;
};

Converted Convert(const std::string& name, const std::string& bytes, std::size_t batchBytes) {
    const BatchBytes scope(batchBytes);
    PlainTextWriter writer;
    Converted converted;
    converted.result = ReadDocumentBytes(name, bytes, writer);
    converted.text = writer.TakeText();
    return converted;
}

// Read in batches of single blocks, the document gives what the whole tree gives.
void ExpectSameAsWhole(const std::string& name, const std::string& bytes) {
    const Converted whole = Convert(name, bytes, kWhole);
    const Converted batched = Convert(name, bytes, kEveryBlock);
    EXPECT_EQ(batched.result.code, whole.result.code) << name;
    EXPECT_EQ(batched.result.description, whole.result.description) << name;
    if (whole.result.Ok()) {  // a failed document's text is never written
        EXPECT_EQ(batched.text, whole.text) << name;
    }
}

// Whether a content part (or flat document) with one-block batches is read in batches.
bool ReadsInBatches(std::string xml) {
    const BatchBytes scope(kEveryBlock);
    bool parsedWhole = false;
    const odf::TextPart part(
        xml, "content.xml", [&](pugi::xml_document&, std::string&) { parsedWhole = true; },
        [] { return std::optional<std::string>(); });
    EXPECT_NE(part.InBatches(), parsedWhole);
    return part.InBatches();
}

std::vector<std::string> BatchTexts(const std::string& xml, const ContainerBlocks& blocks) {
    std::vector<std::string> texts;
    for (const auto& body : blocks.bodies) {
        for (const ContainerBlocks::Batch& batch : body) {
            texts.push_back(xml.substr(batch.begin, batch.size));
        }
        texts.emplace_back("|");  // where one container ends
    }
    return texts;
}

TEST(OdfTextPart, BatchesCoverTheTextBodyAndTheSkeletonKeepsTheRest) {
    const BlockLayout layout{{"body", "text"}, {}};
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content><office:scripts><office:text><text:p>s</text:p></office:text>"
        "</office:scripts><office:body><office:forms/><x:text/><office:text>\n"
        "<text:sequence-decls><text:sequence-decl text:name=\"Table\"/></text:sequence-decls>"
        "<text:p>one</text:p> <text:list><text:list-item><text:p>two</text:p></text:list-item>"
        "</text:list><text:p/></office:text></office:body></office:document-content>";
    const auto blocks = ScanContainerBlocks(xml, layout, 90);
    ASSERT_TRUE(blocks);
    const std::vector<std::string> expected{
        "|", "<text:sequence-decls><text:sequence-decl text:name=\"Table\"/></text:sequence-decls>",
        "<text:p>one</text:p>",
        "<text:list><text:list-item><text:p>two</text:p></text:list-item></text:list><text:p/>",
        "|"};
    EXPECT_EQ(BatchTexts(xml, *blocks), expected);
    EXPECT_EQ(blocks->skeleton,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<office:document-content><office:scripts><office:text><text:p>s</text:p>"
              "</office:text></office:scripts><office:body><office:forms/><x:text/><office:text>"
              "</office:text></office:body></office:document-content>");

    // The reader's own view: styles outside the body are there, the body's blocks are not.
    std::string content = OdfContent("<text:p>one</text:p><text:p>two</text:p>",
                                     "<style:style style:name=\"P1\" style:family=\"paragraph\"/>");
    const BatchBytes scope(kEveryBlock);
    odf::TextPart part(
        content, "content.xml", [](pugi::xml_document&, std::string&) { FAIL(); },
        [] { return std::optional<std::string>(); });
    ASSERT_TRUE(part.InBatches());
    EXPECT_TRUE(part.Root().child("office:automatic-styles").child("style:style"));
    EXPECT_STREQ(part.Body().name(), "office:text");
    EXPECT_FALSE(part.Body().first_child());
}

TEST(OdfTextPart, ListNumberingAndStateAcrossBlocksCarryAcrossBatches) {
    const std::string listStyle =
        R"(<text:list-style style:name="L1"><text:list-level-style-number text:level="1")"
        R"( style:num-format="1" style:num-suffix="."/></text:list-style>)";
    const std::string outline =
        R"(<text:outline-style style:name="Outline"><text:outline-level-style text:level="1")"
        R"( style:num-format="1" style:num-suffix="."/></text:outline-style>)";
    const auto item = [](const std::string& text) {
        return "<text:list-item><text:p>" + text + "</text:p></text:list-item>";
    };
    const std::string body =
        R"(<text:tracked-changes><text:changed-region text:id="c1"><text:deletion>)"
        R"(<text:p>deleted</text:p></text:deletion></text:changed-region></text:tracked-changes>)"
        R"(<text:h text:outline-level="1">First</text:h>)"
        R"(<text:list xml:id="list1" text:style-name="L1">)" +
        item("a") + item("b") + "</text:list><text:p>between</text:p>" +
        R"(<text:list text:style-name="L1" text:continue-numbering="true">)" + item("c") +
        "</text:list><text:soft-page-break/>" + R"(<text:list text:style-name="L1">)" +
        item("fresh") + "</text:list>" +
        R"(<text:list text:style-name="L1" text:continue-list="list1">)" + item("d") +
        "</text:list>" +
        R"(<text:numbered-paragraph text:list-id="list1" text:style-name="L1">)"
        R"(<text:p>e</text:p></text:numbered-paragraph>)"
        R"(<text:section text:name="S"><text:h text:outline-level="1">Second</text:h>)"
        R"(<text:p><text:change-start text:change-id="c1"/>kept</text:p></text:section>)";
    const std::string odt = MakeOdt(body, listStyle, outline);
    ASSERT_TRUE(ReadsInBatches(OdfContent(body, listStyle)));
    ExpectSameAsWhole("lists.odt", odt);
    ExpectSameAsWhole("lists.fodt", MakeFlatOdt(body, listStyle, outline));

    // The state did carry over: continued lists go on counting, headings are numbered in turn.
    const std::string text = Convert("lists.odt", odt, kEveryBlock).text;
    for (const char* expected :
         {"1.\tFirst", "2.\tb", "3.\tc", "1.\tfresh", "4.\td", "5.\te", "2.\tSecond"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    }
    EXPECT_EQ(text.find("deleted"), std::string::npos) << text;
}

TEST(OdfTextPart, LargeTablesAndSectionsAreReadAPieceOfTheirChildrenAtATime) {
    // With one-block batches every top-level table and section is larger than a batch: its rows
    // or blocks come a piece at a time, and what spans pieces (cells spanning rows, a list
    // continued inside a section) reads as when the part is parsed whole.
    const std::string listStyle =
        R"(<text:list-style style:name="L1"><text:list-level-style-number text:level="1")"
        R"( style:num-format="1" style:num-suffix="."/></text:list-style>)";
    const auto row = [](const std::string& cells) {
        return "<table:table-row>" + cells + "</table:table-row>";
    };
    const auto cell = [](const std::string& text, const std::string& attributes = {}) {
        return "<table:table-cell" + attributes + "><text:p>" + text +
               "</text:p></table:table-cell>";
    };
    const std::string body =
        R"(<text:list xml:id="l1" text:style-name="L1"><text:list-item><text:p>one</text:p>)"
        R"(</text:list-item></text:list>)"
        R"(<table:table table:name="T"><table:table-column table:number-columns-repeated="3"/>)"
        "<table:table-header-rows>" +
        row(cell("h1") + cell("h2") + cell("h3")) + "</table:table-header-rows>" +
        row(cell("tall", R"( table:number-rows-spanned="3")") + cell("a") + cell("b")) +
        row("<table:covered-table-cell/>" + cell("wide", R"( table:number-columns-spanned="2")") +
            "<table:covered-table-cell/>") +
        row("<table:covered-table-cell/>" + cell("c") + cell("d")) +
        row(cell("after span") + cell("e") + cell("f")) + "</table:table>" +
        R"(<text:section text:name="Shown"><text:p>shown</text:p>)"
        R"(<text:list text:style-name="L1" text:continue-list="l1"><text:list-item>)"
        R"(<text:p>two</text:p></text:list-item></text:list>)"
        R"(<table:table><table:table-row><table:table-cell><text:p>nested</text:p>)"
        R"(</table:table-cell></table:table-row></table:table></text:section>)"
        R"(<text:section text:name="None" text:display="none"><text:p>gone</text:p>)"
        R"(</text:section><text:section text:name="Hidden" text:is-hidden="true">)"
        R"(<text:p>also gone</text:p></text:section><text:section text:name="Empty"/>)"
        "<text:p>last</text:p>";
    ExpectSameAsWhole("pieces.odt", MakeOdt(body, listStyle));
    ExpectSameAsWhole("pieces.fodt", MakeFlatOdt(body, listStyle));

    const std::string text = Convert("pieces.odt", MakeOdt(body, listStyle), kEveryBlock).text;
    for (const char* expected :
         {"h1", "tall", "wide", "after span", "shown", "2.\ttwo", "nested", "last"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
    }
    EXPECT_EQ(text.find("gone"), std::string::npos) << text;

    // A malformed row, and malformed content of a hidden section, fail the document as whole.
    for (const std::string& bad : std::vector<std::string>{
             "<table:table>" + row(cell("x")) + "<table:table-row><1bad/></table:table-row>" +
                 row(cell("y")) + "</table:table>",
             R"(<text:section text:display="none"><text:p>x</text:p><text:p a=1/>)"
             R"(<text:p>y</text:p></text:section>)"}) {
        const Converted batched = Convert("bad.odt", MakeOdt(bad), kEveryBlock);
        EXPECT_EQ(batched.result.code, ErrorCode::kDamaged) << bad;
        ExpectSameAsWhole("bad.odt", MakeOdt(bad));
    }
}

TEST(OdfTextPart, AMalformedBlockIsReportedAsTheWholeParseReportsIt) {
    for (const std::string bad :
         {"<text:p text:a=x/>", "<text:p><1bad/></text:p>", "<text:p a=\"1\"b=\"2\"/>"}) {
        const std::string body = "<text:p>fine</text:p>" + bad + "<text:p>after</text:p>";
        ASSERT_TRUE(ReadsInBatches(OdfContent("<text:p>fine</text:p>"))) << bad;
        const Converted batched = Convert("bad.odt", MakeOdt(body), kEveryBlock);
        EXPECT_EQ(batched.result.code, ErrorCode::kDamaged) << bad;
        EXPECT_NE(batched.result.description.find("content.xml is not well-formed XML"),
                  std::string::npos)
            << batched.result.description;
        ExpectSameAsWhole("bad.odt", MakeOdt(body));
        ExpectSameAsWhole("bad.fodt", MakeFlatOdt(body));
    }
}

TEST(OdfTextPart, AMalformedBlockAfterAReaderFaultIsStillTheFaultReported) {
    // The table has more cells than the reader allows (covered cells, the cheapest to walk);
    // parsed whole, the malformed block after it fails the document first.
    std::string rows;
    for (int i = 0; i < 5; ++i) {
        rows += R"(<table:table-row table:number-rows-repeated="1024"><table:covered-table-cell)"
                R"( table:number-columns-repeated="1024"/></table:table-row>)";
    }
    const std::string table = "<table:table>" + rows + "</table:table>";
    const Converted tooLarge = Convert("t.odt", MakeOdt(table), kEveryBlock);
    ASSERT_EQ(tooLarge.result.code, ErrorCode::kTooLarge) << tooLarge.result.description;

    const std::string body = table + "<text:p><1bad/></text:p>";
    const Converted batched = Convert("t.odt", MakeOdt(body), kEveryBlock);
    EXPECT_EQ(batched.result.code, ErrorCode::kDamaged) << batched.result.description;
    ExpectSameAsWhole("t.odt", MakeOdt(body));
}

TEST(OdfTextPart, UnusualXmlIsParsedWhole) {
    const std::string ns = R"( xmlns:office="o" xmlns:text="t")";
    const std::string paragraphs = "<text:p>one</text:p><text:p>two</text:p>";
    const std::vector<std::string> unusual{
        // a document type declaration
        "<!DOCTYPE office:document-content><office:document-content" + ns +
            "><office:body><office:text>" + paragraphs +
            "</office:text></office:body></office:document-content>",
        // another encoding
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><office:document-content" + ns +
            "><office:body><office:text><text:p>caf\xE9</text:p>" + paragraphs +
            "</office:text></office:body></office:document-content>",
        // two text bodies
        "<office:document-content" + ns + "><office:body><office:text>" + paragraphs +
            "</office:text><office:text>" + paragraphs +
            "</office:text></office:body></office:document-content>",
        // prefixes the reader does not name
        R"(<o:document-content xmlns:o="o" xmlns:text="t"><o:body><o:text>)" + paragraphs +
            "</o:text></o:body></o:document-content>",
        // a body whose text element is not where the reader looks
        "<office:document-content" + ns + "><office:body><x:text>" + paragraphs + "</x:text>" +
            paragraphs + "</office:body></office:document-content>",
        // the text directly in the body (OpenOffice.org 1)
        "<office:document-content" + ns + "><office:body>" + paragraphs +
            "</office:body></office:document-content>",
        // tags the scanner cannot match
        "<office:document-content" + ns + "><office:body><office:text>" + paragraphs +
            "</office:txt></office:body></office:document-content>",
    };
    for (const std::string& content : unusual) {
        EXPECT_FALSE(ReadsInBatches(content)) << content;
        const std::string odt = MakeZip(
            {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", content}});
        ExpectSameAsWhole("unusual.odt", odt);
    }
    // An empty text body is still read from the skeleton alone.
    const std::string empty =
        "<office:document-content" + ns +
        "><office:body><office:text/></office:body></office:document-content>";
    EXPECT_TRUE(ReadsInBatches(empty));
    ExpectSameAsWhole("empty.odt", MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text"},
                                            {"content.xml", empty}}));
}

TEST(OdfTextPart, LargeContentIsReadInBatchesByDefault) {
    const std::string paragraph = "<text:p>" + std::string(1000, 'x') + "</text:p>";
    std::string body;
    while (body.size() <= kBlockBatchBytes) {
        body += paragraph;
    }
    body += "<text:p>last</text:p>";
    EXPECT_EQ(odf::TextBatchBytes(), kBlockBatchBytes);
    {
        std::string content = OdfContent(body);
        odf::TextPart part(
            content, "content.xml", [](pugi::xml_document&, std::string&) { FAIL(); },
            [] { return std::optional<std::string>(); });
        EXPECT_TRUE(part.InBatches());
    }
    // A large document, and a table larger than a batch within it, at the default batch size.
    std::string table = "<table:table>";
    while (table.size() <= kBlockBatchBytes) {
        table += "<table:table-row><table:table-cell>" + paragraph +
                 "</table:table-cell><table:table-cell table:number-rows-spanned=\"2\">" +
                 paragraph + "</table:table-cell></table:table-row>";
    }
    table += "</table:table>";
    for (const std::string& content : {body, table + body}) {
        const Converted batched = Convert("large.odt", MakeOdt(content), 0);
        const Converted whole = Convert("large.odt", MakeOdt(content), kWhole);
        ASSERT_TRUE(batched.result.Ok()) << batched.result.description;
        EXPECT_EQ(batched.text, whole.text);
    }
}

// The content part of a package as a flat document: the same text through the flat reader.
std::string FlatFromContent(std::string content) {
    const std::string open = "<office:document-content";
    const std::string close = "</office:document-content>";
    const auto begin = content.find(open);
    const auto end = content.rfind(close);
    if (begin == std::string::npos || end == std::string::npos) {
        return {};
    }
    content.replace(end, close.size(), "</office:document>");
    content.replace(begin, open.size(), "<office:document");
    return content;
}

TEST(OdfTextPart, EveryCorpusDocumentReadsInBatchesAsWhole) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    int documents = 0;
    int inBatches = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() ||
            (extension != ".odt" && extension != ".ott" && extension != ".fodt")) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        const std::string name = entry.path().filename().string();
        ExpectSameAsWhole(name, bytes.str());
        ++documents;
        if (extension == ".fodt") {
            inBatches += ReadsInBatches(bytes.str()) ? 1 : 0;
            continue;
        }
        SourceFile source = SourceFile::FromBytes(name, bytes.str());
        ZipPackage package(source);
        const std::optional<std::string> content = package.Read("content.xml");
        ASSERT_TRUE(content) << name;
        inBatches += ReadsInBatches(*content) ? 1 : 0;
        const std::string flat = FlatFromContent(*content);
        if (!flat.empty()) {
            ExpectSameAsWhole(name + " as .fodt", flat);
        }
    }
    std::printf("%d corpus documents, %d of them read in batches\n", documents, inBatches);
    EXPECT_GT(inBatches, documents / 2);
}

}  // namespace
}  // namespace corvanel::convert

// Cutting a main part's bodies into batches of top-level blocks, and reading a document that
// way end to end.

#include "DocxBuilder.h"
#include "TestZip.h"
#include "convert/ooxml/BodyBlocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::testing {
namespace {

using ooxml::BodyBlocks;
using ooxml::ScanBodyBlocks;

// The text of each batch of each body.
std::vector<std::vector<std::string>> BatchTexts(const std::string& xml, const BodyBlocks& blocks) {
    std::vector<std::vector<std::string>> texts;
    for (const auto& body : blocks.bodies) {
        auto& batches = texts.emplace_back();
        for (const BodyBlocks::Batch& batch : body) {
            batches.push_back(xml.substr(batch.begin, batch.size));
        }
    }
    return texts;
}

TEST(BodyBlocks, BlocksAreBatchedWithinEachBodyAndTheSkeletonKeepsSectionProperties) {
    const std::string xml =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"urn:w\"><w:background/><w:body>\n"
        "<w:p><w:r><w:t>one</w:t></w:r></w:p>\n<w:p/><w:tbl><w:tr/></w:tbl>"
        "<w:sectPr><w:footnotePr/></w:sectPr></w:body><w:body/><body><p>x</p></body>"
        "</w:document>";
    const auto blocks = ScanBodyBlocks(xml, 30);
    ASSERT_TRUE(blocks);
    const std::vector<std::vector<std::string>> expected{
        {"<w:p><w:r><w:t>one</w:t></w:r></w:p>", "<w:p/><w:tbl><w:tr/></w:tbl>",
         "<w:sectPr><w:footnotePr/></w:sectPr>"},
        {},
        {"<p>x</p>"}};
    EXPECT_EQ(BatchTexts(xml, *blocks), expected);
    EXPECT_EQ(blocks->skeleton,
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<w:document xmlns:w=\"urn:w\"><w:background/><w:body>"
              "<w:sectPr><w:footnotePr/></w:sectPr></w:body><w:body/><body></body>"
              "</w:document>");

    const auto oneBatch = ScanBodyBlocks(xml);
    ASSERT_TRUE(oneBatch);
    EXPECT_EQ(BatchTexts(xml, *oneBatch)[0],
              std::vector<std::string>{"<w:p><w:r><w:t>one</w:t></w:r></w:p>\n<w:p/><w:tbl><w:tr/>"
                                       "</w:tbl><w:sectPr><w:footnotePr/></w:sectPr>"});
}

TEST(BodyBlocks, MarkupThatLooksLikeTagsDoesNotEndABlock) {
    const std::string block =
        "<w:p w:a=\"x>y</w:p>\" w:b='\"'><!-- </w:p> --><?pi </w:p>?>"
        "<w:t><![CDATA[</w:p>]]></w:t></w:p>";
    const std::string xml = "<w:document><w:body>" + block + "<w:p/></w:body></w:document>";
    const auto blocks = ScanBodyBlocks(xml, 1);
    ASSERT_TRUE(blocks);
    const std::vector<std::vector<std::string>> expected{{block, "<w:p/>"}};
    EXPECT_EQ(BatchTexts(xml, *blocks), expected);
}

TEST(BodyBlocks, AnythingTheScannerCannotFollowIsLeftToTheWholeParse) {
    const std::string body = "<w:body><w:p/></w:body>";
    const std::vector<std::string> unusual{
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w:document>" + body + "</w:document>",
        "<!DOCTYPE w:document [<!ENTITY e \"x\">]><w:document>" + body + "</w:document>",
        "<w:document>" + body + "</w:document><w:document/>",
        "<w:document>" + body,
        "<w:document><w:body><w:p></w:r></w:body></w:document>",
        "<w:document><w:body><w:p w:a=\"x/></w:body></w:document>",
        "<w:document><w:body><!-- open </w:body></w:document>",
        std::string("<w:document><w:body><w:p/>") + '\0' + "</w:body></w:document>",
        "<w:document>" + body + "</w:document>text",
        "<w:document><w:body><?xml version=\"1.0\"?><w:p/></w:body></w:document>",
        // Processing instruction targets the parser refuses.
        "<w:document><w:body><w:p/><?\r?><w:p/></w:body></w:document>",
        "<w:document><w:body><w:p/><?1a x?><w:p/></w:body></w:document>",
        "<w:document><w:body><w:p/><?a\"b?><w:p/></w:body></w:document>",
        "<w:document><w:body><w:p/><?"
        "?><w:p/></w:body></w:document>",
        "",
    };
    for (const std::string& xml : unusual) {
        EXPECT_FALSE(ScanBodyBlocks(xml)) << xml;
    }

    const std::string wellFormed =
        "<w:document><w:body><w:p/><?a-1.b x?><?\xC3\xA9?><w:p/>"
        "</w:body></w:document>";
    EXPECT_TRUE(ScanBodyBlocks(wellFormed));

    std::string deep = "<w:document><w:body>";
    for (int i = 0; i < 1000; ++i) {
        deep += "<w:ins>";
    }
    EXPECT_FALSE(ScanBodyBlocks(deep));
}

// The text of a package read in batches and, with a document type declaration that makes the
// reader parse the main part whole, in one tree.
void ExpectSameTextInBatchesAndWhole(const DocxBuilder& docx) {
    const Converted inBatches = ConvertBytes(docx.Build());
    ASSERT_TRUE(inBatches.result.Ok()) << inBatches.result.description;
    auto parts = docx.Parts();
    for (auto& [name, content] : parts) {
        if (name == "word/document.xml") {
            content.insert(content.find("<w:document"), "<!DOCTYPE w:document>");
        }
    }
    const Converted whole = ConvertBytes(MakeZip(parts));
    ASSERT_TRUE(whole.result.Ok()) << whole.result.description;
    EXPECT_EQ(inBatches.text, whole.text);
}

TEST(BodyBlocks, StateSpanningBlocksCarriesAcrossBatches) {
    // A field opened before a batch boundary and closed after it, and a paragraph whose mark
    // was deleted running on into the next batch, read as when the part is parsed whole (a
    // document type declaration makes the reader parse it whole).
    const std::string filler = Para(std::string(ooxml::kBodyBatchBytes, 'f'));
    DocxBuilder docx;
    docx.body =
        "<w:p><w:r><w:t>before</w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText>PAGE</w:instrText></w:r></w:p>" +
        filler +
        "<w:p><w:r><w:instrText>more code</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>result</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        "<w:p><w:pPr><w:rPr><w:del w:id=\"1\" w:author=\"a\"/></w:rPr></w:pPr>"
        "<w:r><w:t>runs </w:t></w:r></w:p>" +
        filler + Para("on");
    ExpectSameTextInBatchesAndWhole(docx);
    const std::string text = TextOf(docx);
    EXPECT_EQ(text.find("PAGE"), std::string::npos);
    EXPECT_NE(text.find("result\nruns ff"), std::string::npos);
}

TEST(BodyBlocks, AMalformedProcessingInstructionBetweenBatchesIsTheWholePartsFault) {
    // Between two blocks of different batches, where no batch's parse reaches it.
    const std::string filler = Para(std::string(ooxml::kBodyBatchBytes, 'f'));
    DocxBuilder docx;
    docx.body = filler + "<?\r?>" + filler;
    const Converted converted = ConvertBytes(docx.Build());
    EXPECT_EQ(converted.result.code, ErrorCode::kDamaged);
    EXPECT_NE(converted.result.description.find("word/document.xml is not well-formed XML"),
              std::string::npos)
        << converted.result.description;
}

TEST(BodyBlocks, AMalformedBlockIsReportedAsTheWholePartsFault) {
    // Large enough to be read in batches; the faults are within tags the scanner passes over.
    const std::string filler = Para(std::string(ooxml::kBodyBatchBytes, 'f'));
    for (const std::string bad :
         {"<w:p><1bad/></w:p>", "<w:p w:a=x/>", "<w:p w:a=\"1\"w:b=\"2\"/>"}) {
        DocxBuilder docx;
        docx.body = filler + Para("fine") + bad;
        const Converted converted = ConvertBytes(docx.Build());
        EXPECT_EQ(converted.result.code, ErrorCode::kDamaged) << bad;
        EXPECT_NE(converted.result.description.find("word/document.xml is not well-formed XML"),
                  std::string::npos)
            << converted.result.description;
    }
}

TEST(BodyBlocks, AStyleSheetSharingItsPartWithOtherReadersIsStillRead) {
    // The style sheet's tree is freed once read; a part named again (as the list definitions
    // here, or the main part itself) is read anew or kept.
    DocxBuilder docx;
    docx.numbering =
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
        "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>";
    docx.body =
        Para("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>", TextRun("item")) +
        Para(std::string(ooxml::kBodyBatchBytes, 'f'));  // read in batches
    const std::string expected = TextOf(docx);
    ASSERT_NE(expected.find("item"), std::string::npos);

    for (const std::string target : {"numbering.xml", "document.xml"}) {
        for (const bool whole : {false, true}) {
            auto parts = docx.Parts();
            for (auto& [name, content] : parts) {
                if (name == "word/_rels/document.xml.rels") {
                    content.insert(content.find("</Relationships>"),
                                   "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats."
                                   "org/officeDocument/2006/relationships/styles\" Target=\"" +
                                       target + "\"/>");
                } else if (name == "word/document.xml" && whole) {
                    content.insert(content.find("<w:document"), "<!DOCTYPE w:document>");
                }
            }
            const Converted converted = ConvertBytes(MakeZip(parts));
            ASSERT_TRUE(converted.result.Ok()) << converted.result.description;
            EXPECT_EQ(converted.text, expected) << target << (whole ? " parsed whole" : "");
        }
    }
}

}  // namespace
}  // namespace corvanel::convert::testing

namespace corvanel::convert::testing {
namespace {

TEST(BodyBlocks, ARootElementsOwnChildrenCanBeTheBlocks) {
    const std::string rows =
        "<w:tr><w:tc><w:p/></w:tc></w:tr><w:sdt><w:sdtContent><w:tr/>"
        "</w:sdtContent></w:sdt><w:tr/>";
    const std::string xml = "<w:tbl><w:tblPr/>" + rows + "</w:tbl>";
    const auto blocks = ScanContainerBlocks(xml, BlockLayout{{}, {}}, 1);
    ASSERT_TRUE(blocks);
    const std::vector<std::vector<std::string>> expected{
        {"<w:tblPr/>", "<w:tr><w:tc><w:p/></w:tc></w:tr>",
         "<w:sdt><w:sdtContent><w:tr/></w:sdtContent></w:sdt>", "<w:tr/>"}};
    std::vector<std::vector<std::string>> texts;
    for (const auto& container : blocks->bodies) {
        auto& batches = texts.emplace_back();
        for (const auto& batch : container) {
            batches.push_back(xml.substr(batch.begin, batch.size));
        }
    }
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(blocks->skeleton, "<w:tbl></w:tbl>");
}

std::string Row(const std::string& first, const std::string& second) {
    return "<w:tr><w:tc>" + Para(first) + "</w:tc><w:tc>" + Para(second) + "</w:tc></w:tr>";
}

TEST(BodyBlocks, ATableLargerThanABatchIsReadARowBatchAtATime) {
    // Rows in content controls, a nested table and a deleted row among them; a paragraph whose
    // mark was deleted just before the table, and paragraphs around it.
    std::string rows;
    for (int i = 0; rows.size() < 3 * ooxml::kBodyBatchBytes; ++i) {
        rows += Row("r" + std::to_string(i), std::string(500, 'c'));
        if (i % 1000 == 7) {
            rows += "<w:sdt><w:sdtContent>" + Row("in control", "x") + "</w:sdtContent></w:sdt>";
            rows += "<w:tr><w:trPr><w:del w:id=\"9\" w:author=\"a\"/></w:trPr><w:tc>" +
                    Para("deleted row") + "</w:tc></w:tr>";
            rows += "<w:tr><w:tc><w:tbl>" + Row("nested", "table") + "</w:tbl></w:tc></w:tr>";
        }
    }
    DocxBuilder docx;
    docx.body = Para("before") +
                "<w:p><w:pPr><w:rPr><w:del w:id=\"1\" w:author=\"a\"/></w:rPr></w:pPr>"
                "<w:r><w:t>mark deleted</w:t></w:r></w:p>"
                "<w:tbl><w:tblPr><w:tblW w:w=\"0\"/></w:tblPr><w:tblGrid/>" +
                rows + "</w:tbl>" + Para("after");
    ExpectSameTextInBatchesAndWhole(docx);
    const std::string text = TextOf(docx);
    EXPECT_EQ(text.find("deleted row"), std::string::npos);
    EXPECT_NE(text.find("\nnested\ttable\n"), std::string::npos);
    EXPECT_NE(text.find("mark deleted\nr0\t"), std::string::npos);
    EXPECT_NE(text.find("\nafter\n"), std::string::npos);
}

}  // namespace
}  // namespace corvanel::convert::testing

namespace corvanel::convert::testing {
namespace {

// Reads a document with the given batch size: the result code and description, and the text.
std::pair<std::string, std::string> ReadWithBatches(const std::string& bytes,
                                                    std::size_t batchBytes) {
    ooxml::SetBodyBatchBytesForTesting(batchBytes);
    const Converted converted = ConvertBytes(bytes);
    ooxml::SetBodyBatchBytesForTesting(0);
    return {std::to_string(converted.result.Number()) + " " + converted.result.description,
            converted.text};
}

TEST(BodyBlocks, AMalformedLaterBlockOutweighsAFaultMetReadingAnEarlierOne) {
    // Tables nested too deeply for the reader (though not for the scanner), then a block that
    // is not well-formed: parsed whole, the part fails as not well-formed before any reading.
    std::string nested = Para("x");
    for (int i = 0; i < 150; ++i) {
        nested = "<w:tbl><w:tr><w:tc>" + nested + "</w:tc></w:tr></w:tbl>" + Para("");
    }
    DocxBuilder docx;
    docx.body = nested + Para("fine") + "<w:p><w:r><w:t>bad</w:r></w:p>";
    for (const std::size_t batchBytes : {std::size_t{64}, SIZE_MAX}) {
        const auto [result, text] = ReadWithBatches(docx.Build(), batchBytes);
        EXPECT_NE(result.find("word/document.xml is not well-formed XML"), std::string::npos)
            << batchBytes << ": " << result;
    }
    // Without the malformed block, the reader's own fault stands, read either way.
    docx.body = nested + Para("fine");
    const auto batched = ReadWithBatches(docx.Build(), 64);
    EXPECT_NE(batched.first.find("nested more than"), std::string::npos) << batched.first;
    EXPECT_EQ(batched.first, ReadWithBatches(docx.Build(), SIZE_MAX).first);
}

TEST(BodyBlocks, EveryCorpusDocumentReadsInTinyBatchesAsWhole) {
    // Batches of 64 bytes put a batch boundary between nearly every two blocks and cut every
    // table into pieces of a row or so.
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    int documents = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".docx" && extension != ".docm" &&
                                         extension != ".dotx" && extension != ".dotm")) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        const auto batched = ReadWithBatches(bytes.str(), 64);
        const auto whole = ReadWithBatches(bytes.str(), SIZE_MAX);
        EXPECT_EQ(batched.first, whole.first) << entry.path();
        EXPECT_EQ(batched.second, whole.second) << entry.path();
        ++documents;
    }
    EXPECT_GT(documents, 100);
}

}  // namespace
}  // namespace corvanel::convert::testing

// Headers and footers in both outputs, for every format that has them: a page header and footer
// holding the same text are each kept, once per kind however many sections repeat them.

#include "convert/Converter.h"
#include "convert/core/DocumentSink.h"
#include "convert/odf/OdfTestDocuments.h"
#include "convert/ooxml/DocxBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

namespace corvanel::convert::testing {
namespace {

const std::string kNotice = "Acme Corporation confidential";

std::string Converted(const std::string& name, const std::string& bytes, OutputKind output) {
    ConvertOptions options{"\n"};
    options.include = {true, true, false};
    options.output = output;
    std::string text;
    const ConversionResult result =
        StreamText([&](DocumentSink& sink) { return ReadDocumentBytes(name, bytes, sink); },
                   [&](std::string_view piece) { text += piece; }, options);
    EXPECT_TRUE(result.Ok()) << name << ": " << result.description;
    return text;
}

std::string Docx() {
    DocxBuilder docx;
    docx.headers = {Para(kNotice), Para(kNotice)};
    docx.footers = {Para(kNotice)};
    const auto sect = [](const std::string& header) {
        return "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"" + header +
               "\"/><w:footerReference w:type=\"default\" r:id=\"rf1\"/></w:sectPr>";
    };
    docx.body = Para(sect("rh1"), TextRun("One")) + Para("Two") + sect("rh2");
    return docx.Build();
}

std::string OdtPages() {
    const std::string page = "<style:header><text:p>" + kNotice +
                             "</text:p></style:header><style:footer><text:p>" + kNotice +
                             "</text:p></style:footer>";
    return R"(<style:master-page style:name="Standard">)" + page +
           R"(</style:master-page><style:master-page style:name="Other">)" + page +
           "</style:master-page>";
}

std::string WordXml2003() {
    const std::string para = "<w:p><w:r><w:t>" + kNotice + "</w:t></w:r></w:p>";
    const std::string sect = "<w:sectPr><w:hdr w:type=\"odd\">" + para +
                             "</w:hdr><w:ftr w:type=\"odd\">" + para + "</w:ftr></w:sectPr>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application "
           "progid=\"Word.Document\"?>\n<w:wordDocument "
           "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\" "
           "xmlns:wx=\"http://schemas.microsoft.com/office/word/2003/auxHint\"><w:body>"
           "<wx:sect><w:p><w:r><w:t>One</w:t></w:r></w:p>" +
           sect + "</wx:sect><wx:sect><w:p><w:r><w:t>Two</w:t></w:r></w:p>" + sect +
           "</wx:sect></w:body></w:wordDocument>";
}

std::string Rtf() {
    const std::string margins = "{\\header " + kNotice + "\\par}{\\footer " + kNotice + "\\par}";
    return "{\\rtf1\\ansi" + margins + "One\\par\\sect\\sectd" + margins + "Two\\par}";
}

TEST(MarginTexts, AHeaderAndAFooterOfOneTextAreBothKept) {
    const std::string expected = kNotice + "\n\nOne\nTwo\n\n" + kNotice + "\n";
    const std::string expectedMarkdown = kNotice + "\n\nOne\n\nTwo\n\n" + kNotice + "\n";
    const struct {
        std::string name;
        std::string bytes;
    } kCases[] = {
        {"notice.docx", Docx()},
        {"notice.odt", MakeOdt("<text:p>One</text:p><text:p>Two</text:p>", {}, {}, OdtPages())},
        {"notice.fodt",
         MakeFlatOdt("<text:p>One</text:p><text:p>Two</text:p>", {}, {}, OdtPages())},
        {"notice.xml", WordXml2003()},
        {"notice.rtf", Rtf()},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Converted(c.name, c.bytes, OutputKind::kText), expected) << c.name;
        EXPECT_EQ(Converted(c.name, c.bytes, OutputKind::kMarkdown), expectedMarkdown) << c.name;
    }
}

// A real Word document whose first page has a header and a footer of their own, both made to
// read one text (each hides the rest of its length in a field's code).
TEST(MarginTexts, AWordDocumentKeepsAFooterThatRepeatsAHeader) {
    const std::string path =
        std::string(CORVANEL_CORPUS_DIR) + "/documents/poi/DiffFirstPageHeadFoot.doc";
    if (!std::filesystem::is_regular_file(path)) {
        GTEST_SKIP() << "no corpus document " << path;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string_view notice = "Acme Corp confidential";
    for (const std::string_view story :
         {"I am the header on the first page, and I\x92m nice and simple",
          "The footer of the first page"}) {
        const std::size_t at = bytes.find(story);
        ASSERT_NE(at, std::string::npos) << story;
        const std::string code(story.size() - notice.size() - 3, ' ');
        bytes.replace(at, story.size(), "\x13" + code + "\x14" + std::string(notice) + "\x15");
    }
    for (const OutputKind output : {OutputKind::kText, OutputKind::kMarkdown}) {
        const std::string text = Converted("notice.doc", bytes, output);
        const std::size_t first = text.find(notice);
        EXPECT_LT(first, text.find("This is a sample")) << text;
        EXPECT_EQ(text.find(notice, first + 1), text.size() - notice.size() - 1) << text;
    }
}

}  // namespace
}  // namespace corvanel::convert::testing

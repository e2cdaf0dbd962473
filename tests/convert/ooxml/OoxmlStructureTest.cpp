// The structure DOCX packages send with their text: headings, list items, table header rows
// and merged cells, links, bold/italic/strike, pictures, WordArt.

#include "DocxBuilder.h"
#include "StructureLog.h"
#include "StructureOrder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string_view>

namespace corvanel::convert::testing {
namespace {

// The events of a package, one "; "-separated entry each.
std::string Events(const DocxBuilder& docx) {
    StructureLog log;
    const ConversionResult result = ReadDocumentBytes("test.docx", docx.Build(), log);
    EXPECT_TRUE(result.Ok()) << result.description;
    std::string events = log.Lines();
    for (std::size_t at = events.find('\n'); at != std::string::npos; at = events.find('\n', at)) {
        events.replace(at, 1, at + 1 == events.size() ? "" : "; ");
    }
    return events;
}

std::string Style(const std::string& id, const std::string& name, const std::string& inner,
                  const std::string& type = "paragraph") {
    return "<w:style w:type=\"" + type + "\" w:styleId=\"" + id + "\"><w:name w:val=\"" + name +
           "\"/>" + inner + "</w:style>";
}

std::string Styled(const std::string& style, const std::string& text) {
    return Para("<w:pStyle w:val=\"" + style + "\"/>", TextRun(text));
}

struct Case {
    const char* name;
    DocxBuilder docx;
    const char* events;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

// A paragraph of the runs given.
std::string Runs(const std::string& runs) {
    return "<w:p>" + runs + "</w:p>";
}

class OoxmlStructure : public ::testing::TestWithParam<Case> {};

TEST_P(OoxmlStructure, SendsTheDocumentsStructure) {
    EXPECT_EQ(Events(GetParam().docx), GetParam().events);
}

TEST_P(OoxmlStructure, SendsTheSameTextWithoutStructure) {
    StructureLog without(false);
    ASSERT_TRUE(ReadDocumentBytes("test.docx", GetParam().docx.Build(), without).Ok());
    StructureLog with;
    ASSERT_TRUE(ReadDocumentBytes("test.docx", GetParam().docx.Build(), with).Ok());
    EXPECT_EQ(TextEvents(without.Lines()), TextEvents(with.Lines()));
}

const std::string kHeadingStyles =
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
    "w:val=\"Normal\"/></w:style>" +
    // Word keeps the built-in name in English and the outline level in the style; the id
    // follows the interface's language.
    Style("berschrift1", "heading 1", "<w:pPr><w:outlineLvl w:val=\"0\"/></w:pPr>") +
    Style("Kop2", "Kop 2", "<w:pPr><w:outlineLvl w:val=\"1\"/></w:pPr>") +
    Style("Heading3", "Heading 3", "") + Style("Titel", "Title", "") +
    Style("Mine", "Mine", "<w:basedOn w:val=\"berschrift1\"/>") + Style("Deep", "heading 8", "") +
    Style("Heading1", "Body", "") +
    Style("TOCHeading", "TOC Heading",
          "<w:basedOn w:val=\"berschrift1\"/><w:pPr><w:outlineLvl w:val=\"9\"/></w:pPr>");

const std::string kHiddenMark = "<w:rPr><w:vanish/></w:rPr>";

const std::string kNumbering =
    "<w:abstractNum w:abstractNumId=\"1\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt "
    "w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl><w:lvl w:ilvl=\"1\"><w:numFmt "
    "w:val=\"bullet\"/><w:lvlText w:val=\"o\"/></w:lvl></w:abstractNum><w:num "
    "w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>";

std::string ListPara(int level, const std::string& text, const std::string& style = "") {
    return Para((style.empty() ? "" : "<w:pStyle w:val=\"" + style + "\"/>") +
                    "<w:numPr><w:ilvl w:val=\"" + std::to_string(level) +
                    "\"/><w:numId w:val=\"1\"/></w:numPr>",
                TextRun(text));
}

std::string Cell(const std::string& text, const std::string& tcPr = "") {
    return "<w:tc>" + (tcPr.empty() ? "" : "<w:tcPr>" + tcPr + "</w:tcPr>") + Para(text) +
           "</w:tc>";
}

std::string Row(const std::string& cells, const std::string& trPr = "") {
    return "<w:tr>" + (trPr.empty() ? "" : "<w:trPr>" + trPr + "</w:trPr>") + cells + "</w:tr>";
}

const std::string kRestart = "<w:vMerge w:val=\"restart\"/>";
const std::string kContinue = "<w:vMerge/>";

std::string Run(const std::string& rPr, const std::string& text) {
    return "<w:r><w:rPr>" + rPr + "</w:rPr><w:t>" + text + "</w:t></w:r>";
}

std::string FieldRuns(const std::string& code, const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
           "xml:space=\"preserve\">" +
           code + "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
           TextRun(result) + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

const std::string kStyleSheet =
    "<w:docDefaults><w:rPrDefault><w:rPr><w:i/></w:rPr></w:rPrDefault></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
    "w:val=\"Normal\"/><w:rPr><w:i w:val=\"0\"/></w:rPr></w:style>" +
    Style("Loud", "Loud", "<w:rPr><w:b/></w:rPr>") +
    Style("Strong", "Strong", "<w:rPr><w:b/><w:strike/></w:rPr>", "character") +
    Style("MyStrong", "My Strong", "<w:basedOn w:val=\"Strong\"/>", "character");

const std::string kPicture =
    "<w:r><w:drawing><wp:inline><wp:docPr id=\"1\" name=\"P\" descr=\"A cat\" title=\"Cat\"/>"
    "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/"
    "picture\"/></a:graphic></wp:inline></w:drawing></w:r>";

const std::string kVml =
    "<w:r><w:pict><v:shapetype id=\"t136\"><v:textpath on=\"t\"/></v:shapetype><v:shape "
    "alt=\"Logo\"><v:imagedata r:id=\"x\" o:title=\"Mark\"/></v:shape><v:shape "
    "type=\"#t136\"><v:textpath on=\"t\" string=\"Big words\"/></v:shape></w:pict></w:r>";

DocxBuilder With(std::string body, std::string styles = "", std::string numbering = "",
                 std::vector<std::string> links = {}) {
    DocxBuilder docx;
    docx.body = std::move(body);
    docx.styles = std::move(styles);
    docx.numbering = std::move(numbering);
    docx.links = std::move(links);
    return docx;
}

INSTANTIATE_TEST_SUITE_P(
    Docx, OoxmlStructure,
    ::testing::Values(
        Case{"HeadingsByOutlineLevelOrBuiltInName",
             With(Styled("berschrift1", "a") + Styled("Kop2", "b") + Styled("Heading3", "c") +
                      Styled("Titel", "d") + Styled("Mine", "e") + Styled("Deep", "f") +
                      Styled("Heading1", "g") + Para("<w:outlineLvl w:val=\"4\"/>", TextRun("h")) +
                      Para("<w:pStyle w:val=\"berschrift1\"/><w:outlineLvl w:val=\"9\"/>",
                           TextRun("i")) +
                      Styled("TOCHeading", "j"),
                  kHeadingStyles),
             "P; H1; T a; /P; P; H2; T b; /P; P; H3; T c; /P; P; H1; T d; /P; P; H1; T e; /P; "
             "P; H6; T f; /P; P; T g; /P; P; H5; T h; /P; P; T i; /P; P; H1; T j; /P"},
        // A paragraph that shows nothing and whose mark is hidden runs on into the next one,
        // which gives the paragraph its heading; a heading with a hidden mark runs in.
        Case{"HiddenMarksRunOnIntoTheNextParagraph",
             With(Para(kHiddenMark, "<w:bookmarkStart w:id=\"0\" w:name=\"b\"/>") +
                      Styled("berschrift1", "a") + Para(kHiddenMark, "") + "<w:tbl>" +
                      Row(Cell("c")) + "</w:tbl>" +
                      Para("<w:pStyle w:val=\"berschrift1\"/>" + kHiddenMark, TextRun("in")) +
                      Para("body"),
                  kHeadingStyles),
             "P; H1; T a; /P; P; /P; TABLE; ROW; CELL; P; T c; /P; /CELL; /ROW; /TABLE; P; H1; T "
             "in; T body; /P"},
        Case{"ListItemsWithLevelAndKindNumberedHeadingsStayHeadings",
             With(ListPara(0, "one") + ListPara(1, "sub") + ListPara(0, "two", "berschrift1"),
                  kHeadingStyles, kNumbering),
             "P; LI0#; LABEL 1.; T one; /P; P; LI1*; LABEL o; T sub; /P; P; H1; LABEL 2.; T two; "
             "/P"},
        Case{"HeaderRowsAndMergedCells",
             With("<w:tbl>" +
                  Row(Cell("h1") + Cell("h2", "<w:gridSpan w:val=\"2\"/>"), "<w:tblHeader/>") +
                  Row(Cell("tall", kRestart) + Cell("x") + Cell("y")) +
                  Row("<w:sdt><w:sdtContent>" + Cell("", kContinue) + "</w:sdtContent></w:sdt>" +
                      Cell("wide", kRestart + "<w:gridSpan w:val=\"2\"/>")) +
                  Row(Cell("", kContinue) + Cell("", kContinue + "<w:gridSpan w:val=\"2\"/>")) +
                  Row(Cell("z") + Cell("", kContinue), "<w:gridBefore w:val=\"1\"/>") + "</w:tbl>"),
             "TABLE; ROW; HEADER-ROW; CELL; P; T h1; /P; /CELL; CELL; SPAN 2x1; P; T h2; /P; "
             "/CELL; /ROW; ROW; CELL; SPAN 1x3; P; T tall; /P; /CELL; CELL; P; T x; /P; /CELL; "
             "CELL; P; T y; /P; /CELL; /ROW; ROW; CELL; COVERED; /CELL; CELL; SPAN 2x2; P; T "
             "wide; /P; /CELL; /ROW; ROW; CELL; COVERED; /CELL; CELL; COVERED; /CELL; /ROW; ROW; "
             "CELL; P; T z; /P; /CELL; CELL; COVERED; /CELL; /ROW; /TABLE"},
        Case{
            "LinksByRelationshipAnchorAndField",
            With(Runs("<w:hyperlink r:id=\"link1\"><w:r><w:t>site</w:t></w:r></w:hyperlink>"
                      "<w:hyperlink w:anchor=\"intro\">" +
                      TextRun("back") + "</w:hyperlink>") +
                     "<w:p><w:fldSimple w:instr=\" HYPERLINK &quot;http://b.example/&quot; \\o "
                     "&quot;tip&quot;\">" +
                     TextRun("simple") + "</w:fldSimple>" +
                     FieldRuns(" HYPERLINK \\l \"end\" ", "field") +
                     FieldRuns(" PAGEREF _Toc1 \\h ", "7") + FieldRuns(" REF x ", "no") + "</w:p>" +
                     Runs("<w:hyperlink r:id=\"link1\">" + Run("<w:vanish/>", "hidden") +
                          "</w:hyperlink>"),
                 "", "", {"https://a.example/x?y=1"}),
            "P; LINK https://a.example/x?y=1; T site; /LINK; LINK #intro; T back; /LINK; /P; P; "
            "LINK http://b.example/; T simple; /LINK; LINK #end; T field; /LINK; LINK #_Toc1; T 7; "
            "/LINK; T no; /P; P; /P"},
        Case{"EffectiveBoldItalicStrike",
             With(Runs(Run("", "plain") + Run("<w:b/><w:i/>", "both") +
                       Run("<w:rStyle w:val=\"MyStrong\"/>", "strong") +
                       Run("<w:dstrike/>", "struck")) +
                      Para("<w:pStyle w:val=\"Loud\"/>",
                           Run("", "loud") + Run("<w:rStyle w:val=\"Strong\"/>", "turned") +
                               Run("<w:b w:val=\"0\"/>", "off")),
                  kStyleSheet),
             // Loud is based on no style: the document defaults make it italic.
             "P; T plain; STYLE bi; T both; STYLE bs; T strong; STYLE s; T struck; /P; P; STYLE "
             "bi; T loud; STYLE is; T turned; STYLE i; T off; /P"},
        Case{"PicturesAndWordArt", With(Runs(TextRun("see") + kPicture + kVml)),
             "P; T see; PICTURE A cat|Cat; PICTURE Logo|Mark; FLOAT; P; T Big words; /P; /FLOAT; "
             "/P"},
        // A picture that is a link: DrawingML's a:hlinkClick, VML's href, or a hyperlink's text.
        Case{"LinkedPictures",
             With(Runs("<w:r><w:drawing><wp:inline><wp:docPr id=\"2\" name=\"B\" "
                       "descr=\"Apply\"><a:hlinkClick r:id=\"link1\"/></wp:docPr><a:graphic>"
                       "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/"
                       "picture\"/></a:graphic></wp:inline></w:drawing></w:r><w:r><w:pict>"
                       "<v:shape alt=\"Go\" href=\"http://v.example/\"><v:imagedata r:id=\"x\"/>"
                       "</v:shape></w:pict></w:r>") +
                      Runs("<w:hyperlink r:id=\"link2\">" + kPicture + "</w:hyperlink>"),
                  "", "", {"https://a.example/apply", "https://b.example/"}),
             "P; LINK https://a.example/apply; PICTURE Apply|; /LINK; LINK http://v.example/; "
             "PICTURE Go|; /LINK; /P; P; LINK https://b.example/; PICTURE A cat|Cat; /LINK; /P"}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST(OoxmlStructure, WordArtTextIsAParagraphAfterItsAnchor) {
    DocxBuilder docx;
    docx.body = Runs(TextRun("anchor") + kVml) + Para("next");
    EXPECT_EQ(TextOf(docx), "anchor\nBig words\nnext\n");
}

// The structure events of a log, without the text, paragraphs and cells, so that a corpus
// document's structure reads as one line.
std::string StructureOf(const std::string& lines) {
    static constexpr std::string_view kKept[] = {"H",    "LI",    "HEADER-ROW", "SPAN", "COVERED",
                                                 "LINK", "NOTE ", "STYLE",      "TABLE"};
    std::string digest;
    std::size_t begin = 0;
    for (std::size_t end = lines.find('\n'); end != std::string::npos;
         begin = end + 1, end = lines.find('\n', begin)) {
        const std::string_view line(lines.data() + begin, end - begin);
        for (const std::string_view kept : kKept) {
            if (line.starts_with(kept) && (kept != "H" || line.size() == 2)) {
                digest += digest.empty() ? "" : " ";
                digest += line.starts_with("LINK ") ? "LINK" : line;
                break;
            }
        }
    }
    return digest;
}

// Documents of the shared corpus whose structure pandoc's reader agrees on (one written by
// LibreOffice, the others by Word).
TEST(OoxmlStructure, CorpusDocumentsStructure) {
    const std::filesystem::path folder =
        std::filesystem::path(CORVANEL_CORPUS_DIR) / "documents" / "pandoc";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    const struct {
        const char* file;
        const char* structure;
    } cases[] = {
        // Heading styles set bold or italic.
        {"docx__headers.docx", "H1 STYLE b H2 STYLE b H3 STYLE b H4 STYLE b H5 STYLE i H6"},
        {"docx__lists.docx", "H2 STYLE b LI0# LI0# LI1# LI1# LI0* LI0* LI1* LI2* LI0* LI0*"},
        {"docx__inline_formatting.docx",
         "STYLE i STYLE - STYLE b STYLE bi STYLE - STYLE s STYLE - STYLE i STYLE -"},
        {"golden__tables.docx", "H2 TABLE HEADER-ROW TABLE TABLE"},
        {"docx__links.docx", "H2 STYLE b LINK LINK LINK LINK H2 STYLE b"},
        {"docx__notes.docx", "H2 STYLE b NOTE 1 STYLE - NOTE i"},
    };
    for (const auto& c : cases) {
        StructureLog log;
        ASSERT_TRUE(ReadDocument((folder / c.file).string(), log).Ok()) << c.file;
        EXPECT_EQ(StructureOf(log.Lines()), c.structure) << c.file;
        ExpectSameTextWithoutStructure((folder / c.file).string());
    }
}

}  // namespace
}  // namespace corvanel::convert::testing

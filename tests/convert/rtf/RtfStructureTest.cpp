#include "RtfTestUtil.h"
#include "StructureLog.h"
#include "StructureOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvanel::convert {
namespace {

// The structure events of a body in a document with a style sheet (a heading by name, one by
// outline level, a bold style, the title) and a list table (list 7: numbers, then bullets).
std::string Structure(const std::string& body) {
    testing::StructureLog log;
    const ConversionResult result = ReadDocumentBytes(
        "test.rtf",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1\\fcharset2 Symbol;}}"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\sbasedon0 heading 1;}{\\s2\\outlinelevel2 Custom;}"
        "{\\s3\\b Strong;}{\\s4\\sbasedon1 Derived;}{\\s5 Title;}{\\*\\cs6\\i Emphasis;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}" +
            body + "}",
        log);
    EXPECT_TRUE(result.Ok()) << result.description;
    return log.Lines();
}

struct Case {
    const char* name;
    const char* body;
    const char* events;
};

class RtfStructure : public ::testing::TestWithParam<Case> {};

TEST_P(RtfStructure, ReportsWhatTheDocumentStates) {
    EXPECT_EQ(Structure(GetParam().body), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Events, RtfStructure,
    ::testing::Values(
        Case{"OutlineLevels", "\\pard\\outlinelevel1 A\\par\\pard\\outlinelevel9 B\\par",
             "P\nH2\nT A\n/P\nP\nT B\n/P\n"},
        Case{
            "HeadingStyles",
            "\\pard\\s1 A\\par\\pard\\s2 B\\par\\pard\\s4 C\\par\\pard\\s5 D\\par\\pard\\s0 E\\par",
            "P\nH1\nT A\n/P\nP\nH3\nT B\n/P\nP\nH1\nT C\n/P\nP\nH1\nT D\n/P\nP\nT E\n/P\n"},
        Case{"ListLevels",
             "{\\listtext 1.\\tab}\\pard\\ls1\\ilvl0 one\\par"
             "{\\listtext\\f1 \\'b7\\tab}\\pard\\ls1\\ilvl1 two\\par\\pard plain\\par",
             "P\nLI0#\nLABEL 1.\nT one\n/P\nP\nLI1*\nLABEL \xE2\x80\xA2\nT two\n/P\n"
             "P\nT plain\n/P\n"},
        Case{"OldNumbering",
             "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}x\\par"
             "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}y\\par",
             "P\nLI0*\nLABEL \xE2\x80\xA2\nT x\n/P\nP\nLI0#\nLABEL 1.\nT y\n/P\n"},
        Case{"Emphasis",
             "a{\\b b{\\i c}}\\strike d\\strike0 e{\\striked1 f}\\par"
             "\\pard\\s3 g{\\b0 h}{\\cs6 i}\\plain j\\par",
             "P\nT a\nSTYLE b\nT b\nSTYLE bi\nT c\nSTYLE s\nT d\nSTYLE -\nT e\nSTYLE s\nT f\n/P\n"
             "P\nSTYLE b\nT g\nSTYLE -\nT h\nSTYLE bi\nT i\nSTYLE -\nT j\n/P\n"},
        Case{"Links",
             "see {\\field{\\*\\fldinst HYPERLINK \"https://example.com/a\" \\\\o \"tip\"}"
             "{\\fldrslt here}} and {\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\"}"
             "{\\fldrslt there}}{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}\\par",
             "P\nT see \nLINK https://example.com/a\nT here\n/LINK\nT  and \nLINK #part2\n"
             "T there\n/LINK\nT 3\n/P\n"},
        Case{"HeaderRowAndMerges",
             "\\trowd\\trhdr\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000"
             "\\pard\\intbl A\\cell\\cell B\\cell\\row"
             "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000"
             "\\pard\\intbl C\\cell D\\cell\\cell\\row\\pard after\\par",
             "TABLE\nROW\nHEADER-ROW\nCELL\nSPAN 2x1\nP\nT A\n/P\n/CELL\nCELL\nCOVERED\n/CELL\n"
             "CELL\nP\nT B\n/P\n/CELL\n/ROW\nROW\nCELL\nP\nT C\n/P\n/CELL\nCELL\nP\nT D\n/P\n"
             "/CELL\nCELL\nCOVERED\n/CELL\n/ROW\n/TABLE\nP\nT after\n/P\n"},
        Case{"Pictures",
             "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn shapeType}{\\sv 75}}"
             "{\\sp{\\sn wzDescription}{\\sv A red \\u9632 ?}}{\\sp{\\sn wzName}{\\sv Square}}}"
             "\\pngblip 89504e470d0a}}{\\nonshppict{\\pict\\wmetafile8 0100}} after\\par",
             "P\nPICTURE A red \xE2\x96\xA0|Square\nT  after\n/P\n"},
        Case{"WordArt",
             "Anchor{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 136}}"
             "{\\sp{\\sn gtextUNICODE}{\\sv Big \\u8364 ? words}}}{\\shprslt{\\pict 00}}}\\par "
             "Box{\\shp{\\*\\shpinst{\\sp{\\sn gtextUNICODE}{\\sv Once}}"
             "{\\shptxt Once}}}\\par",
             "P\nT Anchor\nFLOAT\nP\nT Big \xE2\x82\xAC words\n/P\n/FLOAT\n/P\n"
             "P\nT Box\nFLOAT\nP\nT Once\n/P\n/FLOAT\n/P\n"}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// Documents written by Word, from the shared corpus: lines that must come in this order.
struct CorpusCase {
    const char* name;
    std::vector<std::string> inOrder;
};

class RtfCorpusStructure : public ::testing::TestWithParam<CorpusCase> {};

std::string CorpusPath(const char* name) {
    return std::string(CORVANEL_CORPUS_DIR) + "/documents/pandoc/" + name + ".rtf";
}

TEST_P(RtfCorpusStructure, ReportsWhatTheDocumentStates) {
    testing::ExpectStructureInOrder(CorpusPath(GetParam().name), GetParam().inOrder);
}

TEST_P(RtfCorpusStructure, SendsTheSameTextWithoutStructure) {
    testing::ExpectSameTextWithoutStructure(CorpusPath(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Word, RtfCorpusStructure,
    // clang-format off
    ::testing::Values(
        CorpusCase{"heading", {"H1", "H2", "STYLE b", "H3", "T Paragraph"}},
        CorpusCase{"list_simple", {"LI0*", "T one", "LI0*", "T two", "LI1*", "T sub", "LI0*",
                                   "T new list"}},
        CorpusCase{"link", {"LINK http://pandoc.org", "T pandoc", "/LINK"}},
        CorpusCase{"formatting", {"STYLE b", "T bold", "STYLE i", "T italics", "STYLE b",
                                  "T bold ", "STYLE bi", "T and italics", "STYLE s",
                                  "T strikeout"}}),
    // clang-format on
    [](const ::testing::TestParamInfo<CorpusCase>& param) {
        return std::string(param.param.name);
    });

TEST(RtfStructure, WordArtTextIsPlainTextAfterItsAnchor) {
    EXPECT_EQ(RtfBodyText("Anchor{\\shp{\\*\\shpinst{\\sp{\\sn gtextUNICODE}{\\sv Big}}}} on\\par "
                          "next\\par"),
              "Anchor on\nBig\nnext\n");
}

}  // namespace
}  // namespace corvanel::convert

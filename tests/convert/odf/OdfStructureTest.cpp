// The structure events of OpenDocument text: LibreOffice's documents of the shared corpus (with
// pandoc's reading of them as the reference) and small documents for the style rules.

#include "OdfTestDocuments.h"
#include "StructureExpect.h"
#include "StructureLog.h"

#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;

using testing::HasLinesInOrder;
using testing::MakeOdt;

std::string Events(const std::string& name, std::string bytes) {
    testing::StructureLog log;
    const ConversionResult result = ReadDocumentBytes(name, std::move(bytes), log);
    EXPECT_TRUE(result.Ok()) << name << ": " << result.description;
    return log.Lines();
}

TEST(OdfStructure, CorpusDocumentsWrittenByLibreOffice) {
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents/pandoc";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    const struct {
        const char* name;
        std::vector<std::string> lines;
    } cases[] = {
        {"headers.odt",
         {"H1", "T A header (Lv 1)", "/P", "P", "T A paragraph", "H2", "T Another header (Lv 2)",
          "H1", "T Back to Level 1"}},
        {"bold.odt", {"T Here comes", "T  ", "STYLE b", "T bold", "STYLE -", "T  ", "T text"}},
        {"italic.odt", {"T Here comes", "T  ", "STYLE i", "T italic", "STYLE -", "T  ", "T text"}},
        {"strikeout.odt",
         {"T Here comes text that was", "T  ", "STYLE s", "T striken out", "STYLE -", "T ."}},
        {"externalLink.odt",
         {"LINK http://example.com/", "T external link", "/LINK", "T  to example.com."}},
        {"simpleTableWithHeader.odt",
         {"ROW", "HEADER-ROW", "T A", "/ROW", "ROW", "CELL", "T 1", "/CELL"}},
        {"tableWithSpans.odt",
         {"ROW", "HEADER-ROW", "CELL", "SPAN 1x2", "T H1 Rowspan 2", "ROW", "HEADER-ROW", "CELL",
          "COVERED", "/CELL", "CELL", "SPAN 2x1", "T H2-2/3", "/ROW"}},
        {"unorderedList.odt",
         {"LI0*", "T A list item", "LI0*", "T A third", "LI1*", "T New level!", "LI2*",
          "T And another!", "LI1*", "T Oh noes", "LI0*", "T Maybe someone"}},
        {"orderedListMixed.odt",
         {"LI0#", "LABEL 1.", "T A list item", "LI1#", "T New level!", "LI2#", "LABEL a)",
          "T And another!", "LI0#", "T Maybe someone"}},
        {"image.odt", {"P", "PICTURE |", "/P"}},
        {"referenceToText.odt",
         {"T A reference to", "T  ", "LINK #an anchor", "T Some text", "/LINK"}},
    };
    for (const auto& c : cases) {
        std::ifstream in(folder / c.name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_TRUE(HasLinesInOrder(Events(c.name, bytes.str()), c.lines)) << c.name;
    }
}

// Styles: direct formatting over character styles, paragraph styles and the default, each
// through its parents, some of them in styles.xml.
TEST(OdfStructure, StylesHeadingsListsLinksAndPictures) {
    const std::string automatic =
        R"(<style:style style:name="P1" style:family="paragraph" style:parent-style-name="Quote">)"
        R"(<style:text-properties fo:font-weight="bold"/></style:style>)"
        R"(<style:style style:name="T1" style:family="text" style:parent-style-name="Emphasis"/>)"
        R"(<style:style style:name="T2" style:family="text"><style:text-properties)"
        R"( fo:font-style="normal" style:text-line-through-style="solid"/></style:style>)"
        R"(<text:list-style style:name="L1"><text:list-level-style-number text:level="1")"
        R"( style:num-format="1" style:num-suffix="."/><text:list-level-style-bullet)"
        R"( text:level="2" text:bullet-char="-"/><text:list-level-style-image text:level="3"/>)"
        R"(</text:list-style>)";
    const std::string common =
        R"(<style:default-style style:family="paragraph"><style:text-properties)"
        R"( fo:font-style="italic"/></style:default-style>)"
        R"(<style:style style:name="Quote" style:family="paragraph"><style:text-properties)"
        R"( fo:font-weight="600" style:text-line-through-style="none"/></style:style>)"
        R"(<style:style style:name="Emphasis" style:family="text"><style:text-properties)"
        R"( fo:font-weight="normal"/></style:style>)"
        R"(<style:style style:name="Title2" style:family="paragraph" style:default-outline-level="2"/>)";
    const std::string body =
        R"(<text:p>plain <text:span text:style-name="T2">struck</text:span></text:p>)"
        R"(<text:p text:style-name="P1">bold <text:span text:style-name="T1">light</text:span></text:p>)"
        R"(<text:p text:style-name="Title2">by style</text:p><text:h text:outline-level="9">deep</text:h>)"
        R"(<text:h>no level</text:h>)"
        R"(<text:list text:style-name="L1"><text:list-item><text:p>one</text:p><text:list><text:list-item>)"
        R"(<text:p>two</text:p><text:list><text:list-item><text:p>three</text:p></text:list-item>)"
        R"(</text:list></text:list-item></text:list></text:list-item></text:list>)"
        R"(<text:p>see <text:a xlink:href="#Intro">intro</text:a><draw:frame><draw:image xlink:href="a.png"/>)"
        R"(<svg:title>Logo</svg:title><svg:desc>A red circle</svg:desc></draw:frame></text:p>)";
    // clang-format off
    const std::vector<std::string> expected = {
        "STYLE i", "T plain", "STYLE -", "T  ", "STYLE s", "T struck", "/P", "P", "STYLE bi",
        "T bold", "STYLE i", "T  ", "T light", "/P", "P", "H2", "STYLE i", "T by style", "H6",
        "T deep", "H1", "T no level", "LI0#", "LABEL 1.", "T one", "LI1*", "LABEL -", "T two",
        "LI2*", "T three", "P", "T see", "T  ", "LINK #Intro", "T intro", "/LINK",
        "PICTURE A red circle|Logo", "/P"};
    // clang-format on
    EXPECT_TRUE(HasLinesInOrder(Events("doc.odt", MakeOdt(body, automatic, common)), expected));
}

// A draw:a makes the pictures in it links, unless they already are in a text:a's text.
TEST(OdfStructure, LinkedPictures) {
    const std::string frame =
        R"(<draw:frame><draw:image xlink:href="a.png"/><svg:desc>Apply</svg:desc></draw:frame>)";
    const struct {
        std::string body;
        std::vector<std::string> lines;
    } cases[] = {
        {R"(<text:p>go <draw:a xlink:href="https://example.org/apply">)" + frame +
             "</draw:a></text:p>",
         {"T go", "LINK https://example.org/apply", "PICTURE Apply|", "/LINK", "/P"}},
        {R"(<text:p><text:a xlink:href="#Top">top <draw:a xlink:href="https://example.org/x">)" +
             frame + "</draw:a></text:a></text:p>",
         {"LINK #Top", "T top", "PICTURE Apply|", "/LINK", "/P"}},
    };
    for (const auto& c : cases) {
        const std::string events = Events("doc.odt", MakeOdt(c.body));
        EXPECT_TRUE(HasLinesInOrder(events, c.lines)) << events;
        EXPECT_EQ(events.find("LINK https://example.org/x"), std::string::npos) << events;
    }
}

}  // namespace
}  // namespace corvanel::convert

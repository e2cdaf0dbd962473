// The structure events of web pages as LibreOffice and Word write them, read whole and streamed
// in the smallest pieces (both must give the same events).

#include "StructureExpect.h"
#include "StructureLog.h"

#include "convert/Converter.h"
#include "convert/html/HtmlStreaming.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace corvanel::convert {
namespace {

std::string Events(const std::string& body, std::size_t streamBytes) {
    html::SetPageStreamBytesForTesting(streamBytes);
    testing::StructureLog log;
    const ConversionResult result = ReadDocumentBytes(
        "page.htm", "<html><head><title>T</title></head><body>" + body + "</body></html>", log);
    html::SetPageStreamBytesForTesting(0);
    EXPECT_TRUE(result.Ok()) << result.description;
    return log.Lines();
}

TEST(HtmlStructure, PagesOfLibreOfficeAndWord) {
    const struct {
        const char* name;
        std::string body;
        std::vector<std::string> lines;
    } cases[] = {
        // clang-format off
        {"headings and emphasis",
         R"(<h1 class="western">Top</h1><h3>Third <b>bold</b></h3><p>a <b>b <i>bi</i></b> )"
         R"(<em>i</em> <strike>s</strike><del>gone</del> <span style="font-weight: 700">w</span>)"
         R"(<b><span style="font-weight:normal">n</span></b> <s style="font-style:oblique">so</s></p>)",
         {"P", "H1", "T Top", "/P", "P", "H3", "T Third", "T  ", "STYLE b", "T bold", "/P", "P",
          "T a", "T  ", "STYLE b", "T b", "T  ", "STYLE bi", "T bi", "STYLE i", "T  ", "T i",
          "STYLE -", "T  ", "STYLE s", "T s", "STYLE -", "T  ", "STYLE b", "T w", "STYLE -",
          "T n", "T  ", "STYLE is", "T so", "/P"}},
        {"nested lists",
         R"(<ol><li><p>one</p><ul><li>inner<ol type="a"><li>deep</li></ol></li></ul></li>)"
         R"(<li>two</li></ol><ul><li>bullet</li></ul>)",
         {"LI0#", "LABEL 1.", "T one", "LI1*", "T inner", "LI2#", "LABEL a.", "T deep", "LI0#",
          "LABEL 2.", "T two", "LI0*", "T bullet"}},
        {"tables",
         R"(<table><thead><tr><td>H</td><td>K</td></tr></thead><tr><td colspan="2">wide</td></tr>)"
         R"(<tr><th>x</th><th rowspan=2>y</th></tr><tr><td>a</td><td>b</td></tr></table>)",
         {"ROW", "HEADER-ROW", "CELL", "T H", "/ROW", "ROW", "CELL", "SPAN 2x1", "T wide",
          "/ROW", "ROW", "HEADER-ROW", "CELL", "T x", "CELL", "SPAN 1x2", "T y", "/ROW", "ROW",
          "CELL", "T a", "/ROW"}},
        {"links and pictures",
         R"(<p>see <a href="https://example.org/a?b=1">the <b>site</b></a> or )"
         R"(<a href="#_Toc1">contents</a><img src="a.png" alt="A chart" title="Sales"></p>)"
         R"(<p><img src="b.png"></p>)",
         {"T see", "T  ", "LINK https://example.org/a?b=1", "T the", "T  ", "STYLE b", "T site",
          "/LINK", "STYLE -", "T  ", "T or", "T  ", "LINK #_Toc1", "T contents", "/LINK",
          "PICTURE A chart|Sales", "/P", "PICTURE |"}},
        {"linked pictures",
         R"(<p>go <a href="https://example.org/apply"><img src="a.png" alt="Apply"></a></p>)"
         R"(<a href="https://example.org/d"><img src="b.png"></a>)",
         {"T go", "LINK https://example.org/apply", "PICTURE Apply|", "/LINK", "/P", "P",
          "LINK https://example.org/d", "PICTURE |", "/LINK", "/P"}},
        {"a picture between blocks",
         R"(<img src="a.png" alt="Top"><p>Hello</p>)",
         {"P", "PICTURE Top|", "/P", "P", "T Hello"}},
        {"Word's list paragraphs",
         "<p class=MsoListParagraphCxSpFirst style='mso-list:l0 level1 lfo1'><![if "
         "!supportLists]><span style='mso-list:Ignore'>1.<span style='font:7.0pt'>&nbsp; "
         "</span></span><![endif]>First</p><p class=MsoListParagraphCxSpLast "
         "style='mso-list:l0 level2 lfo1'><![if !supportLists]><span "
         "style='font-family:\"Courier New\"'><span style='mso-list:Ignore'>o<span "
         "style='font:7.0pt'>&nbsp; </span></span></span><![endif]><b "
         "style='mso-bidi-font-weight:normal'>Sub</b></p>",
         {"LI0#", "LABEL 1.", "T First", "/P", "P", "LI1*", "LABEL o", "STYLE b", "T Sub"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string whole = Events(c.body, SIZE_MAX);
        EXPECT_TRUE(testing::HasLinesInOrder(whole, c.lines)) << c.name;
        EXPECT_EQ(Events(c.body, 1), whole) << c.name << ", streamed";
    }
}

}  // namespace
}  // namespace corvanel::convert

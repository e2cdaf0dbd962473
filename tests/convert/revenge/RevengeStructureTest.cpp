// The structure librevenge's libraries report (headings, list levels, emphasis, links, table
// header rows and spans, images), through the adapter as document events.

#include "StructureExpect.h"
#include "StructureLog.h"

#include "RevengeProperties.h"

#include "convert/revenge/RevengeAdapter.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvanel::convert::revenge {
namespace {

using librevenge::RVNGPropertyList;

void SpanText(RevengeAdapter& a, const RVNGPropertyList& span, const char* text) {
    a.openSpan(span);
    a.insertText(text);
    a.closeSpan();
}

TEST(RevengeStructure, EventsCarryWhatTheLibrariesReport) {
    const struct {
        const char* name;
        std::function<void(RevengeAdapter&)> events;
        std::vector<std::string> lines;
    } cases[] = {
        {"headings and emphasis",
         [](RevengeAdapter& a) {
             a.openParagraph(Props({}, {{"text:outline-level", 8}}));
             a.insertText("Deep");
             a.closeParagraph();
             a.openParagraph(Props({{"fo:font-style", "italic"}}));
             SpanText(a, {}, "i ");
             SpanText(a, Props({{"fo:font-weight", "bold"}, {"fo:font-style", "normal"}}), "b");
             a.openSpan(Props({{"style:text-line-through-style", "solid"}}));
             a.openFootnote({});
             a.openParagraph(Props({{"fo:font-style", "normal"}}));
             a.insertText("note");
             a.closeParagraph();
             a.closeFootnote();
             a.insertText("is");
             a.closeSpan();
             a.closeParagraph();
         },
         {"P", "H6", "T Deep", "/P", "P", "STYLE i", "T i ", "STYLE b", "T b", "NOTE 1", "T note",
          "/NOTE", "STYLE is", "T is", "/P"}},
        {"lists",
         [](RevengeAdapter& a) {
             a.openOrderedListLevel(Props({{"style:num-format", "1"}}, {{"librevenge:level", 1}}));
             a.openListElement({});
             a.insertText("one");
             a.closeListElement();
             a.openUnorderedListLevel(Props({}, {{"librevenge:level", 2}}));
             a.openListElement({});
             a.insertText("sub");
             a.closeListElement();
             a.closeUnorderedListLevel();
             a.closeOrderedListLevel();
         },
         {"P", "LI0#", "LABEL 1", "T one", "/P", "P", "LI1*", "T sub"}},
        {"links and pictures",
         [](RevengeAdapter& a) {
             a.openParagraph({});
             a.insertText("see ");
             a.openLink(Props({{"xlink:href", "http://example.com/"}}));
             a.insertText("here");
             a.closeLink();
             a.openLink(Props({{"xlink:href", "#Mark"}}));
             a.insertText("there");
             a.closeLink();
             a.openFrame({});
             a.insertBinaryObject(Props({{"librevenge:mime-type", "image/png"}}));
             a.insertBinaryObject(Props({{"librevenge:mime-type", "object/ole"}}));
             a.closeFrame();
             a.closeParagraph();
         },
         {"T see ", "LINK http://example.com/", "T here", "/LINK", "LINK #Mark", "T there", "/LINK",
          "PICTURE |", "/P"}},
        {"tables",
         [](RevengeAdapter& a) {
             a.openTable({});
             RVNGPropertyList header;
             header.insert("librevenge:is-header-row", true);
             a.openTableRow(header);
             a.openTableCell(Props({}, {{"table:number-columns-spanned", 2}}));
             a.insertText("wide");
             a.closeTableCell();
             a.insertCoveredTableCell({});
             a.closeTableRow();
             a.openTableRow({});
             a.openTableCell(Props({}, {{"table:number-rows-spanned", 3}}));
             a.closeTableCell();
             a.closeTableRow();
             a.closeTable();
         },
         {"ROW", "HEADER-ROW", "CELL", "SPAN 2x1", "T wide", "/CELL", "CELL", "COVERED", "/CELL",
          "/ROW", "ROW", "CELL", "SPAN 1x3", "/CELL"}},
    };
    for (const auto& c : cases) {
        testing::StructureLog log;
        RevengeAdapter adapter(log);
        c.events(adapter);
        adapter.Finish();
        EXPECT_TRUE(testing::HasLinesInOrder(log.Lines(), c.lines)) << c.name;
    }
}

}  // namespace
}  // namespace corvanel::convert::revenge

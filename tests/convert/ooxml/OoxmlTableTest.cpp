// Tables: rows as lines, cells separated by tabs.

#include "DocxBuilder.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string Cell(const std::string& content, const std::string& tcPr = "") {
    return "<w:tc>" + (tcPr.empty() ? "" : "<w:tcPr>" + tcPr + "</w:tcPr>") + content + "</w:tc>";
}

std::string Row(const std::string& cells) {
    return "<w:tr>" + cells + "</w:tr>";
}

std::string Table(const std::string& rows) {
    return "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"100\"/></w:tblGrid>" + rows + "</w:tbl>";
}

std::string BodyText(const std::string& body) {
    DocxBuilder docx;
    docx.body = body;
    return TextOf(docx);
}

TEST(OoxmlTables, RowsAreLinesAndCellsAreTabSeparated) {
    EXPECT_EQ(BodyText(Para("before") +
                       Table(Row(Cell(Para("a")) + Cell(Para("b"))) +
                             Row(Cell(Para("c")) + Cell(Para("d1") + Para("d2")))) +
                       Para("after")),
              "before\na\tb\nc\td1\nd2\nafter\n");
}

TEST(OoxmlTables, NestedTablesStayInPlace) {
    EXPECT_EQ(
        BodyText(Table(Row(Cell(Para("x") + Table(Row(Cell(Para("in1")) + Cell(Para("in2"))))) +
                           Cell(Para("y"))))),
        "x\nin1\tin2\ty\n");
}

TEST(OoxmlTables, MergedContinuationCellsAreEmptyAndDeletedRowsGone) {
    EXPECT_EQ(
        BodyText(Table(Row(Cell(Para("tall"), "<w:vMerge w:val=\"restart\"/>") + Cell(Para("1"))) +
                       Row(Cell(Para("stale"), "<w:vMerge/>") + Cell(Para("2"))) +
                       "<w:tr><w:trPr><w:del w:id=\"1\" w:author=\"A\"/></w:trPr>" +
                       Cell(Para("deleted")) + "</w:tr>" +
                       Row("<w:customXml w:element=\"c\">" + Cell(Para("custom")) +
                           "</w:customXml>" + "<w:sdt><w:sdtContent>" + Cell(Para("control")) +
                           "</w:sdtContent></w:sdt>"))),
        "tall\t1\n\t2\ncustom\tcontrol\n");
}

TEST(OoxmlTables, RowsInContentControls) {
    EXPECT_EQ(BodyText(Table("<w:sdt><w:sdtPr/><w:sdtContent>" + Row(Cell(Para("r1"))) +
                             "</w:sdtContent></w:sdt>" + Row(Cell(Para("r2"))))),
              "r1\nr2\n");
}

}  // namespace
}  // namespace corvanel::convert::testing

// Fields, tracked changes and comments.

#include "DocxBuilder.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string BodyText(const std::string& body) {
    DocxBuilder docx;
    docx.body = body;
    return TextOf(docx);
}

std::string FieldChar(const std::string& type) {
    return "<w:r><w:fldChar w:fldCharType=\"" + type + "\"/></w:r>";
}

std::string Code(const std::string& code) {
    return "<w:r><w:instrText xml:space=\"preserve\">" + code + "</w:instrText></w:r>";
}

TEST(OoxmlFields, SimpleFieldsGiveTheirResult) {
    EXPECT_EQ(BodyText("<w:p>" + TextRun("Page ") + "<w:fldSimple w:instr=\" PAGE \">" +
                       TextRun("7") + "</w:fldSimple></w:p>"),
              "Page 7\n");
}

TEST(OoxmlFields, ComplexFieldsGiveOnlyTheirResult) {
    EXPECT_EQ(BodyText("<w:p>" + TextRun("See ") + FieldChar("begin") + Code(" REF _Ref1 \\h ") +
                       FieldChar("separate") + TextRun("Table 1") + FieldChar("end") +
                       TextRun(".") + "</w:p>"),
              "See Table 1.\n");
    // A field without a result shows nothing.
    EXPECT_EQ(BodyText("<w:p>" + TextRun("a") + FieldChar("begin") + Code(" PAGE ") +
                       FieldChar("end") + TextRun("b") + "</w:p>"),
              "ab\n");
}

TEST(OoxmlFields, NestedFieldsShowOnlyTheOuterResult) {
    // { IF { MERGEFIELD x } = 1 "yes" "no" } with the result "yes"; a nested field in the
    // result part shows its own result.
    EXPECT_EQ(
        BodyText("<w:p>" + FieldChar("begin") + Code(" IF ") + FieldChar("begin") +
                 Code(" MERGEFIELD x ") + FieldChar("separate") + TextRun("1") + FieldChar("end") +
                 Code(" = 1 \"yes\" \"no\" ") + FieldChar("separate") + TextRun("yes ") +
                 FieldChar("begin") + Code(" PAGE ") + FieldChar("separate") + TextRun("3") +
                 FieldChar("end") + FieldChar("end") + TextRun("!") + "</w:p>"),
        "yes 3!\n");
}

TEST(OoxmlFields, AFieldResultMaySpanParagraphs) {
    EXPECT_EQ(BodyText("<w:p>" + FieldChar("begin") + Code(" TOC \\o ") + FieldChar("separate") +
                       TextRun("Chapter 1") + "</w:p>" + "<w:p>" + TextRun("Chapter 2") +
                       FieldChar("end") + "</w:p>" + Para("Body")),
              "Chapter 1\nChapter 2\nBody\n");
}

TEST(OoxmlFields, HiddenFieldMarksStillCount) {
    EXPECT_EQ(BodyText("<w:p><w:r><w:rPr><w:vanish/></w:rPr><w:fldChar w:fldCharType=\"begin\"/>"
                       "</w:r>" +
                       Code(" PAGE ") + FieldChar("separate") + TextRun("5") + FieldChar("end") +
                       "</w:p>"),
              "5\n");
}

TEST(OoxmlFields, EqFieldsAreDrawnFromTheirCode) {
    // A phonetic guide split over runs shows its base; hidden or deleted code shows nothing;
    // a stored result wins.
    const std::string ruby = R"(\o\ad(\s\up 9(かんじ),漢字))";
    const std::string hiddenCode =
        "<w:r><w:rPr><w:vanish/></w:rPr><w:instrText>EQ \\f(1,2)</w:instrText></w:r>";
    const std::string deletedCode =
        "<w:del w:id=\"1\" w:author=\"A\"><w:r><w:delInstrText>"
        "EQ \\f(3,4)</w:delInstrText></w:r></w:del>";
    EXPECT_EQ(BodyText("<w:p>" + TextRun("a") + FieldChar("begin") + Code(" EQ \\* jc2 ") +
                       Code(ruby) + FieldChar("end") + TextRun("b") + FieldChar("begin") +
                       hiddenCode + FieldChar("end") + FieldChar("begin") + deletedCode +
                       FieldChar("end") + FieldChar("begin") + Code("EQ \\f(5,6)") +
                       FieldChar("separate") + FieldChar("end") + FieldChar("begin") +
                       Code("EQ \\f(7,8)") + FieldChar("separate") + TextRun("x") +
                       FieldChar("end") + "<w:fldSimple w:instr=\"EQ \\b(9)\"/></w:p>"),
              "a漢字b5/6x(9)\n");
}

TEST(OoxmlFields, UnbalancedFieldMarksAreHarmless) {
    EXPECT_EQ(
        BodyText("<w:p>" + FieldChar("end") + FieldChar("separate") + TextRun("text") + "</w:p>"),
        "text\n");
}

TEST(OoxmlRevisions, InsertionsAreInDeletionsAndMovedFromTextOut) {
    EXPECT_EQ(BodyText("<w:p>" + TextRun("keep ") + "<w:ins w:id=\"1\" w:author=\"A\">" +
                       TextRun("inserted ") +
                       "</w:ins><w:del w:id=\"2\" w:author=\"A\"><w:r>"
                       "<w:delText>deleted </w:delText></w:r></w:del>"
                       "<w:moveFrom w:id=\"3\">" +
                       TextRun("moved-away ") +
                       "</w:moveFrom>"
                       "<w:moveTo w:id=\"4\">" +
                       TextRun("moved-here") + "</w:moveTo></w:p>"),
              "keep inserted moved-here\n");
}

// A paragraph whose mark is a tracked deletion, with its runs.
std::string MarkDeleted(const std::string& runs) {
    return Para("<w:rPr><w:del w:id=\"1\" w:author=\"A\"/></w:rPr>", runs);
}

std::string Deleted(const std::string& text) {
    return "<w:del w:id=\"2\" w:author=\"A\"><w:r><w:delText>" + text +
           "</w:delText></w:r></w:del>";
}

std::string NumberedItem(const std::string& pPr, const std::string& text) {
    return Para("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>" + pPr,
                TextRun(text));
}

TEST(OoxmlRevisions, ADeletedParagraphMarkJoinsTheNextParagraph) {
    const std::string markDeleted = "<w:rPr><w:del w:id=\"1\" w:author=\"A\"/></w:rPr>";
    const std::string table = "<w:tbl><w:tr><w:tc>" + Para("cell") + "</w:tc></w:tr></w:tbl>";
    struct Case {
        const char* name;
        std::string body;
        std::string text;
    };
    const Case cases[] = {
        {"next paragraph", MarkDeleted(TextRun("first ")) + Para("second") + Para("third"),
         "first second\nthird\n"},
        {"partly deleted", MarkDeleted(TextRun("kept ") + Deleted("gone")) + Para("next"),
         "kept next\n"},
        {"wholly deleted", Para("one") + MarkDeleted(Deleted("gone")) + Para("two"), "one\ntwo\n"},
        {"several in a row", MarkDeleted(TextRun("a ")) + MarkDeleted(TextRun("b ")) + Para("c"),
         "a b c\n"},
        {"bookmark end between",
         MarkDeleted(TextRun("first ")) + "<w:bookmarkEnd w:id=\"0\"/>" + Para("second"),
         "first second\n"},
        {"next in a content control",
         MarkDeleted(TextRun("first ")) + "<w:sdt><w:sdtContent>" + Para("second") +
             "</w:sdtContent></w:sdt>",
         "first second\n"},
        {"last in a content control",
         "<w:sdt><w:sdtContent>" + MarkDeleted(TextRun("first ")) + "</w:sdtContent></w:sdt>" +
             Para("second"),
         "first second\n"},
        {"list item keeps its label",
         NumberedItem(markDeleted, "one ") + NumberedItem("", "more") + NumberedItem("", "two"),
         "1.\tone more\n2.\ttwo\n"},
        // Gone whole: the next paragraph keeps its own properties, and the list its count.
        {"wholly deleted list item",
         Para("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>" + markDeleted,
              Deleted("gone")) +
             Para("plain") + NumberedItem("", "one"),
         "plain\n1.\tone\n"},
        {"before a table", MarkDeleted(TextRun("last")) + table, "last\ncell\n"},
        {"end of a cell",
         "<w:tbl><w:tr><w:tc>" + MarkDeleted(TextRun("x")) + "</w:tc><w:tc>" + Para("y") +
             "</w:tc></w:tr></w:tbl>" + Para("after"),
         "x\ty\nafter\n"},
        {"end of the body", Para("one") + MarkDeleted(TextRun("last")), "one\nlast\n"},
    };
    for (const Case& c : cases) {
        DocxBuilder docx;
        docx.numbering =
            "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
            "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
            "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>";
        docx.body = c.body;
        EXPECT_EQ(TextOf(docx), c.text) << c.name;
    }
}

TEST(OoxmlRevisions, CommentsAreLeftOut) {
    EXPECT_EQ(BodyText("<w:p><w:commentRangeStart w:id=\"0\"/>" + TextRun("text") +
                       "<w:commentRangeEnd w:id=\"0\"/><w:r><w:commentReference w:id=\"0\"/>"
                       "</w:r><w:r><w:annotationRef/></w:r></w:p>"),
              "text\n");
}

}  // namespace
}  // namespace corvanel::convert::testing

// Paragraph and run content of WordprocessingML packages.

#include "DocxBuilder.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string BodyText(const std::string& body) {
    DocxBuilder docx;
    docx.body = body;
    return TextOf(docx);
}

TEST(OoxmlText, EveryParagraphIsALineAndEmptyOnesStay) {
    EXPECT_EQ(BodyText(Para("One") + "<w:p/>" +
                       "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr></w:p>" + Para("Two")),
              "One\n\n\nTwo\n");
}

TEST(OoxmlText, RunsJoinWithoutSpacesAndKeepTheirOwnSpaces) {
    EXPECT_EQ(BodyText("<w:p>" + TextRun("Wo") + "<w:r><w:rPr><w:b/></w:rPr><w:t>rd</w:t></w:r>" +
                       TextRun(" and ") + TextRun("more") + "</w:p>"),
              "Word and more\n");
}

TEST(OoxmlText, BreaksAndTabs) {
    EXPECT_EQ(
        BodyText("<w:p><w:r><w:t>a</w:t><w:br/><w:t>b</w:t><w:br w:type=\"page\"/>"
                 "<w:t>c</w:t><w:br w:type=\"column\"/><w:t>d</w:t><w:cr/><w:t>e</w:t>"
                 "<w:tab/><w:t>f</w:t><w:ptab w:relativeTo=\"margin\"/><w:t>g</w:t></w:r></w:p>"),
        "a\nb\nc\nd\ne\tf\tg\n");
}

TEST(OoxmlText, TabStopsInParagraphPropertiesAreNotTabs) {
    EXPECT_EQ(
        BodyText(Para("<w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs>", TextRun("x"))),
        "x\n");
}

TEST(OoxmlText, HyphensSymbolsAndSymbolFontRuns) {
    EXPECT_EQ(BodyText("<w:p><w:r><w:t>co</w:t><w:softHyphen/><w:t>op</w:t><w:noBreakHyphen/>"
                       "<w:t>x</w:t></w:r></w:p>"),
              "coop-x\n");
    // Symbol font characters in both forms, another font's private-use form, and a run set in
    // the Symbol font.
    EXPECT_EQ(BodyText("<w:p><w:r><w:sym w:font=\"Symbol\" w:char=\"F061\"/>"
                       "<w:sym w:font=\"Symbol\" w:char=\"00B3\"/>"
                       "<w:sym w:font=\"Times New Roman\" w:char=\"F0E9\"/>"
                       "<w:sym w:font=\"Wingdings\" w:char=\"F0FC\"/></w:r>"
                       "<w:r><w:rPr><w:rFonts w:ascii=\"Symbol\" w:hAnsi=\"Symbol\"/></w:rPr>"
                       "<w:t>p\xEF\x80\xA4</w:t></w:r></w:p>"),
              "\xCE\xB1\xE2\x89\xA5\xC3\xA9\xE2\x9C\x93\xCF\x80\xE2\x88\x83\n");  // α≥é✓π∃
    // A Wingdings glyph without a text equivalent keeps its private-use form instead of turning
    // into the letter of the same code; a Unicode code point given directly stays itself.
    EXPECT_EQ(BodyText("<w:p><w:r><w:sym w:font=\"Wingdings\" w:char=\"0041\"/>"
                       "<w:sym w:font=\"Wingdings\" w:char=\"2713\"/>"
                       "<w:sym w:font=\"Symbol\" w:char=\"03A9\"/>"
                       "<w:sym w:font=\"Symbol\" w:char=\"FFFFFFFF\"/></w:r></w:p>"),
              "\xEF\x81\x81\xE2\x9C\x93\xCE\xA9\n");
}

TEST(OoxmlText, HiddenTextIsLeftOutDirectlyOrThroughItsCharacterStyle) {
    DocxBuilder docx;
    docx.styles =
        "<w:style w:type=\"character\" w:styleId=\"Secret\"><w:rPr><w:vanish/></w:rPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"MoreSecret\"><w:basedOn w:val=\"Secret\"/>"
        "</w:style>";
    docx.body = "<w:p>" + TextRun("shown ") +
                "<w:r><w:rPr><w:vanish/></w:rPr><w:t>hidden</w:t><w:tab/></w:r>"
                "<w:r><w:rPr><w:rStyle w:val=\"MoreSecret\"/></w:rPr><w:t>styled</w:t></w:r>"
                "<w:r><w:rPr><w:rStyle w:val=\"Secret\"/><w:vanish w:val=\"0\"/></w:rPr>"
                "<w:t>unhidden</w:t></w:r>"
                "<w:r><w:rPr><w:vanish/><w:specVanish/></w:rPr><w:t>x</w:t></w:r></w:p>";
    EXPECT_EQ(TextOf(docx), "shown unhidden\n");
}

TEST(OoxmlText, HyperlinksContentControlsAndSmartTagsGiveTheirText) {
    EXPECT_EQ(BodyText("<w:p><w:hyperlink r:id=\"rId9\">" + TextRun("link") + "</w:hyperlink>" +
                       "<w:sdt><w:sdtPr><w:alias w:val=\"Name\"/></w:sdtPr><w:sdtContent>" +
                       TextRun(" control") + "</w:sdtContent></w:sdt>" +
                       "<w:smartTag w:uri=\"u\" w:element=\"e\"><w:smartTagPr/>" + TextRun(" tag") +
                       "</w:smartTag><w:customXml w:element=\"c\">" + TextRun(" custom") +
                       "</w:customXml><w:dir w:val=\"rtl\">" + TextRun(" dir") + "</w:dir></w:p>" +
                       "<w:sdt><w:sdtContent>" + Para("block control") + "</w:sdtContent></w:sdt>"),
              "link control tag custom dir\nblock control\n");
}

TEST(OoxmlText, RubyGivesItsBaseText) {
    EXPECT_EQ(
        BodyText("<w:p><w:r><w:ruby><w:rubyPr/><w:rt>" + TextRun("kan") + "</w:rt><w:rubyBase>" +
                 TextRun("漢") + "</w:rubyBase></w:ruby></w:r></w:p>"),
        "漢\n");
}

TEST(OoxmlText, EquationsGiveTheirCharactersInOrder) {
    EXPECT_EQ(
        BodyText("<w:p>" + TextRun("Area: ") +
                 "<m:oMath><m:r><m:t>A=</m:t></m:r><m:sSup><m:e><m:r><m:t>r</m:t></m:r>"
                 "</m:e><m:sup><m:r><m:t>2</m:t></m:r></m:sup></m:sSup></m:oMath></w:p>"
                 "<w:p><m:oMathPara><m:oMath><m:f><m:num><m:r><m:t>a</m:t></m:r></m:num>"
                 "<m:den><m:r><m:t>b</m:t></m:r></m:den></m:f></m:oMath></m:oMathPara></w:p>"),
        "Area: A=r2\nab\n");
}

TEST(OoxmlText, TextBoxesFollowTheirParagraphOnce) {
    const std::string textBox = "<w:txbxContent>" + Para("in the box") + "</w:txbxContent>";
    // DrawingML shape with a VML fallback: one branch only.
    const std::string drawing =
        "<mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor><a:graphic>"
        "<a:graphicData><wps:wsp><wps:txbx>" +
        textBox +
        "</wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
        "<mc:Fallback><w:pict><v:shape><v:textbox>" +
        textBox + "</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent>";
    EXPECT_EQ(BodyText("<w:p>" + TextRun("before ") + "<w:r>" + drawing + "</w:r>" +
                       TextRun("after") + "</w:p>" + Para("next")),
              "before after\nin the box\nnext\n");
    // A choice this reader does not understand falls back.
    EXPECT_EQ(BodyText("<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"x9\"><w:t>new"
                       "</w:t></mc:Choice><mc:Fallback><w:t>old</w:t></mc:Fallback>"
                       "</mc:AlternateContent></w:r></w:p>"),
              "old\n");
    // VML text box alone.
    EXPECT_EQ(BodyText("<w:p><w:r><w:pict><v:shape><v:textbox>" + textBox +
                       "</v:textbox></v:shape></w:pict></w:r></w:p>"),
              "\nin the box\n");
}

TEST(OoxmlText, PicturesObjectsAndUnknownExtensionsGiveNothing) {
    EXPECT_EQ(BodyText("<w:p>" + TextRun("a") +
                       "<w:r><w:drawing><wp:inline><a:graphic><a:graphicData><a:t>no</a:t>"
                       "</a:graphicData></a:graphic></wp:inline></w:drawing>"
                       "<w:object><v:shape/></w:object></w:r>"
                       "<x9:extension><w:r><w:t>no</w:t></w:r></x9:extension>" +
                       TextRun("b") + "</w:p>"),
              "ab\n");
}

TEST(OoxmlText, DropCapJoinsTheParagraphItStarts) {
    EXPECT_EQ(BodyText(Para("<w:framePr w:dropCap=\"drop\" w:lines=\"3\"/>", TextRun("O")) +
                       Para("nce upon a time")),
              "Once upon a time\n");
}

TEST(OoxmlText, AParagraphWithAHiddenMarkRunsOnIntoTheNext) {
    // A style separator: the heading and the text after it make one line.
    EXPECT_EQ(
        BodyText(Para("<w:rPr><w:vanish/><w:specVanish/></w:rPr>", TextRun("Heading")) +
                 Para(" text") + Para("<w:rPr><w:vanish w:val=\"0\"/></w:rPr>", TextRun("own")) +
                 Para("line")),
        "Heading text\nown\nline\n");
}

TEST(OoxmlText, SeveralBodiesAreAllRead) {
    DocxBuilder docx;
    docx.body = Para("one") + "</w:body><w:body>" + Para("two");
    EXPECT_EQ(TextOf(docx), "one\ntwo\n");
}

}  // namespace
}  // namespace corvanel::convert::testing

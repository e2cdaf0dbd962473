// List labels computed from numbering.xml.

#include "DocxBuilder.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string Level(int ilvl, const std::string& format, const std::string& text,
                  const std::string& extra = "", int start = 1) {
    return "<w:lvl w:ilvl=\"" + std::to_string(ilvl) + "\"><w:start w:val=\"" +
           std::to_string(start) + "\"/><w:numFmt w:val=\"" + format + "\"/><w:lvlText w:val=\"" +
           text + "\"/>" + extra + "</w:lvl>";
}

std::string Abstract(int id, const std::string& levels) {
    return "<w:abstractNum w:abstractNumId=\"" + std::to_string(id) + "\">" + levels +
           "</w:abstractNum>";
}

std::string Num(int id, int abstractId, const std::string& overrides = "") {
    return "<w:num w:numId=\"" + std::to_string(id) + "\"><w:abstractNumId w:val=\"" +
           std::to_string(abstractId) + "\"/>" + overrides + "</w:num>";
}

std::string Item(int numId, int ilvl, const std::string& text) {
    return Para("<w:numPr><w:ilvl w:val=\"" + std::to_string(ilvl) + "\"/><w:numId w:val=\"" +
                    std::to_string(numId) + "\"/></w:numPr>",
                TextRun(text));
}

const std::string kOutline =
    Abstract(0, Level(0, "decimal", "%1.") + Level(1, "lowerLetter", "%2)") +
                    Level(2, "lowerRoman", "%1.%2.%3", "<w:suff w:val=\"space\"/>") +
                    Level(3, "upperRoman", "%4", "<w:suff w:val=\"nothing\"/>") +
                    Level(4, "upperLetter", "(%5)"));

TEST(OoxmlLists, LabelsFollowLevelsAndDeeperLevelsRestart) {
    DocxBuilder docx;
    docx.numbering = kOutline + Num(1, 0);
    docx.body = Item(1, 0, "one") + Item(1, 1, "a") + Item(1, 1, "b") + Item(1, 2, "deep") +
                Item(1, 0, "two") + Item(1, 1, "again a") + Item(1, 3, "x") + Para("plain") +
                Item(1, 4, "letter");
    EXPECT_EQ(TextOf(docx),
              "1.\tone\na)\ta\nb)\tb\n1.b.i deep\n2.\ttwo\na)\tagain a\nIx\nplain\n(A)\tletter\n");
}

TEST(OoxmlLists, ASkippedLevelCountsAsHavingShownItsStart) {
    DocxBuilder docx;
    docx.numbering = kOutline + Num(1, 0);
    docx.body = Item(1, 2, "deep first") + Item(1, 0, "one") + Item(1, 2, "deep") +
                Item(1, 1, "next") + Item(1, 1, "after");
    EXPECT_EQ(TextOf(docx), "1.a.i deep first\n2.\tone\n2.a.i deep\nb)\tnext\nc)\tafter\n");
}

TEST(OoxmlLists, InstancesShareTheirDefinitionsCountUnlessTheyOverrideTheStart) {
    DocxBuilder docx;
    docx.numbering =
        Abstract(0, Level(0, "decimal", "%1.")) + Num(1, 0) + Num(2, 0) +
        Num(3, 0,
            "<w:lvlOverride w:ilvl=\"0\"><w:startOverride w:val=\"10\"/>"
            "</w:lvlOverride>") +
        Num(4, 0,
            "<w:lvlOverride w:ilvl=\"0\">" + Level(0, "upperLetter", "%1:") + "</w:lvlOverride>");
    docx.body = Item(1, 0, "a") + Item(2, 0, "b") + Item(3, 0, "c") + Item(3, 0, "d") +
                Item(1, 0, "e") + Item(4, 0, "f");
    EXPECT_EQ(TextOf(docx), "1.\ta\n2.\tb\n10.\tc\n11.\td\n12.\te\nM:\tf\n");
}

TEST(OoxmlLists, RestartRulesAndLegalNumbering) {
    DocxBuilder docx;
    docx.numbering = Abstract(0, Level(0, "upperRoman", "%1.") +
                                     Level(1, "decimal", "%1.%2", "<w:lvlRestart w:val=\"0\"/>") +
                                     Level(2, "lowerLetter", "%1.%2.%3", "<w:isLgl/>")) +
                     Num(1, 0);
    docx.body =
        Item(1, 0, "A") + Item(1, 1, "x") + Item(1, 0, "B") + Item(1, 1, "y") + Item(1, 2, "legal");
    EXPECT_EQ(TextOf(docx), "I.\tA\nI.1\tx\nII.\tB\nII.2\ty\n2.2.1\tlegal\n");
}

TEST(OoxmlLists, BulletsInSymbolFontsBecomeBulletCharacters) {
    DocxBuilder docx;
    docx.numbering =
        Abstract(
            0,
            Level(0, "bullet", "\xEF\x82\xB7",
                  "<w:rPr><w:rFonts w:ascii=\"Symbol\" w:hAnsi=\"Symbol\"/></w:rPr>") +
                Level(1, "bullet", "o", "<w:rPr><w:rFonts w:ascii=\"Courier New\"/></w:rPr>") +
                Level(2, "bullet", "\xC2\xA7", "<w:rPr><w:rFonts w:ascii=\"Wingdings\"/></w:rPr>") +
                Level(3, "bullet", "\xE2\x80\x93")) +
        Num(1, 0);
    docx.body = Item(1, 0, "a") + Item(1, 1, "b") + Item(1, 2, "c") + Item(1, 3, "d");
    EXPECT_EQ(TextOf(docx), "\xE2\x80\xA2\ta\no\tb\n\xE2\x80\xA2\tc\n\xE2\x80\x93\td\n");
}

TEST(OoxmlLists, ParagraphStylesCarryNumberingAlongTheirBasedOnChain) {
    DocxBuilder docx;
    docx.numbering = Abstract(0, Level(0, "decimal", "%1", "<w:pStyle w:val=\"H1\"/>") +
                                     Level(1, "decimal", "%1.%2", "<w:pStyle w:val=\"H2\"/>")) +
                     Num(5, 0);
    docx.styles =
        "<w:style w:type=\"paragraph\" w:styleId=\"H1\"><w:pPr><w:numPr><w:numId w:val=\"5\"/>"
        "</w:numPr></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"H2\"><w:basedOn w:val=\"H1\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"H3\"><w:basedOn w:val=\"H2\"/>"
        "<w:pPr><w:numPr><w:ilvl w:val=\"1\"/></w:numPr></w:pPr></w:style>";
    docx.body = Para("<w:pStyle w:val=\"H1\"/>", TextRun("Intro")) +
                Para("<w:pStyle w:val=\"H2\"/>", TextRun("Scope")) +
                Para("<w:pStyle w:val=\"H3\"/>", TextRun("More")) +
                Para("<w:pStyle w:val=\"H1\"/><w:numPr><w:numId w:val=\"0\"/></w:numPr>",
                     TextRun("Unnumbered")) +
                Para("<w:pStyle w:val=\"H1\"/>", TextRun("Next"));
    EXPECT_EQ(TextOf(docx), "1\tIntro\n1.1\tScope\n1.2\tMore\nUnnumbered\n2\tNext\n");
}

TEST(OoxmlLists, DefinitionsLinkedThroughANumberingStyle) {
    DocxBuilder docx;
    docx.numbering =
        "<w:abstractNum w:abstractNumId=\"1\"><w:numStyleLink w:val=\"Outline\"/></w:abstractNum>" +
        Abstract(2, Level(0, "decimal", "Art. %1")) + Num(1, 1) + Num(2, 2);
    docx.styles =
        "<w:style w:type=\"numbering\" w:styleId=\"Outline\"><w:pPr><w:numPr>"
        "<w:numId w:val=\"2\"/></w:numPr></w:pPr></w:style>";
    docx.body = Item(1, 0, "first") + Item(1, 0, "second");
    EXPECT_EQ(TextOf(docx), "Art. 1\tfirst\nArt. 2\tsecond\n");
}

TEST(OoxmlLists, BrokenDefinitionsGiveNoLabelAndNoFailure) {
    DocxBuilder docx;
    docx.numbering =
        // A style link that loops back on itself.
        "<w:abstractNum w:abstractNumId=\"1\"><w:numStyleLink w:val=\"Loop\"/></w:abstractNum>" +
        Num(1, 1) + Num(2, 77) + Abstract(3, Level(0, "decimal", "%1.")) +
        Num(3, 3, "<w:lvlOverride w:ilvl=\"12\"><w:startOverride w:val=\"5\"/></w:lvlOverride>") +
        "<w:num w:numId=\"bad\"><w:abstractNumId w:val=\"x\"/></w:num>";
    docx.styles =
        "<w:style w:type=\"numbering\" w:styleId=\"Loop\"><w:pPr><w:numPr><w:numId w:val=\"1\"/>"
        "</w:numPr></w:pPr></w:style>";
    docx.body = Item(1, 0, "loop") + Item(2, 0, "missing definition") +
                Item(99, 0, "missing list") + Item(3, 42, "level out of range") +
                Para("<w:numPr><w:numId w:val=\"3\"/></w:numPr>", TextRun("no level"));
    EXPECT_EQ(TextOf(docx),
              "loop\nmissing definition\nmissing list\nlevel out of range\n"
              "1.\tno level\n");
}

TEST(OoxmlLists, ExtremeStartValuesStayShort) {
    DocxBuilder docx;
    docx.numbering = Abstract(0, Level(0, "upperRoman", "%1", "", 0)) +
                     Abstract(1, Level(0, "lowerLetter", "%1", "", 2147483647)) +
                     Abstract(2,
                              "<w:lvl w:ilvl=\"0\"><w:start w:val=\"99999999999999999999999\"/>"
                              "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1\"/></w:lvl>") +
                     Num(1, 0) + Num(2, 1) + Num(3, 2);
    docx.body =
        Item(1, 0, "zero") + Item(2, 0, "huge") + Item(3, 0, "overflow") + Item(3, 0, "next");
    EXPECT_EQ(TextOf(docx),
              "0\tzero\n2147483647\thuge\n2147483647\toverflow\n"
              "2147483648\tnext\n");
}

}  // namespace
}  // namespace corvanel::convert::testing

#include "RtfTestUtil.h"
#include "TestFacts.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

TEST(RtfReader, ParagraphsLinesAndTabs) {
    EXPECT_EQ(RtfBodyText("\\pard One\\par\\par Tw{\\b o}\\tab x\\line y\\par"),
              "One\n\nTwo\tx\ny\n");
}

TEST(RtfReader, LastParagraphWithoutMarkIsKept) {
    EXPECT_EQ(RtfBodyText("first\\par last"), "first\nlast\n");
}

TEST(RtfReader, LineEndingsInTheFileAreNotText) {
    EXPECT_EQ(RtfBodyText("split\r\nword\\par\nnext\\\nafter"), "splitword\nnext\nafter\n");
}

TEST(RtfReader, EscapesAndSpecialCharacters) {
    EXPECT_EQ(RtfBodyText("a\\{b\\}c\\\\d\\par"
                          "\\emdash\\endash\\bullet\\lquote x\\rquote\\ldblquote y\\rdblquote\\par "
                          "non\\~breaking opt\\-ional non\\_breaking\\par"),
              "a{b}c\\d\n"
              "\xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2\xE2\x80\x98x\xE2\x80\x99\xE2\x80\x9Cy"
              "\xE2\x80\x9D\n"
              "non\xC2\xA0"
              "breaking optional non-breaking\n");
}

TEST(RtfReader, PageAndSectionBreaks) {
    EXPECT_EQ(RtfBodyText("a\\page b\\par c\\sect\\sectd d\\par"), "a\nb\nc\nd\n");
}

TEST(RtfReader, HexBytesInTheDocumentAndFontCodePages) {
    EXPECT_EQ(RtfBodyText("caf\\'e9 \\'93q\\'94\\par"), "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D\n");
    // Font 2 is Cyrillic (charset 204, code page 1251).
    EXPECT_EQ(RtfBodyText("{\\f2 \\'cf\\'f0\\'e8}\\'e9\\par"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xC3\xA9\n");
}

TEST(RtfReader, DocumentCodePageAppliesToAnsiFonts) {
    EXPECT_EQ(RtfText("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 "
                      "\\'cf\\'f0\\par}"),
              "\xD0\x9F\xD1\x80\n");
}

TEST(RtfReader, DoubleByteCodePagesTakeLeadAndTrailBytes) {
    // Shift-JIS: 0x82 0xA0 is HIRAGANA A; 0x93 0x5C ("\\" as trail byte) is U+8CBC.
    EXPECT_EQ(RtfBodyText("{\\f3 \\'82\\'a0\\'93\\\\}\\par"), "\xE3\x81\x82\xE8\xB2\xBC\n");
    EXPECT_EQ(RtfBodyText("{\\f3 \\'93\\'5c}\\par"), "\xE8\xB2\xBC\n");
}

TEST(RtfReader, UnicodeWithFallbackSkipping) {
    // \uc1 is the default: one fallback character follows each \u.
    EXPECT_EQ(RtfBodyText("\\u8364?x \\u-3913 ?\\par"),
              "\xE2\x82\xAC"
              "x \xEF\x82\xB7\n");
    // \uc2 with a hex fallback of two bytes; \'hh counts as one.
    EXPECT_EQ(RtfBodyText("{\\uc2\\u12354\\'82\\'a0z}\\par"), "\xE3\x81\x82z\n");
    // \uc0: nothing to skip. \uc is scoped to its group.
    EXPECT_EQ(RtfBodyText("{\\uc0\\u233 a}\\u233 bc\\par"),
              "\xC3\xA9"
              "a\xC3\xA9"
              "c\n");
    // Skipping stops at the group end.
    EXPECT_EQ(RtfBodyText("{\\uc3\\u233 a}bc\\par"),
              "\xC3\xA9"
              "bc\n");
    // A surrogate pair gives one character outside the basic plane.
    EXPECT_EQ(RtfBodyText("\\u-10179?\\u-8704?\\par"), "\xF0\x9F\x98\x80\n");
    // LibreOffice writes the high surrogate with \uc0 and changes \uc before the low one.
    EXPECT_EQ(RtfBodyText("\\uc0 \\u55357\\uc1 \\u56832\\'3f\\par"), "\xF0\x9F\x98\x80\n");
}

TEST(RtfReader, SkipsTablesInfoPicturesHeadersAndUnknownStarredGroups) {
    EXPECT_EQ(RtfBodyText("{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}"
                          "{\\info{\\title T}{\\author A}}{\\header head\\par}{\\footerr foot}"
                          "{\\*\\generator gen;}{\\*\\unknowndest text}"
                          "{\\pict\\pngblip 89504e47{\\nested}}{\\pict\\bin4 }}}}}after\\par"),
              "after\n");
}

TEST(RtfReader, StarBeforeAKnownWordKeepsTheText) {
    EXPECT_EQ(RtfBodyText("{\\loch\\f2\\fs24\\i0\\b0\\*\\cs7\\cf0 Some words}\\par"
                          "{\\b\\*\\unknownword hidden}{\\*\\par shown}\\par"),
              "Some words\n\nshown\n");
}

TEST(RtfReader, FieldsGiveTheirResultOnly) {
    EXPECT_EQ(RtfBodyText("See {\\field{\\*\\fldinst {HYPERLINK \"http://x\"}}"
                          "{\\fldrslt {\\ul the link}}} here.\\par"
                          "{\\field{\\fldinst PAGE}{\\fldrslt 7}}\\par"),
              "See the link here.\n7\n");
}

TEST(RtfReader, EqFieldsAreDrawnFromTheirCode) {
    // A phonetic guide in Shift-JIS shows its base; hidden or deleted code shows nothing; a
    // stored result wins; a text box in a field's code is code too.
    EXPECT_EQ(
        RtfBodyText("a{\\field{\\*\\fldinst {\\f3 EQ \\\\* jc2 \\\\o\\\\ad(\\\\s\\\\up 9("
                    "\\'82\\'a9\\'82\\'f1\\'82\\'b6),\\'8a\\'bf}{\\f3 \\'8e\\'9a)}}"
                    "{\\fldrslt }}b{\\field{\\*\\fldinst {\\v EQ \\\\f(1,2)}}}"
                    "{\\deleted{\\field{\\*\\fldinst EQ \\\\f(3,4)}}}"
                    "{\\field{\\*\\fldinst EQ \\\\f(5,6)}{\\fldrslt y}}"
                    "{\\field{\\*\\fldinst PAGE{\\shp{\\*\\shpinst{\\shptxt box}}}}{\\fldrslt 3}}"
                    "\\par"),
        "a漢字by3\n");
}

TEST(RtfReader, HiddenAndDeletedTextIsLeftOut) {
    EXPECT_EQ(RtfBodyText("a{\\v hidden}b\\v c\\v0 d{\\deleted gone}{\\insrsid1 e}\\par"
                          "{\\v hidden paragraph\\par}kept\\par"),
              "abde\nkept\n");
}

TEST(RtfReader, CommentsAreLeftOut) {
    EXPECT_EQ(RtfBodyText("text{\\*\\atrfstart 1}{\\chatn{\\*\\annotation{\\*\\atnauthor me}"
                          " a comment}}{\\*\\atrfend 1} more\\par"),
              "text more\n");
}

TEST(RtfReader, HeadersFootersAndCommentsWhenAsked) {
    // Two sections repeating their header; the second section's header comes after the first
    // section's body, which has left already (the text leaves as it is made).
    const std::string rtf =
        "{\\rtf1\\ansi{\\header Head\\par}{\\footerr Foot\\par}One{\\*\\atnid A}"
        "{\\*\\atnauthor Ann}\\chatn{\\*\\annotation{\\*\\atnref 1}Check\\par this.}\\par"
        "\\sect\\sectd{\\headerl Head\\par}{\\headerf Second\\par}Two\\chatn"
        "{\\*\\annotation Anon}\\par}";
    const struct {
        MarginTexts include;
        std::string text;
    } kCases[] = {
        {{}, "One\nTwo\n"},
        {{true, true, true}, "Head\nSecond\n\nOne\nTwo\n\nFoot\n\nAnn: Check this.\nAnon\n"},
        {{true, false, false}, "Head\nSecond\n\nOne\nTwo\n"},
    };
    for (const auto& c : kCases) {
        PlainTextWriter writer;
        writer.WantMarginTexts(c.include);
        std::string text;
        writer.DrainWhenOver(0, [&](std::string_view piece) { text += piece; });
        ASSERT_TRUE(ReadDocumentBytes("test.rtf", rtf, writer).Ok());
        EXPECT_EQ(text + writer.Text(), c.text);
    }
}

TEST(RtfReader, SymbolFontCharactersBecomeUnicode) {
    // Symbol 0x61 is alpha, 0xB3 greater-or-equal; private-use U+F061 too.
    EXPECT_EQ(RtfBodyText("{\\f1 a\\'b3}{\\f1\\u-3999 ?}\\par"), "\xCE\xB1\xE2\x89\xA5\xCE\xB1\n");
}

TEST(RtfReader, ListTextLabels) {
    EXPECT_EQ(RtfBodyText("{\\listtext\\pard\\plain 1.\\tab}First\\par"
                          "{\\listtext\\pard\\plain\\f1 \\'b7\\tab}Bullet\\par"
                          "{\\pntext a) }Letter\\par"
                          "{\\listtext 2.\\tab}\\par "
                          "Plain\\par"),
              "1.\tFirst\n\xE2\x80\xA2\tBullet\na) Letter\n2.\t\nPlain\n");
}

TEST(RtfReader, LabelsWithoutFallbackOrInTheSymbolFont) {
    // A \u with no fallback before \tab (as Cocoa writes it): the tab is the suffix.
    EXPECT_EQ(RtfBodyText("{\\listtext\\tab \\u8226 \\tab}Item\\par "
                          "{\\pntext\\f1 1.\\tab}Numbered in Symbol\\par "
                          "{\\listtext\\pard\\plain \\u61623\\'3f\\tab}Private use\\par"),
              "\xE2\x80\xA2\tItem\n1.\tNumbered in Symbol\n\xE2\x80\xA2\tPrivate use\n");
}

TEST(RtfReader, Word6ParagraphNumberingWithoutListText) {
    EXPECT_EQ(
        RtfBodyText("\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}First\\par "
                    "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}Second\\par "
                    "\\pard{\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}Bullet\\par "
                    "\\pard{\\*\\pn\\pnlvlcont}Continued\\par "
                    "\\pard Plain\\par "
                    "\\pard{\\*\\pn\\pnlvlbody\\pnlcrm{\\pntxtb (}{\\pntxta )}}Again\\par "
                    "\\pard{\\pntext 9.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}Written\\par"),
        "3.\tFirst\n4.\tSecond\n\xE2\x80\xA2\tBullet\nContinued\nPlain\n(i)\tAgain\n"
        "9.\tWritten\n");
}

TEST(RtfReader, TablesGiveOneLinePerRow) {
    EXPECT_EQ(RtfBodyText("before\\par"
                          "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\cell B1\\cell\\row"
                          "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A2\\par second\\cell\\cell"
                          "{\\trowd\\cellx1000\\cellx2000\\row}"
                          "\\pard after\\par"),
              "before\nA1\tB1\nA2\nsecond\t\nafter\n");
}

TEST(RtfReader, NestedTables) {
    EXPECT_EQ(RtfBodyText("\\pard\\intbl\\itap1 outer\\par"
                          "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell"
                          "{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}"
                          "{\\nonesttables\\par}"
                          "\\pard\\intbl\\itap1 \\cell last\\cell\\row\\pard end\\par"),
              "outer\nx\ty\tlast\nend\n");
}

TEST(RtfReader, FootnotesAndEndnotesFollowTheBody) {
    EXPECT_EQ(RtfBodyText("\\aftnnrlc Body{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} "
                          "Note one.}{\\super\\chftn}{\\footnote\\ftnalt\\pard{\\super\\chftn} "
                          "End note.} more{\\super\\chftn}{\\footnote\\pard\\chftn\\~Second}\\par"),
              "Body1i more2\n\n1 Note one.\n2 \xC2\xA0Second\ni End note.\n");
}

TEST(RtfReader, ShapeTextComesOnceAfterItsParagraph) {
    EXPECT_EQ(RtfBodyText("Anchor {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}"
                          "{\\shptxt \\pard In the box\\par}}"
                          "{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbxtext\\pard In the box\\par}}}}"
                          " text\\par next\\par"),
              "Anchor  text\nIn the box\nnext\n");
}

TEST(RtfReader, ObjectsKeepTheirResult) {
    EXPECT_EQ(RtfBodyText("{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}"
                          "{\\result shown}}\\par"),
              "shown\n");
}

TEST(RtfReader, UnicodeAlternativeOfUprIsTaken) {
    EXPECT_EQ(RtfBodyText("{\\upr{ansi ?}{\\*\\ud{\\u233 e}}}\\par"), "\xC3\xA9\n");
}

TEST(RtfReader, StatedPropertiesComeFromTheInfoGroup) {
    using testing::Properties;
    struct Case {
        const char* info;
        Properties expected;
    };
    const std::vector<Case> cases = {
        {"{\\info{\\title  Annual {\\i report}\\tab x }{\\author \\f2 \\'c8\\'e2\\'e0\\'ed}"
         "{\\operator Op}{\\*\\company ACME}{\\creatim\\yr2003\\mo10\\dy13\\hr19\\min55}"
         "{\\revtim\\yr2021\\mo8\\dy9\\hr10\\min28\\sec5}{\\nofpages1}\\nofwords15}",
         {{DocumentProperty::kTitle, "Annual report x"},
          {DocumentProperty::kAuthor, "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"},
          {DocumentProperty::kCreated, "2003-10-13T19:55:00"},
          {DocumentProperty::kModified, "2021-08-09T10:28:05"},
          {DocumentProperty::kPages, "1"},
          {DocumentProperty::kWords, "15"}}},
        {"{\\info{\\title \\u1048?\\u1074?}{\\author }{\\creatim\\yr2003\\mo13\\dy1}"
         "{\\nofwords-3}{\\fldrslt not text}{\\field{\\fldrslt x\\cell\\row}}}",
         {{DocumentProperty::kTitle, "\xD0\x98\xD0\xB2"}}},
        // Outside the info group these are nothing to read.
        {"{\\title Loose}\\nofpages4", {}},
    };
    for (const Case& c : cases) {
        const std::string rtf = std::string(
                                    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times;}"
                                    "{\\f2\\fcharset204 Arial Cyr;}}") +
                                c.info + "body\\par}";
        const DocumentFacts facts = testing::FactsOf("info.rtf", rtf);
        EXPECT_EQ(facts.format, "rtf") << c.info;
        EXPECT_EQ(facts.properties, c.expected) << c.info;
        EXPECT_EQ(RtfText(rtf), "body\n") << c.info;
    }
}

}  // namespace
}  // namespace corvanel::convert

#include "OdfTestDocuments.h"

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

using testing::MakeOdt;

std::string TextOf(const std::string& bytes) {
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes("list.odt", bytes, writer);
    EXPECT_TRUE(result.Ok()) << result.description;
    return writer.TakeText();
}

std::string Level(int level, const std::string& format, const std::string& extra = {}) {
    return "<text:list-level-style-number text:level=\"" + std::to_string(level) +
           "\" style:num-format=\"" + format + "\" " + extra + "/>";
}

std::string ListStyle(const std::string& name, const std::string& levels) {
    return "<text:list-style style:name=\"" + name + "\">" + levels + "</text:list-style>";
}

std::string Item(const std::string& text, const std::string& nested = {},
                 const std::string& attributes = {}) {
    return "<text:list-item" + attributes + "><text:p>" + text + "</text:p>" + nested +
           "</text:list-item>";
}

std::string List(const std::string& items, const std::string& attributes = {}) {
    return "<text:list" + attributes + ">" + items + "</text:list>";
}

TEST(OdfLists, NumberedLevelsShowTheirFormatsAndParentLevels) {
    const std::string style =
        ListStyle("L1", Level(1, "1", R"(style:num-suffix=".")") +
                            Level(2, "1", R"(style:num-suffix="." text:display-levels="2")") +
                            Level(3, "a", R"x(style:num-suffix=")")x") +
                            Level(4, "I", R"x(style:num-prefix="(" style:num-suffix=")")x"));
    const std::string body =
        List(Item("one") +
                 Item("two",
                      List(Item("two.one",
                                List(Item("a") +
                                     Item("b", List(Item("IV", {}, R"( text:start-value="4")"))))) +
                           Item("two.two"))) +
                 Item("three"),
             R"( text:style-name="L1")");
    EXPECT_EQ(
        TextOf(MakeOdt(body, style)),
        "1.\tone\n2.\ttwo\n2.1.\ttwo.one\na)\ta\nb)\tb\n(IV)\tIV\n2.2.\ttwo.two\n3.\tthree\n");
}

TEST(OdfLists, BulletsAndSymbolFontBullets) {
    const std::string style = ListStyle(
        "B", R"(<text:list-level-style-bullet text:level="1" text:bullet-char="–"/>)"
             "<text:list-level-style-bullet text:level=\"2\" text:bullet-char=\"\xEF\x82\xB7\"/>");
    const std::string body = List(Item("dash", List(Item("symbol"))), R"( text:style-name="B")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "–\tdash\n\xE2\x80\xA2\tsymbol\n");
}

TEST(OdfLists, ContinueNumberingAndContinueListCarryOnAndOthersRestart) {
    const std::string style = ListStyle("L", Level(1, "1", R"(style:num-suffix=".")"));
    const std::string s = R"( text:style-name="L")";
    const std::string body =
        List(Item("a") + Item("b"), s + R"( xml:id="first")") + "<text:p>between</text:p>" +
        List(Item("c"), s + R"( text:continue-numbering="true")") + List(Item("new"), s) +
        List(Item("d"), s + R"( text:continue-list="first")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "1.\ta\n2.\tb\nbetween\n3.\tc\n1.\tnew\n4.\td\n");
}

TEST(OdfLists, StartValuesHeadersAndFollowingParagraphsOfAnItem) {
    const std::string style =
        ListStyle("L", Level(1, "i", R"(style:num-suffix="." text:start-value="3")"));
    const std::string body =
        List("<text:list-header><text:p>header</text:p></text:list-header>" + Item("iii") +
                 "<text:list-item><text:p>iv</text:p><text:p>more of iv</text:p></text:list-item>" +
                 Item("x", {}, R"( text:start-value="10")"),
             R"( text:style-name="L")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "header\niii.\tiii\niv.\tiv\nmore of iv\nx.\tx\n");
}

TEST(OdfLists, LabelSuffixFollowsTheLevelAndEmptyFormatsShowNoLabel) {
    const std::string followed = [](const char* what) {
        return std::string(
                   R"(<style:list-level-properties text:list-level-position-and-space-mode="label-alignment">)"
                   R"(<style:list-level-label-alignment text:label-followed-by=")") +
               what + R"("/></style:list-level-properties>)";
    }("space");
    const std::string style =
        ListStyle(
            "S",
            R"x(<text:list-level-style-number text:level="1" style:num-format="A" style:num-suffix=")">)x" +
                followed + "</text:list-level-style-number>") +
        ListStyle("N", Level(1, ""));
    const std::string body = List(Item("spaced"), R"( text:style-name="S")") +
                             List(Item("unlabelled"), R"( text:style-name="N")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "A) spaced\nunlabelled\n");
}

TEST(OdfLists, StyleComesFromStylesXmlOrTheParagraphStyle) {
    const std::string common =
        ListStyle("Numbering_20_1", Level(1, "1", R"(style:num-suffix=".")")) +
        R"(<style:style style:name="ListPara" style:family="paragraph" style:list-style-name="Numbering_20_1"/>)";
    const std::string automatic =
        R"(<style:style style:name="P1" style:family="paragraph" style:parent-style-name="ListPara"/>)";
    const std::string body =
        List(Item("from styles.xml"), R"( text:style-name="Numbering_20_1")") +
        R"(<text:list><text:list-item><text:p text:style-name="P1">from paragraph</text:p></text:list-item></text:list>)";
    EXPECT_EQ(TextOf(MakeOdt(body, automatic, common)),
              "1.\tfrom styles.xml\n1.\tfrom paragraph\n");
}

TEST(OdfLists, HeadingsFollowTheOutlineNumbering) {
    const std::string common =
        R"(<text:outline-style style:name="Outline">)"
        R"(<text:outline-level-style text:level="1" style:num-format="1" style:num-suffix="."/>)"
        R"(<text:outline-level-style text:level="2" style:num-format="1" text:display-levels="2"/>)"
        R"(<text:outline-level-style text:level="3" style:num-format=""/></text:outline-style>)";
    const std::string body =
        R"(<text:h text:outline-level="1">Intro</text:h><text:h text:outline-level="2">Part</text:h>)"
        R"(<text:h text:outline-level="3">Plain</text:h><text:h text:outline-level="1">Next</text:h>)"
        R"(<text:h text:outline-level="1" text:is-list-header="true">Unnumbered</text:h>)";
    EXPECT_EQ(TextOf(MakeOdt(body, {}, common)),
              "1.\tIntro\n1.1\tPart\nPlain\n2.\tNext\nUnnumbered\n");
}

TEST(OdfLists, ListsInsideCellsAndNotesAreListsOfTheirOwn) {
    const std::string style = ListStyle(
        "L", Level(1, "1", R"(style:num-suffix=".")") + Level(2, "a", R"x(style:num-suffix=")")x"));
    const std::string cellList = List(Item("in cell"), R"( text:style-name="L")");
    const std::string body = List(
        "<text:list-item><table:table><table:table-row><table:table-cell>" + cellList +
            "</table:table-cell></table:table-row></table:table></text:list-item>" + Item("second"),
        R"( text:style-name="L")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "1.\tin cell\n1.\tsecond\n");
}

TEST(OdfLists, LettersCountOnOrRepeatWithLetterSync) {
    const std::string style =
        ListStyle("Count", Level(1, "a", R"(text:start-value="28")")) +
        ListStyle("Sync", Level(1, "A", R"(text:start-value="28" style:num-letter-sync="true")"));
    const std::string body = List(Item("x"), R"( text:style-name="Count")") +
                             List(Item("y"), R"( text:style-name="Sync")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "ab\tx\nBB\ty\n");
}

TEST(OdfLists, ADeeperItemWithoutParentItemUsesUpTheParentsStartValue) {
    const std::string style =
        ListStyle("L", Level(1, "1", R"(style:num-suffix=".")") +
                           Level(2, "1", R"(style:num-suffix=".")") + Level(3, "1"));
    // A header at level 2 (no number) holding a numbered level-3 list, then level-2 items.
    const std::string body =
        List(Item("one", List("<text:list-header><text:p>header</text:p>" + List(Item("deep")) +
                              "</text:list-header>" + Item("counts on"))),
             R"( text:style-name="L")");
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "1.\tone\nheader\n1\tdeep\n2.\tcounts on\n");
}

TEST(OdfLists, NumberedParagraphsShareTheirListById) {
    const std::string style = ListStyle(
        "L", Level(1, "1", R"(style:num-suffix=".")") + Level(2, "a", R"x(style:num-suffix=")")x"));
    const std::string body =
        R"(<text:numbered-paragraph text:list-id="n" text:style-name="L"><text:number>9.</text:number>)"
        R"(<text:p>first</text:p></text:numbered-paragraph>)"
        R"(<text:numbered-paragraph text:list-id="n" text:level="2" text:style-name="L">)"
        R"(<text:p>sub</text:p></text:numbered-paragraph>)"
        R"(<text:numbered-paragraph text:list-id="n" text:style-name="L"><text:p>second</text:p>)"
        R"(</text:numbered-paragraph>)";
    EXPECT_EQ(TextOf(MakeOdt(body, style)), "1.\tfirst\na)\tsub\n2.\tsecond\n");
}

}  // namespace
}  // namespace corvanel::convert

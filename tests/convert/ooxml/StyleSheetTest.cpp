#include "convert/ooxml/StyleSheetIndex.h"
#include "convert/ooxml/WordStyles.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>

namespace corvanel::convert::ooxml {
namespace {

const std::string kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

std::string Sheet(const std::string& inner, const std::string& prefix = "w:") {
    const std::string ns =
        prefix.empty() ? "xmlns" : "xmlns:" + prefix.substr(0, prefix.size() - 1);
    return kDeclaration + "<" + prefix + "styles " + ns +
           "=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">" + inner + "</" +
           prefix + "styles>";
}

TEST(StyleSheetIndex, FindsEachStyleWithItsIdTypeAndSpan) {
    const std::string first =
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/></w:style>";
    const std::string second = "<w:style w:type='character' w:styleId='Strong'/>";
    const std::string xml = Sheet(
        "<w:docDefaults><w:rPrDefault/></w:docDefaults><w:latentStyles><w:lsdException "
        "w:name=\"x\"/></w:latentStyles>" +
        first + "\n  " + second + "\n");
    const auto spans = IndexStyleElements(xml);
    ASSERT_TRUE(spans.has_value());
    ASSERT_EQ(spans->size(), 2u);
    EXPECT_EQ((*spans)[0].id, "Normal");
    EXPECT_EQ((*spans)[0].type, "paragraph");
    EXPECT_TRUE((*spans)[0].isDefault);
    EXPECT_EQ(xml.substr((*spans)[0].begin, first.size()), first);
    // A span runs to the next style, so what lies between is parsed with it and ignored.
    EXPECT_EQ((*spans)[0].begin + (*spans)[0].size, xml.find(second));
    EXPECT_EQ((*spans)[1].id, "Strong");
    EXPECT_EQ((*spans)[1].type, "character");
    EXPECT_FALSE((*spans)[1].isDefault);
    EXPECT_EQ((*spans)[1].begin + (*spans)[1].size, xml.rfind("</w:styles>"));
}

TEST(StyleSheetIndex, FollowsTheRootPrefixOrADefaultNamespace) {
    // The spans view the text: it must outlive them.
    const std::string plainXml =
        Sheet("<style type=\"paragraph\" styleId=\"A\"></style><styleLink/>", "");
    const auto plain = IndexStyleElements(plainXml);
    ASSERT_TRUE(plain.has_value());
    ASSERT_EQ(plain->size(), 1u);
    EXPECT_EQ((*plain)[0].id, "A");

    const std::string otherXml = Sheet("<x:style x:styleId=\"B\"/>", "x:");
    const auto other = IndexStyleElements(otherXml);
    ASSERT_TRUE(other.has_value());
    ASSERT_EQ(other->size(), 1u);
    EXPECT_EQ((*other)[0].id, "B");

    const std::string noneXml = Sheet("");
    const auto none = IndexStyleElements(noneXml);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

TEST(StyleSheetIndex, LeavesAnythingUnusualToTheParser) {
    const std::string style = "<w:style w:styleId=\"A\"/>";
    for (const std::string& xml : {
             Sheet("<!-- <w:style w:styleId=\"Fake\"/> -->" + style),
             Sheet("<w:style w:styleId=\"A\"><![CDATA[x]]></w:style>"),
             "<!DOCTYPE w:styles [<!ENTITY e \"x\">]>" + Sheet(style),
             "<?xml version=\"1.0\" encoding=\"UTF-16\"?><w:styles>" + style + "</w:styles>",
             Sheet("<w:style w:styleId=\"A&amp;B\"/>"),
             Sheet("<w:style w:styleId=\"A\n\"/>"),
             Sheet("<w:style w:styleId=\"A/>"),
             Sheet("<w:style w:styleId=A/>"),
             std::string("<w:document>") + style + "</w:document>",
             std::string("<w:styles>") + style,  // no end tag
             std::string("<w:styles>") + style + std::string(1, '\0') + "</w:styles>",
             std::string(""),
             std::string("<"),
         }) {
        EXPECT_FALSE(IndexStyleElements(xml).has_value()) << xml;
    }
}

// The same answers from a style sheet read lazily from its text and from its parsed tree.
class BothWays : public ::testing::Test {
protected:
    void Load(const std::string& xml) {
        lazyText = xml;
        ASSERT_TRUE(lazy.LoadLazily(lazyText));
        treeText = xml;
        ASSERT_TRUE(tree.load_buffer_inplace(treeText.data(), treeText.size()));
        whole.Load(tree.document_element());
    }

    void ExpectNumbering(const std::string& id, std::int64_t listId, int level) {
        for (const WordStyles* styles : {&lazy, &whole}) {
            const WordStyles::Numbering numbering = styles->ParagraphNumbering(id);
            EXPECT_EQ(numbering.listId, listId) << "style '" << id << "'";
            EXPECT_EQ(numbering.level, level) << "style '" << id << "'";
        }
    }

    void ExpectHidden(const std::string& id, bool hidden) {
        EXPECT_EQ(lazy.Hidden(id), hidden) << "lazily, style '" << id << "'";
        EXPECT_EQ(whole.Hidden(id), hidden) << "whole, style '" << id << "'";
    }

    std::string lazyText;
    std::string treeText;
    pugi::xml_document tree;
    WordStyles lazy;
    WordStyles whole;
};

TEST_F(BothWays, ValuesComeAlongTheBasedOnChainNearestFirst) {
    Load(Sheet(
        "<w:style w:type=\"paragraph\" w:styleId=\"Base\"><w:pPr><w:numPr><w:ilvl w:val=\"2\"/>"
        "<w:numId w:val=\"7\"/></w:numPr></w:pPr><w:rPr><w:vanish/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Mid\"><w:basedOn w:val=\"Base\"/><w:pPr>"
        "<w:numPr><w:numId w:val=\"8\"/></w:numPr></w:pPr><w:rPr><w:vanish w:val=\"0\"/></w:rPr>"
        "</w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Leaf\"><w:basedOn w:val=\"Mid\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:pPr><w:numPr>"
        "<w:numId w:val=\"3\"/></w:numPr></w:pPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Secret\"><w:basedOn "
        "w:val=\"Base\"/></w:style>"));
    ExpectNumbering("Leaf", 8, 2);
    ExpectNumbering("Mid", 8, 2);
    ExpectNumbering("Base", 7, 2);
    ExpectNumbering("", 3, -1);  // the default paragraph style
    ExpectNumbering("Missing", -1, -1);
    ExpectHidden("Secret", true);
    ExpectHidden("Leaf", false);
    ExpectHidden("Missing", false);
    ExpectHidden("", false);
}

TEST_F(BothWays, CyclesEndAndTheFirstOfTwoStylesWithOneIdWins) {
    Load(
        Sheet("<w:style w:styleId=\"A\"><w:basedOn w:val=\"B\"/></w:style>"
              "<w:style w:styleId=\"B\"><w:basedOn w:val=\"A\"/><w:rPr><w:vanish/></w:rPr>"
              "</w:style>"
              "<w:style w:styleId=\"Self\"><w:basedOn w:val=\"Self\"/></w:style>"
              "<w:style w:styleId=\"Twice\"><w:rPr><w:vanish/></w:rPr></w:style>"
              "<w:style w:styleId=\"Twice\"/>"));
    ExpectHidden("A", true);
    ExpectHidden("B", true);
    ExpectHidden("Self", false);
    ExpectHidden("Twice", true);
}

TEST(WordStylesLazily, AStyleThatDoesNotParseHasNoPropertiesAndSparesTheOthers) {
    std::string xml = Sheet(
        "<w:style w:styleId=\"Broken\"><w:rPr><w:vanish/></w:rPr><w:oops></w:style>"
        "<w:style w:styleId=\"Fine\"><w:rPr><w:vanish/></w:rPr></w:style>");
    WordStyles styles;
    ASSERT_TRUE(styles.LoadLazily(xml));
    EXPECT_FALSE(styles.Hidden("Broken"));
    EXPECT_TRUE(styles.Hidden("Fine"));
    EXPECT_TRUE(styles.Hidden("Fine"));  // asked again: parsed once, same answer
}

}  // namespace
}  // namespace corvanel::convert::ooxml

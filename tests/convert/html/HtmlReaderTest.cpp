#include "HtmlTestUtil.h"
#include "TestFacts.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

TEST(HtmlReader, BlocksAreParagraphsAndWhiteSpaceCollapses) {
    EXPECT_EQ(BodyText("<h1>Head\n line</h1><p>  One   <b>two</b>\n<i>three</i> </p>"
                       "<div>a<p>b</p>c</div><blockquote>q</blockquote><p></p>"),
              "Head line\nOne two three\na\nb\nc\nq\n");
}

TEST(HtmlReader, LineBreaks) {
    EXPECT_EQ(BodyText("<p>a<br>b<br></p><p>c<br><br>d</p><p><br></p><p>e<br>\n  f</p>"),
              "a\nb\nc\n\nd\n\ne\nf\n");
}

TEST(HtmlReader, PreformattedTextKeepsItsSpacesAndLines) {
    EXPECT_EQ(BodyText("<pre>\nline  one\n\tindented\n\nlast\n</pre><p>after</p>"),
              "line  one\n\tindented\n\nlast\nafter\n");
}

TEST(HtmlReader, CharacterReferencesAreDecoded) {
    EXPECT_EQ(BodyText("<p>&lt;a&gt; &amp; &eacute;&#233;&#x20AC;&nbsp;x</p>"),
              "<a> & \xC3\xA9\xC3\xA9\xE2\x82\xAC\xC2\xA0x\n");
}

TEST(HtmlReader, WhatBrowsersDoNotShowIsLeftOut) {
    EXPECT_EQ(DocumentText("<html><head><title>T</title><style>p{}</style>"
                           "<script>var x;</script></head><body><p>a<script>b()</script>c</p>"
                           "<noscript>n</noscript><template>t</template>"
                           "<p style=\"display: none\">hidden</p><p hidden>also</p>"
                           "<p>x<span style='mso-hide:all'>y</span><del>gone</del>z</p>"
                           "<!--[if gte mso 9]><xml><w:WordDocument/></xml><![endif]-->"
                           "</body></html>"),
              "ac\nxz\n");
}

TEST(HtmlReader, TablesGiveOneLinePerRow) {
    EXPECT_EQ(BodyText("<p>before</p><table><caption>Cap</caption><thead><tr><th>H1</th>"
                       "<th>H2</th></tr></thead><tbody><tr><td>a</td><td><p>b1</p><p>b2</p>"
                       "</td></tr><tr><td></td><td>c</td></tr></tbody></table><p>after</p>"),
              "before\nCap\nH1\tH2\na\tb1\nb2\n\tc\nafter\n");
}

TEST(HtmlReader, NestedTablesStayInPlace) {
    EXPECT_EQ(BodyText("<table><tr><td>out</td><td><table><tr><td>x</td><td>y</td></tr>"
                       "</table></td></tr></table>"),
              "out\tx\ty\n");
}

TEST(HtmlReader, ListItemsHaveLabels) {
    EXPECT_EQ(BodyText("<ul><li>one</li><li><p>two</p></li></ul>"
                       "<ol><li>first<ol type=a><li>sub</li><li>sub2</li></ol></li>"
                       "<li>second</li></ol>"
                       "<ol start=4 type=I><li>four</li><li value=9>nine</li><li>ten</li>"
                       "<li></li></ol>"),
              "\xE2\x80\xA2\tone\n\xE2\x80\xA2\ttwo\n1.\tfirst\na.\tsub\nb.\tsub2\n2.\tsecond\n"
              "IV.\tfour\nIX.\tnine\nX.\tten\nXI.\t\n");
}

TEST(HtmlReader, WordListParagraphsTakeTheirLabelOnce) {
    EXPECT_EQ(BodyText("<p class=MsoListParagraphCxSpFirst style='mso-list:l0 level1 lfo1'>"
                       "<![if !supportLists]><span style='mso-list:Ignore'>1.<span "
                       "style='font:7.0pt \"Times New Roman\"'>&nbsp;&nbsp;&nbsp; </span></span>"
                       "<![endif]>First<o:p></o:p></p>"
                       "<p class=MsoListParagraph style='mso-list:l1 level1 lfo2'>"
                       "<![if !supportLists]><span style='font-family:Symbol'><span "
                       "style='mso-list:Ignore'>&middot;<span style='font:7.0pt \"Times New "
                       "Roman\"'>&nbsp;&nbsp; </span></span></span><![endif]>Bullet</p>"
                       "<p class=MsoListParagraph style='mso-list:l0 level1 lfo1'>"
                       "<![if !supportLists]><span style='mso-list:Ignore'>2.</span>"
                       "<![endif]></p>"
                       "<p class=MsoNormal>Plain<o:p></o:p></p>"),
              "1.\tFirst\n\xE2\x80\xA2\tBullet\n2.\t\nPlain\n");
}

TEST(HtmlReader, WordEmptyParagraphsAndTabs) {
    EXPECT_EQ(BodyText("<p class=MsoNormal>a<span style='mso-tab-count:1'>&nbsp;&nbsp; </span>b"
                       "</p><p class=MsoNormal><o:p>&nbsp;</o:p></p><p>&nbsp;c</p>"),
              "a\tb\n\n\xC2\xA0"
              "c\n");
}

TEST(HtmlReader, WordSpaceRunsAndSmartTags) {
    EXPECT_EQ(BodyText("<p>a<span style='mso-spacerun:yes'>&nbsp;&nbsp; </span>b "
                       "<st1:place w:st=\"on\"><st1:City>Oslo</st1:City></st1:place> "
                       "<w:Sdt>field</w:Sdt></p>"),
              "a   b Oslo field\n");
}

TEST(HtmlReader, WordFootnotesFollowTheBody) {
    EXPECT_EQ(BodyText("<div class=WordSection1><p>Text<a style='mso-footnote-id:ftn1' "
                       "href=\"#_ftn1\" name=\"_ftnref1\"><span class=MsoFootnoteReference>"
                       "[1]</span></a> more<a href=\"#_edn1\" name=\"_ednref1\">[i]</a>.</p>"
                       "</div><div style='mso-element:footnote-list'><br clear=all><hr "
                       "align=left size=1 width=\"33%\"><div style='mso-element:footnote' "
                       "id=ftn1><p class=MsoFootnoteText><a href=\"#_ftnref1\" "
                       "name=\"_ftn1\">[1]</a> The note.</p></div></div>"
                       "<div style='mso-element:endnote-list'><div id=edn1><p><a "
                       "href=\"#_ednref1\" name=\"_edn1\">[i]</a> End.</p></div></div>"),
              "Text1 morei.\n\n1 The note.\ni End.\n");
}

TEST(HtmlReader, WordCommentsAndHeadersAreLeftOut) {
    EXPECT_EQ(BodyText("<p>a<a class=msocomanchor href=\"#_msocom_1\">[A1]</a><span "
                       "style='mso-special-character:comment'>&nbsp;</span>b</p>"
                       "<div style='mso-element:comment-list'><p>comment</p></div>"
                       "<div style='mso-element:header' id=h1><p>header</p></div>"
                       "<div title=\"header\"><p>LibreOffice's header</p></div>"
                       "<div title=\"footer\"><p>Page 1</p></div>"),
              "ab\n");
}

TEST(HtmlReader, SymbolFontTextBecomesUnicode) {
    EXPECT_EQ(BodyText("<p><span style='font-family:Symbol'>a</span><font face=Symbol>b</font>"
                       "</p>"),
              "\xCE\xB1\xCE\xB2\n");
}

TEST(HtmlReader, DeclaredCharsetIsHonoured) {
    // "Привет" in Windows-1251, declared by http-equiv.
    EXPECT_EQ(DocumentText("<html><head><meta http-equiv=Content-Type content=\"text/html; "
                           "charset=windows-1251\"></head><body><p>\xCF\xF0\xE8\xE2\xE5\xF2"
                           "</p></body></html>"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n");
    EXPECT_EQ(DocumentText("<html><head><meta charset=\"shift_jis\"></head><body>\x82\xa0"
                           "</body></html>"),
              "\xE3\x81\x82\n");
    // Undeclared and not UTF-8: Windows-1252. ISO-8859-1 is read as Windows-1252 too.
    EXPECT_EQ(DocumentText("<html><body>caf\xE9 \x93q\x94</body></html>"),
              "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D\n");
    EXPECT_EQ(DocumentText("<html><head><meta charset=iso-8859-1></head><body>\x80</body>"
                           "</html>"),
              "\xE2\x82\xAC\n");
    // Undeclared UTF-8 and a byte-order mark.
    EXPECT_EQ(DocumentText("<html><body>caf\xC3\xA9</body></html>"), "caf\xC3\xA9\n");
    EXPECT_EQ(DocumentText("\xEF\xBB\xBF<html><body>\xE2\x82\xAC</body></html>"), "\xE2\x82\xAC\n");
}

TEST(HtmlReader, Utf16PagesWithByteOrderMark) {
    // Word's "Unicode" web pages: UTF-16 little-endian with a byte-order mark.
    std::u16string units = u"\uFEFF<html><body><p>Caf\u00E9 \u20AC</p></body></html>";
    std::string le;
    std::string be;
    for (const char16_t u : units) {
        le.push_back(static_cast<char>(u & 0xFF));
        le.push_back(static_cast<char>(u >> 8));
        be.push_back(static_cast<char>(u >> 8));
        be.push_back(static_cast<char>(u & 0xFF));
    }
    EXPECT_EQ(DocumentText(le), "Caf\xC3\xA9 \xE2\x82\xAC\n");
    EXPECT_EQ(DocumentText(be), "Caf\xC3\xA9 \xE2\x82\xAC\n");
}

TEST(HtmlReader, UnknownOrWrongCharsetsStillRead) {
    EXPECT_EQ(DocumentText("<html><head><meta charset=\"no-such-charset\"></head><body>caf\xE9"
                           "</body></html>"),
              "caf\xC3\xA9\n");
    EXPECT_EQ(DocumentText("<html><head><meta charset=\"utf-8\"></head><body>a\xFF"
                           "b</body></html>"),
              "a\xEF\xBF\xBD"
              "b\n");
}

TEST(HtmlReader, DeepNestingFailsAsDamaged) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) {
        deep += "<span>";
    }
    PlainTextWriter writer;
    const ConversionResult result =
        ReadDocumentBytes("deep.htm", "<html><body>" + deep + "x</body></html>", writer);
    EXPECT_TRUE(result.Ok() || result.code == ErrorCode::kDamaged) << result.description;
}

TEST(HtmlReader, EmptyAndTagOnlyPages) {
    EXPECT_EQ(DocumentText("<html></html>"), "");
    EXPECT_EQ(DocumentText("<p>unclosed <b>bold <i>both"), "unclosed bold both\n");
    EXPECT_EQ(DocumentText("<table><tr><td>a<td>b<tr><td>c</table>"), "a\tb\nc\n");
}

TEST(HtmlReader, FormatAndStatedPropertiesOfPagesAndWebArchives) {
    using testing::Properties;
    struct Case {
        const char* name;
        std::string bytes;
        const char* format;
        Properties expected;
    };
    const std::vector<Case> cases = {
        {"page.html",
         "<!DOCTYPE html><html><head><title>  A &amp; B\n  title </title>"
         "<meta name=\"Author\" content=\" Ann \"><meta name=\"dcterms.created\" "
         "content=\"2020-01-02T03:04:05Z\"><meta name=\"modified\" content=\"soon\"></head>"
         "<body><title>not this</title><p>body</p></body></html>",
         "html",
         {{DocumentProperty::kTitle, "A & B title"},
          {DocumentProperty::kAuthor, "Ann"},
          {DocumentProperty::kCreated, "2020-01-02T03:04:05Z"}}},
        {"bare.html", "<p>body</p>", "html", {}},
        {"archive.mht",
         "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=q\n\n--q\n"
         "Content-Type: text/html; charset=\"windows-1251\"\n"
         "Content-Transfer-Encoding: quoted-printable\n\n"
         "<html><head><title>=C8=E2</title></head><body><p>body</p></body></html>\n--q--\n",
         "mht",
         {{DocumentProperty::kTitle, "\xD0\x98\xD0\xB2"}}},
    };
    for (const Case& c : cases) {
        const DocumentFacts facts = testing::FactsOf(c.name, c.bytes);
        EXPECT_EQ(facts.format, c.format) << c.name;
        EXPECT_EQ(facts.properties, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace corvanel::convert

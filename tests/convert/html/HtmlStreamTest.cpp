#include "HtmlTestUtil.h"

#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/html/HtmlDecoding.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace corvanel::convert {
namespace {

// A page of the kinds of blocks Word and other programs write, long enough to be read in many
// pieces: numbered lists running over hundreds of items, a long table, Word's list paragraphs,
// note references all through the body and the notes at its end.
std::string LongPage(int blocks) {
    std::string page =
        "<html><head><meta charset=utf-8><title>Long</title><style>p {margin:0}</style></head>"
        "<body><div class=WordSection1>\n";
    int notes = 0;
    page += "<ol start=3>";
    for (int i = 0; i < blocks; ++i) {
        page += "<li>item " + std::to_string(i) + " <b>bold</b> <i>and</i> plain";
        if (i % 7 == 0) {
            page += "<ul><li>inner " + std::to_string(i) + "</li><li><p>inner para</p></li></ul>";
        }
        page += "</li>\n";
    }
    page += "</ol>\n<table border=1>";
    for (int i = 0; i < blocks; ++i) {
        page += "<tr><td>r" + std::to_string(i) + "</td><td><p>x</p><p>y</p></td>" +
                (i % 5 == 0 ? "<td>short row" : "<td>c</td></tr>\n");
    }
    page += "</table>\n";
    for (int i = 0; i < blocks; ++i) {
        const std::string n = std::to_string(++notes);
        page +=
            "<p class=MsoListParagraph style='mso-list:l0 level1 lfo1'><![if !supportLists]>"
            "<span style='font-family:Symbol'><span style='mso-list:Ignore'>&middot;<span "
            "style='font:7.0pt \"Times New Roman\"'>&nbsp;&nbsp; </span></span></span>"
            "<![endif]>word list " +
            std::to_string(i) + "<o:p></o:p></p>\n<p class=MsoNormal>note at " + n +
            "<a style='mso-footnote-id:ftn" + n + "' href=\"#_ftn" + n + "\" name=\"_ftnref" + n +
            "\"><span class=MsoFootnoteReference>[" + n +
            "]</span></a> then<span style='mso-spacerun:yes'>&nbsp;&nbsp; </span>more<span "
            "style='mso-tab-count:1'> </span>tab</p>\n<pre>\n  kept  " +
            std::to_string(i) + "\n</pre>";
    }
    page += "</div><div style='mso-element:footnote-list'><hr>";
    for (int i = 1; i <= notes; ++i) {
        const std::string n = std::to_string(i);
        page += "<div style='mso-element:footnote' id=ftn" + n + "><p class=MsoFootnoteText>" +
                "<a href=\"#_ftnref" + n + "\" name=\"_ftn" + n + "\">[" + n + "]</a> Note text " +
                n + ".</p></div>\n";
    }
    return page + "</div></body></html>\n";
}

TEST(HtmlStream, ALongPageReadsInPiecesAsWhole) {
    const std::string page = LongPage(600);
    ASSERT_GT(page.size(), 300'000u);
    const PageReading whole = ReadPage(page, "long.htm", SIZE_MAX);
    ASSERT_TRUE(whole.result.Ok()) << whole.result.description;
    // The list numbering runs on over every piece, and the notes come after the body.
    EXPECT_NE(whole.text.find("602.\titem 599 bold and plain\n"), std::string::npos);
    EXPECT_NE(whole.text.find("r599\tx\ny\tc\n"), std::string::npos);
    EXPECT_NE(whole.text.find("note at 600600 then   more\ttab\n  kept  599\n"), std::string::npos);
    EXPECT_GT(whole.text.find("1 Note text 1.\n"), whole.text.find("kept  599"));
    EXPECT_NE(whole.text.find("600 Note text 600.\n"), std::string::npos);
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{300}, std::size_t{4096}}) {
        const PageReading streamed = ReadPage(page, "long.htm", pieceBytes);
        EXPECT_TRUE(streamed.result.Ok()) << streamed.result.description;
        EXPECT_EQ(streamed.text, whole.text) << "pieces of " << pieceBytes;
    }
}

TEST(HtmlStream, TheLibreOfficeSamplePageReadsInPiecesAsWhole) {
    std::ifstream file(std::string(CORVANEL_TEST_DATA_DIR) + "/html/features.html",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    ASSERT_FALSE(bytes.str().empty());
    const PageReading whole = ReadPage(bytes.str(), "features.html", SIZE_MAX);
    ASSERT_TRUE(whole.result.Ok()) << whole.result.description;
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{1000}}) {
        const PageReading streamed = ReadPage(bytes.str(), "features.html", pieceBytes);
        EXPECT_TRUE(streamed.result.Ok()) << streamed.result.description;
        EXPECT_EQ(streamed.text, whole.text) << "pieces of " << pieceBytes;
    }
}

TEST(HtmlStream, TooDeepNestingIsRefusedInPiecesToo) {
    // Past the parser's depth limit, in a page large enough to be read in many pieces.
    std::string page = "<html><body>" + std::string(20'000, ' ') + "<p>first</p>";
    for (int i = 0; i < 400; ++i) {
        page += "<div>";
    }
    page += "deep</body></html>";
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{512}, SIZE_MAX}) {
        const PageReading reading = ReadPage(page, "deep.htm", pieceBytes);
        EXPECT_EQ(reading.result.code, ErrorCode::kDamaged) << pieceBytes;
        EXPECT_NE(reading.result.description.find("nested more deeply than any page needs"),
                  std::string::npos)
            << reading.result.description;
    }
}

TEST(HtmlStream, CaptionsComeFirstWhereverTheyStand) {
    // A caption after the rows, and a later one that makes an earlier table wait for its end.
    EXPECT_EQ(BodyText("<table><tr><td>a</td></tr><caption>late</caption><tr><td>b</td></tr>"
                       "</table><table><tr><td>c</td></tr></table><p>p</p>"
                       "<table><caption>first</caption><tr><td>d</td></tr></table>"),
              "late\na\nb\nc\np\nfirst\nd\n");
    EXPECT_EQ(BodyText("<table><tbody><tr><td>a</td></tr></tbody><CAPTION>cap</CAPTION></table>"),
              "cap\na\n");
}

TEST(HtmlStream, WhiteSpaceBetweenElementsOnceTheirNeighboursAreFreed) {
    // Whether the parser keeps white space between tags depends on the element before it,
    // which the stream has walked by then.
    EXPECT_EQ(BodyText("<div><b>x</b> <i>y</i></div><div><p>p</p> <p>q</p></div>"
                       "<div><b>x</b><!--c--> <!--d--> <i>y</i></div><div><!--e--> <p>z</p></div>"
                       "<div><span>s</span> <!--c--> <span>t</span>u<!--d-->v</div>"),
              "x y\np\nq\nx y\nz\ns tuv\n");
}

TEST(HtmlStream, WhatFollowsTheEndOfThePageIsKept) {
    // The parser puts content after </html> into the page it ended, or beside it after a
    // doctype.
    EXPECT_EQ(DocumentText("<html><body><p>a</p></body></html><p>b</p>c<ul><li>d</ul>"),
              "a\nb\nc\n\xE2\x80\xA2\td\n");
    EXPECT_EQ(DocumentText("<!DOCTYPE html><!--x--><html><body><p>a</p></body></html>"
                           "<!--y--><p>b</p><table><tr><td>c</table>"),
              "a\nb\nc\n");
    // Ended pages stay where the parser needs them: a hidden page takes what follows it, unless
    // something stands before it.
    EXPECT_EQ(DocumentText("<html style='display:none'><p>a</p></html><p>b</p>"), "");
    EXPECT_EQ(DocumentText("<!DOCTYPE html><html style='display:none'><p>a</p></html><p>b</p>"),
              "b\n");
}

TEST(HtmlStream, MalformedPagesReadAsWhole) {
    EXPECT_EQ(BodyText("<p>a<table>text<tr>t2<td>b</td>t3</tr><p>in table</table>c</p>"
                       "</div></span><li>loose</li><td>cell</td><tr><td>row</td></tr>"),
              "a\ntext\nt2\tb\tt3\nin table\nc\n\xE2\x80\xA2\tloose\ncell\nrow\n");
    EXPECT_EQ(DocumentText("<html><body>  <p>a</b></i>b<!-- open"), "ab\n");
}

// The HTML reader itself (not the format detection before it) on a page, streamed or whole.
std::string ReadAsHtml(const std::string& bytes, std::size_t streamBytes) {
    html::SetPageStreamBytesForTesting(streamBytes);
    PlainTextWriter writer;
    SourceFile source = SourceFile::FromBytes("page.htm", bytes);
    ReadHtml(source, writer);
    writer.EndDocument();
    html::SetPageStreamBytesForTesting(0);
    return writer.TakeText();
}

TEST(HtmlStream, ByteOrderMarksAfterTheFirstReadAsWhole) {
    // The parser drops a mark at the start of the text it is given whole; streamed, the reader
    // does. A second mark after that is the parser's to drop either way.
    using namespace std::string_literals;
    for (const std::string& page :
         {"\xEF\xBB\xBF\xEF\xBB\xBF<p>x</p>"s, "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF<p>x</p>"s,
          "\xFE\xFF\xFE\xFF"s, "\xFE\xFF\xFE\xFF\0<\0p\0>\0x"s, "\xEF\xBB\xBF\xEF\xBB\xBF"s}) {
        const std::string whole = ReadAsHtml(page, SIZE_MAX);
        EXPECT_EQ(ReadAsHtml(page, 1), whole) << page;
        EXPECT_EQ(whole.find("\xEF\xBB\xBF"), std::string::npos) << page;
    }
}

TEST(HtmlStream, NotesListedBeforeTheirReferencesAndNotesInNotes) {
    EXPECT_EQ(BodyText("<div style='mso-element:footnote-list'><p>skipped</p><div "
                       "style='mso-element:footnote' id=ftn1><p><a href=\"#_ftnref1\">[1]</a> "
                       "one<div style='mso-element:footnote' id=ftn2>inner</div></p></div>"
                       "text<div id=ftn3><p>three</p></div></div><p>body<a href=\"#_ftn1\">[1]"
                       "</a></p>"),
              "body1\n\n1 one\ninner\n3 three\n");
}

TEST(HtmlStream, PagesInOtherCharsetsDecodeInSlicesAsWhole) {
    // Streamed, a page is decoded in slices ending after each '>' or line feed: double-byte
    // characters next to them, and bytes the charset does not map, decode as they do whole.
    // "\x82\xa0" is Shift_JIS for U+3042; "\x81" alone is not a character.
    EXPECT_EQ(DocumentText("<html><head><meta charset=shift_jis></head><body><p>\x82\xa0</p>\n"
                           "<p>\x82\xa0\x81\n\x82\xa0\x81>\x82\xa0\x82</p></body></html>"),
              "\xE3\x81\x82\n\xE3\x81\x82\xEF\xBF\xBD "
              "\xE3\x81\x82\xEF\xBF\xBD>\xE3\x81\x82\xEF\xBF\xBD\n");
    // Windows-1252 leaves 0x81 and 0x8D unmapped; invalid UTF-8 in a page declared UTF-8.
    EXPECT_EQ(DocumentText("<html><head><meta charset=windows-1252></head><body><p>\x81>\x8D\n"
                           "\x80</p></body></html>"),
              "\xEF\xBF\xBD>\xEF\xBF\xBD \xE2\x82\xAC\n");
    EXPECT_EQ(DocumentText("<html><head><meta charset=utf-8></head><body><p>\xE2\x82\n\xE2\x82"
                           "\xAC>\xC3</p></body></html>"),
              "\xEF\xBF\xBD\xEF\xBF\xBD \xE2\x82\xAC>\xEF\xBF\xBD\n");
}

TEST(HtmlStream, AnAmpersandBeforeANameNoReferenceHasIsText) {
    // Read whole, the parser dropped part of a long name with letters beyond ASCII after "&";
    // read in pieces it kept it. Both now read it as the text it is; references still resolve.
    std::string accents;
    for (int i = 0; i < 130; ++i) {
        accents += "\xC3\x92";
    }
    for (const std::string& name : {":y" + accents, "y" + accents, std::string(40, 'n')}) {
        EXPECT_EQ(BodyText("<p>A&" + name + "</p>"), "A&" + name + "\n") << name;
    }
    EXPECT_EQ(BodyText("<p>&amp; &lt;&#65;&eacute; AT&T</p>"), "& <A\xC3\xA9 AT&T\n");
}

TEST(HtmlDecoding, WordMarkupIsRewrittenInPlace) {
    EXPECT_EQ(html::CleanWordMarkup("<![if !supportLists]>1.<![endif]><o:p>x</o:p>"
                                    "<!--<![if x]><v:shape>--><st1:City a=b:c>O</st1:City>"
                                    "a:b <3:x <![endif"),
              "1.<o-p>x</o-p><!--<![if x]><v:shape>--><st1-City a=b:c>O</st1-City>a:b <3:x ");
    EXPECT_EQ(html::CleanWordMarkup("<![if !x]><w:Sdt>t</w:Sdt><!-- open"),
              "<w-Sdt>t</w-Sdt><!-- open");
    // A page that is UTF-8 keeps its bytes; a byte-order mark goes.
    EXPECT_EQ(html::DecodeHtml(std::string("\xEF\xBB\xBF<p>\xE2\x82\xAC"), ""), "<p>\xE2\x82\xAC");
    EXPECT_EQ(html::DecodeHtml(std::string("<p>\x80"), ""), "<p>\xE2\x82\xAC");
}

}  // namespace
}  // namespace corvanel::convert

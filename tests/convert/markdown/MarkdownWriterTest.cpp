// The Markdown writer driven by events: what it writes for each kind of structure, and that a
// GFM reader gives back the plain text's words from it.
#include "MarkdownEventScript.h"
#include "MarkdownRendering.h"

#include "convert/markdown/MarkdownWriter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

namespace corvanel::convert {
namespace {

using Events = std::function<void(DocumentSink&)>;

void Paragraph(DocumentSink& s, std::string_view text) {
    s.StartParagraph();
    s.Text(text);
    s.EndParagraph();
}

void Item(DocumentSink& s, int level, ListKind kind, std::string_view label,
          std::string_view text) {
    s.StartParagraph();
    s.ListItem(level, kind);
    s.ListLabel(label, "\t");
    s.Text(text);
    s.EndParagraph();
}

void Cell(DocumentSink& s, std::string_view text, int columns = 1, int rows = 1) {
    s.StartCell();
    if (columns > 1 || rows > 1) {
        s.CellSpan(columns, rows);
    }
    Paragraph(s, text);
    s.EndCell();
}

void Covered(DocumentSink& s) {
    s.StartCell();
    s.CoveredCell();
    s.EndCell();
}

struct Case {
    const char* name;
    Events events;
    const char* markdown;
    std::set<std::string> labels;  // words of the text a Markdown list marker stands for
};

const Case kCases[] = {
    {"headings only in the body",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Heading(2);
         s.Text("Title #1");
         s.EndParagraph();
         Paragraph(s, "One");
         Paragraph(s, "");
         s.StartTable();
         s.StartRow();
         s.StartCell();
         s.StartParagraph();
         s.Heading(1);
         s.Text("cell");
         s.EndParagraph();
         s.EndCell();
         s.EndRow();
         s.StartRow();
         Cell(s, "two");
         s.EndRow();
         s.EndTable();
     },
     "## Title \\#1\n\nOne\n\n| cell |\n| --- |\n| two |\n",
     {}},
    {"markup characters escaped",
     [](DocumentSink& s) { Paragraph(s, "*a* _b_ [c] <d> & `e` ~f~ |g| \\h! 3 > 2 - 1"); },
     "\\*a* \\_b_ [c] \\<d> & \\`e\\` \\~f~ |g| \\h! 3 > 2 - 1\n",
     {}},
    {"a backslash only where a reader would take markup",
     [](DocumentSink& s) {
         Paragraph(s, "R&D &amp; pdf_fill __init__ a * b 2*3 x<y <b> [a](b) [^1] \\a \\*");
         Paragraph(s, "______");
         Paragraph(s, "#5 3.5 -x --- + y");
     },
     "R&D \\&amp; pdf_fill \\_\\_init__ a * b 2\\*3 x\\<y \\<b> [a\\](b) \\[^1] \\a \\\\*\n\n"
     "\\______\n\n#5 3.5 -x --- + y\n",
     {}},
    {"addresses as typed where GFM links them to their text",
     [](DocumentSink& s) {
         Paragraph(s, "see http://x.y/a_b, www.a.b/c and a@b.cd");
         Paragraph(s, "http://x.y/*a* www.a.b/_c_");
         s.StartParagraph();
         s.Text("www.split");
         s.Text(".example x http://x.y");
         s.StartLink("http://x.y/", false);
         s.Text("http://x.y/");
         s.EndLink();
         s.StartLink("mailto:a@b.cd", false);
         s.Text("a@b.cd");
         s.EndLink();
         s.EndParagraph();
     },
     "see http://x.y/a_b, www.a.b/c and a@b.cd\n\nhttp\\://x.y/\\*a* www\\.a.b/\\_c_\n\n"
     "www\\.split.example x http\\://x.y<http://x.y/><a@b.cd>\n",
     {}},
    {"an item's label other than a plain number shown once",
     [](DocumentSink& s) {
         Item(s, 0, ListKind::kNumbered, "a.", "Superintendent");
         Item(s, 0, ListKind::kNumbered, "b.", "Assistant");
         Item(s, 1, ListKind::kNumbered, "1.1", "Deep");
         Item(s, 1, ListKind::kNumbered, "ii)", "Roman");
         Item(s, 0, ListKind::kNumbered, "Article 3", "Word");
         Item(s, 0, ListKind::kNumbered, "4)", "Plain");
     },
     "- a. Superintendent\n- b. Assistant\n\n  - 1.1 Deep\n  - ii) Roman\n- Article 3 Word\n\n"
     "4) Plain\n",
     {"4)"}},
    {"linked pictures keep their links",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.StartLink("https://a.example/apply", false);
         s.Picture("Apply", "");
         s.EndLink();
         s.StartLink("https://a.example/d", false);
         s.Picture("", "Details");
         s.EndLink();
         s.StartLink("https://a.example/e", false);
         s.Picture("", "");
         s.EndLink();
         s.Picture("", "unlinked");
         s.EndParagraph();
     },
     "[![Apply](<>)](https://a.example/apply)[![Details](<>)](https://a.example/d)"
     "[![picture](<>)](https://a.example/e)\n",
     {}},
    {"block markers escaped at a line's start",
     [](DocumentSink& s) {
         s.StartParagraph();
         for (const char* line : {"# x", "- y", "12. z", "> q", "+", "==", ":--"}) {
             s.Text(line);
             s.Break(BreakKind::kLine);
         }
         s.EndParagraph();
     },
     "\\# x\\\n\\- y\\\n12\\. z\\\n\\> q\\\n+\\\n==\\\n\\:--\n",
     {}},
    {"addresses and notes' brackets stay text",
     [](DocumentSink& s) { Paragraph(s, "http://a.b/c_d www.e.f g@h.i"); },
     "http://a.b/c_d www.e.f g@h.i\n",
     {}},
    {"spaces a reader would drop",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Text("  lead");
         s.Text(" mid  ");
         s.Break(BreakKind::kLine);
         s.Text("x   ");
         s.Break(BreakKind::kLine);
         s.EndParagraph();
     },
     "&#32; lead mid&#32;&#32;\\\nx\n",
     {}},
    {"emphasis merged across runs, closed before spaces",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Style({true, false, false});
         s.Text("bold");
         s.Style({true, false, false});
         s.Text(" run ");
         s.Style({});
         s.Text("plain ");
         s.Style({false, true, true});
         s.Text("both");
         s.Style({false, true, false});
         s.Text(" it");
         s.EndParagraph();
     },
     "**bold run** plain ~~*both*~~ *it*\n",
     {}},
    {"emphasis waits for a place where it is read",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Style({false, true, false});
         s.Text("foo.");
         s.Style({});
         s.Text("bar");
         s.EndParagraph();
     },
     "*foo.b*ar\n",
     {}},
    {"emphasis after a strikethrough's end waits where cmark-gfm would misread it",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Style({true, true, false});
         s.Text("a");
         s.Style({true, false, false});
         s.Text("_");
         s.Style({true, false, true});
         s.Text("x");
         s.Style({true, true, false});
         s.Text("b");
         s.EndParagraph();
     },
     "***a*\\_~~x~~b**\n",
     {}},
    {"emphasis before a strikethrough's start waits where cmark-gfm would misread it",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Text("_");
         s.Style({true, true, false});
         s.Text("x_");
         s.Style({false, false, true});
         s.Text("a");
         s.EndParagraph();
     },
     "\\_***x_a***\n",
     {}},
    {"lists nested, numbered from their label, other labels kept",
     [](DocumentSink& s) {
         Item(s, 0, ListKind::kBullet, "\xE2\x80\xA2", "a");
         Item(s, 1, ListKind::kNumbered, "3.", "b");
         Item(s, 1, ListKind::kNumbered, "4.", "c");
         Item(s, 0, ListKind::kBullet, "\xE2\x80\xA2", "d");
         Item(s, 0, ListKind::kNumbered, "a)", "e");
         Paragraph(s, "after");
     },
     "- a\n\n  3. b\n  4. c\n- d\n\n* a) e\n\nafter\n",
     {"\xE2\x80\xA2", "3.", "4."}},
    {"merged cells written once, covered slots empty",
     [](DocumentSink& s) {
         s.StartTable();
         s.StartRow();
         Cell(s, "A", 2, 1);
         Covered(s);
         s.EndRow();
         s.StartRow();
         Cell(s, "B", 1, 2);
         Cell(s, "x|y");
         s.EndRow();
         s.StartRow();
         Cell(s, "D");  // the slot under B does not come
         s.EndRow();
         s.EndTable();
     },
     "| A |  |\n| --- | --- |\n| B | x\\|y |\n|  | D |\n",
     {}},
    {"a cell's paragraphs joined",
     [](DocumentSink& s) {
         s.StartTable();
         s.StartRow();
         s.HeaderRow();
         s.StartCell();
         Paragraph(s, "a");
         Paragraph(s, "b");
         s.EndCell();
         s.EndRow();
         s.EndTable();
     },
     "| a<br>b |\n| --- |\n",
     {}},
    {"one row without a header: an HTML table",
     [](DocumentSink& s) {
         s.StartTable();
         s.StartRow();
         Cell(s, "a");
         Cell(s, "");
         s.EndRow();
         s.EndTable();
     },
     "<table>\n<tr>\n<td>\n\na\n\n</td>\n<td></td>\n</tr>\n</table>\n",
     {}},
    {"a list in a cell: an HTML table holding Markdown",
     [](DocumentSink& s) {
         s.StartTable();
         s.StartRow();
         Cell(s, "h", 1, 2);
         s.EndRow();
         s.StartRow();
         s.StartCell();
         Item(s, 0, ListKind::kNumbered, "1.", "x");
         Item(s, 0, ListKind::kNumbered, "2.", "y");
         s.EndCell();
         s.EndRow();
         s.EndTable();
     },
     "<table>\n<tr>\n<td rowspan=\"2\">\n\nh\n\n</td>\n<td></td>\n</tr>\n<tr>\n<td>\n\n1. x\n2. "
     "y\n\n</td>\n</tr>\n</table>\n",
     {"1.", "2."}},
    {"notes defined after the body, footnotes first",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Text("x");
         s.NoteReference("i");
         s.Text(" y");
         s.NoteReference("1");
         s.EndParagraph();
         s.StartNote(NoteKind::kEndnote, "i");
         Paragraph(s, " End");
         s.EndNote();
         s.StartNote(NoteKind::kFootnote, "1");
         Paragraph(s, "Foot");
         Paragraph(s, "more");
         s.EndNote();
     },
     "x[^i] y[^1]\n\n[^1]: Foot\n\n    more\n\n[^i]: End\n",
     {}},
    {"links and pictures",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.StartLink("http://a.b/c d", false);
         s.Style({true, false, false});
         s.Text("bold");
         s.Style({});
         s.Text(" link");
         s.EndLink();
         s.Text(" ");
         s.Picture("a cat", "title");
         s.Picture("", "title");
         s.StartLink("top", true);
         s.Text("up");
         s.EndLink();
         s.EndParagraph();
     },
     "[**bold** link](<http://a.b/c d>) ![a cat](<>)[up](#top)\n",
     {}},
    {"text boxes after their paragraph",
     [](DocumentSink& s) {
         s.StartParagraph();
         s.Text("anchor");
         s.StartFloatingText();
         Paragraph(s, "box");
         s.EndFloatingText();
         s.Text(" more");
         s.EndParagraph();
         Paragraph(s, "next");
     },
     "anchor more\n\nbox\n\nnext\n",
     {}},
    {"headers first, footers and comments last",
     [](DocumentSink& s) {
         s.StartMarginText(MarginText::kHeader, "");
         Paragraph(s, "Head");
         s.EndMarginText();
         s.StartParagraph();
         s.Text("Body");
         s.StartMarginText(MarginText::kComment, " Ann ");
         Paragraph(s, "Re");
         Paragraph(s, "mark");
         s.EndMarginText();
         s.EndParagraph();
         s.StartMarginText(MarginText::kFooter, "");
         Paragraph(s, "Foot");
         s.EndMarginText();
     },
     "Head\n\nBody\n\nFoot\n\nAnn: Re mark\n",
     {}},
};

std::string Markdown(const Case& c, std::size_t drainOver = 0, bool drain = false) {
    MarkdownWriter writer;
    writer.WantMarginTexts({true, true, true});
    std::string drained;
    if (drain) {
        writer.DrainWhenOver(drainOver, [&](std::string_view piece) { drained += piece; });
    }
    c.events(writer);
    writer.EndDocument();
    return drained + writer.Text();
}

class MarkdownWriterTest : public ::testing::TestWithParam<Case> {};

TEST_P(MarkdownWriterTest, WritesTheStructure) {
    EXPECT_EQ(Markdown(GetParam()), GetParam().markdown);
}

TEST_P(MarkdownWriterTest, RendersToTheTextsWords) {
    PlainTextWriter text;
    text.WantMarginTexts({true, true, true});
    GetParam().events(text);
    text.EndDocument();
    std::string why;
    EXPECT_TRUE(testing::SameWords(text.Text(), testing::RenderedText(Markdown(GetParam())),
                                   GetParam().labels, &why))
        << why;
}

TEST_P(MarkdownWriterTest, StreamsTheSameMarkdown) {
    EXPECT_EQ(Markdown(GetParam(), 1, true), GetParam().markdown);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkdownWriterTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             std::string name;
                             for (const char c : std::string(param.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace corvanel::convert

#include "convert/plaintext/PlainTextWriter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

void Paragraph(DocumentSink& sink, std::string_view text) {
    sink.StartParagraph();
    sink.Text(text);
    sink.EndParagraph();
}

TEST(PlainTextWriter, ParagraphsEndWithLineBreaksAndEmptyOnesGiveEmptyLines) {
    PlainTextWriter w;
    Paragraph(w, "One");
    Paragraph(w, "");
    w.StartParagraph();
    w.Text("Tw");
    w.Text("o");  // runs join without a space
    w.Tab();
    w.Text("x");
    w.Break(BreakKind::kLine);
    w.Text("y");
    w.EndParagraph();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "One\n\nTwo\tx\ny\n");
}

TEST(PlainTextWriter, UsesTheGivenLineBreak) {
    PlainTextWriter w("\r\n");
    Paragraph(w, "a");
    w.StartParagraph();
    w.Break(BreakKind::kPage);
    w.EndParagraph();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "a\r\n\r\n\r\n");
}

TEST(PlainTextWriter, DropsSoftHyphens) {
    PlainTextWriter w;
    Paragraph(w, "hy\xC2\xADphen\xC2\xAD");
    w.EndDocument();
    EXPECT_EQ(w.Text(), "hyphen\n");
}

TEST(PlainTextWriter, ListLabelComesBeforeText) {
    PlainTextWriter w;
    w.StartParagraph();
    w.ListLabel("1.", "\t");
    w.Text("First");
    w.EndParagraph();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "1.\tFirst\n");
}

TEST(PlainTextWriter, TableRowIsOneLineWithTabSeparatedCells) {
    PlainTextWriter w;
    Paragraph(w, "before");
    w.StartTable();
    for (int row = 0; row < 2; ++row) {
        w.StartRow();
        for (int cell = 0; cell < 3; ++cell) {
            w.StartCell();
            Paragraph(w, std::to_string(row) + std::to_string(cell));
            w.EndCell();
        }
        w.EndRow();
    }
    w.EndTable();
    Paragraph(w, "after");
    w.EndDocument();
    EXPECT_EQ(w.Text(), "before\n00\t01\t02\n10\t11\t12\nafter\n");
}

TEST(PlainTextWriter, CellParagraphsAreSeparatedByLineBreaksAndEmptyCellsKeepTheirTab) {
    PlainTextWriter w;
    w.StartTable();
    w.StartRow();
    w.StartCell();
    Paragraph(w, "a");
    Paragraph(w, "b");
    w.EndCell();
    w.StartCell();
    w.EndCell();
    w.StartCell();
    Paragraph(w, "c");
    w.EndCell();
    w.EndRow();
    w.EndTable();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "a\nb\t\tc\n");
}

TEST(PlainTextWriter, NestedTableStaysInPlace) {
    PlainTextWriter w;
    w.StartTable();
    w.StartRow();
    w.StartCell();
    Paragraph(w, "outer");
    w.StartTable();
    w.StartRow();
    w.StartCell();
    Paragraph(w, "i1");
    w.EndCell();
    w.StartCell();
    Paragraph(w, "i2");
    w.EndCell();
    w.EndRow();
    w.EndTable();
    w.EndCell();
    w.StartCell();
    Paragraph(w, "right");
    w.EndCell();
    w.EndRow();
    w.EndTable();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "outer\ni1\ti2\tright\n");
}

TEST(PlainTextWriter, FloatingTextFollowsItsAnchorParagraphOnce) {
    PlainTextWriter w;
    w.StartParagraph();
    w.Text("anchor ");
    w.StartFloatingText();
    Paragraph(w, "box 1");
    Paragraph(w, "box 2");
    w.EndFloatingText();
    w.Text("continues");
    w.EndParagraph();
    Paragraph(w, "next");
    w.EndDocument();
    EXPECT_EQ(w.Text(), "anchor continues\nbox 1\nbox 2\nnext\n");
}

TEST(PlainTextWriter, EmptyFloatingTextAddsNothing) {
    PlainTextWriter w;
    w.StartParagraph();
    w.StartFloatingText();
    Paragraph(w, "");
    w.EndFloatingText();
    w.Text("a");
    w.EndParagraph();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "a\n");
}

TEST(PlainTextWriter, FloatingTextInACellStaysInTheCell) {
    PlainTextWriter w;
    w.StartRow();
    w.StartCell();
    w.StartParagraph();
    w.Text("a");
    w.StartFloatingText();
    Paragraph(w, "box");
    w.EndFloatingText();
    w.EndParagraph();
    w.EndCell();
    w.StartCell();
    Paragraph(w, "b");
    w.EndCell();
    w.EndRow();
    w.EndTable();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "a\nbox\tb\n");
}

TEST(PlainTextWriter, NotesFollowTheBodyAfterABlankLineFootnotesFirst) {
    PlainTextWriter w;
    w.StartParagraph();
    w.Text("Body");
    w.NoteReference("1");
    w.StartNote(NoteKind::kEndnote, "i");
    Paragraph(w, "end note");
    w.EndNote();
    w.NoteReference("i");
    w.StartNote(NoteKind::kFootnote, "1");
    Paragraph(w, "foot note");
    Paragraph(w, "second paragraph");
    w.EndNote();
    w.Text(" more");
    w.EndParagraph();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "Body1i more\n\n1 foot note\nsecond paragraph\ni end note\n");
}

TEST(PlainTextWriter, ANotesOwnSpacingAfterItsMarkIsDropped) {
    PlainTextWriter w;
    Paragraph(w, "x");
    w.StartNote(NoteKind::kFootnote, "1");
    w.StartParagraph();
    w.Text(" ");
    w.Tab();
    w.Text("  text  with\tspaces");
    w.EndParagraph();
    w.StartParagraph();
    w.Text(" second keeps its space");
    w.EndParagraph();
    w.EndNote();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "x\n\n1 text  with\tspaces\n second keeps its space\n");
}

TEST(PlainTextWriter, EmptyNoteStillListsItsMark) {
    PlainTextWriter w;
    Paragraph(w, "x");
    w.StartNote(NoteKind::kFootnote, "2");
    w.EndNote();
    w.EndDocument();
    EXPECT_EQ(w.Text(), "x\n\n2\n");
}

TEST(PlainTextWriter, UnbalancedEventsStillEndCleanly) {
    PlainTextWriter w;
    w.Text("loose");  // text outside a paragraph opens one
    w.StartTable();
    w.StartRow();
    w.StartCell();
    w.Text("cell");
    w.EndDocument();
    EXPECT_EQ(w.Text(), "loose\ncell");
}

}  // namespace
}  // namespace corvanel::convert

namespace corvanel::convert {
namespace {

// The same events into a writer that drains as it goes and one that holds everything.
void WriteSample(PlainTextWriter& w) {
    w.StartParagraph();
    w.Text("body");
    w.NoteReference("1");
    w.StartFloatingText();
    w.StartParagraph();
    w.Text("floating");
    w.EndParagraph();
    w.EndFloatingText();
    w.EndParagraph();
    w.StartTable();
    for (int row = 0; row < 50; ++row) {
        w.StartRow();
        for (int cell = 0; cell < 3; ++cell) {
            w.StartCell();
            w.StartParagraph();
            w.Text("cell " + std::to_string(row) + "." + std::to_string(cell));
            w.EndParagraph();
            w.EndCell();
        }
        w.EndRow();
    }
    w.EndTable();
    w.StartNote(NoteKind::kFootnote, "1");
    w.StartParagraph();
    w.Text("the note");
    w.EndParagraph();
    w.EndNote();
    w.StartParagraph();
    w.Text("last");
    w.EndParagraph();
    w.EndDocument();
}

TEST(PlainTextWriterDraining, PiecesAndRestMakeTheSameTextAndNoPieceWaitsLong) {
    PlainTextWriter whole;
    WriteSample(whole);

    for (const std::size_t hold : {std::size_t{0}, std::size_t{7}, std::size_t{100}}) {
        PlainTextWriter draining;
        std::string drained;
        int pieces = 0;
        draining.DrainWhenOver(hold, [&](std::string_view piece) {
            EXPECT_GT(piece.size(), hold);
            drained += piece;
            ++pieces;
        });
        WriteSample(draining);
        EXPECT_GT(pieces, 1) << hold;
        EXPECT_LE(draining.Text().size(), hold + 64) << hold;
        EXPECT_EQ(drained + draining.Text(), whole.Text()) << hold;
    }
}

}  // namespace
}  // namespace corvanel::convert

namespace corvanel::convert {
namespace {

void Margin(DocumentSink& sink, MarginText kind, std::string_view author,
            std::vector<std::string_view> paragraphs) {
    sink.StartMarginText(kind, author);
    for (const std::string_view text : paragraphs) {
        Paragraph(sink, text);
    }
    sink.EndMarginText();
}

// Two sections repeating their header, a comment inside a paragraph, a note.
void WriteWithMargins(PlainTextWriter& w) {
    Margin(w, MarginText::kHeader, "", {"", "Head", "second line", " "});
    Margin(w, MarginText::kHeader, "", {""});
    Margin(w, MarginText::kFooter, "", {"Foot"});
    Margin(w, MarginText::kHeader, "", {"Head", "second line"});
    Margin(w, MarginText::kHeader, "", {"Other head"});
    w.StartParagraph();
    w.Text("Body");
    Margin(w, MarginText::kComment, " Ann\nLee ", {" first ", "", "second\tpart"});
    w.NoteReference("1");
    w.StartNote(NoteKind::kFootnote, "1");
    Paragraph(w, "note");
    w.EndNote();
    w.EndParagraph();
    Margin(w, MarginText::kComment, "", {"no author"});
    Margin(w, MarginText::kComment, "Bo", {" "});
    Margin(w, MarginText::kFooter, "", {"Foot"});
    w.EndDocument();
}

TEST(PlainTextWriter, MarginTextsAsked) {
    const struct {
        MarginTexts want;
        std::string_view text;
    } kCases[] = {
        {{}, "Body1\n\n1 note\n"},
        {{true, true, true},
         "Head\nsecond line\nOther head\n\nBody1\n\n1 note\n\nFoot\n\n"
         "Ann Lee: first second\tpart\nno author\n"},
        {{false, true, false}, "Body1\n\n1 note\n\nFoot\n"},
        {{false, false, true}, "Body1\n\n1 note\n\nAnn Lee: first second\tpart\nno author\n"},
    };
    for (const auto& c : kCases) {
        PlainTextWriter w;
        w.WantMarginTexts(c.want);
        WriteWithMargins(w);
        EXPECT_EQ(w.Text(), c.text);
    }
}

TEST(PlainTextWriterDraining, HeadersLeadEvenWhenTheBodyLeavesEarly) {
    PlainTextWriter whole;
    whole.WantMarginTexts({true, true, true});
    WriteWithMargins(whole);

    PlainTextWriter draining;
    draining.WantMarginTexts({true, true, true});
    std::string drained;
    draining.DrainWhenOver(0, [&](std::string_view piece) { drained += piece; });
    WriteWithMargins(draining);
    EXPECT_EQ(drained + draining.Text(), whole.Text());
}

}  // namespace
}  // namespace corvanel::convert

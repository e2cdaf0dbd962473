#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/HyperlinkField.h"
#include "convert/rtf/RtfStructure.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::rtf {

// Turns RTF's flat structure (paragraph marks, cell and row marks, nesting levels given per
// paragraph) into the nested events of DocumentSink: tables, rows and cells open when content at
// a table level arrives and close when content outside them follows. Notes and floating text
// each get a context of their own, so a table in a footnote does not end the body's table.
class RtfEmitter {
public:
    explicit RtfEmitter(DocumentSink& sink);

    // Content at table nesting level `level` (0: not in a table).
    void Text(std::string_view utf8, int level);
    void Tab(int level);
    void Break(BreakKind kind, int level);
    void EndParagraph(int level);  // \par: ends the paragraph, empty or not
    void EndSection();             // \sect: ends an open paragraph
    void EndCell(int level);
    void EndRow(int level);

    // The label of the next paragraph to start (from \listtext).
    void SetListLabel(std::string label, std::string suffix);
    bool HasListLabel() const { return contexts_.back().hasLabel; }
    bool ParagraphOpen() const { return contexts_.back().paragraphOpen; }
    // The structure of the next paragraph to start: its heading level (0 none) and list level
    // (-1 none).
    void SetParagraphStructure(int heading, int listLevel, ListKind kind);
    // The style of the text that follows.
    void SetStyle(TextStyle style) { style_ = style; }
    // A hyperlink around the text that follows, until EndLink or the end of the paragraph.
    void StartLink(std::string target, bool internal);
    void EndLink();
    // A picture at the current place; one met between paragraphs goes to the next one.
    void Picture(std::string description, std::string title);
    // The definition of the rows that follow in the outermost table.
    RtfRowDefinition& Row() { return row_; }

    void NoteReference(std::string_view mark, int level);
    void StartNote(NoteKind kind, std::string_view mark);
    void EndNote();
    // Floating text anchored at the current paragraph (opened if none is).
    void StartFloatingText(int level);
    void EndFloatingText();
    // A header, footer or comment: a context of its own, like a note.
    void StartMarginText(MarginText kind, std::string_view author);
    void EndMarginText();

    // Closes whatever is open (truncated documents end here too).
    void Finish();

private:
    struct TableLevel {
        bool rowOpen = false;
        bool cellOpen = false;
        std::size_t cell = 0;  // cells started in the open row
    };
    struct PendingPicture {
        std::string description;
        std::string title;
    };
    enum class ContextKind { kBody, kNote, kFloating, kMargin };
    struct Context {
        ContextKind kind = ContextKind::kBody;
        bool paragraphOpen = false;
        bool trimLeadingSpace = false;  // a note's text starts after its mark
        std::vector<TableLevel> tables;
        bool hasLabel = false;
        std::string label;
        std::string suffix;
        int heading = 0;
        int listLevel = -1;
        ListKind listKind = ListKind::kNumbered;
        TextStyle sentStyle;
        bool linkPending = false;
        bool linkOpen = false;
        HyperlinkTarget link;
        std::vector<PendingPicture> pictures;
    };

    Context& Current() { return contexts_.back(); }
    void SyncLevel(int level);
    void EnsureCell();
    void CloseInnermostTable();
    // Ends the tables the place is between the rows of: a note or margin text met there stands
    // after them.
    void EndTablesBetweenRows();
    void CloseParagraph();
    void OpenParagraph(int level);
    void CloseContext();
    void CellStructure(TableLevel& table);

    DocumentSink& sink_;
    std::vector<Context> contexts_;
    TextStyle style_;
    RtfRowDefinition row_;
};

}  // namespace corvanel::convert::rtf

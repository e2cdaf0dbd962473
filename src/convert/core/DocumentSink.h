#pragma once

#include <string_view>

namespace corvanel::convert {

enum class BreakKind { kLine, kPage, kColumn };

// What a document states about itself, where its format keeps such properties.
enum class DocumentProperty {
    kTitle,
    kAuthor,
    kCreated,   // ISO 8601, as "2024-03-05T14:30:00Z" (or without a zone when none is stated)
    kModified,  // ISO 8601
    kPages,     // decimal count, as stored by the program that wrote the document
    kWords,     // decimal count, as stored by the program that wrote the document
};
enum class NoteKind { kFootnote, kEndnote };
// Text beside the body that Word's own text export leaves out; readers send it only when asked.
enum class MarginText { kHeader, kFooter, kComment };
// Whether a list paragraph's label is a number (of any style: "1.", "a)", "iv.", "1.1") or a
// bullet.
enum class ListKind { kBullet, kNumbered };
// The character formatting that outputs keeping structure show; the effective value, after
// direct formatting, character and paragraph styles and document defaults.
struct TextStyle {
    bool bold = false;
    bool italic = false;
    bool strike = false;

    bool operator==(const TextStyle&) const = default;
};
// A choice of them.
struct MarginTexts {
    bool headers = false;
    bool footers = false;
    bool comments = false;

    bool Has(MarginText kind) const {
        return kind == MarginText::kHeader ? headers
                                           : (kind == MarginText::kFooter ? footers : comments);
    }
    bool operator==(const MarginTexts&) const = default;
};

// The events every reader emits, in reading order. The plain-text writer is the one sink the
// program uses, so the text rules live there; tests may record the events instead.
//
// Readers leave out what never reaches the text (hidden text, deleted revisions, field codes)
// before emitting, and headers, footers and comments unless asked.
//
// The order every reader keeps (ContractCheck watches it in sanitizer and fuzz builds):
// - What opens closes, properly nested: paragraph, table, row, cell, note, floating text, margin
//   text, and a link within its paragraph.
// - Blocks (paragraphs, tables) sit in the body, a cell, a note, floating text or a margin text;
//   rows only in a table, cells only in a row.
// - Inline events (Text, Tab, Break, NoteReference, Picture, Style, links) only in a paragraph;
//   Heading, ListItem and ListLabel before them (ListItem before ListLabel); HeaderRow right
//   after StartRow; CellSpan or CoveredCell right after StartCell.
// - Notes and floating text where a block or inline event may come; a note never in a note.
// - Margin texts only of a kind the sink wants, where a block or inline event may come, never
//   one in another; headers and footers outside notes and floating text, headers before the
//   body's first block.
// - Format at most once, before the body; EndDocument once, with everything closed, and last.
// A reader that fails throws and sends nothing more, leaving open what it had opened.
class DocumentSink {
public:
    virtual ~DocumentSink() = default;

    virtual void StartParagraph() = 0;
    virtual void EndParagraph() = 0;
    // The label a reader would see before a list paragraph ("1.", "a)", "•") and its suffix
    // (normally a tab). Called right after StartParagraph.
    virtual void ListLabel(std::string_view label, std::string_view suffix) = 0;
    // UTF-8 text of a run. Runs join without anything added between them.
    virtual void Text(std::string_view utf8) = 0;
    virtual void Tab() = 0;
    virtual void Break(BreakKind kind) = 0;

    virtual void StartTable() = 0;
    virtual void EndTable() = 0;
    virtual void StartRow() = 0;
    virtual void EndRow() = 0;
    virtual void StartCell() = 0;
    virtual void EndCell() = 0;

    // The reference mark of a note in the running text ("1", "ii", or a custom mark).
    virtual void NoteReference(std::string_view mark) = 0;
    // A note's content; may come anywhere (inline or after the body). Its paragraphs are set
    // aside and written after the body: footnotes first, then endnotes, each in order of start.
    virtual void StartNote(NoteKind kind, std::string_view mark) = 0;
    virtual void EndNote() = 0;

    // Text boxes and shapes: their paragraphs are written as paragraphs of their own right after
    // the paragraph that anchors them.
    virtual void StartFloatingText() = 0;
    virtual void EndFloatingText() = 0;

    // Whether the reader should send headers, footers or comments (reading them costs time).
    virtual bool WantsMarginText(MarginText kind) const {
        (void)kind;
        return false;
    }
    // One header, footer or comment, its paragraphs and tables in between; comments may come
    // anywhere, even inside a paragraph. Headers come before the body's first event: the body
    // may leave before the document ends. `author` is a comment's (may be empty).
    virtual void StartMarginText(MarginText kind, std::string_view author) {
        (void)kind;
        (void)author;
    }
    virtual void EndMarginText() {}

    // No more events follow.
    virtual void EndDocument() = 0;

    // Structure, for outputs that keep it (Markdown). Optional: the plain-text writer ignores all
    // of it, so none of it may change the text. Readers send what their format states.
    //
    // Whether the sink keeps structure: readers may skip work that only structure needs (styles
    // read only for emphasis or headings) when it does not.
    virtual bool WantsStructure() const { return false; }
    // Right after StartParagraph: the paragraph is a heading of `level` 1-6 (its outline level,
    // from the paragraph or its style chain). Writers, not readers, decide that a heading in a
    // table cell, note, text box or margin text stays a plain paragraph.
    virtual void Heading(int level) { (void)level; }
    // Right after StartParagraph and before ListLabel: the paragraph is a list item at `level`
    // (0 = outermost). The label itself still comes through ListLabel.
    virtual void ListItem(int level, ListKind kind) {
        (void)level;
        (void)kind;
    }
    // Right after StartRow: the row is a header row (repeated heading row, `th` cells, ODF
    // header rows).
    virtual void HeaderRow() {}
    // Right after StartCell: the cell spans `columns` grid columns and `rows` rows, itself
    // included; sent only when either is over 1. The slots it covers in this row and the rows
    // below either come as cells that CoveredCell marks or do not come at all.
    virtual void CellSpan(int columns, int rows) {
        (void)columns;
        (void)rows;
    }
    // Right after StartCell: the cell stands in a slot that a merged cell covers (DOCX vMerge
    // continuation, ODF covered-table-cell, RTF clvmrg/clmrg, DOC merged cells).
    virtual void CoveredCell() {}
    // Around a hyperlink's text, within one paragraph: an address or, when `internal`, the name
    // of a bookmark in the document.
    virtual void StartLink(std::string_view target, bool internal) {
        (void)target;
        (void)internal;
    }
    virtual void EndLink() {}
    // The style of the text that follows, until the next call or the end of the paragraph;
    // every paragraph starts plain. Readers may send it before every run: writers merge.
    virtual void Style(TextStyle style) { (void)style; }
    // A picture at this place: its description (alternative text) and title, either may be
    // empty. Never its bytes.
    virtual void Picture(std::string_view description, std::string_view title) {
        (void)description;
        (void)title;
    }

    // What the content was recognised as, a stable lower-case name ("docx", "doc", "rtf", ...);
    // sent once, before the body. Sinks that do not need it ignore it.
    virtual void Format(std::string_view name) { (void)name; }
    // Whether the reader should look for the document's stated properties: they often sit in a
    // part or stream the text does not need, so readers skip them unless asked.
    virtual bool WantsProperties() const { return false; }
    // One stated property (UTF-8, trimmed); empty values are not sent. May come at any time.
    virtual void Property(DocumentProperty property, std::string_view value) {
        (void)property;
        (void)value;
    }
};

}  // namespace corvanel::convert

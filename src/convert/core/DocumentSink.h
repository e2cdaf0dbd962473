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
// Nesting: paragraphs sit in the body, in table cells, in notes and in floating text; tables sit
// wherever a paragraph may. Readers leave out what never reaches the text (hidden text, deleted
// revisions, field codes) before emitting, and headers, footers and comments unless asked.
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

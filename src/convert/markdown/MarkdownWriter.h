#pragma once

#include "convert/core/DocumentFacts.h"
#include "convert/core/DocumentSink.h"
#include "convert/layout/DrainedOutput.h"
#include "convert/markdown/InlineWriter.h"
#include "convert/markdown/ListLayout.h"
#include "convert/markdown/MarkdownTable.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace corvanel::convert {

// Turns document events into GitHub-flavoured Markdown (UTF-8) that gives back the text of the
// plain-text output when rendered, with the structure the events carry:
// - blocks (paragraphs, headings, list items, tables) are separated by one blank line, list
//   items of one list by a line break; empty paragraphs leave nothing;
// - headings only in the body (in cells, notes, text boxes and margin texts they are plain);
// - tables are held until they end (markdown::MarkdownTable decides pipe or HTML table);
// - text boxes follow the paragraph that anchors them, as the plain text places them;
// - note references are "[^label]" and the notes' definitions follow the body, footnotes then
//   endnotes; the label is the note's mark where it can be (markdown::NoteLabel);
// - when asked for: headers first, footers after the body, then one paragraph per comment
//   (its author, ": " and its text).
// The body is written as it is read: only notes, margin texts, text boxes waiting for their
// anchor and the open table are held.
class MarkdownWriter final : public DocumentSink {
public:
    MarkdownWriter();
    ~MarkdownWriter() override;

    // The Markdown so far; complete after EndDocument (less what was drained).
    const std::string& Text() const { return out_; }
    std::string TakeText() { return std::move(out_); }
    // As PlainTextWriter::DrainWhenOver.
    void DrainWhenOver(std::size_t holdBytes, std::function<void(std::string_view)> drain) {
        output_.DrainWhenOver(holdBytes, std::move(drain));
    }

    bool WantsStructure() const override { return true; }
    void StartParagraph() override;
    void EndParagraph() override;
    void ListLabel(std::string_view label, std::string_view suffix) override;
    void Text(std::string_view utf8) override;
    void Tab() override;
    void Break(BreakKind kind) override;
    void StartTable() override;
    void EndTable() override;
    void StartRow() override;
    void EndRow() override;
    void StartCell() override;
    void EndCell() override;
    void NoteReference(std::string_view mark) override;
    void StartNote(NoteKind kind, std::string_view mark) override;
    void EndNote() override;
    void StartFloatingText() override;
    void EndFloatingText() override;
    void EndDocument() override;

    void WantMarginTexts(MarginTexts want) { wantMargins_ = want; }
    bool WantsMarginText(MarginText kind) const override { return wantMargins_.Has(kind); }
    void StartMarginText(MarginText kind, std::string_view author) override;
    void EndMarginText() override;

    void Heading(int level) override;
    void ListItem(int level, ListKind kind) override;
    void HeaderRow() override;
    void CellSpan(int columns, int rows) override;
    void CoveredCell() override;
    void StartLink(std::string_view target, bool internal) override;
    void EndLink() override;
    void Style(TextStyle style) override;
    void Picture(std::string_view description, std::string_view title) override;

    void WantProperties(bool want) { wantProperties_ = want; }
    DocumentFacts& Facts() { return facts_; }
    void Format(std::string_view name) override { facts_.format = name; }
    bool WantsProperties() const override { return wantProperties_; }
    void Property(DocumentProperty property, std::string_view value) override;

private:
    struct Container;
    struct Note {
        NoteKind kind;
        std::string label;
        std::string mark;
        std::string text;
    };

    Container& Current() { return *stack_.back(); }
    Container& Push(int kind, bool collects);
    void Pop();
    void EnsureParagraph();
    void OpenBlock(Container& c);
    void AddBlock(Container& c, std::string markdown);
    void FlushFloating(Container& c);
    void EndTables(Container& c);
    void AfterContent();
    std::string HeaderBlock();
    void AppendSection(const std::string& markdown);
    void WriteNotes();

    DrainedOutput output_;
    std::string& out_ = output_.Text();  // the body's Markdown waiting to leave
    std::vector<std::unique_ptr<Container>> stack_;
    std::vector<Note> notes_;
    std::unordered_map<std::string, int> references_;  // per mark: references met
    std::unordered_map<std::string, int> noteMarks_;   // per mark: notes met
    std::unordered_set<std::string> referenced_;       // labels written in the text
    std::vector<std::string> referenceOrder_;
    MarginTexts wantMargins_;
    std::vector<std::string> headers_;
    std::vector<std::string> footers_;
    std::vector<std::string> comments_;
    std::unordered_set<std::string> heldMargins_;
    std::size_t heldBytes_ = 0;  // notes and margin texts
    bool headersOut_ = false;
    std::size_t headersWritten_ = 0;
    bool ended_ = false;
    bool wantProperties_ = false;
    DocumentFacts facts_;
};

}  // namespace corvanel::convert

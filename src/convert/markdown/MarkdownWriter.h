#pragma once

#include "convert/layout/BlockLayout.h"
#include "convert/markdown/InlineWriter.h"
#include "convert/markdown/ListLayout.h"
#include "convert/markdown/MarkdownTable.h"

#include <cstddef>
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
// anchor and the open table are held. Where blocks go is layout::BlockLayout's; this renders them.
class MarkdownWriter final : public layout::BlockLayout {
public:
    MarkdownWriter();
    ~MarkdownWriter() override;

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
    void StartFloatingText() override;
    void StartMarginText(MarginText kind, std::string_view author) override;

    void Heading(int level) override;
    void ListItem(int level, ListKind kind) override;
    void HeaderRow() override;
    void CellSpan(int columns, int rows) override;
    void CoveredCell() override;
    void StartLink(std::string_view target, bool internal) override;
    void EndLink() override;
    void Style(TextStyle style) override;
    void Picture(std::string_view description, std::string_view title) override;
    using BlockLayout::Text;

private:
    struct Container;

    Container& Current();
    Container& Open(layout::Place place, bool collects);
    void EnsureParagraph();
    void OpenBlock(Container& c);
    void AddBlock(Container& c, std::string markdown);
    void EndTables(Container& c);
    void Wrote();
    void Section(const std::string& markdown);
    void WriteNotes();

    void Close(layout::Container& c) override;
    void FlushFloating(layout::Container& c) override;
    void Float(layout::Container& box, layout::Container& anchor) override;
    layout::HeldNote NoteOf(layout::Container& note) override;
    std::string MarginTextOf(layout::Container& margin) override;
    std::string HeaderBlock(std::span<const std::string> headers, bool bodyFollows) override;
    void AppendSection(std::span<const std::string> texts) override;
    void AtEnd() override;

    std::unordered_map<std::string, int> references_;  // per mark: references met
    std::unordered_map<std::string, int> noteMarks_;   // per mark: notes met
    std::unordered_set<std::string> referenced_;       // labels written in the text
    std::vector<std::string> referenceOrder_;
};

}  // namespace corvanel::convert

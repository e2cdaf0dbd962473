#pragma once

#include "convert/layout/BlockLayout.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert {

// Turns document events into plain text (UTF-8):
// - a paragraph is its text and a line break; empty paragraphs give empty lines;
// - a table row is one line, cells separated by a tab, a cell's paragraphs by line breaks;
// - floating text follows the paragraph that anchors it, one paragraph per line;
// - notes follow the body after one blank line, each as its mark, a space and its text;
// - when asked for: headers come first, then one blank line; footers follow the notes after one
//   blank line (each distinct header or footer text once, in the order they came, without the
//   blank lines at its start and end); then, after one blank line, comments, one a line, as their
//   author, ": " and their text (paragraphs joined by a space; just the text when the author is not
//   known).
// Where blocks go is layout::BlockLayout's; this renders them.
class PlainTextWriter final : public layout::BlockLayout {
public:
    explicit PlainTextWriter(std::string newline = "\n");

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
    using BlockLayout::Text;

private:
    // Where block items (paragraphs, table rows) go: terminated containers end every item with a
    // line break (body, notes, floating text); a cell separates its items with line breaks.
    struct Container final : layout::Container {
        using layout::Container::Container;
        int items = 0;
        int tableDepth = 0;          // tables open directly in this container
        std::vector<int> cellIndex;  // per open table: cells started in the current row
        std::string notePrefix;      // a note's mark and a space, before its first text
        bool trimNoteStart = false;  // right after the mark: its own spacing is dropped
    };

    Container& Current() { return static_cast<Container&>(Top()); }
    Container& Open(layout::Place place);
    void BeginItem();
    void EndItem();
    void EnsureParagraph();
    void Append(std::string_view s);

    void Close(layout::Container& c) override;
    void FlushFloating(layout::Container& c) override;
    void Float(layout::Container& box, layout::Container& anchor) override;
    layout::HeldNote NoteOf(layout::Container& note) override;
    std::string MarginTextOf(layout::Container& margin) override;
    std::string HeaderBlock(std::span<const std::string> headers, bool bodyFollows) override;
    void AppendSection(std::span<const std::string> texts) override;
    void AfterBody() override;

    std::string newline_;
};

}  // namespace corvanel::convert

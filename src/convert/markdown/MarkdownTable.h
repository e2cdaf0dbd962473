#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/markdown/MarkdownEscapes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace corvanel::convert::markdown {

// A block whose place is known only later: a table cell's content, a comment's.
struct HeldBlock {
    enum class Kind { kParagraph, kListItem, kTable };
    Kind kind = Kind::kParagraph;
    std::string text;  // a paragraph's or list item's inline Markdown (one line); a table's
    int level = 0;
    ListKind listKind = ListKind::kBullet;
    int number = -1;
    char delimiter = '.';
    bool labelled = false;  // its label starts its text
    HeldTail tail;
};
using HeldBlocks = std::vector<HeldBlock>;

// One table, held until it ends, then written as a GFM pipe table (the first row as its header)
// or, where a pipe table cannot hold it, as an HTML table whose cells hold Markdown:
// - a cell holding a list or a table (a pipe table's cell is one line of text);
// - a table of one row that is not a header row (a pipe table always has a header).
// A merged cell's text is written once: the slots it covers stay empty (pipe) or are left out
// (HTML, whose cells span them).
class MarkdownTable {
public:
    void StartRow();
    void MarkHeaderRow();
    void StartCell();
    void Span(int columns, int rows);
    void MarkCovered();
    void EndCell(HeldBlocks blocks);
    void EndRow();

    bool RowOpen() const { return rowOpen_; }
    bool CellOpen() const { return cellOpen_; }
    std::size_t Bytes() const { return bytes_; }

    // The table's Markdown, without a line break at its end; empty when it has no cell.
    std::string Render() const;

private:
    struct Cell {
        HeldBlocks blocks;
        int columns = 1;
        int rows = 1;
        bool covered = false;
    };
    struct Slot {
        int cell = -1;         // the cell that starts here
        bool spanned = false;  // covered by a cell that spans it
    };
    struct Row {
        bool header = false;
        std::vector<Slot> slots;
        std::size_t next = 0;  // where the next cell goes
    };

    Slot& SlotAt(Row& row, std::size_t column);
    bool Simple(const Cell& cell) const;
    // One line: paragraphs joined by "<br>"; in a pipe table's row (where no block starts).
    std::string CellText(const Cell& cell, bool inPipeRow) const;
    std::string CellMarkdown(const Cell& cell) const;
    std::string RenderPipes(std::size_t width) const;
    std::string RenderHtml(std::size_t width) const;

    std::vector<Cell> cells_;
    std::vector<Row> rows_;
    std::vector<int> carry_;  // per column: rows below still covered by a cell above
    Cell pending_;
    bool rowOpen_ = false;
    bool cellOpen_ = false;
    std::size_t bytes_ = 0;
    std::size_t slots_ = 0;
};

}  // namespace corvanel::convert::markdown

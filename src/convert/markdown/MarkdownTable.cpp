#include "convert/markdown/MarkdownTable.h"

#include "convert/core/ConvertError.h"
#include "convert/markdown/ListLayout.h"

#include <algorithm>

namespace corvanel::convert::markdown {

namespace {

// Spans beyond these are damage, not layout.
constexpr int kMaxColumnSpan = 1000;
constexpr int kMaxRowSpan = 100000;
constexpr std::size_t kMaxSlots = 50u << 20;

}  // namespace

void MarkdownTable::StartRow() {
    if (rowOpen_) {
        EndRow();
    }
    rowOpen_ = true;
    Row row;
    row.slots.resize(carry_.size());
    for (std::size_t c = 0; c < carry_.size(); ++c) {
        if (carry_[c] > 0) {
            row.slots[c].spanned = true;
            --carry_[c];
        }
    }
    slots_ += row.slots.size();
    rows_.push_back(std::move(row));
}

void MarkdownTable::MarkHeaderRow() {
    if (rowOpen_) {
        rows_.back().header = true;
    }
}

void MarkdownTable::StartCell() {
    if (!rowOpen_) {
        StartRow();
    }
    pending_ = Cell{};
    cellOpen_ = true;
}

void MarkdownTable::Span(int columns, int rows) {
    pending_.columns = std::clamp(columns, 1, kMaxColumnSpan);
    pending_.rows = std::clamp(rows, 1, kMaxRowSpan);
}

void MarkdownTable::MarkCovered() {
    pending_.covered = true;
}

MarkdownTable::Slot& MarkdownTable::SlotAt(Row& row, std::size_t column) {
    if (column >= row.slots.size()) {
        slots_ += column + 1 - row.slots.size();
        if (slots_ > kMaxSlots) {
            ThrowTooLarge("a table has more cells than can be written");
        }
        row.slots.resize(column + 1);
    }
    return row.slots[column];
}

void MarkdownTable::EndCell(HeldBlocks blocks) {
    if (!cellOpen_) {
        return;
    }
    cellOpen_ = false;
    Row& row = rows_.back();
    if (pending_.covered && blocks.empty()) {
        // The slot a span covers, or an empty one where no span was stated.
        SlotAt(row, row.next);
        ++row.next;
        return;
    }
    // A covered cell that holds text keeps it, in its own slot.
    if (pending_.covered) {
        pending_.columns = 1;
        pending_.rows = 1;
    }
    while (!pending_.covered && row.next < row.slots.size() && row.slots[row.next].spanned) {
        ++row.next;
    }
    const auto column = row.next;
    SlotAt(row, column).cell = static_cast<int>(cells_.size());
    for (int k = 1; k < pending_.columns; ++k) {
        SlotAt(row, column + static_cast<std::size_t>(k)).spanned = true;
    }
    if (pending_.rows > 1) {
        const std::size_t end = column + static_cast<std::size_t>(pending_.columns);
        if (carry_.size() < end) {
            carry_.resize(end, 0);
        }
        for (std::size_t c = column; c < end; ++c) {
            carry_[c] = std::max(carry_[c], pending_.rows - 1);
        }
    }
    ++row.next;
    for (const HeldBlock& block : blocks) {
        bytes_ += block.text.size();
    }
    pending_.blocks = std::move(blocks);
    cells_.push_back(std::move(pending_));
    pending_ = Cell{};
}

void MarkdownTable::EndRow() {
    if (cellOpen_) {
        EndCell({});
    }
    rowOpen_ = false;
}

bool MarkdownTable::Simple(const Cell& cell) const {
    return std::all_of(cell.blocks.begin(), cell.blocks.end(),
                       [](const HeldBlock& b) { return b.kind == HeldBlock::Kind::kParagraph; });
}

std::string MarkdownTable::CellText(const Cell& cell, bool inPipeRow) const {
    std::string text;
    for (std::size_t b = 0; b < cell.blocks.size(); ++b) {
        const HeldBlock& block = cell.blocks[b];
        if (!text.empty()) {
            text += "<br>";
        }
        const std::size_t start = text.size();
        const bool followed = b + 1 < cell.blocks.size() && block.tail.bytes > 0;
        text.append(block.text, 0, block.text.size() - (followed ? block.tail.bytes : 0));
        if (followed) {
            text += RunText(block.tail.run);
        }
        // A pipe cell's paragraphs are no blocks: a backslash only a block's start needs goes.
        const std::size_t escape =
            inPipeRow ? BlockStartEscape(std::string_view(text).substr(start)) : std::string::npos;
        if (escape != std::string::npos) {
            text.erase(start + escape, 1);
        }
    }
    return text;
}

std::string MarkdownTable::CellMarkdown(const Cell& cell) const {
    if (Simple(cell)) {
        return CellText(cell, false);
    }
    std::string out;
    ListLayout lists;
    for (const HeldBlock& block : cell.blocks) {
        if (block.kind == HeldBlock::Kind::kListItem) {
            const auto placed = lists.Place(block.level, block.listKind, block.number,
                                            block.delimiter, block.labelled);
            if (!out.empty()) {
                out += placed.continues ? "\n" : "\n\n";
            }
            out += placed.marker;
        } else {
            lists.Reset();
            if (!out.empty()) {
                out += "\n\n";
            }
        }
        out += block.text;
    }
    return out;
}

std::string MarkdownTable::Render() const {
    std::size_t width = 0;
    for (const Row& row : rows_) {
        width = std::max(width, row.slots.size());
    }
    if (width == 0) {
        return {};
    }
    const bool pipes =
        (rows_.size() > 1 || rows_[0].header) &&
        std::all_of(cells_.begin(), cells_.end(), [&](const Cell& c) { return Simple(c); });
    return pipes ? RenderPipes(width) : RenderHtml(width);
}

std::string MarkdownTable::RenderPipes(std::size_t width) const {
    std::string out;
    out.reserve(bytes_ + rows_.size() * width * 4 + width * 6);
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (r > 0) {
            out += '\n';
        }
        const Row& row = rows_[r];
        out += '|';
        for (std::size_t c = 0; c < width; ++c) {
            out += ' ';
            if (c < row.slots.size() && row.slots[c].cell >= 0) {
                out += CellText(cells_[static_cast<std::size_t>(row.slots[c].cell)], true);
            }
            out += " |";
        }
        if (r == 0) {
            out += "\n|";
            for (std::size_t c = 0; c < width; ++c) {
                out += " --- |";
            }
        }
    }
    return out;
}

std::string MarkdownTable::RenderHtml(std::size_t width) const {
    // Each cell's Markdown sits between blank lines, where a reader takes it as Markdown again.
    std::string out = "<table>\n";
    for (const Row& row : rows_) {
        out += "<tr>\n";
        const char* tag = row.header ? "th" : "td";
        for (std::size_t c = 0; c < width; ++c) {
            const Slot slot = c < row.slots.size() ? row.slots[c] : Slot{};
            if (slot.spanned && slot.cell < 0) {
                continue;
            }
            out += '<';
            out += tag;
            if (slot.cell >= 0) {
                const Cell& cell = cells_[static_cast<std::size_t>(slot.cell)];
                if (cell.columns > 1) {
                    out += " colspan=\"" + std::to_string(cell.columns) + '"';
                }
                if (cell.rows > 1) {
                    out += " rowspan=\"" + std::to_string(cell.rows) + '"';
                }
                const std::string content = CellMarkdown(cell);
                if (!content.empty()) {
                    out += ">\n\n" + content + "\n\n</";
                    out += tag;
                    out += ">\n";
                    continue;
                }
            }
            out += "></";
            out += tag;
            out += ">\n";
        }
        out += "</tr>\n";
    }
    out += "</table>";
    return out;
}

}  // namespace corvanel::convert::markdown

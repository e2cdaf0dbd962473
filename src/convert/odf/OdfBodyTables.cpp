// Tables: one row per line; covered cells of a span across columns vanish, those under a span
// across rows stay as empty cells; repeats are bounded.

#include "convert/core/ConvertError.h"
#include "convert/core/DocumentSink.h"
#include "convert/core/XmlDocument.h"
#include "convert/odf/OdfBodyReader.h"
#include "convert/odf/OdfNodes.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace corvanel::convert::odf {

namespace {

// A repeated row or cell (table:number-*-repeated) is written at most this many times; the
// rest of a spreadsheet-style "repeat to the end of the sheet" carries nothing.
constexpr int kMaxRepeat = 1024;
constexpr int kMaxColumns = 16384;
constexpr std::uint64_t kMaxEmittedCells = 4'000'000;

}  // namespace

void BodyReader::Table(pugi::xml_node table) {
    bool given = false;
    TableFromPieces([&]() -> pugi::xml_node {
        if (given) {
            return {};
        }
        given = true;
        return table;
    });
}

void BodyReader::TableFromPieces(const NextPiece& nextPiece) {
    DepthGuard guard(depth_);
    TableGrid grid;  // spans down carry from one piece to the next
    WithOwnLists([&] {
        sink_.StartTable();
        for (pugi::xml_node piece = nextPiece(); piece; piece = nextPiece()) {
            TableRows(piece, grid, false);
        }
        sink_.EndTable();
    });
}

void BodyReader::TableRows(pugi::xml_node parent, TableGrid& grid, bool header) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        const std::string_view name(node.name());
        if (name == "table:table-row") {
            Row(node, grid, header);
        } else if (name == "table:table-header-rows") {
            TableRows(node, grid, true);
        } else if (name == "table:table-rows" || name == "table:table-row-group") {
            TableRows(node, grid, header);
        }
    }
}

void BodyReader::Row(pugi::xml_node row, TableGrid& grid, bool header) {
    const int repeat = Count(row, "table:number-rows-repeated", kMaxRepeat);
    for (int r = 0; r < repeat; ++r) {
        if (r == 1) {
            ++repeating_;
        }
        sink_.StartRow();
        if (header) {
            sink_.HeaderRow();
        }
        int column = 0;
        std::vector<std::pair<int, int>> spansDown;
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
            const std::string_view name(cell.name());
            const bool covered = name == "table:covered-table-cell";
            if (!covered && name != "table:table-cell") {
                continue;
            }
            const int cells = Count(cell, "table:number-columns-repeated", kMaxRepeat);
            const int width =
                covered ? 1 : Count(cell, "table:number-columns-spanned", kMaxColumns);
            const int height = Count(cell, "table:number-rows-spanned", kMaxRepeat);
            for (int k = 0; k < cells; ++k) {
                if (covered) {
                    // Under a cell spanning rows the column still has a cell of its own (empty);
                    // beside a cell spanning columns it has none.
                    const auto span = grid.lastCoveredRow.find(column);
                    if (span != grid.lastCoveredRow.end() && span->second >= grid.row) {
                        sink_.StartCell();
                        sink_.CoveredCell();
                        sink_.EndCell();
                    }
                } else {
                    if (k == 1) {
                        ++repeating_;
                    }
                    Cell(cell, width, height);
                    if (height > 1) {
                        spansDown.emplace_back(column, grid.row + height - 1);
                    }
                }
                column = std::min(column + (covered ? 1 : width), kMaxColumns);
                if (++emittedCells_ > kMaxEmittedCells) {
                    ThrowTooLarge("its tables have more cells than the converter allows");
                }
            }
            if (!covered && cells > 1) {
                --repeating_;
            }
        }
        sink_.EndRow();
        for (const auto& [at, lastRow] : spansDown) {
            grid.lastCoveredRow[at] = lastRow;
        }
        if (grid.row < std::numeric_limits<int>::max() - kMaxRepeat) {
            ++grid.row;
        }
    }
    if (repeat > 1) {
        --repeating_;
    }
}

void BodyReader::Cell(pugi::xml_node cell, int width, int height) {
    sink_.StartCell();
    if (width > 1 || height > 1) {
        sink_.CellSpan(width, height);
    }
    Blocks(cell);
    sink_.EndCell();
}

}  // namespace corvanel::convert::odf

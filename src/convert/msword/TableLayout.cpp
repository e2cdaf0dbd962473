#include "convert/msword/TableLayout.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

// The grid column at edge `x`.
int ColumnAt(const std::vector<std::int16_t>& grid, std::int16_t x) {
    return static_cast<int>(std::lower_bound(grid.begin(), grid.end(), x) - grid.begin());
}

// The grid columns each cell of a row starts at; empty when its edges are not in order.
std::vector<int> CellStarts(const TableRowDefinition& row, const std::vector<std::int16_t>& grid) {
    std::vector<int> starts;
    if (row.edges.size() != row.cells.size() + 1 ||
        !std::is_sorted(row.edges.begin(), row.edges.end())) {
        return starts;
    }
    for (std::size_t i = 0; i + 1 < row.edges.size(); ++i) {
        starts.push_back(ColumnAt(grid, row.edges[i]));
    }
    return starts;
}

}  // namespace

std::vector<RowLayout> LayOutTable(const std::vector<const TableRowDefinition*>& rows) {
    std::vector<std::int16_t> grid;
    for (const TableRowDefinition* row : rows) {
        if (row != nullptr) {
            grid.insert(grid.end(), row->edges.begin(), row->edges.end());
        }
    }
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());

    std::vector<RowLayout> layout(rows.size());
    std::vector<std::vector<int>> starts(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r] != nullptr) {
            starts[r] = CellStarts(*rows[r], grid);
        }
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r] == nullptr) {
            continue;
        }
        const TableRowDefinition& row = *rows[r];
        RowLayout& out = layout[r];
        out.header = row.header;
        out.cells.resize(row.cells.size());
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const TableRowDefinition::Cell& cell = row.cells[c];
            CellLayout& place = out.cells[c];
            if (cell.merged || (cell.verticalMerged && !cell.verticalRestart)) {
                place.covered = true;
                continue;
            }
            if (starts[r].empty()) {
                continue;
            }
            // The edges it spans, with the cells merged into it.
            std::size_t last = c;
            while (cell.firstMerged && last + 1 < row.cells.size() && row.cells[last + 1].merged) {
                ++last;
            }
            place.columns = std::max(1, ColumnAt(grid, row.edges[last + 1]) - starts[r][c]);
            if (!cell.verticalRestart) {
                continue;
            }
            for (std::size_t below = r + 1; below < rows.size(); ++below) {
                const TableRowDefinition* next = rows[below];
                if (next == nullptr || starts[below].empty()) {
                    break;
                }
                const auto at = std::find(starts[below].begin(), starts[below].end(), starts[r][c]);
                if (at == starts[below].end()) {
                    break;
                }
                const TableRowDefinition::Cell& continued =
                    next->cells[static_cast<std::size_t>(at - starts[below].begin())];
                if (!continued.verticalMerged || continued.verticalRestart) {
                    break;
                }
                ++place.rows;
            }
        }
    }
    return layout;
}

}  // namespace corvanel::convert::msword

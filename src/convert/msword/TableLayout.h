#pragma once

#include "convert/msword/Properties.h"

#include <vector>

namespace corvanel::convert::msword {

// A cell's place in its table's grid: the grid columns and rows it spans, or that it stands
// in a slot a merged cell covers.
struct CellLayout {
    int columns = 1;
    int rows = 1;
    bool covered = false;
};

struct RowLayout {
    bool header = false;
    std::vector<CellLayout> cells;
};

// The cells of a table from the definitions of its rows, in order (null for a row without
// one). The grid is every cell edge of every row: a cell wider than a column of it spans
// several; cells merged horizontally or vertically make one cell and covered slots.
std::vector<RowLayout> LayOutTable(const std::vector<const TableRowDefinition*>& rows);

}  // namespace corvanel::convert::msword

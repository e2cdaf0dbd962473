#pragma once

#include "convert/odf/OdfStyles.h"

#include <array>
#include <optional>
#include <string>

namespace corvanel::convert::odf {

// The running numbers of one list: a top-level text:list with the lists nested in it and the
// lists that continue it.
struct ListCounters {
    std::array<int, kListLevels> value{};
    std::array<bool, kListLevels> started{};
};

struct ListLabelText {
    std::string label;
    std::string suffix;
};

// Counts a labelled paragraph at `level` (1-based) and returns the label a reader sees, or
// nothing when that level shows no label. `startValue` restarts the level (text:start-value
// of a list item or heading). Deeper levels restart after it.
std::optional<ListLabelText> NextListLabel(ListCounters& counters, const ListStyle* style,
                                           int level, std::optional<int> startValue);

}  // namespace corvanel::convert::odf

#pragma once

// List labels for the librevenge readers: the libraries describe each list level when they
// open it and leave the counting to the program that shows the list.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::revenge {

struct ListLevelDefinition {
    int listId = 0;
    int level = 1;  // 1 is the outermost
    bool ordered = true;
    std::string format;  // OpenDocument number format ("1", "a", "I", ...); empty: no number
    std::string prefix;
    std::string suffix;
    std::string bullet;  // unordered levels
    std::int64_t start = 1;
    int displayLevels = 1;  // how many levels' numbers the label shows ("1.2.3" is 3)
};

class ListLabels {
public:
    void OpenLevel(ListLevelDefinition definition);
    void CloseLevel();
    bool AnyOpen() const { return !open_.empty(); }
    // The innermost open level, or null.
    const ListLevelDefinition* Innermost() const { return open_.empty() ? nullptr : &open_.back(); }
    // The label of the next item of the innermost open level ("" when none is open); `start`
    // restarts the count at that number.
    std::string NextLabel(std::optional<std::int64_t> start);

private:
    using Key = std::pair<int, int>;  // list id, level

    std::vector<ListLevelDefinition> open_;
    std::map<Key, ListLevelDefinition> known_;  // the last definition of each level seen
    std::map<Key, std::int64_t> counters_;      // the number each level last showed
};

}  // namespace corvanel::convert::revenge

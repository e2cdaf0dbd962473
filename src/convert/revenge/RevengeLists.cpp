#include "convert/revenge/RevengeLists.h"

#include "convert/odf/OdfNumberFormat.h"

#include <algorithm>
#include <limits>

namespace corvanel::convert::revenge {

namespace {

constexpr std::size_t kMaxOpenLevels = 64;

}  // namespace

void ListLabels::OpenLevel(ListLevelDefinition definition) {
    if (open_.size() >= kMaxOpenLevels) {
        open_.push_back(open_.back());  // kept only so that its close matches
        return;
    }
    known_[{definition.listId, definition.level}] = definition;
    open_.push_back(std::move(definition));
}

void ListLabels::CloseLevel() {
    if (!open_.empty()) {
        open_.pop_back();
    }
}

std::string ListLabels::NextLabel(std::optional<std::int64_t> start) {
    if (open_.empty()) {
        return {};
    }
    const ListLevelDefinition& level = open_.back();
    const Key key{level.listId, level.level};
    // The item counts at its level; the levels below it start again.
    auto counter = counters_.find(key);
    if (start) {
        counters_[key] = *start;
    } else if (counter == counters_.end()) {
        counters_[key] = level.start;
    } else if (counter->second < std::numeric_limits<std::int64_t>::max()) {
        ++counter->second;
    }
    for (auto deeper = counters_.upper_bound(key);
         deeper != counters_.end() && deeper->first.first == level.listId;) {
        deeper = counters_.erase(deeper);
    }
    if (!level.ordered) {
        return level.bullet.empty() ? "\xE2\x80\xA2" : level.bullet;
    }
    if (level.format.empty()) {
        return level.prefix + level.suffix;
    }
    std::string numbers;
    const int shown = std::clamp(level.displayLevels, 1, level.level);
    for (int l = level.level - shown + 1; l <= level.level; ++l) {
        const auto number = counters_.find({level.listId, l});
        const auto definition = known_.find({level.listId, l});
        if (number == counters_.end() || definition == known_.end()) {
            continue;
        }
        if (!numbers.empty()) {
            numbers += '.';
        }
        const std::int64_t value = std::clamp<std::int64_t>(
            number->second, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        numbers += odf::FormatOdfNumber(static_cast<int>(value), definition->second.format, true);
    }
    return level.prefix + numbers + level.suffix;
}

}  // namespace corvanel::convert::revenge

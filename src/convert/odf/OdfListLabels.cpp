#include "convert/odf/OdfListLabels.h"

#include "convert/odf/OdfNumberFormat.h"

#include <algorithm>

namespace corvanel::convert::odf {

namespace {

constexpr std::string_view kBullet = "\xE2\x80\xA2";

int Clamp(int level) {
    return level < 1 ? 1 : (level > kListLevels ? kListLevels : level);
}

std::string FormatNumber(int value, const ListLevelStyle* style) {
    if (style == nullptr) {
        return std::to_string(value);
    }
    return FormatOdfNumber(value, style->numFormat, style->letterSync);
}

}  // namespace

std::optional<ListLabelText> NextListLabel(ListCounters& counters, const ListStyle* style,
                                           int level, std::optional<int> startValue) {
    level = Clamp(level);
    const int index = level - 1;
    const ListLevelStyle* def = style ? style->Level(level) : nullptr;
    const int levelStart = def ? def->startValue : 1;
    if (startValue) {
        counters.value[index] = *startValue;
    } else if (!counters.started[index]) {
        counters.value[index] = levelStart;
    } else if (counters.value[index] < 1'000'000'000) {
        ++counters.value[index];
    }
    counters.started[index] = true;
    for (int deeper = index + 1; deeper < kListLevels; ++deeper) {
        counters.started[deeper] = false;
    }
    // A level shown without its parents having been counted uses up their start values: the
    // next parent item counts on from there.
    for (int shallower = 0; shallower < index; ++shallower) {
        if (!counters.started[shallower]) {
            const ListLevelStyle* parent = style ? style->Level(shallower + 1) : nullptr;
            counters.value[shallower] = parent ? parent->startValue : 1;
            counters.started[shallower] = true;
        }
    }

    if (def == nullptr) {
        return ListLabelText{std::string(kBullet), "\t"};
    }
    if (def->bullet) {
        return ListLabelText{def->bulletChar, def->followedBy};
    }
    std::string label = def->prefix;
    if (!def->numFormat.empty()) {
        const int first = std::max(1, level - def->displayLevels + 1);
        for (int shown = first; shown <= level; ++shown) {
            const ListLevelStyle* shownDef = style->Level(shown);
            const int value = counters.value[shown - 1];
            if (shown > first) {
                label += '.';
            }
            label += FormatNumber(value, shownDef);
        }
    }
    label += def->suffix;
    if (label.empty()) {
        return std::nullopt;
    }
    return ListLabelText{std::move(label), def->followedBy};
}

}  // namespace corvanel::convert::odf

#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/ListNumbering.h"
#include "convert/msword/Fib.h"
#include "convert/msword/Fonts.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// List labels from the document's list definitions (the list table and the list override
// table): each list paragraph, in reading order, asks for its label, which advances the list's
// counters (start values, restarts of deeper levels, overridden start values).
class ListLabels {
public:
    ListLabels() = default;
    ListLabels(const Fib& fib, std::string_view table, const Fonts& fonts);

    // The label and its suffix for a paragraph of list override `ilfo` (1-based) at level
    // `ilvl`; false when the paragraph shows no label.
    bool Next(std::uint16_t ilfo, std::uint8_t ilvl, std::string& label, std::string& suffix);
    // Whether that level's label is a bullet or a number.
    ListKind Kind(std::uint16_t ilfo, std::uint8_t ilvl) const;

private:
    static constexpr int kLevels = 9;

    struct Level {
        std::int32_t start = 1;
        NumberFormat format = NumberFormat::kDecimal;
        bool legal = false;
        bool bullet = false;
        bool symbolFont = false;
        std::uint8_t follow = 0;  // 0 tab, 1 space, 2 nothing
        int restartAfter = -1;    // -1: after any shallower level; 0: never; n: after levels < n
        std::u16string text;      // characters 0..8 stand for the levels' numbers
    };
    struct List {
        std::uint32_t lsid = 0;
        std::array<Level, kLevels> levels;
        std::array<std::int64_t, kLevels> counters{};
        std::array<bool, kLevels> counting{};
    };
    struct Override {
        std::size_t list = 0;
        std::array<bool, kLevels> hasStart{};
        std::array<std::int32_t, kLevels> start{};
        std::array<bool, kLevels> startUsed{};
        std::array<bool, kLevels> hasLevel{};
        std::array<Level, kLevels> levels;
    };

    std::size_t ReadLevel(std::string_view data, Level& level) const;

    const Fonts* fonts_ = nullptr;
    std::vector<List> lists_;
    std::vector<Override> overrides_;
};

}  // namespace corvanel::convert::msword

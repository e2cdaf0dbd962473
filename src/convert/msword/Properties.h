#pragma once

#include "convert/core/DocumentSink.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// A toggling character property as a modifier states it (0 off, 1 on, 0x80 as the style, 0x81
// the opposite of the style), or kUnset where none does.
inline constexpr std::uint8_t kUnset = 0xFF;
// Its value over the style's.
bool ResolveToggle(std::uint8_t operand, bool styleValue);

// The character properties that decide whether and how a character reaches the text.
struct CharProps {
    bool vanish = false;   // hidden text
    bool deleted = false;  // a tracked deletion
    bool special = false;  // a special character (picture, note reference, field mark...)
    bool symbol = false;   // the character is symbolChar in font symbolFont
    std::uint16_t symbolFont = 0;
    std::uint16_t symbolChar = 0;
    std::uint16_t istd = 10;      // character style; 10 is the default paragraph font
    std::uint16_t font = 0xFFFF;  // the font of plain characters, when set directly
    // Bold, italic, strikethrough and double strikethrough, as set directly.
    std::uint8_t bold = kUnset;
    std::uint8_t italic = kUnset;
    std::uint8_t strike = kUnset;
    std::uint8_t doubleStrike = kUnset;
    // Where an inline picture's description is, in the data stream (a special character's).
    std::uint32_t pictureAt = 0xFFFFFFFF;

    bool operator==(const CharProps&) const = default;
};

// What a table row's definition states: whether it is a header row, where its cells' edges
// are, and which cells merge.
struct TableRowDefinition {
    struct Cell {
        bool firstMerged = false;  // starts a horizontal merge
        bool merged = false;       // continues one
        bool verticalMerged = false;
        bool verticalRestart = false;  // starts a vertical merge
    };
    bool header = false;
    std::vector<std::int16_t> edges;  // one more than the cells
    std::vector<Cell> cells;

    bool Empty() const { return !header && edges.empty() && cells.empty(); }
};

// The paragraph properties the text needs: table membership and list membership.
struct ParaProps {
    bool inTable = false;
    bool rowEnd = false;                 // the paragraph ends a row of the outermost table
    bool innerCellEnd = false;           // the paragraph mark ends a cell of a nested table
    bool innerRowEnd = false;            // the paragraph ends a row of a nested table
    std::int32_t tableDepth = 0;         // 1 for a table in the body, 2 for one nested in it...
    std::uint16_t ilfo = 0;              // list override (1-based), 0 when not in a list
    std::uint8_t ilvl = 0;               // list level 0..8
    std::uint16_t istd = 0;              // paragraph style
    std::uint8_t outlineLevel = kUnset;  // 0-8 headings, 9 body text, as stated
    std::uint32_t row = 0;  // a row end's definition: 1 + its index in the document's list
    // Word 6 and 95 number paragraphs themselves: the level (10 a numbered list, 11 a bulleted
    // one, 1..9 outline levels) and the numbering's description.
    std::uint8_t autoNumberLevel = 0;
    std::string_view autoNumber;

    bool operator==(const ParaProps&) const = default;
};

// Apply a list of modifiers over properties already set (by a style, or defaults). `base` is
// what the style says, for modifiers that toggle or restore the style's value.
void ApplyCharSprms(std::string_view grpprl, bool word6, const CharProps& base, CharProps& props);
// Table modifiers go to `row` where given.
void ApplyParaSprms(std::string_view grpprl, bool word6, ParaProps& props,
                    TableRowDefinition* row = nullptr);

}  // namespace corvanel::convert::msword

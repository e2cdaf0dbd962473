#pragma once

#include <cstdint>
#include <string_view>

namespace corvanel::convert::msword {

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

    bool operator==(const CharProps&) const = default;
};

// The paragraph properties the text needs: table membership and list membership.
struct ParaProps {
    bool inTable = false;
    bool rowEnd = false;          // the paragraph ends a row of the outermost table
    bool innerCellEnd = false;    // the paragraph mark ends a cell of a nested table
    bool innerRowEnd = false;     // the paragraph ends a row of a nested table
    std::int32_t tableDepth = 0;  // 1 for a table in the body, 2 for one nested in it...
    std::uint16_t ilfo = 0;       // list override (1-based), 0 when not in a list
    std::uint8_t ilvl = 0;        // list level 0..8
    std::uint16_t istd = 0;       // paragraph style
    // Word 6 and 95 number paragraphs themselves: the level (10 a numbered list, 11 a bulleted
    // one, 1..9 outline levels) and the numbering's description.
    std::uint8_t autoNumberLevel = 0;
    std::string_view autoNumber;

    bool operator==(const ParaProps&) const = default;
};

// Apply a list of modifiers over properties already set (by a style, or defaults). `base` is
// what the style says, for modifiers that toggle or restore the style's value.
void ApplyCharSprms(std::string_view grpprl, bool word6, const CharProps& base, CharProps& props);
void ApplyParaSprms(std::string_view grpprl, bool word6, ParaProps& props);

}  // namespace corvanel::convert::msword

#pragma once

#include "convert/msword/Fib.h"
#include "convert/msword/Properties.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// The paragraph properties each paragraph style gives (list membership through a style, such
// as a numbered heading), with the properties of the styles it is based on.
class StyleSheet {
public:
    StyleSheet() = default;
    StyleSheet(const Fib& fib, std::string_view stsh);

    ParaProps Paragraph(std::uint16_t istd) const;
    // The font a paragraph style gives its text (0xFFFF when none is known).
    std::uint16_t Font(std::uint16_t istd) const;
    // Bold, italic and strikethrough as a paragraph or character style gives them.
    TextStyle Chars(std::uint16_t istd) const;
    // The heading level 1-6 a paragraph of style `istd` has (0 for none), with its stated
    // outline level (kUnset when it states none).
    int HeadingLevel(std::uint16_t istd, std::uint8_t outlineLevel) const;

private:
    struct Style {
        std::uint16_t base = 0x0FFF;
        std::uint16_t sti = 0x0FFE;  // the built-in style it is, or 0x0FFE for a user's
        bool paragraph = false;
        std::string_view papx;  // the style's own paragraph modifiers
        std::string_view chpx;  // and character modifiers
    };

    void Resolve(std::uint16_t istd, int depth);

    bool word6_ = false;
    std::vector<Style> styles_;
    std::vector<ParaProps> resolved_;
    std::vector<std::uint16_t> fonts_;
    std::vector<TextStyle> chars_;
    std::uint16_t defaultFont_ = 0xFFFF;
    std::vector<std::uint8_t> state_;  // 0 not yet, 1 in progress, 2 done
};

}  // namespace corvanel::convert::msword

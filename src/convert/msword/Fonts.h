#pragma once

#include "convert/msword/Fib.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// The document's font table: names by font index, for symbol characters and bullets.
class Fonts {
public:
    Fonts() = default;
    Fonts(const Fib& fib, std::string_view tableOrMain);

    // The font's name, or empty when unknown.
    std::string_view Name(std::uint16_t ftc) const;
    // The code page of the font's character set; `fallback` for the default and ANSI sets
    // and for unknown fonts.
    int CodePage(std::uint16_t ftc, int fallback) const;

private:
    std::vector<std::string> names_;
    std::vector<std::uint8_t> charsets_;
};

}  // namespace corvanel::convert::msword

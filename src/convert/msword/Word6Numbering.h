#pragma once

#include "convert/msword/Fonts.h"
#include "convert/msword/Properties.h"

#include <array>
#include <cstdint>
#include <string>

namespace corvanel::convert::msword {

// Labels of Word 6 and 95 numbered paragraphs, which carry their numbering themselves: text
// before the number, its format and start, text after it. Numbered-list counts run on while
// numbered paragraphs follow each other; outline levels count like headings.
class Word6Numbering {
public:
    Word6Numbering(const Fonts& fonts, int codePage) : fonts_(fonts), codePage_(codePage) {}

    // The label of a paragraph; false when it has none (which ends a running list).
    bool Next(const ParaProps& props, std::string& label, std::string& suffix);

private:
    static constexpr int kLevels = 12;

    const Fonts& fonts_;
    int codePage_;
    std::array<std::int64_t, kLevels> counters_{};
    std::array<bool, kLevels> counting_{};
};

}  // namespace corvanel::convert::msword

#pragma once

#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"

#include <array>
#include <string>
#include <vector>

namespace corvanel::convert::rtf {

// One paragraph numbering of Word 6 and 95 (\pn ... in a paragraph's properties).
struct RtfNumbering {
    enum class Kind { kLevel, kBullet, kContinuation };
    Kind kind = Kind::kLevel;
    int level = 10;  // \pnlvlN (1-9); \pnlvlbody is 10
    NumberFormat format = NumberFormat::kDecimal;
    long long start = 1;
    std::string before;  // \pntxtb, UTF-8
    std::string after;   // \pntxta, UTF-8
    SymbolFontKind font = SymbolFontKind::kOther;
};

// Labels for old-style numbered paragraphs, for writers that give the numbering but no \pntext.
// Counters run on while numbered paragraphs follow one another and start again after a
// paragraph without numbering.
class RtfOldNumbering {
public:
    // Keeps a numbering; returns the index paragraphs refer to it by.
    int Add(RtfNumbering numbering);
    // The label of the next paragraph, which has numbering `index` (-1: none); advances the
    // counters. Empty for paragraphs without a label.
    std::string NextLabel(int index);
    // The numbering paragraphs refer to by `index`; null when there is none.
    const RtfNumbering* Find(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < numberings_.size()
                   ? &numberings_[static_cast<std::size_t>(index)]
                   : nullptr;
    }

private:
    std::vector<RtfNumbering> numberings_;
    std::array<long long, 11> counters_{};
};

}  // namespace corvanel::convert::rtf

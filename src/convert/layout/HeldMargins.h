#pragma once

#include "convert/core/DocumentSink.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvanel::convert::layout {

// The headers, footers and comments a writer was asked for, held until their place: headers
// ahead of the body (or after it, when the body had started to leave before they came), footers
// and comments after it. Sections often repeat their headers and footers, so each distinct
// header and each distinct footer is kept once, each kind on its own (a footer that repeats a
// header is still a footer); every comment is kept.
class HeldMargins {
public:
    void Want(MarginTexts want) { want_ = want; }
    bool Wants(MarginText kind) const { return want_.Has(kind); }

    // Keeps a rendered text of its kind unless unwanted, empty or a repeat; returns its size
    // when kept, else 0.
    std::size_t Hold(MarginText kind, std::string text);
    std::span<const std::string> Of(MarginText kind) const { return held_[Index(kind)]; }

private:
    static std::size_t Index(MarginText kind) { return static_cast<std::size_t>(kind); }

    MarginTexts want_;
    std::array<std::vector<std::string>, 3> held_;
    std::array<std::unordered_set<std::string>, 3> seen_;  // headers and footers met
};

}  // namespace corvanel::convert::layout

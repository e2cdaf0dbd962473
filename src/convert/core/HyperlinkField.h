#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

// Where a HYPERLINK field points: an address, or with \l a bookmark of the document (an
// address and a bookmark together make the address with "#bookmark" after it).
struct HyperlinkTarget {
    std::string target;
    bool internal = false;
};

// The target of a field whose code is `code` (as " HYPERLINK \"https://x\" \o tip"); nothing
// when the field is no hyperlink or names no target.
std::optional<HyperlinkTarget> ParseHyperlinkField(std::string_view code);
// The same, and also the bookmark of a REF, PAGEREF or NOTEREF field marked \h, whose result
// links to it.
std::optional<HyperlinkTarget> ParseFieldLink(std::string_view code);

}  // namespace corvanel::convert

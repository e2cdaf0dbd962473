#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert::word {

// Where a field's result links to: HYPERLINK "address" [\l "bookmark"] [\o "tip"] ..., or
// REF, PAGEREF and NOTEREF bookmark \h.
struct FieldLink {
    std::string target;     // the address (with "#bookmark" when both are given), or the bookmark
    bool internal = false;  // only a bookmark
};

// The link of a field code, or nothing when the field's result is no link.
std::optional<FieldLink> ParseFieldLink(std::string_view code);

}  // namespace corvanel::convert::word

#pragma once

// Small pieces for the readers that look at XML as text before (or instead of) parsing it:
// the block scanner and the style-sheet index.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace corvanel::convert::xmlscan {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Where an element's name ends in its start tag.
inline bool IsNameEnd(char c) {
    return IsSpace(c) || c == '>' || c == '/';
}

// The same rule as the readers' name matching: what follows the first colon.
inline std::string_view LocalPart(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// One past the ">" that ends the tag whose inside starts at `from`, skipping quoted attribute
// values; npos when the tag does not end. Tags are short: a plain loop beats library searches
// that each pay a call.
inline std::size_t TagEnd(std::string_view xml, std::size_t from) {
    const char* p = xml.data() + from;
    const char* const end = xml.data() + xml.size();
    while (p < end) {
        const char c = *p;
        if (c == '>') {
            return static_cast<std::size_t>(p - xml.data()) + 1;
        }
        if (c == '"' || c == '\'') {
            p = static_cast<const char*>(
                std::memchr(p + 1, c, static_cast<std::size_t>(end - p - 1)));
            if (p == nullptr) {
                return std::string_view::npos;
            }
        }
        ++p;
    }
    return std::string_view::npos;
}

}  // namespace corvanel::convert::xmlscan

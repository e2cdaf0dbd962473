#pragma once

// Small pieces for the readers that look at XML as text before (or instead of) parsing it:
// the block scanner, the style-sheet index and the format detection.

#include "convert/core/Ascii.h"

#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvanel::convert::xmlscan {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The characters of XML names as the parsers tell them: any byte of a multi-byte character
// counts as a letter.
inline bool IsNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

inline bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
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

// Skips white space, the XML declaration, processing instructions, comments and a document type
// declaration; returns the text from the first element's "<" (an HTML document type included,
// which tells a page). Empty when one of them does not end.
inline std::string_view SkipProlog(std::string_view s) {
    for (;;) {
        while (!s.empty() && ascii::IsSpace(s.front())) {
            s.remove_prefix(1);
        }
        std::string_view closing;
        if (s.starts_with("<?")) {
            closing = "?>";
        } else if (s.starts_with("<!--")) {
            closing = "-->";
        } else if (ascii::StartsWithNoCase(s, "<!DOCTYPE")) {
            if (ascii::StartsWithNoCase(s, "<!DOCTYPE html")) {
                return s;
            }
            closing = ">";
        } else {
            return s;
        }
        const auto end = s.find(closing);
        if (end == std::string_view::npos) {
            return {};
        }
        s.remove_prefix(end + closing.size());
    }
}

// One past the ">" that ends the tag whose inside starts at `from`, skipping quoted attribute
// values; npos when the tag does not end.
inline std::size_t TagEnd(std::string_view xml, std::size_t from) {
    const char* p = xml.data() + from;
    const char* const end = xml.data() + xml.size();
    char open = 0;  // the quote of the attribute value p is in, if any
#if defined(__SSE2__)
    // Sixteen bytes at a time, without a branch per quote: the bytes inside double-quoted
    // values are found from the running parity of the quotes before them. A single quote
    // outside them (rare: writers use double quotes) hands over to the byte loop below.
    const __m128i greater = _mm_set1_epi8('>');
    const __m128i doubleQuote = _mm_set1_epi8('"');
    const __m128i singleQuote = _mm_set1_epi8('\'');
    while (end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto mask = [&bytes](__m128i of) {
            return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, of)));
        };
        unsigned inside = mask(doubleQuote);  // prefix parity: set from an opening quote on
        inside ^= inside << 1;
        inside ^= inside << 2;
        inside ^= inside << 4;
        inside ^= inside << 8;
        inside = (open == '"' ? ~inside : inside) & 0xFFFFu;
        const unsigned stops = (mask(greater) | mask(singleQuote)) & ~inside;
        if (stops != 0) {
            p += __builtin_ctz(stops);
            if (*p == '>') {
                return static_cast<std::size_t>(p - xml.data()) + 1;
            }
            open = 0;  // at a single quote outside any value: the byte loop reads it
            break;
        }
        open = (inside & 0x8000u) != 0 ? '"' : 0;
        p += 16;
    }
#endif
    if (open != 0) {
        p = static_cast<const char*>(std::memchr(p, open, static_cast<std::size_t>(end - p)));
        if (p == nullptr) {
            return std::string_view::npos;
        }
        ++p;
    }
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

#pragma once

// ASCII-only character tests and case folding. The C library's tolower and isspace follow the
// process locale (the window program sets it from the environment), so markup and names would
// be matched differently from one user to the next; these never change.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvanel::convert::ascii {

inline char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Space, tab, line feed, vertical tab, form feed and carriage return.
inline bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline std::string LowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = ToLower(c);
    }
    return lower;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLower(a[i]) != ToLower(b[i])) {
            return false;
        }
    }
    return true;
}

inline bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace corvanel::convert::ascii

#include "convert/core/HyperlinkField.h"

#include "convert/core/Ascii.h"

#include <vector>

namespace corvanel::convert {

namespace {

// The words of a field code: quoted arguments without their quotes, switches as they are.
std::vector<std::string> FieldWords(std::string_view code) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        std::string word;
        if (c == '"' || c == '\xE2') {
            // Straight quotes, or the curly ones some writers put in codes (U+201C/U+201D).
            const bool curly = c == '\xE2';
            if (curly && code.substr(i, 3) != "\xE2\x80\x9C") {
                word.push_back(c);
                ++i;
            } else {
                i += curly ? 3 : 1;
                while (i < code.size() && code[i] != '"' && code.substr(i, 3) != "\xE2\x80\x9D") {
                    // A backslash escapes a quote or a backslash inside quotes.
                    if (code[i] == '\\' && i + 1 < code.size() &&
                        (code[i + 1] == '"' || code[i + 1] == '\\')) {
                        ++i;
                    }
                    word.push_back(code[i++]);
                }
                i += i < code.size() && code[i] == '"' ? 1 : 3;
                words.push_back(std::move(word));
                continue;
            }
        }
        while (i < code.size() && code[i] != ' ' && code[i] != '\t' && code[i] != '"') {
            word.push_back(code[i++]);
        }
        words.push_back(std::move(word));
    }
    return words;
}

// REF, PAGEREF and NOTEREF name a bookmark; with \h their result links to it.
std::optional<HyperlinkTarget> ReferenceLink(const std::vector<std::string>& words) {
    std::string bookmark;
    bool linked = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() == 2 && w[0] == '\\') {
            linked = linked || ascii::ToLower(w[1]) == 'h';
        } else if (bookmark.empty()) {
            bookmark = w;
        }
    }
    if (!linked || bookmark.empty()) {
        return std::nullopt;
    }
    return HyperlinkTarget{bookmark, true};
}

std::optional<HyperlinkTarget> HyperlinkOf(const std::vector<std::string>& words) {
    if (words.empty() || !ascii::EqualsNoCase(words[0], "HYPERLINK")) {
        return std::nullopt;
    }
    std::string address;
    std::string bookmark;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.size() == 2 && w[0] == '\\') {
            const char option = ascii::ToLower(w[1]);
            // \l names a bookmark; \o, \t and \m take an argument that is no target.
            if ((option == 'l' || option == 'o' || option == 't') && i + 1 < words.size()) {
                if (option == 'l') {
                    bookmark = words[i + 1];
                }
                ++i;
            }
            continue;
        }
        if (address.empty()) {
            address = w;
        }
    }
    if (address.empty() && bookmark.empty()) {
        return std::nullopt;
    }
    if (address.empty()) {
        return HyperlinkTarget{bookmark, true};
    }
    if (!bookmark.empty()) {
        address += "#" + bookmark;
    }
    return HyperlinkTarget{address, false};
}

}  // namespace

std::optional<HyperlinkTarget> ParseHyperlinkField(std::string_view code) {
    return HyperlinkOf(FieldWords(code));
}

std::optional<HyperlinkTarget> ParseFieldLink(std::string_view code) {
    const std::vector<std::string> words = FieldWords(code);
    if (!words.empty() &&
        (ascii::EqualsNoCase(words[0], "REF") || ascii::EqualsNoCase(words[0], "PAGEREF") ||
         ascii::EqualsNoCase(words[0], "NOTEREF"))) {
        return ReferenceLink(words);
    }
    return HyperlinkOf(words);
}

}  // namespace corvanel::convert

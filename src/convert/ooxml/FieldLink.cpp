#include "convert/ooxml/FieldLink.h"

namespace corvanel::convert::word {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The next argument of a field code: a quoted text or a run of non-space characters.
std::optional<std::string_view> NextArgument(std::string_view& code) {
    while (!code.empty() && IsSpace(code.front())) {
        code.remove_prefix(1);
    }
    if (code.empty()) {
        return std::nullopt;
    }
    std::size_t end = 0;
    std::string_view argument;
    if (code.front() == '"') {
        end = code.find('"', 1);
        argument = code.substr(1, end == std::string_view::npos ? end : end - 1);
        end = end == std::string_view::npos ? code.size() : end + 1;
    } else {
        while (end < code.size() && !IsSpace(code[end])) {
            ++end;
        }
        argument = code.substr(0, end);
    }
    code.remove_prefix(end);
    return argument;
}

bool NameIs(std::string_view name, std::string_view lowerCase) {
    if (name.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (Lower(name[i]) != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

// REF, PAGEREF and NOTEREF name a bookmark; with \h their result links to it.
std::optional<FieldLink> ReferenceLink(std::string_view code) {
    std::string_view bookmark;
    bool linked = false;
    while (const auto argument = NextArgument(code)) {
        if (argument->size() == 2 && argument->front() == '\\') {
            linked = linked || Lower((*argument)[1]) == 'h';
        } else if (bookmark.empty()) {
            bookmark = *argument;
        }
    }
    if (!linked || bookmark.empty()) {
        return std::nullopt;
    }
    return FieldLink{std::string(bookmark), true};
}

}  // namespace

std::optional<FieldLink> ParseFieldLink(std::string_view code) {
    const std::optional<std::string_view> name = NextArgument(code);
    if (!name) {
        return std::nullopt;
    }
    if (NameIs(*name, "ref") || NameIs(*name, "pageref") || NameIs(*name, "noteref")) {
        return ReferenceLink(code);
    }
    if (!NameIs(*name, "hyperlink")) {
        return std::nullopt;
    }
    std::string_view address;
    std::string_view bookmark;
    while (const auto argument = NextArgument(code)) {
        if (argument->size() == 2 && argument->front() == '\\') {
            // \l bookmark, \o tooltip, \t frame take an argument; \m and \n do not.
            const char option = Lower((*argument)[1]);
            if (option == 'l' || option == 'o' || option == 't') {
                const auto value = NextArgument(code);
                if (option == 'l' && value) {
                    bookmark = *value;
                }
            }
        } else if (address.empty()) {
            address = *argument;
        }
    }
    FieldLink link;
    link.internal = address.empty();
    link.target = address;
    if (!bookmark.empty()) {
        link.target += link.internal ? "" : "#";
        link.target += bookmark;
    }
    if (link.target.empty()) {
        return std::nullopt;
    }
    return link;
}

}  // namespace corvanel::convert::word

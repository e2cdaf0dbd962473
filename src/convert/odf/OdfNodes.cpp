#include "convert/odf/OdfNodes.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace corvanel::convert::odf {

Kind KindOf(pugi::xml_node node) {
    const char* name = node.name();
    if (std::strncmp(name, "draw:", 5) == 0) {
        return Kind::kShape;
    }
    if (std::strncmp(name, "text:", 5) == 0) {
        const std::string_view local(name + 5);
        if (local == "p")
            return Kind::kParagraph;
        if (local == "span" || local == "a")
            return Kind::kOther;
        if (local == "s")
            return Kind::kSpace;
        if (local == "tab" || local == "tab-stop")
            return Kind::kTab;
        if (local == "line-break")
            return Kind::kLineBreak;
        if (local == "h")
            return Kind::kHeading;
        if (local == "list" || local == "ordered-list" || local == "unordered-list") {
            return Kind::kList;
        }
        if (local == "numbered-paragraph")
            return Kind::kNumberedParagraph;
        if (local == "section")
            return Kind::kSection;
        if (local == "note" || local == "footnote" || local == "endnote")
            return Kind::kNote;
        if (local == "hidden-text")
            return Kind::kHiddenText;
        if (local == "hidden-paragraph")
            return Kind::kHiddenParagraph;
        if (local == "ruby")
            return Kind::kRuby;
        if (local == "tracked-changes" || local == "changed-region" || local == "deletion" ||
            local == "sequence-decls" || local == "variable-decls" || local == "user-field-decls" ||
            local == "dde-connection-decls" || local == "soft-page-break" || local == "number" ||
            local == "ruby-text" || local == "bookmark" || local == "bookmark-start" ||
            local == "bookmark-end" || local.ends_with("-source") ||
            local == "alphabetical-index-mark" || local == "toc-mark" ||
            local == "user-index-mark") {
            return Kind::kSkip;
        }
        return Kind::kOther;
    }
    if (std::strncmp(name, "table:", 6) == 0) {
        return std::strcmp(name + 6, "table") == 0 ? Kind::kTable : Kind::kSkip;
    }
    if (std::strncmp(name, "office:", 7) == 0) {
        // Forms, scripts, embedded binary data, the ends of annotations.
        return std::strcmp(name + 7, "annotation") == 0 ? Kind::kAnnotation : Kind::kSkip;
    }
    if (std::strncmp(name, "svg:", 4) == 0 || std::strncmp(name, "math:", 5) == 0 ||
        std::strncmp(name, "form:", 5) == 0 || std::strncmp(name, "presentation:", 13) == 0) {
        return Kind::kSkip;
    }
    return Kind::kOther;
}

std::optional<int> IntAttribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) {
        return std::nullopt;
    }
    const std::string_view s(a.value());
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data()) {
        return std::nullopt;
    }
    return value;
}

int Count(pugi::xml_node node, const char* name, int high) {
    const int value = IntAttribute(node, name).value_or(1);
    return value < 1 ? 1 : (value > high ? high : value);
}

bool IsTrue(pugi::xml_node node, const char* name) {
    return std::string_view(node.attribute(name).value()) == "true";
}

}  // namespace corvanel::convert::odf

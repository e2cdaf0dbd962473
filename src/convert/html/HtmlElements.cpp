#include "convert/html/HtmlElements.h"

#include "convert/core/Ascii.h"
#include "convert/core/XmlDocument.h"

#include <libxml/xmlmemory.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
#include <utility>

#include "convert/html/LibXml2.h"  // last: libxml2's calls go through the loaded library

namespace corvanel::convert::html {

std::string_view Name(const xmlNode* node) {
    return node->name == nullptr ? std::string_view()
                                 : std::string_view(reinterpret_cast<const char*>(node->name));
}

std::string Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return {};
    }
    std::string out(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

bool HasAttribute(xmlNode* node, const char* name) {
    return xmlHasProp(node, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

// The style attribute lower-cased and without white space: "display:none;mso-list:ignore".
std::string Style(xmlNode* element) {
    std::string style = Attribute(element, "style");
    style.erase(std::remove_if(style.begin(), style.end(), ascii::IsSpace), style.end());
    return ascii::LowerCopy(style);
}

// The value of one property of a compact style ("mso-element" -> "footnote").
std::string_view StyleValue(std::string_view style, std::string_view property) {
    std::size_t pos = 0;
    while ((pos = style.find(property, pos)) != std::string_view::npos) {
        const bool startsProperty =
            pos == 0 || style[pos - 1] == ';' || style[pos - 1] == '\'' || style[pos - 1] == '"';
        const std::size_t colon = pos + property.size();
        if (startsProperty && colon < style.size() && style[colon] == ':') {
            const std::size_t end = style.find(';', colon);
            return style.substr(colon + 1, end == std::string_view::npos ? end : end - colon - 1);
        }
        pos = colon;
    }
    return {};
}

// Elements whose content a browser does not show as text.
bool IsNeverShown(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "head",     "script", "style",  "title", "noscript", "template", "xml",   "object",
        "embed",    "iframe", "frame",  "svg",   "canvas",   "audio",    "video", "select",
        "datalist", "del",    "applet", "param", "meta",     "link",     "base"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool IsBlock(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "p",       "div",        "h1",      "h2",       "h3",       "h4",      "h5",
        "h6",      "blockquote", "address", "dt",       "dd",       "dl",      "center",
        "section", "article",    "header",  "footer",   "nav",      "aside",   "main",
        "figure",  "figcaption", "form",    "fieldset", "legend",   "caption", "details",
        "summary", "body",       "hgroup",  "noframes", "textarea", "td",      "th",
        "tr",      "tbody",      "thead",   "tfoot",    "option",   "output"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool IsPreformatted(std::string_view name) {
    return name == "pre" || name == "listing" || name == "xmp" || name == "plaintext";
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsWhiteSpace);
}

bool IsHidden(xmlNode* element, std::string_view style) {
    return style.find("display:none") != std::string_view::npos ||
           style.find("mso-hide:all") != std::string_view::npos || HasAttribute(element, "hidden");
}

// The first font family of a style or <font face>, as a symbol font kind.
SymbolFontKind FontOf(xmlNode* element, std::string_view style) {
    std::string family(StyleValue(style, "font-family"));
    if (family.empty() && Name(element) == "font") {
        family = Attribute(element, "face");
    }
    if (family.empty()) {
        return SymbolFontKind::kOther;
    }
    family = family.substr(0, family.find(','));
    family.erase(
        std::remove_if(family.begin(), family.end(), [](char c) { return c == '"' || c == '\''; }),
        family.end());
    return ClassifySymbolFont(family);
}

void AppendNodeText(xmlNode* node, std::string& out, int& depth) {
    DepthGuard guard(depth);
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_TEXT_NODE && child->content != nullptr) {
            out.append(reinterpret_cast<const char*>(child->content));
        } else if (child->type == XML_ELEMENT_NODE) {
            AppendNodeText(child, out, depth);
        }
    }
}

// Trims white space and no-break spaces.
std::string_view TrimLabel(std::string_view s) {
    for (;;) {
        if (!s.empty() && IsWhiteSpace(s.front())) {
            s.remove_prefix(1);
        } else if (StartsWith(s, "\xC2\xA0")) {
            s.remove_prefix(2);
        } else {
            break;
        }
    }
    for (;;) {
        if (!s.empty() && IsWhiteSpace(s.back())) {
            s.remove_suffix(1);
        } else if (s.size() >= 2 && s.substr(s.size() - 2) == "\xC2\xA0") {
            s.remove_suffix(2);
        } else {
            break;
        }
    }
    return s;
}

// A note mark as Word writes it in its HTML: "[1]" -> "1".
std::string NoteMark(std::string text, std::string_view fallbackFrom) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '[' || c == ']'; }),
        text.end());
    std::string mark(TrimLabel(text));
    if (mark.empty()) {
        for (const char c : fallbackFrom) {
            if (c >= '0' && c <= '9') {
                mark.push_back(c);
            }
        }
    }
    return mark;
}

// Word links a note to its reference with href="#_ftnref1"; LibreOffice with
// class="sdfootnotesym".
bool IsNoteBackLink(xmlNode* anchor) {
    const std::string href = Attribute(anchor, "href");
    const std::string cls = Attribute(anchor, "class");
    return StartsWith(href, "#_ftnref") || StartsWith(href, "#_ednref") || cls == "sdfootnotesym" ||
           cls == "sdendnotesym";
}

// A note reference in the text: href="#_ftn1" (Word), class="sdfootnoteanc" (LibreOffice).
bool IsNoteReference(xmlNode* anchor) {
    const std::string href = Attribute(anchor, "href");
    const std::string cls = Attribute(anchor, "class");
    return StartsWith(href, "#_ftn") || StartsWith(href, "#_edn") || cls == "sdfootnoteanc" ||
           cls == "sdendnoteanc";
}

xmlNode* FindBackLink(xmlNode* node, int& depth) {
    DepthGuard guard(depth);
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (Name(child) == "a" && IsNoteBackLink(child)) {
            return child;
        }
        if (xmlNode* found = FindBackLink(child, depth)) {
            return found;
        }
    }
    return nullptr;
}

// Word's note containers: <div style='mso-element:footnote' id=ftn1>.
bool NoteKindOf(xmlNode* element, std::string_view style, NoteKind& kind) {
    const std::string_view element_kind = StyleValue(style, "mso-element");
    if (element_kind == "footnote" || element_kind == "endnote") {
        kind = element_kind == "footnote" ? NoteKind::kFootnote : NoteKind::kEndnote;
        return true;
    }
    if (Name(element) != "div") {
        return false;
    }
    // id="ftn1" (Word), id="sdfootnote1" (LibreOffice).
    const std::string id = Attribute(element, "id");
    for (const auto& [prefix, noteKind] :
         {std::pair<std::string_view, NoteKind>{"ftn", NoteKind::kFootnote},
          {"edn", NoteKind::kEndnote},
          {"sdfootnote", NoteKind::kFootnote},
          {"sdendnote", NoteKind::kEndnote}}) {
        if (id.size() > prefix.size() && StartsWith(id, prefix) &&
            std::all_of(id.begin() + static_cast<std::ptrdiff_t>(prefix.size()), id.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            kind = noteKind;
            return true;
        }
    }
    return false;
}

int HeadingLevelOf(std::string_view name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6' ? name[1] - '0'
                                                                                  : 0;
}

bool IsHeaderRow(xmlNode* row) {
    if (row->parent != nullptr && Name(row->parent) == "thead") {
        return true;
    }
    bool anyHeader = false;
    for (xmlNode* cell = row->children; cell != nullptr; cell = cell->next) {
        if (cell->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (Name(cell) == "td") {
            return false;
        }
        anyHeader = anyHeader || Name(cell) == "th";
    }
    return anyHeader;
}

int SpanOf(xmlNode* cell, const char* name) {
    const std::string value = Attribute(cell, name);
    int span = 1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), span);
    if (error != std::errc() || end == value.data() || span < 1) {
        return 1;
    }
    return std::min(span, 1000);
}

std::optional<bool> IsBoldWeight(std::string_view weight) {
    if (StartsWith(weight, "bold")) {  // bold and bolder
        return true;
    }
    if (StartsWith(weight, "normal") || StartsWith(weight, "lighter")) {
        return false;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(weight.data(), weight.data() + weight.size(), value);
    if (error != std::errc() || end == weight.data()) {
        return std::nullopt;
    }
    return value >= 600;
}

int WordListLevel(std::string_view style) {
    const std::string_view list = StyleValue(style, "mso-list");
    const std::size_t at = list.find("level");
    int level = 0;
    if (at == std::string_view::npos ||
        std::from_chars(list.data() + at + 5, list.data() + list.size(), level).ec != std::errc() ||
        level < 1) {
        return -1;
    }
    return std::min(level, 9) - 1;
}

bool IsNumberLabel(std::string_view label) {
    if (std::any_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return true;
    }
    // Letters and roman numbers: "a)", "iv.", "B."
    return label.size() >= 2 && (label.back() == '.' || label.back() == ')') &&
           std::all_of(label.begin(), label.end() - 1, [](char c) {
               return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '(' || c == '.';
           });
}

}  // namespace corvanel::convert::html

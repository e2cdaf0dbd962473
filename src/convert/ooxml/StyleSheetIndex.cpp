#include "convert/ooxml/StyleSheetIndex.h"

#include "convert/core/XmlScanning.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include <string.h>

namespace corvanel::convert::ooxml {

namespace {

using xmlscan::IsNameEnd;
using xmlscan::IsSpace;
using xmlscan::kUtf8Bom;
using xmlscan::LocalPart;

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The next place of `pattern` in `text` from `at`. The patterns start with "<", which occurs
// every few bytes of XML: the C library's substring search is many times faster than trying
// each "<".
std::size_t FindFrom(std::string_view text, std::string_view pattern, std::size_t at) {
    if (at >= text.size()) {
        return std::string_view::npos;
    }
#if defined(_WIN32)
    const auto found =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                    std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    return found == text.end() ? std::string_view::npos
                               : static_cast<std::size_t>(found - text.begin());
#else
    const void* found = memmem(text.data() + at, text.size() - at, pattern.data(), pattern.size());
    return found == nullptr
               ? std::string_view::npos
               : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
#endif
}

// The XML declaration, when there is one, names UTF-8 or no encoding. Returns where the
// content starts, or npos.
std::size_t SkipUtf8Declaration(std::string_view xml) {
    std::size_t pos = xml.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    if (xml.substr(pos, 5) != "<?xml") {
        return pos;
    }
    const auto end = xml.find("?>", pos);
    if (end == std::string_view::npos) {
        return end;
    }
    const std::string declaration = Lowered(xml.substr(pos, end - pos));
    const auto encoding = declaration.find("encoding");
    if (encoding != std::string::npos && declaration.find("utf-8", encoding) == std::string::npos) {
        return std::string_view::npos;
    }
    return end + 2;
}

// Reads the attributes of a start tag (between its name and its end) into the span. False
// when they are not plain name="value" pairs or an id needs entity decoding.
bool ReadAttributes(std::string_view attributes, StyleSpan& span) {
    std::size_t i = 0;
    for (;;) {
        while (i < attributes.size() && IsSpace(attributes[i])) {
            ++i;
        }
        if (i == attributes.size() || attributes[i] == '>' || attributes[i] == '/') {
            return true;
        }
        const auto equals = attributes.find('=', i);
        if (equals == std::string_view::npos) {
            return false;
        }
        std::string_view name = attributes.substr(i, equals - i);
        while (!name.empty() && IsSpace(name.back())) {
            name.remove_suffix(1);
        }
        i = equals + 1;
        while (i < attributes.size() && IsSpace(attributes[i])) {
            ++i;
        }
        if (i == attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) {
            return false;
        }
        const auto close = attributes.find(attributes[i], i + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        const std::string_view value = attributes.substr(i + 1, close - i - 1);
        i = close + 1;
        const std::string_view local = LocalPart(name);
        if (local == "styleId") {
            // The parser would decode entities and turn line breaks into spaces.
            for (const char c : value) {
                if (c == '&' || c == '\t' || c == '\r' || c == '\n' || c == '<') {
                    return false;
                }
            }
            span.id = value;
        } else if (local == "type") {
            span.type = value;
        } else if (local == "default") {
            span.isDefault = value == "1" || value == "on" || value == "true";
        }
    }
}

}  // namespace

std::optional<std::vector<StyleSpan>> IndexStyleElements(std::string_view xml) {
    // Markup a text search could be fooled by: comments, CDATA, a document type. Also bytes
    // the parser would stop at.
    for (const char* bang = static_cast<const char*>(std::memchr(xml.data(), '!', xml.size()));
         bang != nullptr;
         bang = static_cast<const char*>(std::memchr(
             bang + 1, '!', static_cast<std::size_t>(xml.data() + xml.size() - bang - 1)))) {
        if (bang != xml.data() && bang[-1] == '<') {
            return std::nullopt;
        }
    }
    if (std::memchr(xml.data(), '\0', xml.size()) != nullptr) {
        return std::nullopt;
    }
    std::size_t pos = SkipUtf8Declaration(xml);
    if (pos == std::string_view::npos) {
        return std::nullopt;
    }
    // Processing instructions before the root are skipped.
    for (;;) {
        pos = xml.find('<', pos);
        if (pos == std::string_view::npos || pos + 1 == xml.size()) {
            return std::nullopt;
        }
        if (xml[pos + 1] != '?') {
            break;
        }
        pos = xml.find("?>", pos);
        if (pos == std::string_view::npos) {
            return std::nullopt;
        }
    }
    std::size_t nameEnd = pos + 1;
    while (nameEnd < xml.size() && !IsNameEnd(xml[nameEnd])) {
        ++nameEnd;
    }
    const std::string_view root = xml.substr(pos + 1, nameEnd - pos - 1);
    if (LocalPart(root) != "styles") {
        return std::nullopt;
    }
    const std::string prefix(root.substr(0, root.size() - 6));  // "w:" or nothing
    const std::string open = "<" + prefix + "style";
    const std::size_t rootEnd = xml.rfind("</" + std::string(root));
    if (rootEnd == std::string_view::npos || rootEnd < nameEnd) {
        return std::nullopt;
    }

    // Styles are siblings: each one's span runs to the next one's start (the last one's to the
    // root's end tag). Whitespace or anything else after a style's end tag is left over when
    // its span is parsed.
    std::vector<StyleSpan> spans;
    for (std::size_t next = FindFrom(xml, open, nameEnd); next < rootEnd;) {
        const std::size_t begin = next;
        const std::size_t afterName = begin + open.size();
        next = FindFrom(xml, open, afterName);
        if (!IsNameEnd(xml[afterName])) {  // <w:styles>, <w:styleLink ...>
            continue;
        }
        const std::size_t tagEnd = xmlscan::TagEnd(xml, afterName);
        if (tagEnd == std::string_view::npos || tagEnd > rootEnd) {
            return std::nullopt;
        }
        StyleSpan span;
        if (!ReadAttributes(xml.substr(afterName, tagEnd - afterName), span)) {
            return std::nullopt;
        }
        span.begin = begin;
        spans.push_back(span);
        if (spans.size() > 1) {
            StyleSpan& previous = spans[spans.size() - 2];
            previous.size = begin - previous.begin;
        }
    }
    if (!spans.empty()) {
        spans.back().size = rootEnd - spans.back().begin;
    }
    return spans;
}

}  // namespace corvanel::convert::ooxml

#pragma once

// Small helpers over pugixml for WordprocessingML. Elements and attributes are matched by their
// local name: transitional, strict and Word 2003 XML use different namespaces (and some writers
// use a default namespace instead of "w:") but the same local names.

#include "convert/core/XmlDocument.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvanel::convert::ooxml {

// True when the qualified name's local part is `localName` ("w:p" is "p"), without measuring
// the whole name first: this runs for every element and attribute looked at.
inline bool NameIs(const char* qualifiedName, std::string_view localName) {
    const char* local = qualifiedName;
    for (const char* p = qualifiedName; *p != '\0'; ++p) {
        if (*p == ':') {
            local = p + 1;
            break;
        }
    }
    for (const char c : localName) {
        if (*local++ != c) {
            return false;
        }
    }
    return *local == '\0';
}

inline bool Is(pugi::xml_node node, std::string_view localName) {
    return NameIs(node.name(), localName);
}

// The first child element with the local name, or an empty node.
pugi::xml_node Child(pugi::xml_node node, std::string_view localName);

// The attribute with the local name, or an empty attribute.
pugi::xml_attribute Attr(pugi::xml_node node, std::string_view localName);

// The value of the attribute (empty when absent).
std::string_view AttrValue(pugi::xml_node node, std::string_view localName);

// The "val" attribute of a child element: <w:pStyle w:val="Heading1"/>.
std::string_view ChildVal(pugi::xml_node node, std::string_view childName);

// An integer, or nothing when the text is not one; out-of-range values are clamped.
std::optional<std::int64_t> ParseInteger(std::string_view text);
std::optional<std::int64_t> IntegerVal(pugi::xml_node node);
// A hexadecimal number ("F0B7"), or nothing.
std::optional<std::uint32_t> ParseHex(std::string_view text);

// An on/off property (<w:vanish/>, <w:vanish w:val="false"/>): nothing when the element is
// absent, else its value (true unless "0", "false" or "off").
std::optional<bool> OnOff(pugi::xml_node element);

}  // namespace corvanel::convert::ooxml

#include "convert/ooxml/WordXml.h"

#include <charconv>
#include <limits>

namespace corvanel::convert::ooxml {

pugi::xml_node Child(pugi::xml_node node, std::string_view localName) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && Is(child, localName)) {
            return child;
        }
    }
    return {};
}

pugi::xml_attribute Attr(pugi::xml_node node, std::string_view localName) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (NameIs(a.name(), localName)) {
            return a;
        }
    }
    return {};
}

std::string_view AttrValue(pugi::xml_node node, std::string_view localName) {
    return Attr(node, localName).value();
}

std::string_view ChildVal(pugi::xml_node node, std::string_view childName) {
    return AttrValue(Child(node, childName), "val");
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Far too many digits: keep the sign, clamp the size.
        return text.front() == '-' ? std::numeric_limits<std::int32_t>::min()
                                   : std::numeric_limits<std::int32_t>::max();
    }
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return value > kMax ? kMax : value < -kMax ? -kMax : value;
}

std::optional<std::int64_t> IntegerVal(pugi::xml_node node) {
    if (!node) {
        return std::nullopt;
    }
    return ParseInteger(AttrValue(node, "val"));
}

std::optional<std::uint32_t> ParseHex(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> OnOff(pugi::xml_node element) {
    if (!element) {
        return std::nullopt;
    }
    const std::string_view val = AttrValue(element, "val");
    return !(val == "0" || val == "false" || val == "off");
}

}  // namespace corvanel::convert::ooxml

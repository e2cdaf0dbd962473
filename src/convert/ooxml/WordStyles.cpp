#include "convert/ooxml/WordStyles.h"

#include "convert/ooxml/WordXml.h"

#include <algorithm>

namespace corvanel::convert::word {

namespace {

// Real style sheets chain a handful of styles; more hops than this means a cycle.
constexpr int kMaxBasedOnHops = 64;

WordStyles::Numbering ReadNumbering(pugi::xml_node pPr) {
    WordStyles::Numbering numbering;
    pugi::xml_node numPr = Child(pPr, "numPr");
    pugi::xml_node idNode = Child(numPr, "numId");
    if (!numPr) {
        numPr = Child(pPr, "listPr");  // Word 2003 XML
        idNode = Child(numPr, "ilfo");
    }
    if (!numPr) {
        return numbering;
    }
    if (const auto id = IntegerVal(idNode)) {
        numbering.listId = *id;
    }
    if (const auto level = IntegerVal(Child(numPr, "ilvl"))) {
        numbering.level = static_cast<int>(std::clamp<std::int64_t>(*level, 0, 8));
    }
    return numbering;
}

}  // namespace

void WordStyles::Load(pugi::xml_node styles) {
    for (pugi::xml_node node = styles.first_child(); node; node = node.next_sibling()) {
        if (!Is(node, "style")) {
            continue;
        }
        Style style;
        style.id = AttrValue(node, "styleId");
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            const std::string_view name = LocalName(child.name());
            if (name == "basedOn") {
                style.basedOn = AttrValue(child, "val");
            } else if (name == "pPr") {
                style.numbering = ReadNumbering(child);
            } else if (name == "rPr") {
                if (const auto vanish = OnOff(Child(child, "vanish"))) {
                    style.vanish = *vanish ? 1 : 0;
                }
            }
        }
        const std::string_view isDefault = AttrValue(node, "default");
        if (AttrValue(node, "type") == "paragraph" &&
            (isDefault == "1" || isDefault == "on" || isDefault == "true")) {
            defaultParagraphStyle_ = style.id;
        }
        styles_.push_back(style);
    }
    std::stable_sort(styles_.begin(), styles_.end(),
                     [](const Style& a, const Style& b) { return a.id < b.id; });
    Resolve();
}

void WordStyles::Resolve() {
    // Fill each style's unset values from its ancestors. Resolving in place is safe: a value
    // taken from an already resolved ancestor is what the chain would give anyway.
    for (Style& style : styles_) {
        const Style* ancestor = &style;
        for (int hop = 0; hop < kMaxBasedOnHops; ++hop) {
            if (ancestor->basedOn.empty() || ancestor->basedOn == ancestor->id) {
                break;
            }
            ancestor = Find(ancestor->basedOn);
            if (ancestor == nullptr) {
                break;
            }
            if (style.vanish < 0) {
                style.vanish = ancestor->vanish;
            }
            if (style.numbering.listId < 0) {
                style.numbering.listId = ancestor->numbering.listId;
            }
            if (style.numbering.level < 0) {
                style.numbering.level = ancestor->numbering.level;
            }
        }
    }
}

const WordStyles::Style* WordStyles::Find(std::string_view id) const {
    const auto it =
        std::lower_bound(styles_.begin(), styles_.end(), id,
                         [](const Style& s, std::string_view key) { return s.id < key; });
    return it != styles_.end() && it->id == id ? &*it : nullptr;
}

WordStyles::Numbering WordStyles::ParagraphNumbering(std::string_view styleId) const {
    const Style* style = Find(styleId.empty() ? defaultParagraphStyle_ : styleId);
    return style ? style->numbering : Numbering{};
}

bool WordStyles::Hidden(std::string_view styleId) const {
    const Style* style = styleId.empty() ? nullptr : Find(styleId);
    return style != nullptr && style->vanish > 0;
}

}  // namespace corvanel::convert::word

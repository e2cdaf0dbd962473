#include "convert/ooxml/WordStyles.h"

#include "convert/core/XmlDocument.h"
#include "convert/ooxml/StyleSheetIndex.h"
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

bool IsOn(std::string_view value) {
    return value == "1" || value == "on" || value == "true";
}

}  // namespace

void WordStyles::ReadStyle(pugi::xml_node node, Style& style) {
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
}

void WordStyles::Load(pugi::xml_node styles) {
    for (pugi::xml_node node = styles.first_child(); node; node = node.next_sibling()) {
        if (!Is(node, "style")) {
            continue;
        }
        Style style;
        style.id = AttrValue(node, "styleId");
        ReadStyle(node, style);
        if (AttrValue(node, "type") == "paragraph" && IsOn(AttrValue(node, "default"))) {
            defaultParagraphStyle_ = style.id;
        }
        styles_.push_back(style);
    }
    SortById();
}

bool WordStyles::LoadLazily(std::string& xml) {
    const auto spans = IndexStyleElements(xml);
    if (!spans) {
        return false;
    }
    text_ = &xml;
    styles_.reserve(spans->size());
    for (const StyleSpan& span : *spans) {
        Style style;
        style.id = span.id;
        style.parsed = false;
        style.begin = span.begin;
        style.size = span.size;
        if (span.type == "paragraph" && span.isDefault) {
            defaultParagraphStyle_ = span.id;
        }
        styles_.push_back(style);
    }
    SortById();
    return true;
}

void WordStyles::SortById() {
    // Stable: of two styles with one id the first in the sheet wins, as word processors do.
    std::stable_sort(styles_.begin(), styles_.end(),
                     [](const Style& a, const Style& b) { return a.id < b.id; });
}

void WordStyles::Parse(Style& style) const {
    style.parsed = true;
    // The spans never overlap, so each is parsed in place once; a style that does not parse
    // is one without properties.
    const pugi::xml_parse_result result =
        fragment_.load_buffer_inplace(text_->data() + style.begin, style.size,
                                      kXmlParseOptions | pugi::parse_fragment, pugi::encoding_utf8);
    if (result) {
        ReadStyle(fragment_.first_child(), style);
    }
    fragment_.reset();
}

WordStyles::Style* WordStyles::Find(std::string_view id) const {
    const auto it =
        std::lower_bound(styles_.begin(), styles_.end(), id,
                         [](const Style& s, std::string_view key) { return s.id < key; });
    if (it == styles_.end() || it->id != id) {
        return nullptr;
    }
    if (!it->parsed) {
        Parse(*it);
    }
    return &*it;
}

const WordStyles::Style* WordStyles::Resolved(std::string_view id) const {
    Style* style = Find(id);
    if (style == nullptr || style->resolved) {
        return style;
    }
    // Fill the unset values from the ancestors, nearest first.
    const Style* ancestor = style;
    for (int hop = 0; hop < kMaxBasedOnHops; ++hop) {
        if (ancestor->basedOn.empty() || ancestor->basedOn == ancestor->id) {
            break;
        }
        ancestor = Find(ancestor->basedOn);
        if (ancestor == nullptr) {
            break;
        }
        if (style->vanish < 0) {
            style->vanish = ancestor->vanish;
        }
        if (style->numbering.listId < 0) {
            style->numbering.listId = ancestor->numbering.listId;
        }
        if (style->numbering.level < 0) {
            style->numbering.level = ancestor->numbering.level;
        }
        if (ancestor->resolved) {
            break;  // its values already hold the rest of the chain
        }
    }
    style->resolved = true;
    return style;
}

WordStyles::Numbering WordStyles::ParagraphNumbering(std::string_view styleId) const {
    const Style* style = Resolved(styleId.empty() ? defaultParagraphStyle_ : styleId);
    return style ? style->numbering : Numbering{};
}

bool WordStyles::Hidden(std::string_view styleId) const {
    const Style* style = styleId.empty() ? nullptr : Resolved(styleId);
    return style != nullptr && style->vanish > 0;
}

}  // namespace corvanel::convert::word

#include "convert/ooxml/WordStyles.h"

#include "convert/core/XmlDocument.h"
#include "convert/ooxml/StyleSheetIndex.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>
#include <utility>

namespace corvanel::convert::ooxml {

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

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == y;
           });
}

// "TOC Heading" heads a table of contents. Word gives it outline level 9 (body text) only to
// keep it out of the contents it heads; a reader sees the heading.
bool IsContentsHeading(std::string_view name) {
    return EqualsIgnoringCase(name, "toc heading");
}

// The outline level a built-in heading style's name implies ("heading 3": 2, "Title": 0), or
// -1. Word writes these names in English; other writers capitalise them.
int BuiltInHeadingLevel(std::string_view name) {
    if (EqualsIgnoringCase(name, "title") || IsContentsHeading(name)) {
        return 0;
    }
    if (name.size() == 9 && EqualsIgnoringCase(name.substr(0, 8), "heading ") && name[8] >= '1' &&
        name[8] <= '9') {
        return name[8] - '1';
    }
    return -1;
}

void ReadToggles(pugi::xml_node rPr, WordStyles::Toggles& toggles) {
    for (pugi::xml_node child = rPr.first_child(); child; child = child.next_sibling()) {
        const WordStyles::Toggle toggle = WordStyles::ToggleOf(LocalName(child.name()));
        if (toggle != WordStyles::kToggleCount) {
            toggles[toggle] = OnOff(child).value_or(false) ? 1 : 0;
        }
    }
}

// The docDefaults element of a styles part's text, parsed from a copy; its place is found by a
// plain search, as the styles' own.
void ParseDefaults(std::string_view xml, pugi::xml_document& out) {
    const std::size_t name = xml.find("docDefaults");
    if (name == std::string_view::npos) {
        return;
    }
    const std::size_t begin = xml.rfind('<', name);
    const std::size_t close = xml.find("docDefaults>", name + 11);
    if (begin == std::string_view::npos || close == std::string_view::npos) {
        return;
    }
    const std::size_t end = close + 12;
    (void)out.load_buffer(xml.data() + begin, end - begin, kXmlParseOptions | pugi::parse_fragment,
                          pugi::encoding_utf8);
}

}  // namespace

WordStyles::Toggle WordStyles::ToggleOf(std::string_view localName) {
    if (localName == "b") {
        return kBold;
    }
    if (localName == "i") {
        return kItalic;
    }
    if (localName == "strike") {
        return kStrike;
    }
    return localName == "dstrike" ? kDoubleStrike : kToggleCount;
}

void WordStyles::ReadStyle(pugi::xml_node node, Style& style) {
    int namedLevel = -1;
    bool contentsHeading = false;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        const std::string_view name = LocalName(child.name());
        if (name == "basedOn") {
            style.basedOn = AttrValue(child, "val");
        } else if (name == "name") {
            namedLevel = BuiltInHeadingLevel(AttrValue(child, "val"));
            contentsHeading = IsContentsHeading(AttrValue(child, "val"));
        } else if (name == "pPr") {
            style.numbering = ReadNumbering(child);
            if (const auto level = IntegerVal(Child(child, "outlineLvl"))) {
                style.outline = static_cast<signed char>(
                    *level >= 0 && *level < kBodyTextLevel ? *level : kBodyTextLevel);
            }
        } else if (name == "rPr") {
            if (const auto vanish = OnOff(Child(child, "vanish"))) {
                style.vanish = *vanish ? 1 : 0;
            }
            ReadToggles(child, style.toggles);
        }
    }
    if ((style.outline < 0 || contentsHeading) && namedLevel >= 0) {
        style.outline = static_cast<signed char>(namedLevel);
    }
}

void WordStyles::LoadDefaults(pugi::xml_node docDefaults) const {
    ReadToggles(Child(Child(docDefaults, "rPrDefault"), "rPr"), defaults_);
}

void WordStyles::Load(pugi::xml_node styles) {
    LoadDefaults(Child(styles, "docDefaults"));
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
    // The defaults matter to emphasis only: read when first asked for.
    defaultsText_ =
        std::string_view(xml).substr(0, spans->empty() ? xml.size() : spans->front().begin);
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
    lastResolved_ = nullptr;
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
    // Paragraph after paragraph asks for one style, several times each.
    if (lastResolved_ != nullptr && lastResolved_->id == id) {
        return lastResolved_;
    }
    Style* style = Find(id);
    if (style == nullptr || style->resolved) {
        lastResolved_ = style;
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
        if (style->outline < 0) {
            style->outline = ancestor->outline;
        }
        for (std::size_t i = 0; i < kToggleCount; ++i) {
            if (style->toggles[i] < 0) {
                style->toggles[i] = ancestor->toggles[i];
            }
        }
        if (ancestor->resolved) {
            break;  // its values already hold the rest of the chain
        }
    }
    style->resolved = true;
    lastResolved_ = style;
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

int WordStyles::OutlineLevel(std::string_view styleId) const {
    const Style* style = Resolved(styleId.empty() ? defaultParagraphStyle_ : styleId);
    return style != nullptr && style->outline >= 0 ? style->outline : kBodyTextLevel;
}

WordStyles::Toggles WordStyles::StyleToggles(std::string_view styleId, bool character) const {
    if (character && styleId.empty()) {
        return kUnset;
    }
    const Style* style = Resolved(styleId.empty() ? defaultParagraphStyle_ : styleId);
    Toggles toggles = style != nullptr ? style->toggles : kUnset;
    if (!character && !defaultsText_.empty()) {
        ParseDefaults(std::exchange(defaultsText_, {}), fragment_);
        LoadDefaults(fragment_.first_child());
        fragment_.reset();
    }
    if (!character) {
        for (std::size_t i = 0; i < kToggleCount; ++i) {
            if (toggles[i] < 0) {
                toggles[i] = defaults_[i];
            }
        }
    }
    return toggles;
}

}  // namespace corvanel::convert::ooxml

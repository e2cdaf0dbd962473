#include "convert/odf/OdfStyles.h"

#include "convert/core/ConvertError.h"
#include "convert/core/XmlDocument.h"

#include <charconv>
#include <cstring>

namespace corvanel::convert::odf {

namespace {

constexpr std::string_view kBullet = "\xE2\x80\xA2";  // U+2022
constexpr int kMaxStyleChain = 64;

int ParseInt(const char* text, int fallback, int low, int high) {
    const std::string_view s(text);
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data()) {
        return fallback;
    }
    return value < low ? low : (value > high ? high : value);
}

// Bullets of symbol fonts live in the private use area (U+F0xx); a reader sees a plain bullet.
std::string BulletText(std::string_view bulletChar) {
    if (bulletChar.empty()) {
        return std::string(kBullet);
    }
    const auto first = static_cast<unsigned char>(bulletChar[0]);
    if (first == 0xEF && bulletChar.size() >= 3) {
        const auto second = static_cast<unsigned char>(bulletChar[1]);
        if (second >= 0x80 && second <= 0x83) {  // U+F000..U+F0FF
            return std::string(kBullet);
        }
    }
    return std::string(bulletChar);
}

std::string FollowedBy(pugi::xml_node levelStyle) {
    const pugi::xml_node properties = levelStyle.child("style:list-level-properties");
    const pugi::xml_node alignment = properties.child("style:list-level-label-alignment");
    const std::string_view followed = Attribute(alignment, "label-followed-by");
    if (followed == "space") {
        return " ";
    }
    if (followed == "nothing") {
        return {};
    }
    return "\t";
}

ListStyle ReadListStyle(pugi::xml_node node) {
    ListStyle style;
    for (pugi::xml_node level = node.first_child(); level; level = level.next_sibling()) {
        const std::string_view name = LocalName(level.name());
        const bool bullet = name == "list-level-style-bullet";
        const bool number = name == "list-level-style-number" || name == "outline-level-style";
        const bool image = name == "list-level-style-image";
        if (!bullet && !number && !image) {
            continue;
        }
        const int index = ParseInt(Attribute(level, "level"), 1, 1, kListLevels) - 1;
        ListLevelStyle def;
        def.bullet = bullet || image;
        def.bulletChar = BulletText(Attribute(level, "bullet-char"));
        def.numFormat = Attribute(level, "num-format");
        def.letterSync = std::string_view(Attribute(level, "num-letter-sync")) == "true";
        def.prefix = Attribute(level, "num-prefix");
        def.suffix = Attribute(level, "num-suffix");
        def.startValue = ParseInt(Attribute(level, "start-value"), 1, 0, 1'000'000);
        def.displayLevels = ParseInt(Attribute(level, "display-levels"), 1, 1, kListLevels);
        def.followedBy = FollowedBy(level);
        if (!style.levels[index]) {
            style.levels[index] = std::move(def);
        }
    }
    return style;
}

// Bold from fo:font-weight: "bold" or a weight of 600 and more.
std::optional<bool> BoldOf(std::string_view weight) {
    if (weight.empty()) {
        return std::nullopt;
    }
    if (weight == "bold") {
        return true;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(weight.data(), weight.data() + weight.size(), value);
    return error == std::errc() && end != weight.data() && value >= 600;
}

std::optional<bool> SetUnless(std::string_view value, std::string_view off) {
    if (value.empty()) {
        return std::nullopt;
    }
    return value != off;
}

}  // namespace

const char* Attribute(pugi::xml_node node, std::string_view localName) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (LocalName(a.name()) == localName) {
            return a.value();
        }
    }
    return "";
}

const ListLevelStyle* ListStyle::Level(int level) const {
    const int index = (level < 1 ? 1 : (level > kListLevels ? kListLevels : level)) - 1;
    return levels[index] ? &*levels[index] : nullptr;
}

void StyleSheet::Add(pugi::xml_node container) {
    for (pugi::xml_node node = container.first_child(); node; node = node.next_sibling()) {
        const std::string_view name = LocalName(node.name());
        if (name == "style") {
            AddNamedStyle(node, styles_);
        } else if (name == "list-style") {
            lists_.try_emplace(Attribute(node, "name"), ReadListStyle(node));
        } else if (name == "outline-style" && !outline_) {
            outline_ = ReadListStyle(node);
        } else if (name == "default-style") {
            AddDefaultStyle(node);
        }
    }
}

void StyleSheet::AddDefaultStyle(pugi::xml_node style) {
    if (std::string_view(Attribute(style, "family")) == "paragraph") {
        defaultEmphasis_ = EmphasisOf(style.child("style:text-properties"));
    }
}

void StyleSheet::AddNamedStyle(pugi::xml_node style,
                               std::unordered_map<std::string, NamedStyle>& to) {
    const std::string_view family = Attribute(style, "family");
    if (family != "paragraph" && family != "text") {
        return;
    }
    NamedStyle named;
    named.parent = Attribute(style, "parent-style-name");
    named.listStyle = Attribute(style, "list-style-name");
    if (const pugi::xml_node text = style.child("style:text-properties")) {
        const std::string_view display = Attribute(text, "display");
        if (display == "none") {
            named.hidden = true;
        } else if (display == "true") {
            named.hidden = false;
        }
        named.emphasis = EmphasisOf(text);
    }
    named.outlineLevel = ParseInt(Attribute(style, "default-outline-level"), 0, 0, kListLevels);
    to.try_emplace(Attribute(style, "name"), std::move(named));
}

// fo:font-style "italic" or "oblique"; a line-through style other than "none".
StyleSheet::Emphasis StyleSheet::EmphasisOf(pugi::xml_node textProperties) {
    Emphasis emphasis;
    emphasis.bold = BoldOf(Attribute(textProperties, "font-weight"));
    emphasis.italic = SetUnless(Attribute(textProperties, "font-style"), "normal");
    emphasis.strike = SetUnless(Attribute(textProperties, "text-line-through-style"), "none");
    return emphasis;
}

const StyleSheet::NamedStyle* StyleSheet::Find(std::string_view name) const {
    if (name.empty()) {
        return nullptr;
    }
    const auto it = styles_.find(std::string(name));
    return it == styles_.end() ? nullptr : &it->second;
}

pugi::xml_node StyleSheet::ParseStylesFragment(std::string_view open, std::string_view close) {
    const std::string& part = StylesPart();
    const size_t begin = part.find(open);
    const size_t end = begin == std::string::npos ? begin : part.find(close, begin);
    if (part.empty()) {
        return {};
    }
    if (begin == std::string::npos || end == std::string::npos) {
        if (open != "<office:styles") {
            return {};
        }
        fragments_.push_back(part);  // unusual prefixes or layout: read the whole part
    } else {
        fragments_.push_back(part.substr(begin, end + close.size() - begin));
    }
    pugi::xml_document& document = fragmentDocuments_.emplace_back();
    ParseXmlInPlace(document, fragments_.back(), "styles.xml", kXmlParseOptions);
    return document.document_element();
}

const std::string& StyleSheet::StylesPart() {
    if (!stylesPart_) {
        stylesPart_ = readStylesPart_ ? readStylesPart_() : std::string();
    }
    return *stylesPart_;
}

pugi::xml_node StyleSheet::MasterStyles() {
    return ParseStylesFragment("<office:master-styles", "</office:master-styles>");
}

void StyleSheet::ReadCommonStyles() {
    if (commonRead_) {
        return;
    }
    commonRead_ = true;
    outlineRead_ = true;  // office:styles holds the outline style too
    const pugi::xml_node root = ParseStylesFragment("<office:styles", "</office:styles>");
    if (LocalName(root.name()) == "styles") {
        Add(root);
    } else {
        Add(root.child("office:styles"));
    }
}

const ListStyle* StyleSheet::FindListStyle(std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    const std::string key(name);
    auto it = lists_.find(key);
    if (it == lists_.end() && !commonRead_) {
        ReadCommonStyles();
        it = lists_.find(key);
    }
    return it == lists_.end() ? nullptr : &it->second;
}

const ListStyle* StyleSheet::Outline() {
    if (!outline_ && !outlineRead_) {
        outlineRead_ = true;
        const pugi::xml_node outline =
            ParseStylesFragment("<text:outline-style", "</text:outline-style>");
        if (outline) {
            outline_ = ReadListStyle(outline);
        }
    }
    return outline_ ? &*outline_ : nullptr;
}

std::string_view StyleSheet::ParagraphListStyle(std::string_view styleName) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const NamedStyle* style = Find(styleName);
        for (int step = 0; style != nullptr && step < kMaxStyleChain; ++step) {
            if (!style->listStyle.empty()) {
                return style->listStyle;
            }
            style = Find(style->parent);
        }
        if (commonRead_ || styleName.empty()) {
            break;
        }
        ReadCommonStyles();
    }
    return {};
}

bool StyleSheet::IsHidden(std::string_view styleName, Family family) {
    const NamedStyle* style = Find(styleName);
    std::string_view name = styleName;
    for (int step = 0; style != nullptr && step < kMaxStyleChain; ++step) {
        if (style->hidden) {
            return *style->hidden;
        }
        name = style->parent;
        style = Find(name);
    }
    // The chain leads into styles.xml: read its styles only when some style there hides text.
    if (family == Family::kText && !name.empty() && !commonRead_ && !hiddenChecked_) {
        hiddenChecked_ = true;
        if (StylesPart().find("display=\"none\"") != std::string::npos) {
            ReadCommonStyles();
            return IsHidden(styleName, family);
        }
    }
    return false;
}

// The common styles as the structure sees them, kept apart from the ones the text reads so that
// the text does not change with them; a styles.xml that cannot be read leaves them out.
void StyleSheet::ReadStructureStyles() {
    if (structureRead_) {
        return;
    }
    structureRead_ = true;
    try {
        pugi::xml_node root = ParseStylesFragment("<office:styles", "</office:styles>");
        if (LocalName(root.name()) != "styles") {
            root = root.child("office:styles");
        }
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            const std::string_view name = LocalName(node.name());
            if (name == "style") {
                AddNamedStyle(node, structureStyles_);
            } else if (name == "default-style") {
                AddDefaultStyle(node);
            }
        }
    } catch (const ConvertError&) {
        structureStyles_.clear();
    }
}

const StyleSheet::NamedStyle* StyleSheet::FindForStructure(std::string_view name) {
    if (const NamedStyle* style = Find(name); style != nullptr || name.empty()) {
        return style;
    }
    ReadStructureStyles();
    const auto it = structureStyles_.find(std::string(name));
    return it == structureStyles_.end() ? nullptr : &it->second;
}

void StyleSheet::FillEmphasis(std::string_view styleName, Emphasis& emphasis) {
    const auto fill = [](std::optional<bool>& value, const std::optional<bool>& from) {
        if (!value) {
            value = from;
        }
    };
    const NamedStyle* style = FindForStructure(styleName);
    for (int step = 0; style != nullptr && step < kMaxStyleChain; ++step) {
        fill(emphasis.bold, style->emphasis.bold);
        fill(emphasis.italic, style->emphasis.italic);
        fill(emphasis.strike, style->emphasis.strike);
        style = FindForStructure(style->parent);
    }
}

TextStyle StyleSheet::ParagraphTextStyle(std::string_view styleName) {
    Emphasis emphasis;
    FillEmphasis(styleName, emphasis);
    if (!emphasis.bold || !emphasis.italic || !emphasis.strike) {
        ReadStructureStyles();  // for the default paragraph style
    }
    return {emphasis.bold.value_or(defaultEmphasis_.bold.value_or(false)),
            emphasis.italic.value_or(defaultEmphasis_.italic.value_or(false)),
            emphasis.strike.value_or(defaultEmphasis_.strike.value_or(false))};
}

TextStyle StyleSheet::SpanTextStyle(std::string_view styleName, TextStyle outer) {
    Emphasis emphasis;
    FillEmphasis(styleName, emphasis);
    return {emphasis.bold.value_or(outer.bold), emphasis.italic.value_or(outer.italic),
            emphasis.strike.value_or(outer.strike)};
}

int StyleSheet::OutlineLevel(std::string_view styleName) {
    const NamedStyle* style = FindForStructure(styleName);
    for (int step = 0; style != nullptr && step < kMaxStyleChain; ++step) {
        if (style->outlineLevel > 0) {
            return style->outlineLevel;
        }
        style = FindForStructure(style->parent);
    }
    return 0;
}

}  // namespace corvanel::convert::odf

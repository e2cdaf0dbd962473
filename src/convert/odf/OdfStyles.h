#pragma once

#include <pugixml.hpp>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvanel::convert::odf {

// One level of an OpenDocument list style: how its label looks.
struct ListLevelStyle {
    bool bullet = false;
    std::string bulletChar;  // UTF-8, already mapped from symbol-font code points
    std::string numFormat;   // "1", "a", "A", "i", "I"...; empty: no number
    bool letterSync = false;
    std::string prefix;
    std::string suffix;
    int startValue = 1;
    int displayLevels = 1;
    std::string followedBy = "\t";  // tab, space or nothing after the label
};

inline constexpr int kListLevels = 10;

struct ListStyle {
    std::array<std::optional<ListLevelStyle>, kListLevels> levels;  // index 0 is level 1

    // The style of a nesting level (1-based); levels deeper than ten use the tenth.
    const ListLevelStyle* Level(int level) const;
};

// The styles of a document that change its text: list styles, the heading outline style, the
// list style and hidden flag a paragraph or text style carries (directly or through parents).
class StyleSheet {
  public:
    // Adds the styles of an office:styles, office:automatic-styles or office:master-styles
    // element. A name already known keeps its first definition, so content.xml's automatic
    // styles are added first.
    void Add(pugi::xml_node container);

    const ListStyle* FindListStyle(std::string_view name) const;
    const ListStyle* Outline() const { return outline_ ? &*outline_ : nullptr; }
    // The list style a paragraph style names, looking through its parents; empty when none.
    std::string_view ParagraphListStyle(std::string_view styleName) const;
    // True when a paragraph or text style (or a parent) sets text:display="none".
    bool IsHidden(std::string_view styleName) const;

  private:
    struct NamedStyle {
        std::string parent;
        std::string listStyle;
        std::optional<bool> hidden;
    };

    const NamedStyle* Find(std::string_view name) const;
    void AddNamedStyle(pugi::xml_node style);

    std::unordered_map<std::string, NamedStyle> styles_;  // paragraph and text families
    std::unordered_map<std::string, ListStyle> lists_;
    std::optional<ListStyle> outline_;
};

// The value of the attribute with this local name ("style-name" matches text:style-name).
const char* Attribute(pugi::xml_node node, std::string_view localName);

}  // namespace corvanel::convert::odf

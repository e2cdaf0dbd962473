#pragma once

#include <pugixml.hpp>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "convert/core/DocumentSink.h"

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
    // Where a package's styles.xml comes from. It is read only when a look-up misses in the
    // styles added so far, and then only in part (the outline style, or office:styles): most
    // documents never need it, and it is often larger than the content.
    void SetStylesPart(std::function<std::string()> read) { readStylesPart_ = std::move(read); }

    const ListStyle* FindListStyle(std::string_view name);
    const ListStyle* Outline();
    // The list style a paragraph style names, looking through its parents; empty when none.
    std::string_view ParagraphListStyle(std::string_view styleName);
    // True when a paragraph or text style (or a parent) sets text:display="none". A character
    // style may lead into styles.xml for that; a paragraph style's chain almost always does
    // (to "Standard"), and paragraph styles hidden there are rare, so for those only the styles
    // read so far count.
    enum class Family { kParagraph, kText };
    bool IsHidden(std::string_view styleName, Family family);
    // The effective bold, italic and strikethrough of text in this paragraph style (through its
    // parents and the default paragraph style).
    TextStyle ParagraphTextStyle(std::string_view styleName);
    // The same for a text style applied over text of style `outer`.
    TextStyle SpanTextStyle(std::string_view styleName, TextStyle outer);
    // The heading level (1-10) a paragraph style or a parent states, or 0.
    int OutlineLevel(std::string_view styleName);
    // The office:master-styles of styles.xml (page styles with their headers and footers), or
    // an empty node.
    pugi::xml_node MasterStyles();

private:
    // Text properties a style sets; unset ones come from its parent.
    struct Emphasis {
        std::optional<bool> bold;
        std::optional<bool> italic;
        std::optional<bool> strike;
    };
    struct NamedStyle {
        std::string parent;
        std::string listStyle;
        std::optional<bool> hidden;
        Emphasis emphasis;
        int outlineLevel = 0;
    };

    const NamedStyle* Find(std::string_view name) const;
    static void AddNamedStyle(pugi::xml_node style,
                              std::unordered_map<std::string, NamedStyle>& to);
    void AddDefaultStyle(pugi::xml_node style);
    static Emphasis EmphasisOf(pugi::xml_node textProperties);
    void ReadStructureStyles();
    // A style for the structure: from the styles read so far or else from the common ones.
    const NamedStyle* FindForStructure(std::string_view name);
    // Fills what `emphasis` leaves unset from the chain of `styleName`, reading the common styles
    // when the chain leads into them.
    void FillEmphasis(std::string_view styleName, Emphasis& emphasis);
    // Parses the part of styles.xml between these tags (the whole part when they are missing).
    pugi::xml_node ParseStylesFragment(std::string_view open, std::string_view close);
    void ReadCommonStyles();
    const std::string& StylesPart();

    std::function<std::string()> readStylesPart_;
    std::optional<std::string> stylesPart_;
    bool commonRead_ = false;
    bool outlineRead_ = false;
    bool hiddenChecked_ = false;
    std::deque<std::string> fragments_;  // parsed in place: kept alive with their documents
    std::deque<pugi::xml_document> fragmentDocuments_;

    std::unordered_map<std::string, NamedStyle> styles_;  // paragraph and text families
    std::unordered_map<std::string, ListStyle> lists_;
    std::optional<ListStyle> outline_;
    Emphasis defaultEmphasis_;  // style:default-style of the paragraph family
    bool structureRead_ = false;
    std::unordered_map<std::string, NamedStyle> structureStyles_;
};

// The value of the attribute with this local name ("style-name" matches text:style-name).
const char* Attribute(pugi::xml_node node, std::string_view localName);

}  // namespace corvanel::convert::odf

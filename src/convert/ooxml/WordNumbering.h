#pragma once

#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

class WordStyles;

inline constexpr int kListLevels = 9;

// One level of a list definition. Texts point into the parsed XML.
struct ListLevel {
    std::int64_t start = 0;
    NumberFormat format = NumberFormat::kDecimal;
    std::string_view text;  // "%1.", "%1.%2", a bullet character
    SymbolFontKind font = SymbolFontKind::kOther;
    bool legal = false;     // isLgl: every number of the label in decimal
    int restartAfter = -1;  // -1: after any shallower level; 0: never; n: after level n (1-based)
    std::string_view suffix = "\t";
    std::string_view paragraphStyle;  // the style that selects this level
};

// The list definitions of a document and the counters of the lists as the text goes on:
// abstract definitions (levels) and list instances (numId / ilfo) that point at one, possibly
// with overridden start values or levels. Instances of one definition share its counters; an
// instance with a start override restarts them when first used.
class WordNumbering {
public:
    struct Label {
        std::string text;
        std::string_view suffix;
        bool numbered = false;  // the label shows a number, not only the level's own text
    };

    // Building (the readers of numbering.xml and of Word 2003's <w:lists>).
    ListLevel* AddAbstract(std::int64_t abstractId, std::string_view numStyleLink = {},
                           std::string_view styleLink = {});  // returns its 9 levels
    struct Instance;
    Instance& AddInstance(std::int64_t listId, std::int64_t abstractId);
    void SetStartOverride(Instance& instance, int level, std::int64_t start);
    ListLevel& OverrideLevel(Instance& instance, int level);
    // Links instances to definitions, follows style links; call once after building.
    void Finish(const WordStyles& styles);

    // The label of the next paragraph of the list at the level, advancing the counters; nothing
    // when the list is unknown or its label is empty.
    std::optional<Label> Next(std::int64_t listId, int level);
    // The level whose paragraph style is `styleId`, or -1.
    int LevelForStyle(std::int64_t listId, std::string_view styleId) const;

    struct Instance {
        std::int64_t id = 0;
        std::int64_t abstractId = 0;
        int abstractIndex = -1;
        bool used = false;
        std::array<std::optional<std::int64_t>, kListLevels> startOverride{};
        std::array<int, kListLevels> levelOverride{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    };

private:
    struct Abstract {
        std::int64_t id = 0;
        std::string_view numStyleLink;
        std::string_view styleLink;
        std::array<ListLevel, kListLevels> levels{};
        int target = -1;  // the definition whose levels and counters this one uses
        std::array<std::int64_t, kListLevels> value{};
        std::array<std::int64_t, kListLevels> start{};
        std::array<bool, kListLevels> counted{};
    };

    Instance* FindInstance(std::int64_t listId);
    const Instance* FindInstance(std::int64_t listId) const;
    int FindAbstract(std::int64_t abstractId) const;
    const ListLevel& LevelOf(const Instance& instance, const Abstract& definition, int level) const;
    std::string BuildLabel(const Instance& instance, const Abstract& counters, int level) const;

    std::vector<Abstract> abstracts_;   // sorted by id after Finish
    std::vector<Instance> instances_;   // sorted by id after Finish
    std::vector<ListLevel> overrides_;  // levels replaced by instances
};

// Reads numbering.xml's <w:numbering> element.
void LoadNumbering(pugi::xml_node numbering, WordNumbering& out);
// Reads one <w:lvl> element into a level (Word 2003 XML spells a few things differently; both
// are understood).
void ReadListLevel(pugi::xml_node lvl, ListLevel& level);

}  // namespace corvanel::convert::ooxml

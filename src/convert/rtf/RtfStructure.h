#pragma once

#include "convert/core/DocumentSink.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvanel::convert::rtf {

// The style sheet as far as structure needs it: each style's outline level, name, bold,
// italic and strikethrough, and the style it is based on.
class RtfStyleSheet {
public:
    // A style definition starts; the words that follow describe it until End().
    void Begin();
    void SetId(int id, bool character);
    void SetBasedOn(int id) { entry_.basedOn = id; }
    void SetOutlineLevel(int level) { entry_.outlineLevel = level; }
    void SetFlag(int flag, bool on);  // 0 bold, 1 italic, 2 strike
    void AppendName(std::string_view text);
    void End();

    // The heading level 1-6 of paragraph style `id`, 0 when it is no heading: its outline
    // level, or a built-in heading's name ("heading 3"), or "Title" as level 1.
    int HeadingLevel(int id) const;
    // Bold, italic and strikethrough as paragraph style `id` (or character style) gives them.
    TextStyle Chars(int id, bool character) const;

private:
    struct Style {
        int basedOn = -1;
        int outlineLevel = -1;
        bool nameDone = false;
        std::string name;
        std::array<std::int8_t, 3> flags{-1, -1, -1};  // -1: as the base style
    };
    const Style* Find(int id, bool character) const;

    bool open_ = false;
    int id_ = 0;
    bool character_ = false;
    Style entry_;
    std::unordered_map<int, Style> paragraph_;
    std::unordered_map<int, Style> characterStyles_;
};

// Whether each list level's label is a bullet or a number, from the list table and the list
// override table (\lsN names an override, which names a list by its \listid).
class RtfListTable {
public:
    void BeginList();
    void SetListId(int id);
    void BeginLevel();
    void SetLevelFormat(int nfc);
    void BeginOverride();
    void SetOverrideListId(int id);
    void SetOverrideIndex(int ls);

    // The kind of label of level `ilvl` of the list override `ls`; nothing when the level
    // shows no label or the list is unknown.
    std::optional<ListKind> Kind(int ls, int ilvl) const;

private:
    struct List {
        int id = 0;
        std::vector<int> formats;  // nfc by level
    };
    std::vector<List> lists_;
    std::unordered_map<int, int> overrides_;  // ls -> listid
    int overrideListId_ = 0;
};

// How a cell of a row definition merges with its neighbours.
struct RtfCellMerge {
    bool first = false;           // \clmgf: starts a horizontal merge
    bool merged = false;          // \clmrg: continues one
    bool verticalFirst = false;   // \clvmgf
    bool verticalMerged = false;  // \clvmrg
};

// The definition of the row being read (\trowd ... \cellx): its header flag and its cells.
struct RtfRowDefinition {
    bool header = false;
    std::vector<RtfCellMerge> cells;
    RtfCellMerge pending;  // the cell whose \cellx has not come yet

    void Reset() { *this = {}; }
    void EndCell();
};

}  // namespace corvanel::convert::rtf

#pragma once

#include <pugixml.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

// What the text needs from the style sheet: a paragraph style's list numbering and outline
// level, and the character formatting a style sets (hidden, bold, italic, struck through), all
// resolved along the basedOn chain (bounded, so cycles end) when first asked for. Works for
// styles.xml and for the <w:styles> of Word 2003 XML. Style ids point into the style sheet's text,
// which must outlive this.
class WordStyles {
public:
    struct Numbering {
        std::int64_t listId = -1;  // numId (ilfo in Word 2003 XML); -1: none given, 0: no list
        int level = -1;            // -1: none given
    };
    // The on/off character properties outputs keep; -1 where a style leaves one unset.
    enum Toggle { kBold, kItalic, kStrike, kDoubleStrike, kToggleCount };
    using Toggles = std::array<signed char, kToggleCount>;
    static constexpr Toggles kUnset{-1, -1, -1, -1};
    // The toggle an element of run properties sets (<w:b>, <w:i>, <w:strike>, <w:dstrike>), or
    // kToggleCount for any other.
    static Toggle ToggleOf(std::string_view localName);
    // Outline level 9 is body text.
    static constexpr int kBodyTextLevel = 9;

    // Reads the <w:style> children of a parsed styles element (absent: no styles).
    void Load(pugi::xml_node styles);
    // Indexes the text of a styles part; each style is parsed in place when first looked up.
    // False, with nothing loaded, when the text is not laid out plainly enough for that: the
    // caller then parses it and calls Load.
    bool LoadLazily(std::string& xml);

    // The numbering of a paragraph style (the document's default paragraph style when the id
    // is empty).
    Numbering ParagraphNumbering(std::string_view styleId) const;
    // True when the style (character or paragraph) hides its text.
    bool Hidden(std::string_view styleId) const;
    // The outline level (0-8) of a paragraph style (empty: the default one), stated or, for
    // Word's built-in headings ("heading 1", "Title"), implied by the built-in name, which
    // Word keeps in English whatever the language of its interface; kBodyTextLevel for none.
    int OutlineLevel(std::string_view styleId) const;
    // The toggles a style (paragraph, or character when `character`) sets, through its chain.
    // A paragraph style's fall back on the document defaults.
    Toggles StyleToggles(std::string_view styleId, bool character) const;

private:
    struct Style {
        std::string_view id;
        std::string_view basedOn;
        Numbering numbering;
        signed char vanish = -1;  // -1: not set here
        signed char outline = -1;
        Toggles toggles = kUnset;
        bool parsed = true;     // false: still only a span of the text
        bool resolved = false;  // the basedOn chain has filled the unset values
        std::size_t begin = 0;
        std::size_t size = 0;
    };

    static void ReadStyle(pugi::xml_node node, Style& style);
    Style* Find(std::string_view id) const;
    void Parse(Style& style) const;
    const Style* Resolved(std::string_view id) const;
    void SortById();
    void LoadDefaults(pugi::xml_node docDefaults) const;

    // Looked-up styles are parsed and resolved on first use, behind const look-ups.
    mutable std::vector<Style> styles_;  // sorted by id
    mutable const Style* lastResolved_ = nullptr;
    mutable pugi::xml_document fragment_;
    std::string* text_ = nullptr;  // the indexed text, when loaded lazily
    std::string_view defaultParagraphStyle_;
    mutable Toggles defaults_ = kUnset;      // docDefaults
    mutable std::string_view defaultsText_;  // where they are in the indexed text, until read
};

}  // namespace corvanel::convert::ooxml

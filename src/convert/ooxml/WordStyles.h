#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::word {

// What the text needs from the style sheet: a paragraph style's list numbering and whether a
// style hides its text, both resolved along the basedOn chain (bounded, so cycles end) when
// first asked for. Works for styles.xml and for the <w:styles> of Word 2003 XML. Style ids
// point into the style sheet's text, which must outlive this.
class WordStyles {
public:
    struct Numbering {
        std::int64_t listId = -1;  // numId (ilfo in Word 2003 XML); -1: none given, 0: no list
        int level = -1;            // -1: none given
    };

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

private:
    struct Style {
        std::string_view id;
        std::string_view basedOn;
        Numbering numbering;
        signed char vanish = -1;  // -1: not set here
        bool parsed = true;       // false: still only a span of the text
        bool resolved = false;    // the basedOn chain has filled the unset values
        std::size_t begin = 0;
        std::size_t size = 0;
    };

    static void ReadStyle(pugi::xml_node node, Style& style);
    Style* Find(std::string_view id) const;
    void Parse(Style& style) const;
    const Style* Resolved(std::string_view id) const;
    void SortById();

    // Looked-up styles are parsed and resolved on first use, behind const look-ups.
    mutable std::vector<Style> styles_;  // sorted by id
    mutable pugi::xml_document fragment_;
    std::string* text_ = nullptr;  // the indexed text, when loaded lazily
    std::string_view defaultParagraphStyle_;
};

}  // namespace corvanel::convert::word

#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvanel::convert::word {

// What the text needs from the style sheet: a paragraph style's list numbering and whether a
// style hides its text, both resolved along the basedOn chain (bounded, so cycles end).
// Works for styles.xml and for the <w:styles> of Word 2003 XML. Style ids point into the parsed
// XML, which must outlive this.
class WordStyles {
public:
    struct Numbering {
        std::int64_t listId = -1;  // numId (ilfo in Word 2003 XML); -1: none given, 0: no list
        int level = -1;            // -1: none given
    };

    // Reads the <w:style> children of a styles element (absent: no styles).
    void Load(pugi::xml_node styles);

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
    };

    const Style* Find(std::string_view id) const;
    void Resolve();

    std::vector<Style> styles_;  // sorted by id
    std::string_view defaultParagraphStyle_;
};

}  // namespace corvanel::convert::word

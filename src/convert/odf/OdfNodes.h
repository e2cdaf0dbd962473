#pragma once

#include <pugixml.hpp>

#include <optional>

namespace corvanel::convert::odf {

// What an element of an OpenDocument body is to the reader.
enum class Kind {
    kOther,
    kSkip,
    kParagraph,
    kHeading,
    kList,
    kNumberedParagraph,
    kTable,
    kSection,
    kSpace,
    kTab,
    kLineBreak,
    kNote,
    kHiddenText,
    kHiddenParagraph,
    kRuby,
    kShape,
    kAnnotation,  // a comment
};

Kind KindOf(pugi::xml_node node);

// An integer attribute, or nothing when it is missing or not a number.
std::optional<int> IntAttribute(pugi::xml_node node, const char* name);
// A count attribute (repeats, spans, spaces): 1 when missing or odd, at most `high`.
int Count(pugi::xml_node node, const char* name, int high);
bool IsTrue(pugi::xml_node node, const char* name);

}  // namespace corvanel::convert::odf

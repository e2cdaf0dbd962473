#include "convert/ooxml/WordElements.h"

#include "convert/core/XmlDocument.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace corvanel::convert::word {

namespace {

using E = WordElement;

// Sorted by name for a binary search.
constexpr std::array<std::pair<std::string_view, WordElement>, 59> kElements{{
    {"AlternateContent", E::kAlternateContent},
    {"bdo", E::kTransparent},
    {"br", E::kBreak},
    {"cfChunk", E::kSection},
    {"cr", E::kCarriageReturn},
    {"customXml", E::kTransparent},
    {"customXmlPr", E::kProperties},
    {"del", E::kDeleted},
    {"delInstrText", E::kFieldCode},
    {"delText", E::kDeletedText},
    {"dir", E::kTransparent},
    {"drawing", E::kShape},
    {"endnote", E::kEndnote},
    {"endnoteReference", E::kEndnoteReference},
    {"fldChar", E::kFieldChar},
    {"fldSimple", E::kSimpleField},
    {"footnote", E::kFootnote},
    {"footnoteReference", E::kFootnoteReference},
    {"hlink", E::kHyperlink},
    {"hyperlink", E::kHyperlink},
    {"ins", E::kTransparent},
    {"instrText", E::kFieldCode},
    {"moveFrom", E::kDeleted},
    {"moveTo", E::kTransparent},
    {"noBreakHyphen", E::kNoBreakHyphen},
    {"oMath", E::kMath},
    {"oMathPara", E::kMath},
    {"object", E::kShape},
    {"p", E::kParagraph},
    {"pBdrGroup", E::kSection},
    {"pPr", E::kProperties},
    {"pict", E::kShape},
    {"ptab", E::kTab},
    {"r", E::kRun},
    {"rPr", E::kProperties},
    {"ruby", E::kRuby},
    {"rubyBase", E::kRubyBase},
    {"sdt", E::kContentControl},
    {"sdtContent", E::kContentControlContent},
    {"sdtEndPr", E::kProperties},
    {"sdtPr", E::kProperties},
    {"sect", E::kSection},
    {"sectPr", E::kProperties},
    {"smartTag", E::kTransparent},
    {"smartTagPr", E::kProperties},
    {"sub-section", E::kSection},
    {"sym", E::kSymbol},
    {"symEx", E::kSymbol},
    {"t", E::kText},
    {"tab", E::kTab},
    {"tbl", E::kTable},
    {"tblGrid", E::kProperties},
    {"tblPr", E::kProperties},
    {"tc", E::kCell},
    {"tcPr", E::kProperties},
    {"tr", E::kRow},
    {"trPr", E::kProperties},
    {"txbxContent", E::kTextBoxContent},
    {"annotation", E::kAnnotation},
}};

constexpr auto kSorted = [] {
    auto table = kElements;
    std::sort(table.begin(), table.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return table;
}();

}  // namespace

WordElement ClassifyElement(const char* qualifiedName) {
    const std::string_view name = LocalName(qualifiedName);
    const auto it =
        std::lower_bound(kSorted.begin(), kSorted.end(), name,
                         [](const auto& entry, std::string_view key) { return entry.first < key; });
    return it != kSorted.end() && it->first == name ? it->second : WordElement::kOther;
}

}  // namespace corvanel::convert::word

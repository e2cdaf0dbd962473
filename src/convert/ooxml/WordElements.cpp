#include "convert/ooxml/WordElements.h"

#include "convert/core/XmlDocument.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace corvanel::convert::ooxml {

namespace {

using E = WordElement;

// Sorted by name for a binary search.
constexpr std::array<std::pair<std::string_view, WordElement>, 60> kElements{{
    {"AlternateContent", E::kAlternateContent},
    {"altChunk", E::kAltChunk},
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

// Sorted by length, then name: a name is compared only with the few of its own length.
constexpr auto kByLength = [] {
    auto table = kElements;
    std::sort(table.begin(), table.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size()
                                                : a.first < b.first;
    });
    return table;
}();

constexpr std::size_t kLongest = kByLength.back().first.size();

// Where the names of each length start in kByLength (the last entry: the table's end).
constexpr auto kLengthStart = [] {
    std::array<std::size_t, kLongest + 2> start{};
    std::size_t at = 0;
    for (std::size_t length = 0; length <= kLongest + 1; ++length) {
        while (at < kByLength.size() && kByLength[at].first.size() < length) {
            ++at;
        }
        start[length] = at;
    }
    return start;
}();

}  // namespace

// Runs for every element the walker meets: one pass over the name finds its local part and
// length, then a handful of short comparisons.
WordElement ClassifyElement(const char* qualifiedName) {
    const char* local = qualifiedName;
    const char* end = qualifiedName;
    for (; *end != '\0'; ++end) {
        if (*end == ':') {
            local = ++end;
            break;
        }
    }
    while (*end != '\0') {
        ++end;
    }
    const auto length = static_cast<std::size_t>(end - local);
    if (length == 0 || length > kLongest) {
        return WordElement::kOther;
    }
    for (std::size_t i = kLengthStart[length]; i < kLengthStart[length + 1]; ++i) {
        const std::string_view name = kByLength[i].first;
        std::size_t k = 0;
        while (k < length && name[k] == local[k]) {
            ++k;
        }
        if (k == length) {
            return kByLength[i].second;
        }
    }
    return WordElement::kOther;
}

}  // namespace corvanel::convert::ooxml

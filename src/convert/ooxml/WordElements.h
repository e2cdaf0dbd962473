#pragma once

#include <cstdint>

namespace corvanel::convert::ooxml {

// The WordprocessingML elements the text walker acts on, recognised by local name (the same in
// transitional, strict and Word 2003 XML).
enum class WordElement : std::uint8_t {
    kOther,
    kProperties,  // pPr, rPr, tblPr, sectPr, sdtPr...: never text
    kParagraph,
    kTable,
    kRow,
    kCell,
    kRun,
    kText,
    kDeletedText,
    kFieldCode,  // instrText, delInstrText
    kTab,
    kBreak,
    kCarriageReturn,
    kSymbol,
    kNoBreakHyphen,
    kFieldChar,
    kSimpleField,
    kHyperlink,
    kContentControl,  // sdt
    kContentControlContent,
    kTransparent,  // customXml, smartTag, ins, moveTo, dir, bdo: their content counts
    kDeleted,      // del, moveFrom: their content is out
    kFootnoteReference,
    kEndnoteReference,
    kFootnote,  // Word 2003: the note's content inline in the run
    kEndnote,
    kTextBoxContent,
    kShape,  // pict, drawing, object: only their text boxes count
    kAlternateContent,
    kMath,
    kRuby,
    kRubyBase,
    kAnnotation,  // Word 2003 aml:annotation (revisions, comments)
    kSection,     // Word 2003 wx:sect, wx:sub-section, wx:pBdrGroup
    kAltChunk,    // a part in another format, imported in place
};

WordElement ClassifyElement(const char* qualifiedName);

}  // namespace corvanel::convert::ooxml

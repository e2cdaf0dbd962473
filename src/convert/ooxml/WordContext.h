#pragma once

#include "convert/ooxml/WordNotes.h"
#include "convert/ooxml/WordNumbering.h"
#include "convert/ooxml/WordStyles.h"

namespace corvanel::convert::word {

// Which vocabulary the body uses. Word 2003 XML wraps content in elements of its own (sections,
// annotations, custom schema elements) whose content counts; in packages unknown elements are
// extensions without text.
enum class Dialect { kPackage, kWord2003 };

// Everything the body walker looks up while it walks.
struct WordContext {
    Dialect dialect = Dialect::kPackage;
    WordStyles styles;
    WordNumbering numbering;
    NoteStore footnotes;
    NoteStore endnotes;
    NoteMarkFormat footnoteMarks{NumberFormat::kDecimal, 1};
    NoteMarkFormat endnoteMarks{NumberFormat::kLowerRoman, 1};
};

}  // namespace corvanel::convert::word

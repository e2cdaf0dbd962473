#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/ooxml/WordNotes.h"
#include "convert/ooxml/WordNumbering.h"
#include "convert/ooxml/WordStyles.h"

#include <pugixml.hpp>

#include <functional>
#include <utility>

namespace corvanel::convert::ooxml {

// Which vocabulary the body uses. Word 2003 XML wraps content in elements of its own (sections,
// annotations, custom schema elements) whose content counts; in packages unknown elements are
// extensions without text.
enum class Dialect { kPackage, kWord2003 };

// Everything the body walker looks up while it walks. List definitions and notes are read on
// first use: most documents carry a numbering part they never use, and many have no notes.
class WordContext {
public:
    Dialect dialect = Dialect::kPackage;
    WordStyles styles;

    // Fills the list definitions (Finish is called afterwards).
    std::function<void(WordNumbering&)> loadNumbering;
    // Fills the note stores and mark formats.
    std::function<void(WordContext&)> loadNotes;
    // The address a hyperlink's relationship id names, in the part that holds `link`; empty
    // when there is none.
    std::function<std::string(pugi::xml_node link, std::string_view id)> linkTarget;
    // Reads the imported chunk of a relationship id into the sink, in place.
    std::function<void(std::string_view, DocumentSink&)> readChunk;

    WordNumbering& Numbering() {
        if (loadNumbering) {
            std::exchange(loadNumbering, nullptr)(numbering_);
            numbering_.Finish(styles);
        }
        return numbering_;
    }

    // The notes of one kind, and how their marks are numbered.
    NoteStore& Notes(NoteKind kind) {
        LoadNotes();
        return kind == NoteKind::kFootnote ? footnotes : endnotes;
    }
    const NoteMarkFormat& Marks(NoteKind kind) {
        LoadNotes();
        return kind == NoteKind::kFootnote ? footnoteMarks : endnoteMarks;
    }

    NoteStore footnotes;
    NoteStore endnotes;
    NoteMarkFormat footnoteMarks{NumberFormat::kDecimal, 1};
    NoteMarkFormat endnoteMarks{NumberFormat::kLowerRoman, 1};

private:
    void LoadNotes() {
        if (loadNotes) {
            std::exchange(loadNotes, nullptr)(*this);
        }
    }

    WordNumbering numbering_;
};

}  // namespace corvanel::convert::ooxml

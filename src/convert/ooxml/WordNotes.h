#pragma once

#include "convert/core/ListNumbering.h"

#include <pugixml.hpp>

#include <cstdint>
#include <utility>
#include <vector>

namespace corvanel::convert::ooxml {

// The notes of footnotes.xml or endnotes.xml by id, without the separator notes.
class NoteStore {
public:
    void Load(pugi::xml_node notesRoot);
    // The note element (its children are the note's paragraphs), or an empty node. The first
    // call for an id only: every note belongs to one reference, and a document that refers to
    // one note many times must not multiply its text.
    pugi::xml_node Take(std::int64_t id);

private:
    struct Entry {
        std::int64_t id;
        pugi::xml_node note;
        bool taken = false;
    };
    std::vector<Entry> notes_;  // sorted by id
};

// How the automatic marks of one kind of note are numbered.
struct NoteMarkFormat {
    NumberFormat format = NumberFormat::kDecimal;
    std::int64_t start = 1;
};

// Reads <w:footnotePr>/<w:endnotePr> (numFmt, numStart) over `format`; absent parts keep it.
void ReadNoteMarkFormat(pugi::xml_node notePr, NoteMarkFormat& format);

}  // namespace corvanel::convert::ooxml

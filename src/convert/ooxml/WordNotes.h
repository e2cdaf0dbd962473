#pragma once

#include "convert/core/ListNumbering.h"

#include <pugixml.hpp>

#include <cstdint>
#include <utility>
#include <vector>

namespace corvanel::convert::word {

// The notes of footnotes.xml or endnotes.xml by id, without the separator notes.
class NoteStore {
public:
    void Load(pugi::xml_node notesRoot);
    // The note element (its children are the note's paragraphs), or an empty node.
    pugi::xml_node Find(std::int64_t id) const;

private:
    std::vector<std::pair<std::int64_t, pugi::xml_node>> notes_;  // sorted by id
};

// How the automatic marks of one kind of note are numbered.
struct NoteMarkFormat {
    NumberFormat format = NumberFormat::kDecimal;
    std::int64_t start = 1;
};

// Reads <w:footnotePr>/<w:endnotePr> (numFmt, numStart) over `format`; absent parts keep it.
void ReadNoteMarkFormat(pugi::xml_node notePr, NoteMarkFormat& format);

}  // namespace corvanel::convert::word

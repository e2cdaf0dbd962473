#include "convert/ooxml/WordNotes.h"

#include "convert/ooxml/WordXml.h"

#include <algorithm>

namespace corvanel::convert::word {

void NoteStore::Load(pugi::xml_node notesRoot) {
    for (pugi::xml_node note = notesRoot.first_child(); note; note = note.next_sibling()) {
        if (!Is(note, "footnote") && !Is(note, "endnote")) {
            continue;
        }
        const std::string_view type = AttrValue(note, "type");
        if (type == "separator" || type == "continuationSeparator" ||
            type == "continuationNotice") {
            continue;
        }
        if (const auto id = ParseInteger(AttrValue(note, "id"))) {
            notes_.emplace_back(*id, note);
        }
    }
    std::stable_sort(notes_.begin(), notes_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

pugi::xml_node NoteStore::Find(std::int64_t id) const {
    const auto it = std::lower_bound(notes_.begin(), notes_.end(), id,
                                     [](const auto& entry, std::int64_t key) { return entry.first < key; });
    return it != notes_.end() && it->first == id ? it->second : pugi::xml_node();
}

void ReadNoteMarkFormat(pugi::xml_node notePr, NoteMarkFormat& format) {
    if (pugi::xml_node numFmt = Child(notePr, "numFmt")) {
        format.format = NumberFormatFromName(AttrValue(numFmt, "val"));
    }
    if (const auto start = IntegerVal(Child(notePr, "numStart"))) {
        format.start = *start;
    }
}

}  // namespace corvanel::convert::word

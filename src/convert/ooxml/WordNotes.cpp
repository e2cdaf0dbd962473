#include "convert/ooxml/WordNotes.h"

#include "convert/ooxml/WordXml.h"

#include <algorithm>

namespace corvanel::convert::ooxml {

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
            notes_.push_back({*id, note});
        }
    }
    std::stable_sort(notes_.begin(), notes_.end(),
                     [](const Entry& a, const Entry& b) { return a.id < b.id; });
}

pugi::xml_node NoteStore::Take(std::int64_t id) {
    const auto it =
        std::lower_bound(notes_.begin(), notes_.end(), id,
                         [](const Entry& entry, std::int64_t key) { return entry.id < key; });
    if (it == notes_.end() || it->id != id || it->taken) {
        return {};
    }
    it->taken = true;
    return it->note;
}

void ReadNoteMarkFormat(pugi::xml_node notePr, NoteMarkFormat& format) {
    if (pugi::xml_node numFmt = Child(notePr, "numFmt")) {
        format.format = NumberFormatFromName(AttrValue(numFmt, "val"));
    }
    if (const auto start = IntegerVal(Child(notePr, "numStart"))) {
        format.start = *start;
    }
}

}  // namespace corvanel::convert::ooxml

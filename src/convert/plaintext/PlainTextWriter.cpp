#include "convert/plaintext/PlainTextWriter.h"

namespace corvanel::convert {

using layout::Place;

namespace {

constexpr std::string_view kSoftHyphen = "\xC2\xAD";
constexpr std::string_view kBlank = " \t\r\n";

std::string_view Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlank);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kBlank) - first + 1);
}

// A comment on one line: its non-blank lines joined by a space.
std::string OneLine(std::string_view text, std::string_view newline) {
    std::string line;
    while (!text.empty()) {
        const std::size_t end = text.find(newline);
        const std::string_view piece = Trimmed(text.substr(0, end));
        if (!piece.empty()) {
            if (!line.empty()) {
                line += ' ';
            }
            line.append(piece);
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + newline.size());
    }
    return line;
}

// A header or footer without the blank lines at its start and end (empty paragraphs, or lines
// of tabs only, as page layouts often hold); empty when nothing else is left.
std::string WithoutBlankLines(const std::string& text, const std::string& newline) {
    const std::size_t first = text.find_first_not_of(kBlank);
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t lineStart = text.rfind(newline, first);
    const std::size_t begin = lineStart == std::string::npos ? 0 : lineStart + newline.size();
    const std::size_t lineEnd = text.find(newline, text.find_last_not_of(kBlank));
    return text.substr(begin, lineEnd == std::string::npos ? std::string::npos : lineEnd - begin) +
           newline;
}

}  // namespace

PlainTextWriter::PlainTextWriter(std::string newline)
    : BlockLayout(std::make_unique<Container>(Place::kBody)), newline_(std::move(newline)) {}

PlainTextWriter::Container& PlainTextWriter::Open(Place place) {
    auto c = std::make_unique<Container>(place);
    c->target = place == Place::kCell ? Current().target : &c->buffer;
    return static_cast<Container&>(Push(std::move(c)));
}

void PlainTextWriter::Append(std::string_view s) {
    BlockLayout::Append(*Current().target, s);
    Current().trimNoteStart = false;
}

void PlainTextWriter::BeginItem() {
    Container& c = Current();
    if (c.place == Place::kCell && c.items > 0) {
        Append(newline_);
    }
    if (!c.notePrefix.empty()) {
        Append(c.notePrefix);
        c.notePrefix.clear();
        // Notes usually begin with a space or tab after their mark; the mark's own space
        // replaces it.
        c.trimNoteStart = true;
    }
}

void PlainTextWriter::EndItem() {
    Container& c = Current();
    if (c.place != Place::kCell) {
        Append(newline_);
    }
    ++c.items;
    FlushFloating(c);
}

void PlainTextWriter::FlushFloating(layout::Container& anchor) {
    auto& c = static_cast<Container&>(anchor);
    for (std::string& text : c.floating) {
        if (c.place == Place::kCell) {
            // Items in a cell are separated, not terminated: drop the last line break.
            if (text.size() >= newline_.size()) {
                text.resize(text.size() - newline_.size());
            }
            if (c.items > 0) {
                Append(newline_);
            }
        }
        Append(text);
        ++c.items;
    }
    c.floating.clear();
}

void PlainTextWriter::EnsureParagraph() {
    if (!Current().paragraphOpen) {
        StartParagraph();
    }
}

void PlainTextWriter::StartParagraph() {
    if (Current().paragraphOpen) {
        EndParagraph();
    }
    BeginItem();
    Current().paragraphOpen = true;
}

void PlainTextWriter::EndParagraph() {
    Container& c = Current();
    if (!c.paragraphOpen) {
        return;
    }
    c.paragraphOpen = false;
    EndItem();
}

void PlainTextWriter::ListLabel(std::string_view label, std::string_view suffix) {
    EnsureParagraph();
    Append(label);
    Append(suffix);
}

void PlainTextWriter::Text(std::string_view utf8) {
    if (utf8.empty()) {
        return;
    }
    EnsureParagraph();
    if (Current().trimNoteStart) {
        const size_t first = utf8.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            return;
        }
        utf8.remove_prefix(first);
    }
    size_t start = 0;
    for (size_t hyphen = utf8.find(kSoftHyphen); hyphen != std::string_view::npos;
         hyphen = utf8.find(kSoftHyphen, start)) {
        Append(utf8.substr(start, hyphen - start));
        start = hyphen + kSoftHyphen.size();
    }
    Append(utf8.substr(start));
}

void PlainTextWriter::Tab() {
    EnsureParagraph();
    if (Current().trimNoteStart) {
        return;
    }
    Append("\t");
}

void PlainTextWriter::Break(BreakKind) {
    EnsureParagraph();
    Append(newline_);
}

void PlainTextWriter::StartTable() {
    EndParagraph();
    Container& c = Current();
    ++c.tableDepth;
    c.cellIndex.push_back(0);
}

void PlainTextWriter::EndTable() {
    Container& c = Current();
    if (c.tableDepth == 0) {
        return;
    }
    --c.tableDepth;
    c.cellIndex.pop_back();
}

void PlainTextWriter::StartRow() {
    EndParagraph();
    if (Current().tableDepth == 0) {
        StartTable();
    }
    BeginItem();
    Current().cellIndex.back() = 0;
}

void PlainTextWriter::EndRow() {
    // A cell left open by its reader ends with its row; a cell holding a nested table does not.
    if (Current().place == Place::kCell && Current().tableDepth == 0) {
        EndCell();
    }
    EndItem();
}

void PlainTextWriter::StartCell() {
    if (Current().tableDepth == 0) {
        StartRow();
    }
    if (Current().cellIndex.back()++ > 0) {
        Append("\t");
    }
    Open(Place::kCell);
}

void PlainTextWriter::EndCell() {
    if (Current().place != Place::kCell) {
        return;
    }
    EndParagraph();
    Pop();
}

void PlainTextWriter::NoteReference(std::string_view mark) {
    EnsureParagraph();
    Append(mark);
}

void PlainTextWriter::StartNote(NoteKind kind, std::string_view mark) {
    Container& note = Open(Place::kNote);
    note.notePrefix = std::string(mark) + " ";
    note.noteKind = kind;
}

void PlainTextWriter::StartFloatingText() {
    Open(Place::kFloating);
}

void PlainTextWriter::StartMarginText(MarginText kind, std::string_view author) {
    Container& margin = Open(Place::kMargin);
    margin.marginKind = kind;
    for (const char c : Trimmed(author)) {
        margin.author += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;  // stays on its line
    }
}

void PlainTextWriter::Close(layout::Container&) {
    EndParagraph();
}

void PlainTextWriter::Float(layout::Container& box, layout::Container& anchor) {
    if (box.buffer.find_first_not_of(newline_) != std::string::npos) {
        anchor.floating.push_back(std::move(box.buffer));  // an empty text box adds nothing
    }
}

layout::HeldNote PlainTextWriter::NoteOf(layout::Container& closed) {
    auto& note = static_cast<Container&>(closed);
    std::string text = std::move(note.buffer);
    if (note.items == 0) {
        text = note.notePrefix.substr(0, note.notePrefix.size() - 1) + newline_;
    }
    return {note.noteKind, {}, {}, std::move(text)};
}

std::string PlainTextWriter::MarginTextOf(layout::Container& margin) {
    if (Trimmed(margin.buffer).empty()) {
        return {};
    }
    if (margin.marginKind == MarginText::kComment) {
        const std::string line = margin.author.empty() ? std::string() : margin.author + ": ";
        return line + OneLine(margin.buffer, newline_) + newline_;
    }
    return WithoutBlankLines(margin.buffer, newline_);
}

void PlainTextWriter::AfterBody() {
    if (Notes().empty()) {
        return;
    }
    Append(newline_);
    for (const NoteKind kind : {NoteKind::kFootnote, NoteKind::kEndnote}) {
        for (const layout::HeldNote& note : Notes()) {
            if (note.kind == kind) {
                Append(note.text);
            }
        }
    }
}

std::string PlainTextWriter::HeaderBlock(std::span<const std::string> headers, bool) {
    std::string block;
    for (const std::string& header : headers) {
        block += header;
    }
    if (!block.empty()) {
        block += newline_;
    }
    return block;
}

void PlainTextWriter::AppendSection(std::span<const std::string> texts) {
    if (texts.empty()) {
        return;
    }
    Append(newline_);
    for (const std::string& text : texts) {
        Append(text);
    }
}

}  // namespace corvanel::convert

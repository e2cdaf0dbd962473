#include "convert/markdown/MarkdownWriter.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"
#include "convert/markdown/MarkdownCharacters.h"

#include <algorithm>

namespace corvanel::convert {

using layout::Place;
using markdown::HeldBlock;
using markdown::HeldBlocks;
using markdown::InlineWriter;

namespace {

// Markdown blocks indented under a note definition's first line.
std::string Indented(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (start > 0 && end > start) {
            out += "    ";
        }
        out.append(text, start, end - start);
        if (end == text.size()) {
            break;
        }
        out += '\n';
        start = end + 1;
    }
    return out;
}

}  // namespace

// Where blocks go: streaming containers (the body, notes, text boxes outside tables, headers and
// footers) write Markdown to a string as they read; collecting ones (table cells, text boxes in
// them, comments) keep their blocks apart until their place is known.
struct MarkdownWriter::Container final : layout::Container, markdown::BlockOpener {
    Container(MarkdownWriter& w, Place p, bool c) : layout::Container(p), writer(w), collects(c) {}
    void OpenBlock() override { writer.OpenBlock(*this); }

    MarkdownWriter& writer;
    bool collects;               // else streaming, to its target
    HeldBlocks blocks;           // collecting
    HeldBlock paragraph;         // collecting: the open paragraph, until it ends
    std::size_t blockCount = 0;  // streaming: blocks written
    markdown::ListLayout lists;
    InlineWriter inl;

    // The open paragraph.
    int heading = 0;
    int listLevel = -1;
    ListKind listKind = ListKind::kBullet;
    int number = -1;
    char delimiter = '.';
    bool labelled = false;
    std::string* paragraphText = nullptr;

    std::vector<std::unique_ptr<markdown::MarkdownTable>> tables;  // open directly in here
    markdown::MarkdownTable* table = nullptr;                      // a cell's
    HeldBlocks floatingBlocks;  // collecting: text boxes waiting for their paragraph to end
    std::string noteLabel;
};

MarkdownWriter::MarkdownWriter()
    : BlockLayout(std::make_unique<Container>(*this, Place::kBody, false)) {}

MarkdownWriter::~MarkdownWriter() = default;

MarkdownWriter::Container& MarkdownWriter::Current() {
    return static_cast<Container&>(Top());
}

MarkdownWriter::Container& MarkdownWriter::Open(Place place, bool collects) {
    auto c = std::make_unique<Container>(*this, place, collects);
    if (!collects) {
        c->target = &c->buffer;
    }
    return static_cast<Container&>(Push(std::move(c)));
}

// After text was written where the open paragraph goes: the size limit, and the output handed
// over when long.
void MarkdownWriter::Wrote() {
    const Container& c = Current();
    Written(c.paragraphText != nullptr ? *c.paragraphText : Out());
}

// Streaming containers only: the separator and the marker, at a paragraph's first content.
void MarkdownWriter::OpenBlock(Container& c) {
    std::string& target = *c.target;
    if (c.listLevel >= 0 && c.heading == 0) {
        const auto placed =
            c.lists.Place(c.listLevel, c.listKind, c.number, c.delimiter, c.labelled);
        if (c.blockCount > 0) {
            target += placed.continues ? "\n" : "\n\n";
        }
        target += placed.marker;
        c.inl.SetContinuation(placed.continuation);
    } else {
        c.lists.Reset();
        if (c.blockCount > 0) {
            target += "\n\n";
        }
        if (c.heading > 0) {
            target.append(static_cast<std::size_t>(c.heading), '#');
            target += ' ';
        }
    }
    ++c.blockCount;
}

void MarkdownWriter::AddBlock(Container& c, std::string markdown) {
    if (markdown.empty()) {
        return;
    }
    if (c.collects) {
        HeldBlock block;
        block.kind = HeldBlock::Kind::kTable;
        block.text = std::move(markdown);
        c.blocks.push_back(std::move(block));
        return;
    }
    c.lists.Reset();
    if (c.blockCount > 0) {
        Append(*c.target, "\n\n");
    }
    Append(*c.target, markdown);
    ++c.blockCount;
}

void MarkdownWriter::FlushFloating(layout::Container& anchor) {
    auto& c = static_cast<Container&>(anchor);
    if (c.paragraphOpen || !c.tables.empty()) {
        return;  // after the paragraph or table that anchors them
    }
    for (std::string& text : c.floating) {
        AddBlock(c, std::move(text));
    }
    c.floating.clear();
    for (HeldBlock& block : c.floatingBlocks) {
        c.blocks.push_back(std::move(block));
    }
    c.floatingBlocks.clear();
}

void MarkdownWriter::EnsureParagraph() {
    if (!Current().paragraphOpen) {
        StartParagraph();
    }
}

void MarkdownWriter::StartParagraph() {
    Container& c = Current();
    if (c.paragraphOpen) {
        EndParagraph();
    }
    if (!c.tables.empty()) {
        EndTables(c);  // a paragraph between rows: the table so far goes first
    }
    c.paragraphOpen = true;
    c.heading = 0;
    c.listLevel = -1;
    c.number = -1;
    c.delimiter = '.';
    c.labelled = false;
    if (c.collects) {
        c.paragraph = {};
        c.paragraphText = &c.paragraph.text;
        c.inl.Begin(c.paragraphText, InlineWriter::Breaks::kHtml, false, nullptr);
    } else {
        c.paragraphText = c.target;
        c.inl.Begin(c.paragraphText, InlineWriter::Breaks::kHard, false, &c);
        if (c.place == Place::kNote && c.blockCount == 0) {
            c.inl.DropLeadingSpaces();  // as the plain text drops them after the mark
        }
    }
}

void MarkdownWriter::EndParagraph() {
    Container& c = Current();
    if (!c.paragraphOpen) {
        return;
    }
    c.paragraphOpen = false;
    c.paragraph.tail = {};
    const bool wrote = c.inl.End(c.collects ? &c.paragraph.tail : nullptr);
    c.paragraphText = nullptr;
    if (c.collects && wrote) {
        c.blocks.push_back(std::move(c.paragraph));
    }
    FlushFloating(c);
    Wrote();
}

void MarkdownWriter::Heading(int level) {
    Container& c = Current();
    if (c.place == Place::kBody && c.paragraphOpen && level >= 1 && level <= 6) {
        c.heading = level;
        c.inl.MakeHeading();
    }
}

void MarkdownWriter::ListItem(int level, ListKind kind) {
    Container& c = Current();
    if (!c.paragraphOpen) {
        return;
    }
    c.listLevel = std::clamp(level, 0, 9);
    c.listKind = kind;
    if (c.collects) {
        c.paragraph.kind = HeldBlock::Kind::kListItem;
        c.paragraph.level = c.listLevel;
        c.paragraph.listKind = kind;
    }
}

void MarkdownWriter::ListLabel(std::string_view label, std::string_view suffix) {
    EnsureParagraph();
    Container& c = Current();
    if (c.listLevel >= 0 && c.heading == 0) {
        // A bullet or a plain number is the list marker; any other label starts the text of a
        // bullet item, so that it shows once.
        const int number = c.listKind == ListKind::kNumbered ? markdown::PlainNumber(label) : -1;
        if (c.listKind == ListKind::kBullet || number >= 0) {
            c.number = number;
            c.delimiter = markdown::NumberDelimiter(label);
            if (c.collects) {
                c.paragraph.number = number;
                c.paragraph.delimiter = c.delimiter;
            }
            return;
        }
        c.labelled = true;
        if (c.collects) {
            c.paragraph.labelled = true;
        }
        c.inl.Text(label);
        c.inl.Text(" ");
        return;
    }
    c.inl.Text(label);
    if (suffix == "\t") {
        c.inl.Tab();
    } else {
        c.inl.Text(suffix);
    }
}

void MarkdownWriter::Text(std::string_view utf8) {
    if (utf8.empty()) {
        return;
    }
    EnsureParagraph();
    Current().inl.Text(utf8);
    Wrote();
}

void MarkdownWriter::Tab() {
    EnsureParagraph();
    Current().inl.Tab();
}

void MarkdownWriter::Break(BreakKind) {
    EnsureParagraph();
    Current().inl.LineBreak();
}

void MarkdownWriter::Style(TextStyle style) {
    if (Current().paragraphOpen) {
        Current().inl.SetStyle(style);
    }
}

void MarkdownWriter::StartLink(std::string_view target, bool internal) {
    EnsureParagraph();
    Current().inl.StartLink(target, internal);
}

void MarkdownWriter::EndLink() {
    if (Current().paragraphOpen) {
        Current().inl.EndLink();
    }
}

void MarkdownWriter::Picture(std::string_view description, std::string_view title) {
    EnsureParagraph();
    Current().inl.Picture(description, title);
    Wrote();
}

void MarkdownWriter::NoteReference(std::string_view mark) {
    EnsureParagraph();
    const std::string key(mark);
    const std::string label = markdown::NoteLabel(mark, ++references_[key]);
    if (referenced_.insert(label).second) {
        referenceOrder_.push_back(label);
    }
    Current().inl.NoteReference(label);
    Wrote();
}

void MarkdownWriter::StartTable() {
    Container& c = Current();
    EndParagraph();
    FlushFloating(c);
    c.tables.push_back(std::make_unique<markdown::MarkdownTable>());
}

void MarkdownWriter::EndTable() {
    Container& c = Current();
    if (c.tables.empty()) {
        return;
    }
    EndParagraph();
    std::unique_ptr<markdown::MarkdownTable> table = std::move(c.tables.back());
    c.tables.pop_back();
    if (table->RowOpen()) {
        table->EndRow();
    }
    AddBlock(c, table->Render());
    FlushFloating(c);
    Wrote();
}

void MarkdownWriter::EndTables(Container& c) {
    while (!c.tables.empty()) {
        EndTable();
    }
}

void MarkdownWriter::StartRow() {
    EndParagraph();
    Container& c = Current();
    if (c.tables.empty()) {
        StartTable();
    }
    c.tables.back()->StartRow();
}

void MarkdownWriter::HeaderRow() {
    if (!Current().tables.empty()) {
        Current().tables.back()->MarkHeaderRow();
    }
}

void MarkdownWriter::EndRow() {
    // A cell left open by its reader ends with its row; a cell holding a nested table does not.
    if (Current().place == Place::kCell && Current().tables.empty()) {
        EndCell();
    }
    Container& c = Current();
    if (!c.tables.empty()) {
        c.tables.back()->EndRow();
    }
}

void MarkdownWriter::StartCell() {
    Container& parent = Current();
    if (parent.tables.empty() || !parent.tables.back()->RowOpen()) {
        StartRow();
    }
    markdown::MarkdownTable* table = parent.tables.back().get();
    table->StartCell();
    Open(Place::kCell, true).table = table;
}

void MarkdownWriter::CellSpan(int columns, int rows) {
    if (Current().place == Place::kCell && Current().table != nullptr) {
        Current().table->Span(columns, rows);
    }
}

void MarkdownWriter::CoveredCell() {
    if (Current().place == Place::kCell && Current().table != nullptr) {
        Current().table->MarkCovered();
    }
}

void MarkdownWriter::EndCell() {
    if (Current().place != Place::kCell) {
        return;
    }
    Container& cell = Current();
    EndParagraph();
    EndTables(cell);
    FlushFloating(cell);
    HeldBlocks blocks = std::move(cell.blocks);
    markdown::MarkdownTable* table = cell.table;
    Pop();
    table->EndCell(std::move(blocks));
    if (table->Bytes() > limits::kMaxOutputBytes) {
        ThrowTooLarge("its text exceeds the output size limit");
    }
}

void MarkdownWriter::StartNote(NoteKind kind, std::string_view mark) {
    Container& note = Open(Place::kNote, false);
    note.noteKind = kind;
    note.mark = mark;
    note.noteLabel = markdown::NoteLabel(mark, ++noteMarks_[std::string(mark)]);
}

void MarkdownWriter::StartFloatingText() {
    Open(Place::kFloating, Current().collects);
}

void MarkdownWriter::StartMarginText(MarginText kind, std::string_view author) {
    Container& margin = Open(Place::kMargin, kind == MarginText::kComment);
    margin.marginKind = kind;
    margin.author = author;
}

void MarkdownWriter::Close(layout::Container& closing) {
    auto& c = static_cast<Container&>(closing);
    EndParagraph();
    EndTables(c);
    FlushFloating(c);
}

layout::HeldNote MarkdownWriter::NoteOf(layout::Container& closed) {
    auto& note = static_cast<Container&>(closed);
    return {note.noteKind, std::move(note.mark), std::move(note.noteLabel), std::move(note.buffer)};
}

void MarkdownWriter::Float(layout::Container& closed, layout::Container& to) {
    auto& box = static_cast<Container&>(closed);
    auto& anchor = static_cast<Container&>(to);
    if (anchor.collects) {
        for (HeldBlock& block : box.blocks) {
            anchor.floatingBlocks.push_back(std::move(block));
        }
    } else if (!box.buffer.empty()) {
        anchor.floating.push_back(std::move(box.buffer));
    }
}

std::string MarkdownWriter::MarginTextOf(layout::Container& closed) {
    auto& margin = static_cast<Container&>(closed);
    if (margin.marginKind != MarginText::kComment) {
        return std::move(margin.buffer);
    }
    // One paragraph: the author, ": " and the comment's paragraphs joined by a space; its
    // tables after it.
    std::string line;
    std::string tables;
    for (const HeldBlock& block : margin.blocks) {
        if (block.kind == HeldBlock::Kind::kTable) {
            tables += "\n\n" + block.text;
        } else {
            line += (line.empty() ? "" : " ") + block.text;
        }
    }
    if (line.empty() && tables.empty()) {
        return {};
    }
    std::string author(margin.author);
    author.erase(0, author.find_first_not_of(" \t\r\n"));
    author.erase(author.find_last_not_of(" \t\r\n") + 1);
    std::string text = author.empty() ? std::string() : markdown::EscapedInline(author) + ": ";
    return text + line + tables;
}

std::string MarkdownWriter::HeaderBlock(std::span<const std::string> headers, bool bodyFollows) {
    std::string block;
    for (const std::string& header : headers) {
        block += header + "\n\n";
    }
    if (!bodyFollows && !block.empty()) {
        block.resize(block.size() - 2);  // nothing follows them
    }
    return block;
}

void MarkdownWriter::Section(const std::string& markdown) {
    Container& body = static_cast<Container&>(Body());
    body.lists.Reset();
    if (Started()) {
        Append(Out(), "\n\n");
    }
    Append(Out(), markdown);
    ++body.blockCount;
}

void MarkdownWriter::AppendSection(std::span<const std::string> texts) {
    for (const std::string& text : texts) {
        Section(text);
    }
}

void MarkdownWriter::WriteNotes() {
    std::unordered_set<std::string> defined;
    for (const NoteKind kind : {NoteKind::kFootnote, NoteKind::kEndnote}) {
        for (const layout::HeldNote& note : Notes()) {
            if (note.kind != kind) {
                continue;
            }
            if (referenced_.count(note.label) != 0 && defined.insert(note.label).second) {
                std::string definition = "[^" + note.label + "]:";
                if (!note.text.empty()) {
                    definition += ' ' + Indented(note.text);
                }
                Section(definition);
            } else {
                // No reference in the text to hang it on: its mark and its text as they are.
                const std::string mark = markdown::EscapedInline(note.mark);
                Section(note.text.empty() ? mark : mark + "\n\n" + note.text);
            }
        }
    }
    // A reference whose note never came would show as literal text without a definition.
    for (const std::string& label : referenceOrder_) {
        if (defined.count(label) == 0) {
            Section("[^" + label + "]:");
        }
    }
}

void MarkdownWriter::AtEnd() {
    WriteNotes();
    if (Started()) {
        Append(Out(), "\n");
    }
}

}  // namespace corvanel::convert

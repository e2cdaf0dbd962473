#include "convert/rtf/RtfEmitter.h"

#include <algorithm>

namespace corvanel::convert::rtf {

RtfEmitter::RtfEmitter(DocumentSink& sink) : sink_(sink) {
    contexts_.emplace_back();
}

void RtfEmitter::CloseParagraph() {
    Context& c = Current();
    if (c.paragraphOpen) {
        c.paragraphOpen = false;
        // Links stay within their paragraph.
        if (c.linkOpen) {
            sink_.EndLink();
        }
        c.linkOpen = c.linkPending = false;
        sink_.EndParagraph();
    }
}

void RtfEmitter::CloseInnermostTable() {
    CloseParagraph();
    Context& c = Current();
    const TableLevel table = c.tables.back();
    if (table.cellOpen) {
        sink_.EndCell();
    }
    if (table.rowOpen) {
        sink_.EndRow();
    }
    sink_.EndTable();
    c.tables.pop_back();
}

void RtfEmitter::EnsureCell() {
    TableLevel& table = Current().tables.back();
    if (!table.rowOpen) {
        CloseParagraph();
        sink_.StartRow();
        table.rowOpen = true;
        table.cell = 0;
        if (Current().tables.size() == 1 && row_.header) {
            sink_.HeaderRow();
        }
    }
    if (!table.cellOpen) {
        CloseParagraph();
        sink_.StartCell();
        table.cellOpen = true;
        CellStructure(table);
    }
}

// The merges of the outermost table's cells, from the row definition. How many rows a
// vertical merge spans is stated only by the rows that follow: its first cell reports the
// columns it spans, the cells below come as covered.
void RtfEmitter::CellStructure(TableLevel& table) {
    const std::size_t index = table.cell++;
    if (Current().tables.size() != 1 || index >= row_.cells.size()) {
        return;
    }
    const RtfCellMerge& cell = row_.cells[index];
    if (cell.merged || cell.verticalMerged) {
        sink_.CoveredCell();
        return;
    }
    int columns = 1;
    for (std::size_t next = index + 1; cell.first && next < row_.cells.size(); ++next) {
        if (!row_.cells[next].merged) {
            break;
        }
        ++columns;
    }
    if (columns > 1) {
        sink_.CellSpan(columns, 1);
    }
}

void RtfEmitter::SyncLevel(int level) {
    Context& c = Current();
    const auto wanted = static_cast<std::size_t>(std::max(level, 0));
    while (c.tables.size() > wanted) {
        CloseInnermostTable();
    }
    while (c.tables.size() < wanted) {
        if (!c.tables.empty()) {
            EnsureCell();  // a nested table sits in a cell of the enclosing one
        }
        CloseParagraph();
        sink_.StartTable();
        c.tables.emplace_back();
    }
    if (wanted > 0) {
        EnsureCell();
    }
}

void RtfEmitter::OpenParagraph(int level) {
    SyncLevel(level);
    Context& c = Current();
    if (c.paragraphOpen) {
        return;
    }
    sink_.StartParagraph();
    c.paragraphOpen = true;
    c.sentStyle = {};
    if (c.heading > 0) {
        sink_.Heading(c.heading);
    }
    if (c.listLevel >= 0) {
        sink_.ListItem(c.listLevel, c.listKind);
    }
    c.heading = 0;
    c.listLevel = -1;
    if (c.hasLabel) {
        sink_.ListLabel(c.label, c.suffix);
        c.hasLabel = false;
    }
    for (const PendingPicture& picture : c.pictures) {
        sink_.Picture(picture.description, picture.title);
    }
    c.pictures.clear();
}

void RtfEmitter::SetParagraphStructure(int heading, int listLevel, ListKind kind) {
    Context& c = Current();
    c.heading = heading;
    c.listLevel = listLevel;
    c.listKind = kind;
}

void RtfEmitter::StartLink(std::string target, bool internal) {
    Context& c = Current();
    if (c.linkOpen) {
        sink_.EndLink();
        c.linkOpen = false;
    }
    c.linkPending = true;
    c.link = {std::move(target), internal};
}

void RtfEmitter::EndLink() {
    Context& c = Current();
    if (c.linkOpen) {
        sink_.EndLink();
    }
    c.linkOpen = c.linkPending = false;
}

void RtfEmitter::Picture(std::string description, std::string title) {
    Context& c = Current();
    if (c.paragraphOpen) {
        sink_.Picture(description, title);
    } else {
        c.pictures.push_back({std::move(description), std::move(title)});
    }
}

void RtfEmitter::Text(std::string_view utf8, int level) {
    Context& c = Current();
    if (c.trimLeadingSpace) {
        const auto start = utf8.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            return;
        }
        utf8.remove_prefix(start);
        c.trimLeadingSpace = false;
    }
    if (utf8.empty()) {
        return;
    }
    OpenParagraph(level);
    if (!(style_ == c.sentStyle)) {
        sink_.Style(style_);
        c.sentStyle = style_;
    }
    if (c.linkPending) {
        sink_.StartLink(c.link.target, c.link.internal);
        c.linkPending = false;
        c.linkOpen = true;
    }
    sink_.Text(utf8);
}

void RtfEmitter::Tab(int level) {
    OpenParagraph(level);
    Current().trimLeadingSpace = false;
    sink_.Tab();
}

void RtfEmitter::Break(BreakKind kind, int level) {
    OpenParagraph(level);
    Current().trimLeadingSpace = false;
    sink_.Break(kind);
}

void RtfEmitter::EndParagraph(int level) {
    OpenParagraph(level);
    CloseParagraph();
}

void RtfEmitter::EndSection() {
    CloseParagraph();
}

void RtfEmitter::EndCell(int level) {
    SyncLevel(std::max(level, 1));
    CloseParagraph();
    TableLevel& table = Current().tables.back();
    sink_.EndCell();
    table.cellOpen = false;
}

void RtfEmitter::EndRow(int level) {
    Context& c = Current();
    const auto wanted = static_cast<std::size_t>(std::max(level, 1));
    if (c.tables.size() < wanted) {
        return;  // a row mark with no cells before it
    }
    while (c.tables.size() > wanted) {
        CloseInnermostTable();
    }
    CloseParagraph();
    TableLevel& table = c.tables.back();
    if (table.cellOpen) {
        sink_.EndCell();
        table.cellOpen = false;
    }
    if (table.rowOpen) {
        sink_.EndRow();
        table.rowOpen = false;
    }
}

void RtfEmitter::SetListLabel(std::string label, std::string suffix) {
    Context& c = Current();
    c.hasLabel = true;
    c.label = std::move(label);
    c.suffix = std::move(suffix);
}

void RtfEmitter::NoteReference(std::string_view mark, int level) {
    OpenParagraph(level);
    sink_.NoteReference(mark);
}

void RtfEmitter::EndTablesBetweenRows() {
    while (!Current().tables.empty() && !Current().tables.back().cellOpen) {
        CloseInnermostTable();
    }
}

void RtfEmitter::StartNote(NoteKind kind, std::string_view mark) {
    EndTablesBetweenRows();
    sink_.StartNote(kind, mark);
    Context note;
    note.kind = ContextKind::kNote;
    note.trimLeadingSpace = true;
    contexts_.push_back(std::move(note));
}

void RtfEmitter::CloseContext() {
    while (!Current().tables.empty()) {
        CloseInnermostTable();
    }
    CloseParagraph();
}

void RtfEmitter::EndNote() {
    if (contexts_.size() < 2 || Current().kind != ContextKind::kNote) {
        return;
    }
    CloseContext();
    contexts_.pop_back();
    sink_.EndNote();
}

void RtfEmitter::StartFloatingText(int level) {
    OpenParagraph(level);
    sink_.StartFloatingText();
    Context floating;
    floating.kind = ContextKind::kFloating;
    contexts_.push_back(std::move(floating));
}

void RtfEmitter::EndFloatingText() {
    if (contexts_.size() < 2 || Current().kind != ContextKind::kFloating) {
        return;
    }
    CloseContext();
    contexts_.pop_back();
    sink_.EndFloatingText();
}

void RtfEmitter::StartMarginText(MarginText kind, std::string_view author) {
    EndTablesBetweenRows();
    sink_.StartMarginText(kind, author);
    Context margin;
    margin.kind = ContextKind::kMargin;
    contexts_.push_back(std::move(margin));
}

void RtfEmitter::EndMarginText() {
    if (contexts_.size() < 2 || Current().kind != ContextKind::kMargin) {
        return;
    }
    CloseContext();
    contexts_.pop_back();
    sink_.EndMarginText();
}

void RtfEmitter::Finish() {
    while (contexts_.size() > 1) {
        if (Current().kind == ContextKind::kNote) {
            EndNote();
        } else if (Current().kind == ContextKind::kMargin) {
            EndMarginText();
        } else {
            EndFloatingText();
        }
    }
    CloseContext();
}

}  // namespace corvanel::convert::rtf

#include "convert/rtf/RtfEmitter.h"

#include <algorithm>

namespace corvanel::convert::rtf {

RtfEmitter::RtfEmitter(DocumentSink& sink) : sink_(sink) {
    contexts_.emplace_back();
}

void RtfEmitter::CloseParagraph() {
    if (Current().paragraphOpen) {
        Current().paragraphOpen = false;
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
    }
    if (!table.cellOpen) {
        CloseParagraph();
        sink_.StartCell();
        table.cellOpen = true;
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
    if (c.hasLabel) {
        sink_.ListLabel(c.label, c.suffix);
        c.hasLabel = false;
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

void RtfEmitter::StartNote(NoteKind kind, std::string_view mark) {
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

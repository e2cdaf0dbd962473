#include "convert/plaintext/PlainTextWriter.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"

namespace corvanel::convert {

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

PlainTextWriter::PlainTextWriter(std::string newline) : newline_(std::move(newline)) {
    stack_.push_back(Container{Container::Kind::kBody, &out_});
}

void PlainTextWriter::Property(DocumentProperty property, std::string_view value) {
    if (wantProperties_) {
        facts_.AddProperty(property, value);
    }
}

void PlainTextWriter::Append(std::string_view s) {
    std::string& target = *Current().target;
    const bool isOutput = &target == &out_;
    if (isOutput) {
        output_.CheckSize(s.size());
    } else if (target.size() + s.size() > limits::kMaxOutputBytes) {
        ThrowTooLarge("its text exceeds the output size limit");
    }
    target.append(s);
    Current().trimNoteStart = false;
    if (isOutput) {
        output_.DrainIfOver([this] { return headersOut_ ? std::string() : HeaderBlock(); });
    }
}

void PlainTextWriter::BeginItem() {
    Container& c = Current();
    if (c.kind == Container::Kind::kCell && c.items > 0) {
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
    if (c.kind != Container::Kind::kCell) {
        Append(newline_);
    }
    ++c.items;
    FlushFloating(c);
}

void PlainTextWriter::FlushFloating(Container& c) {
    for (std::string& text : c.floating) {
        if (c.kind == Container::Kind::kCell) {
            // Items in a cell are separated, not terminated: drop the last line break.
            if (text.size() >= newline_.size()) {
                text.resize(text.size() - newline_.size());
            }
            if (c.items > 0) {
                Append(newline_);
            }
            Append(text);
        } else {
            Append(text);
        }
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
    if (Current().kind == Container::Kind::kCell && Current().tableDepth == 0) {
        EndCell();
    }
    EndItem();
}

void PlainTextWriter::StartCell() {
    Container& c = Current();
    if (c.tableDepth == 0) {
        StartRow();
    }
    if (Current().cellIndex.back()++ > 0) {
        Append("\t");
    }
    std::string* target = Current().target;
    stack_.push_back(Container{Container::Kind::kCell, target});
}

void PlainTextWriter::EndCell() {
    if (Current().kind != Container::Kind::kCell) {
        return;
    }
    EndParagraph();
    stack_.pop_back();
}

void PlainTextWriter::NoteReference(std::string_view mark) {
    EnsureParagraph();
    Append(mark);
}

void PlainTextWriter::StartNote(NoteKind kind, std::string_view mark) {
    stack_.push_back(Container{Container::Kind::kNote, nullptr});
    Container& note = stack_.back();
    note.target = &note.buffer;
    note.notePrefix = std::string(mark) + " ";
    note.noteKind = kind;
}

void PlainTextWriter::EndNote() {
    if (Current().kind != Container::Kind::kNote) {
        return;
    }
    EndParagraph();
    Container& note = Current();
    std::string text = std::move(note.buffer);
    if (note.items == 0) {
        text = note.notePrefix.substr(0, note.notePrefix.size() - 1) + newline_;
    }
    (note.noteKind == NoteKind::kFootnote ? footnotes_ : endnotes_).push_back(std::move(text));
    stack_.pop_back();
}

void PlainTextWriter::StartFloatingText() {
    stack_.push_back(Container{Container::Kind::kFloating, nullptr});
    stack_.back().target = &stack_.back().buffer;
}

void PlainTextWriter::EndFloatingText() {
    if (Current().kind != Container::Kind::kFloating) {
        return;
    }
    EndParagraph();
    std::string text = std::move(Current().buffer);
    stack_.pop_back();
    if (text.find_first_not_of(newline_) == std::string::npos) {
        return;  // an empty text box adds nothing
    }
    Container& anchor = Current();
    anchor.floating.push_back(std::move(text));
    if (!anchor.paragraphOpen) {
        FlushFloating(anchor);
    }
}

void PlainTextWriter::StartMarginText(MarginText kind, std::string_view author) {
    stack_.push_back(Container{Container::Kind::kMargin, nullptr});
    Container& margin = stack_.back();
    margin.target = &margin.buffer;
    margin.marginKind = kind;
    for (const char c : Trimmed(author)) {
        margin.author += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;  // stays on its line
    }
}

void PlainTextWriter::EndMarginText() {
    if (Current().kind != Container::Kind::kMargin) {
        return;
    }
    EndParagraph();
    const MarginText kind = Current().marginKind;
    std::string text = std::move(Current().buffer);
    std::string author = std::move(Current().author);
    stack_.pop_back();
    if (!wantMargins_.Has(kind) || Trimmed(text).empty()) {
        return;
    }
    if (kind == MarginText::kComment) {
        std::string line = author.empty() ? std::string() : author + ": ";
        Hold(comments_, line + OneLine(text, newline_) + newline_);
        return;
    }
    Hold(kind == MarginText::kHeader ? headers_ : footers_, WithoutBlankLines(text, newline_));
}

void PlainTextWriter::Hold(std::vector<std::string>& texts, std::string text) {
    if (&texts != &comments_ &&
        !(&texts == &headers_ ? heldHeaders_ : heldFooters_).insert(text).second) {
        return;  // sections often repeat their headers and footers
    }
    marginBytes_ += text.size();
    if (marginBytes_ > limits::kMaxOutputBytes) {
        ThrowTooLarge("its text exceeds the output size limit");
    }
    texts.push_back(std::move(text));
}

std::string PlainTextWriter::HeaderBlock() {
    headersOut_ = true;
    headersWritten_ = headers_.size();
    std::string block;
    for (const std::string& header : headers_) {
        block += header;
    }
    if (!block.empty()) {
        block += newline_;
    }
    return block;
}

void PlainTextWriter::AppendBlock(const std::vector<std::string>& texts) {
    if (texts.empty()) {
        return;
    }
    Append(newline_);
    for (const std::string& text : texts) {
        Append(text);
    }
}

void PlainTextWriter::EndDocument() {
    if (ended_) {
        return;
    }
    ended_ = true;
    while (stack_.size() > 1) {
        switch (Current().kind) {
            case Container::Kind::kCell:
                EndCell();
                break;
            case Container::Kind::kNote:
                EndNote();
                break;
            case Container::Kind::kFloating:
                EndFloatingText();
                break;
            case Container::Kind::kMargin:
                EndMarginText();
                break;
            case Container::Kind::kBody:
                stack_.pop_back();
                break;
        }
    }
    EndParagraph();
    if (!footnotes_.empty() || !endnotes_.empty()) {
        Append(newline_);
        for (const std::string& note : footnotes_) {
            Append(note);
        }
        for (const std::string& note : endnotes_) {
            Append(note);
        }
    }
    if (!headersOut_) {
        out_.insert(0, HeaderBlock());
    } else {
        // Headers that came after the body had started to leave: late, but not lost.
        AppendBlock(
            {headers_.begin() + static_cast<std::ptrdiff_t>(headersWritten_), headers_.end()});
    }
    AppendBlock(footers_);
    AppendBlock(comments_);
}

}  // namespace corvanel::convert

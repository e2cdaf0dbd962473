#include "convert/odf/OdfBodyReader.h"

#include "convert/core/ConvertError.h"
#include "convert/core/DocumentSink.h"
#include "convert/core/XmlDocument.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace corvanel::convert::odf {

namespace {

// A repeated row or cell (table:number-*-repeated) is written at most this many times; the
// rest of a spreadsheet-style "repeat to the end of the sheet" carries nothing.
constexpr int kMaxRepeat = 1024;
constexpr int kMaxColumns = 16384;
constexpr int kMaxSpaces = 4096;
constexpr std::uint64_t kMaxEmittedCells = 4'000'000;
constexpr std::uint64_t kMaxRepeatedVisits = 10'000'000;

enum class Kind {
    kOther,
    kSkip,
    kParagraph,
    kHeading,
    kList,
    kNumberedParagraph,
    kTable,
    kSection,
    kSpace,
    kTab,
    kLineBreak,
    kNote,
    kHiddenText,
    kHiddenParagraph,
    kRuby,
    kShape,
};

Kind KindOf(pugi::xml_node node) {
    const char* name = node.name();
    if (std::strncmp(name, "draw:", 5) == 0) {
        return Kind::kShape;
    }
    if (std::strncmp(name, "text:", 5) == 0) {
        const std::string_view local(name + 5);
        if (local == "p")
            return Kind::kParagraph;
        if (local == "span" || local == "a")
            return Kind::kOther;
        if (local == "s")
            return Kind::kSpace;
        if (local == "tab" || local == "tab-stop")
            return Kind::kTab;
        if (local == "line-break")
            return Kind::kLineBreak;
        if (local == "h")
            return Kind::kHeading;
        if (local == "list" || local == "ordered-list" || local == "unordered-list") {
            return Kind::kList;
        }
        if (local == "numbered-paragraph")
            return Kind::kNumberedParagraph;
        if (local == "section")
            return Kind::kSection;
        if (local == "note" || local == "footnote" || local == "endnote")
            return Kind::kNote;
        if (local == "hidden-text")
            return Kind::kHiddenText;
        if (local == "hidden-paragraph")
            return Kind::kHiddenParagraph;
        if (local == "ruby")
            return Kind::kRuby;
        if (local == "tracked-changes" || local == "changed-region" || local == "deletion" ||
            local == "sequence-decls" || local == "variable-decls" || local == "user-field-decls" ||
            local == "dde-connection-decls" || local == "soft-page-break" || local == "number" ||
            local == "ruby-text" || local == "bookmark" || local == "bookmark-start" ||
            local == "bookmark-end" || local.ends_with("-source") ||
            local == "alphabetical-index-mark" || local == "toc-mark" ||
            local == "user-index-mark") {
            return Kind::kSkip;
        }
        return Kind::kOther;
    }
    if (std::strncmp(name, "table:", 6) == 0) {
        return std::strcmp(name + 6, "table") == 0 ? Kind::kTable : Kind::kSkip;
    }
    if (std::strncmp(name, "office:", 7) == 0) {
        // Annotations (comments), forms, scripts, embedded binary data.
        return Kind::kSkip;
    }
    if (std::strncmp(name, "svg:", 4) == 0 || std::strncmp(name, "math:", 5) == 0 ||
        std::strncmp(name, "form:", 5) == 0 || std::strncmp(name, "presentation:", 13) == 0) {
        return Kind::kSkip;
    }
    return Kind::kOther;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::optional<int> IntAttribute(pugi::xml_node node, const char* name) {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) {
        return std::nullopt;
    }
    const std::string_view s(a.value());
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end == s.data()) {
        return std::nullopt;
    }
    return value;
}

int Count(pugi::xml_node node, const char* name, int high) {
    const int value = IntAttribute(node, name).value_or(1);
    return value < 1 ? 1 : (value > high ? high : value);
}

bool IsTrue(pugi::xml_node node, const char* name) {
    return std::string_view(node.attribute(name).value()) == "true";
}

// The visible text of a small element (a note citation), whitespace trimmed.
std::string PlainTextOf(pugi::xml_node node) {
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            text += n.value();
        } else if (n.type() == pugi::node_element && n.first_child().type() == pugi::node_pcdata) {
            text += n.first_child().value();
        }
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A paragraph marked hidden by a hidden-paragraph field whose condition holds.
bool HasHiddenParagraphField(pugi::xml_node paragraph) {
    for (pugi::xml_node n = paragraph.first_child(); n; n = n.next_sibling()) {
        if (KindOf(n) == Kind::kHiddenParagraph && IsTrue(n, "text:is-hidden")) {
            return true;
        }
    }
    return false;
}

}  // namespace

void BodyReader::Read(pugi::xml_node body) {
    Blocks(body);
}

void BodyReader::CountRepeatedVisit() {
    if (repeating_ > 0 && ++repeatedVisits_ > kMaxRepeatedVisits) {
        ThrowTooLarge("its tables repeat more content than the converter allows");
    }
}

void BodyReader::Blocks(pugi::xml_node parent) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            Block(node);
        }
    }
}

void BodyReader::CancelPendingLabel() {
    if (!lists_.empty()) {
        lists_.back().labelPending = false;
    }
}

void BodyReader::Block(pugi::xml_node node) {
    CountRepeatedVisit();
    switch (KindOf(node)) {
        case Kind::kParagraph:
            Paragraph(node, false);
            return;
        case Kind::kHeading:
            Paragraph(node, true);
            return;
        case Kind::kList:
            CancelPendingLabel();
            List(node);
            return;
        case Kind::kNumberedParagraph:
            CancelPendingLabel();
            NumberedParagraph(node);
            return;
        case Kind::kTable:
            CancelPendingLabel();
            Table(node);
            return;
        case Kind::kShape:
            Shape(node);
            return;
        case Kind::kSection: {
            const std::string_view display = node.attribute("text:display").value();
            if (display != "none" && !IsTrue(node, "text:is-hidden")) {
                Blocks(node);
            }
            return;
        }
        case Kind::kSkip:
        case Kind::kHiddenText:
        case Kind::kHiddenParagraph:
            return;
        default:
            // Indexes, index bodies, change markers and elements Corvanel does not know: their
            // paragraphs are still text.
            Blocks(node);
            return;
    }
}

void BodyReader::Paragraph(pugi::xml_node node, bool heading) {
    const char* styleName = node.attribute("text:style-name").value();
    if (styles_.IsHidden(styleName, StyleSheet::Family::kParagraph) ||
        HasHiddenParagraphField(node)) {
        CancelPendingLabel();
        return;
    }
    sink_.StartParagraph();
    Label(node, heading);
    InlineState state;
    InlineChildren(node, state);
    sink_.EndParagraph();
}

void BodyReader::Label(pugi::xml_node paragraph, bool heading) {
    std::optional<ListLabelText> label;
    if (!lists_.empty() && lists_.back().labelPending) {
        ListFrame& frame = lists_.back();
        frame.labelPending = false;
        const std::string_view styleName =
            frame.styleName.empty()
                ? styles_.ParagraphListStyle(paragraph.attribute("text:style-name").value())
                : std::string_view(frame.styleName);
        label = NextListLabel(*frame.counters, styles_.FindListStyle(styleName), frame.level,
                              frame.startValue);
    } else if (heading && lists_.empty() && !IsTrue(paragraph, "text:is-list-header")) {
        const std::optional<int> level = IntAttribute(paragraph, "text:outline-level");
        if (level && *level >= 1 && styles_.Outline() != nullptr) {
            std::optional<int> start;
            if (IsTrue(paragraph, "text:restart-numbering")) {
                start = IntAttribute(paragraph, "text:start-value").value_or(1);
            }
            label = NextListLabel(outline_, styles_.Outline(), *level, start);
        }
    }
    if (label) {
        sink_.ListLabel(label->label, label->suffix);
    }
}

void BodyReader::InlineChildren(pugi::xml_node parent, InlineState& state) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        Inline(node, state);
    }
}

void BodyReader::FlushSpace(InlineState& state) {
    if (state.pendingSpace) {
        sink_.Text(" ");
        state.pendingSpace = false;
    }
    state.lineStart = false;
}

void BodyReader::Characters(std::string_view text, InlineState& state) {
    text_.clear();
    for (const char c : text) {
        if (IsSpace(c)) {
            state.pendingSpace = !state.lineStart;
            continue;
        }
        if (state.pendingSpace) {
            text_ += ' ';
            state.pendingSpace = false;
        }
        text_ += c;
        state.lineStart = false;
    }
    sink_.Text(text_);
}

void BodyReader::Inline(pugi::xml_node node, InlineState& state) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        Characters(node.value(), state);
        return;
    }
    if (node.type() != pugi::node_element) {
        return;
    }
    CountRepeatedVisit();
    switch (KindOf(node)) {
        case Kind::kSpace: {
            FlushSpace(state);
            const int count = Count(node, "text:c", kMaxSpaces);
            sink_.Text(std::string(static_cast<size_t>(count), ' '));
            return;
        }
        case Kind::kTab:
            FlushSpace(state);
            sink_.Tab();
            return;
        case Kind::kLineBreak:
            state.pendingSpace = false;
            state.lineStart = true;
            sink_.Break(BreakKind::kLine);
            return;
        case Kind::kNote:
            Note(node, state);
            return;
        case Kind::kShape:
            Shape(node);
            return;
        case Kind::kHiddenText:
            if (std::string_view(node.attribute("text:is-hidden").value()) == "false") {
                Characters(node.attribute("text:string-value").value(), state);
            }
            return;
        case Kind::kRuby:
            // The base text only; the annotation above it is not part of the line.
            for (pugi::xml_node part = node.first_child(); part; part = part.next_sibling()) {
                if (std::strcmp(part.name(), "text:ruby-base") == 0) {
                    InlineChildren(part, state);
                }
            }
            return;
        case Kind::kSkip:
        case Kind::kHiddenParagraph:
            return;
        case Kind::kParagraph:
        case Kind::kHeading:
        case Kind::kList:
        case Kind::kNumberedParagraph:
        case Kind::kTable:
        case Kind::kSection:
            // Block content where only inline content belongs: keep its text in this line.
            InlineChildren(node, state);
            return;
        default:
            if (styles_.IsHidden(node.attribute("text:style-name").value(),
                                 StyleSheet::Family::kText)) {
                return;
            }
            // Spans, links, fields (their displayed text), metadata wrappers.
            InlineChildren(node, state);
            return;
    }
}

void BodyReader::Note(pugi::xml_node note, InlineState& state) {
    const pugi::xml_node citation = note.child("text:note-citation");
    std::string mark = citation.attribute("text:label").value();
    if (mark.empty()) {
        mark = PlainTextOf(citation);
    }
    const bool endnote = std::string_view(note.attribute("text:note-class").value()) == "endnote" ||
                         std::strcmp(note.name(), "text:endnote") == 0;
    FlushSpace(state);
    sink_.NoteReference(mark);
    pugi::xml_node body = note.child("text:note-body");
    if (!body) {
        body = note.child(endnote ? "text:endnote-body" : "text:footnote-body");
    }
    WithOwnLists([&] {
        sink_.StartNote(endnote ? NoteKind::kEndnote : NoteKind::kFootnote, mark);
        Blocks(body);
        sink_.EndNote();
    });
}

void BodyReader::Shape(pugi::xml_node shape) {
    DepthGuard guard(depth_);
    const std::string_view name(shape.name());
    if (name == "draw:frame") {
        // A frame holds alternative views of one object; its text box is the one with text.
        if (const pugi::xml_node box = shape.child("draw:text-box")) {
            FloatingText(box);
        }
        return;
    }
    if (name == "draw:g" || name == "draw:a") {
        for (pugi::xml_node child = shape.first_child(); child; child = child.next_sibling()) {
            if (KindOf(child) == Kind::kShape) {
                Shape(child);
            }
        }
        return;
    }
    if (name == "draw:image" || name == "draw:object" || name == "draw:object-ole" ||
        name == "draw:plugin" || name == "draw:applet") {
        return;
    }
    // Shapes (rectangles, custom shapes, callouts...) carry their text as paragraphs.
    for (pugi::xml_node child = shape.first_child(); child; child = child.next_sibling()) {
        const Kind kind = KindOf(child);
        if (kind == Kind::kParagraph || kind == Kind::kHeading || kind == Kind::kList) {
            FloatingText(shape);
            return;
        }
    }
}

void BodyReader::FloatingText(pugi::xml_node container) {
    WithOwnLists([&] {
        sink_.StartFloatingText();
        Blocks(container);
        sink_.EndFloatingText();
    });
}

ListCounters& BodyReader::NewCounters() {
    return counters_.emplace_back();
}

void BodyReader::List(pugi::xml_node list) {
    DepthGuard guard(depth_);
    ListFrame frame;
    frame.styleName = list.attribute("text:style-name").value();
    if (!lists_.empty()) {
        // A nested list is a deeper level of the same list.
        const ListFrame& parent = lists_.back();
        frame.counters = parent.counters;
        frame.level = parent.level + 1;
        if (frame.styleName.empty()) {
            frame.styleName = parent.styleName;
        }
    } else {
        const std::string continued = list.attribute("text:continue-list").value();
        if (!continued.empty() && listsById_.count(continued) > 0) {
            frame.counters = listsById_[continued];
        } else if (IsTrue(list, "text:continue-numbering")) {
            const auto it = lastListByStyle_.find(frame.styleName);
            frame.counters = it != lastListByStyle_.end() ? it->second : lastList_;
        }
        if (frame.counters == nullptr) {
            frame.counters = &NewCounters();
        }
        lastList_ = frame.counters;
        lastListByStyle_[frame.styleName] = frame.counters;
    }
    const std::string id = list.attribute("xml:id").value();
    if (!id.empty()) {
        listsById_[id] = frame.counters;
    }

    lists_.push_back(std::move(frame));
    for (pugi::xml_node item = list.first_child(); item; item = item.next_sibling()) {
        const std::string_view name(item.name());
        const bool header = name == "text:list-header";
        if (!header && name != "text:list-item") {
            continue;
        }
        CountRepeatedVisit();
        lists_.back().labelPending = !header;
        lists_.back().startValue = IntAttribute(item, "text:start-value");
        Blocks(item);
        lists_.back().labelPending = false;
    }
    lists_.pop_back();
}

void BodyReader::NumberedParagraph(pugi::xml_node node) {
    ListFrame frame;
    frame.styleName = node.attribute("text:style-name").value();
    const std::string id = node.attribute("text:list-id").value();
    ListCounters*& counters = listsById_[id];
    if (counters == nullptr) {
        counters = &NewCounters();
    }
    frame.counters = counters;
    frame.level = Count(node, "text:level", kListLevels);
    frame.labelPending = true;
    frame.startValue = IntAttribute(node, "text:start-value");
    WithOwnLists([&] {
        lists_.push_back(std::move(frame));
        Blocks(node);
    });
}

void BodyReader::Table(pugi::xml_node table) {
    DepthGuard guard(depth_);
    TableGrid grid;
    WithOwnLists([&] {
        sink_.StartTable();
        TableRows(table, grid);
        sink_.EndTable();
    });
}

void BodyReader::TableRows(pugi::xml_node parent, TableGrid& grid) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        const std::string_view name(node.name());
        if (name == "table:table-row") {
            Row(node, grid);
        } else if (name == "table:table-header-rows" || name == "table:table-rows" ||
                   name == "table:table-row-group") {
            TableRows(node, grid);
        }
    }
}

void BodyReader::Row(pugi::xml_node row, TableGrid& grid) {
    const int repeat = Count(row, "table:number-rows-repeated", kMaxRepeat);
    for (int r = 0; r < repeat; ++r) {
        if (r == 1) {
            ++repeating_;
        }
        sink_.StartRow();
        int column = 0;
        std::vector<std::pair<int, int>> spansDown;
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
            const std::string_view name(cell.name());
            const bool covered = name == "table:covered-table-cell";
            if (!covered && name != "table:table-cell") {
                continue;
            }
            const int cells = Count(cell, "table:number-columns-repeated", kMaxRepeat);
            const int width =
                covered ? 1 : Count(cell, "table:number-columns-spanned", kMaxColumns);
            const int height = Count(cell, "table:number-rows-spanned", kMaxRepeat);
            for (int k = 0; k < cells; ++k) {
                if (covered) {
                    // Under a cell spanning rows the column still has a cell of its own (empty);
                    // beside a cell spanning columns it has none.
                    const auto span = grid.lastCoveredRow.find(column);
                    if (span != grid.lastCoveredRow.end() && span->second >= grid.row) {
                        sink_.StartCell();
                        sink_.EndCell();
                    }
                } else {
                    if (k == 1) {
                        ++repeating_;
                    }
                    Cell(cell);
                    if (height > 1) {
                        spansDown.emplace_back(column, grid.row + height - 1);
                    }
                }
                column = std::min(column + (covered ? 1 : width), kMaxColumns);
                if (++emittedCells_ > kMaxEmittedCells) {
                    ThrowTooLarge("its tables have more cells than the converter allows");
                }
            }
            if (!covered && cells > 1) {
                --repeating_;
            }
        }
        sink_.EndRow();
        for (const auto& [at, lastRow] : spansDown) {
            grid.lastCoveredRow[at] = lastRow;
        }
        if (grid.row < std::numeric_limits<int>::max() - kMaxRepeat) {
            ++grid.row;
        }
    }
    if (repeat > 1) {
        --repeating_;
    }
}

void BodyReader::Cell(pugi::xml_node cell) {
    sink_.StartCell();
    Blocks(cell);
    sink_.EndCell();
}

}  // namespace corvanel::convert::odf

#include "convert/revenge/RevengeAdapter.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"
#include "convert/core/PropertyValues.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

namespace corvanel::convert::revenge {

namespace {

using librevenge::RVNGPropertyList;

std::string StringOf(const RVNGPropertyList& list, const char* name) {
    const librevenge::RVNGProperty* property = list[name];
    return property ? std::string(property->getStr().cstr()) : std::string();
}

std::optional<std::int64_t> IntOf(const RVNGPropertyList& list, const char* name) {
    const librevenge::RVNGProperty* property = list[name];
    if (!property) {
        return std::nullopt;
    }
    return property->getInt();
}

ListLevelDefinition LevelOf(const RVNGPropertyList& list, bool ordered) {
    ListLevelDefinition level;
    level.ordered = ordered;
    level.listId = static_cast<int>(IntOf(list, "librevenge:list-id").value_or(0));
    level.level = static_cast<int>(
        std::clamp<std::int64_t>(IntOf(list, "librevenge:level").value_or(1), 1, 10));
    level.format = StringOf(list, "style:num-format");
    level.prefix = StringOf(list, "style:num-prefix");
    level.suffix = StringOf(list, "style:num-suffix");
    level.bullet = StringOf(list, "text:bullet-char");
    level.start = IntOf(list, "text:start-value").value_or(1);
    level.displayLevels = static_cast<int>(
        std::clamp<std::int64_t>(IntOf(list, "text:display-levels").value_or(1), 1, 10));
    return level;
}

constexpr std::int64_t kMaxSpan = 16384;

// Bold, italic and strikethrough as a paragraph or span states them, over `outer`.
TextStyle StyleOf(const RVNGPropertyList& list, TextStyle outer) {
    TextStyle style = outer;
    const std::string weight = StringOf(list, "fo:font-weight");
    if (!weight.empty()) {
        style.bold = weight == "bold" || std::atoi(weight.c_str()) >= 600;
    }
    const std::string italic = StringOf(list, "fo:font-style");
    if (!italic.empty()) {
        style.italic = italic == "italic" || italic == "oblique";
    }
    const std::string strike = StringOf(list, "style:text-line-through-style");
    if (!strike.empty()) {
        style.strike = strike != "none";
    }
    return style;
}

}  // namespace

template <typename Event>
void RevengeAdapter::Guarded(Event&& event) {
    if (failure_) {
        return;
    }
    try {
        event();
    } catch (...) {
        failure_ = std::current_exception();  // thrown again by Finish, past the library
    }
}

void RevengeAdapter::Finish() {
    Guarded([&] {
        while (!open_.empty()) {
            CloseTop();
        }
        EndParagraph();
    });
    if (failure_) {
        std::rethrow_exception(failure_);
    }
}

void RevengeAdapter::setDocumentMetaData(const RVNGPropertyList& propList) {
    if (!sink_.WantsProperties()) {
        return;
    }
    Guarded([&] {
        SendText(sink_, DocumentProperty::kTitle, StringOf(propList, "dc:title"));
        std::string author = StringOf(propList, "meta:initial-creator");
        SendText(sink_, DocumentProperty::kAuthor,
                 author.empty() ? StringOf(propList, "dc:creator") : author);
        SendIsoDate(sink_, DocumentProperty::kCreated, StringOf(propList, "meta:creation-date"));
        SendIsoDate(sink_, DocumentProperty::kModified, StringOf(propList, "dc:date"));
    });
}

// Paragraphs.

bool RevengeAdapter::CanHoldParagraph() const {
    if (open_.empty()) {
        return true;
    }
    const Scope top = open_.back().scope;
    return top != Scope::kTable && top != Scope::kRow;
}

void RevengeAdapter::EnsureParagraph() {
    if (!paragraphOpen_ && CanHoldParagraph()) {
        sink_.StartParagraph();
        paragraphOpen_ = true;
        sentStyle_ = TextStyle{};
    }
}

void RevengeAdapter::EndParagraph() {
    if (paragraphOpen_) {
        EndLink();
        sink_.EndParagraph();
        paragraphOpen_ = false;
    }
}

void RevengeAdapter::openParagraph(const RVNGPropertyList& propList) {
    if (LeftOut()) {
        return;
    }
    Guarded([&] {
        EndParagraph();
        EnsureParagraph();
        paragraphStyle_ = StyleOf(propList, TextStyle{});
        style_ = paragraphStyle_;
        const std::optional<std::int64_t> level = IntOf(propList, "text:outline-level");
        if (paragraphOpen_ && level && *level > 0) {
            sink_.Heading(static_cast<int>(std::min<std::int64_t>(*level, 6)));
        }
    });
}

void RevengeAdapter::closeParagraph() {
    if (LeftOut()) {
        return;
    }
    Guarded([&] { EndParagraph(); });
}

void RevengeAdapter::openListElement(const RVNGPropertyList& propList) {
    if (LeftOut()) {
        return;
    }
    Guarded([&] {
        EndParagraph();
        if (!CanHoldParagraph()) {
            return;
        }
        EnsureParagraph();
        paragraphStyle_ = StyleOf(propList, TextStyle{});
        style_ = paragraphStyle_;
        if (const ListLevelDefinition* level = lists_.Innermost()) {
            sink_.ListItem(level->level - 1,
                           level->ordered ? ListKind::kNumbered : ListKind::kBullet);
        }
        const std::string label = lists_.NextLabel(IntOf(propList, "text:start-value"));
        if (!label.empty()) {
            sink_.ListLabel(label, "\t");
        }
    });
}

void RevengeAdapter::closeListElement() {
    closeParagraph();
}

void RevengeAdapter::openOrderedListLevel(const RVNGPropertyList& propList) {
    lists_.OpenLevel(LevelOf(propList, true));
}

void RevengeAdapter::openUnorderedListLevel(const RVNGPropertyList& propList) {
    lists_.OpenLevel(LevelOf(propList, false));
}

void RevengeAdapter::closeOrderedListLevel() {
    lists_.CloseLevel();
}

void RevengeAdapter::closeUnorderedListLevel() {
    lists_.CloseLevel();
}

// Runs.

void RevengeAdapter::openSpan(const RVNGPropertyList& propList) {
    hiddenSpan_ = StringOf(propList, "text:display") == "none";
    style_ = StyleOf(propList, paragraphStyle_);
}

void RevengeAdapter::closeSpan() {
    hiddenSpan_ = false;
    style_ = paragraphStyle_;
}

void RevengeAdapter::BeforeText() {
    if (sentStyle_ != style_) {
        sink_.Style(style_);
        sentStyle_ = style_;
    }
    if (inLink_ && !linkOpen_ && open_.size() == linkScopes_) {
        const bool internal = !linkTarget_.empty() && linkTarget_.front() == '#';
        sink_.StartLink(internal ? std::string_view(linkTarget_).substr(1) : linkTarget_, internal);
        linkOpen_ = true;
    }
}

void RevengeAdapter::EndLink() {
    if (linkOpen_) {
        sink_.EndLink();
        linkOpen_ = false;
    }
}

void RevengeAdapter::openLink(const RVNGPropertyList& propList) {
    if (LeftOut()) {
        return;
    }
    Guarded([&] {
        EndLink();
        linkTarget_ = StringOf(propList, "xlink:href");
        inLink_ = !linkTarget_.empty();
        linkScopes_ = open_.size();
    });
}

void RevengeAdapter::closeLink() {
    Guarded([&] {
        if (open_.size() == linkScopes_) {
            EndLink();
        }
        inLink_ = false;
    });
}

void RevengeAdapter::openFrame(const RVNGPropertyList& propList) {
    frameDescription_ = StringOf(propList, "svg:desc");
    frameTitle_ = StringOf(propList, "svg:title");
}

void RevengeAdapter::closeFrame() {
    frameDescription_.clear();
    frameTitle_.clear();
}

// Images only: other objects (charts, OLE objects) are no pictures a reader describes.
void RevengeAdapter::insertBinaryObject(const RVNGPropertyList& propList) {
    const std::string type = StringOf(propList, "librevenge:mime-type");
    if (LeftOut() || (!type.empty() && type.rfind("image/", 0) != 0)) {
        return;
    }
    Guarded([&] { sink_.Picture(frameDescription_, frameTitle_); });
}

void RevengeAdapter::Text(const std::string& utf8) {
    if (LeftOut() || hiddenSpan_) {
        return;
    }
    Guarded([&] {
        EnsureParagraph();
        if (paragraphOpen_) {
            BeforeText();
            sink_.Text(utf8);
        }
    });
}

void RevengeAdapter::insertText(const librevenge::RVNGString& text) {
    Text(std::string(text.cstr(), text.size()));
}

void RevengeAdapter::insertSpace() {
    Text(" ");
}

void RevengeAdapter::insertTab() {
    if (LeftOut() || hiddenSpan_) {
        return;
    }
    Guarded([&] {
        EnsureParagraph();
        if (paragraphOpen_) {
            sink_.Tab();
        }
    });
}

void RevengeAdapter::insertLineBreak() {
    if (LeftOut() || hiddenSpan_) {
        return;
    }
    Guarded([&] {
        EnsureParagraph();
        if (paragraphOpen_) {
            sink_.Break(BreakKind::kLine);
        }
    });
}

// Scopes: parts left out, notes, text boxes and tables.

void RevengeAdapter::Push(Scope scope) {
    if (open_.size() >= static_cast<std::size_t>(limits::kMaxNestingDepth)) {
        ThrowDamaged("its parts are nested more deeply than any document needs");
    }
    const bool emitted = !LeftOut();
    if (emitted && scope == Scope::kTable) {
        EndParagraph();  // a table is no part of a paragraph: none is open around it
    }
    if (emitted) {
        EndLink();  // a link holds no note or text box
    }
    open_.push_back({scope, paragraphOpen_, emitted, paragraphStyle_, style_});
    if (scope == Scope::kLeftOut) {
        ++leftOut_;
        return;
    }
    if (!emitted) {
        return;
    }
    switch (scope) {
        case Scope::kTable:
            sink_.StartTable();
            break;
        case Scope::kRow:
            sink_.StartRow();
            break;
        case Scope::kCell:
            sink_.StartCell();
            break;
        case Scope::kTextBox:
            sink_.StartFloatingText();
            break;
        case Scope::kNote:
        case Scope::kMargin:
        case Scope::kLeftOut:
            break;  // started by StartNote or StartMargin
    }
    paragraphOpen_ = false;
}

void RevengeAdapter::CloseTop() {
    const Open top = open_.back();
    open_.pop_back();
    if (top.scope == Scope::kLeftOut) {
        --leftOut_;
        return;
    }
    if (!top.emitted) {
        return;
    }
    EndParagraph();
    switch (top.scope) {
        case Scope::kTable:
            sink_.EndTable();
            break;
        case Scope::kRow:
            sink_.EndRow();
            break;
        case Scope::kCell:
            sink_.EndCell();
            break;
        case Scope::kTextBox:
            sink_.EndFloatingText();
            break;
        case Scope::kNote:
            sink_.EndNote();
            break;
        case Scope::kMargin:
            sink_.EndMarginText();
            break;
        case Scope::kLeftOut:
            break;
    }
    paragraphOpen_ = top.outerParagraph;
    paragraphStyle_ = top.outerParagraphStyle;
    style_ = top.outerStyle;
    sentStyle_.reset();  // the paragraph around goes on: its style is sent again
}

bool RevengeAdapter::Pop(Scope scope) {
    const bool tablePart = scope == Scope::kTable || scope == Scope::kRow || scope == Scope::kCell;
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (it->scope == scope) {
            CloseAbove(static_cast<std::size_t>(open_.rend() - it) - 1);
            return true;
        }
        // A table part closes only within its own note, text box or margin text.
        if (tablePart && (it->scope == Scope::kNote || it->scope == Scope::kTextBox ||
                          it->scope == Scope::kMargin)) {
            return false;
        }
    }
    return false;
}

void RevengeAdapter::StartMargin(MarginText kind, const std::string& author) {
    const bool nested = std::any_of(open_.begin(), open_.end(), [](const Open& o) {
        return o.scope == Scope::kNote || o.scope == Scope::kMargin;
    });
    // Headers and footers belong to the page, never to a text box.
    const bool inTextBox = std::any_of(open_.begin(), open_.end(),
                                       [](const Open& o) { return o.scope == Scope::kTextBox; });
    if (LeftOut() || nested || (inTextBox && kind != MarginText::kComment) ||
        !sink_.WantsMarginText(kind)) {
        Push(Scope::kLeftOut);
        return;
    }
    EnterCellWhenBetweenCells();
    EndLink();  // the margin text is no part of a link
    sink_.StartMarginText(kind, author);
    Push(Scope::kMargin);
}

// Closes the innermost header, footer or comment, sent or left out, and what is open in it.
void RevengeAdapter::EndMargin() {
    for (std::size_t i = open_.size(); i-- > 0;) {
        if (open_[i].scope == Scope::kMargin || open_[i].scope == Scope::kLeftOut) {
            CloseAbove(i);
            return;
        }
    }
}

void RevengeAdapter::openHeader(const RVNGPropertyList&) {
    Guarded([&] { StartMargin(MarginText::kHeader, {}); });
}

void RevengeAdapter::closeHeader() {
    Guarded([&] { EndMargin(); });
}

void RevengeAdapter::openFooter(const RVNGPropertyList&) {
    Guarded([&] { StartMargin(MarginText::kFooter, {}); });
}

void RevengeAdapter::closeFooter() {
    closeHeader();
}

void RevengeAdapter::openComment(const RVNGPropertyList& propList) {
    Guarded([&] { StartMargin(MarginText::kComment, StringOf(propList, "dc:creator")); });
}

void RevengeAdapter::closeComment() {
    closeHeader();
}

void RevengeAdapter::StartNote(NoteKind kind, const RVNGPropertyList& propList) {
    const bool inNote = std::any_of(open_.begin(), open_.end(),
                                    [](const Open& o) { return o.scope == Scope::kNote; });
    if (LeftOut() || inNote) {
        Push(Scope::kLeftOut);  // notes hold no notes
        return;
    }
    std::int64_t& seen = notesSeen_[kind == NoteKind::kFootnote ? 0 : 1];
    ++seen;
    const std::string mark = std::to_string(IntOf(propList, "librevenge:number").value_or(seen));
    EnterCellWhenBetweenCells();
    EnsureParagraph();
    if (paragraphOpen_) {
        sink_.NoteReference(mark);
    }
    EndLink();  // the note's text is no part of a link
    sink_.StartNote(kind, mark);
    Push(Scope::kNote);
}

void RevengeAdapter::openFootnote(const RVNGPropertyList& propList) {
    Guarded([&] { StartNote(NoteKind::kFootnote, propList); });
}

void RevengeAdapter::openEndnote(const RVNGPropertyList& propList) {
    Guarded([&] { StartNote(NoteKind::kEndnote, propList); });
}

void RevengeAdapter::closeFootnote() {
    Guarded([&] {
        if (!open_.empty() && open_.back().scope == Scope::kLeftOut) {
            Pop(Scope::kLeftOut);
        } else {
            Pop(Scope::kNote);
        }
    });
}

void RevengeAdapter::closeEndnote() {
    closeFootnote();
}

void RevengeAdapter::openTextBox(const RVNGPropertyList&) {
    Guarded([&] {
        if (!LeftOut()) {
            EnterCellWhenBetweenCells();
        }
        Push(Scope::kTextBox);
    });
}

void RevengeAdapter::closeTextBox() {
    Guarded([&] { Pop(Scope::kTextBox); });
}

void RevengeAdapter::EnterCellWhenBetweenCells() {
    if (!CanHoldParagraph()) {
        if (open_.back().scope == Scope::kTable) {
            Push(Scope::kRow);
        }
        Push(Scope::kCell);
    }
}

void RevengeAdapter::openTable(const RVNGPropertyList&) {
    Guarded([&] {
        EnterCellWhenBetweenCells();
        Push(Scope::kTable);
    });
}

void RevengeAdapter::closeTable() {
    Guarded([&] { Pop(Scope::kTable); });
}

// Table parts are matched with the innermost open table, row or cell: a row or cell that comes
// where none may (no table open, a cell before its row) is placed or dropped, never nested wrong.
// A row sits right above its table and a cell right above its row.
void RevengeAdapter::openTableRow(const RVNGPropertyList& propList) {
    Guarded([&] {
        const std::size_t part = InnermostTablePart();
        if (part == kNone) {
            return;
        }
        const std::size_t table = part - (open_[part].scope == Scope::kRow    ? 1
                                          : open_[part].scope == Scope::kCell ? 2
                                                                              : 0);
        CloseAbove(table + 1);
        Push(Scope::kRow);
        const librevenge::RVNGProperty* header = propList["librevenge:is-header-row"];
        // A flag librevenge keeps as "true" (or a number, as some libraries set it).
        if (open_.back().emitted && header != nullptr &&
            (std::string_view(header->getStr().cstr()) == "true" || header->getInt() != 0)) {
            sink_.HeaderRow();
        }
    });
}

void RevengeAdapter::closeTableRow() {
    Guarded([&] {
        const std::size_t part = InnermostTablePart();
        if (part != kNone && open_[part].scope != Scope::kTable) {
            CloseAbove(open_[part].scope == Scope::kRow ? part : part - 1);
        }
    });
}

void RevengeAdapter::openTableCell(const RVNGPropertyList& propList) {
    OpenCell(propList, false);
}

void RevengeAdapter::OpenCell(const RVNGPropertyList& propList, bool covered) {
    Guarded([&] {
        const std::size_t part = InnermostTablePart();
        if (part == kNone) {
            return;
        }
        const Scope scope = open_[part].scope;
        CloseAbove(scope == Scope::kCell ? part : part + 1);
        if (scope == Scope::kTable) {
            Push(Scope::kRow);  // a cell before any row starts one
        }
        Push(Scope::kCell);
        if (!open_.back().emitted) {
            return;
        }
        if (covered) {
            sink_.CoveredCell();
            return;
        }
        const auto span = [&](const char* name) {
            return static_cast<int>(
                std::clamp<std::int64_t>(IntOf(propList, name).value_or(1), 1, kMaxSpan));
        };
        const int columns = span("table:number-columns-spanned");
        const int rows = span("table:number-rows-spanned");
        if (columns > 1 || rows > 1) {
            sink_.CellSpan(columns, rows);
        }
    });
}

void RevengeAdapter::closeTableCell() {
    Guarded([&] {
        const std::size_t part = InnermostTablePart();
        if (part != kNone && open_[part].scope == Scope::kCell) {
            CloseAbove(part);
        }
    });
}

std::size_t RevengeAdapter::InnermostTablePart() const {
    for (std::size_t i = open_.size(); i-- > 0;) {
        switch (open_[i].scope) {
            case Scope::kTable:
            case Scope::kRow:
            case Scope::kCell:
                return i;
            case Scope::kNote:
            case Scope::kTextBox:
            case Scope::kMargin:
                return kNone;  // a note, text box or margin text holds its own tables
            case Scope::kLeftOut:
                break;
        }
    }
    return kNone;
}

void RevengeAdapter::CloseAbove(std::size_t keep) {
    while (open_.size() > keep) {
        CloseTop();
    }
}

void RevengeAdapter::insertCoveredTableCell(const RVNGPropertyList& propList) {
    OpenCell(propList, true);
    closeTableCell();
}

}  // namespace corvanel::convert::revenge

#include "convert/core/ContractCheck.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace corvanel::convert {

namespace {

bool IsInline(SinkEvent event) {
    switch (event) {
        case SinkEvent::kText:
        case SinkEvent::kTab:
        case SinkEvent::kBreak:
        case SinkEvent::kNoteReference:
        case SinkEvent::kPicture:
        case SinkEvent::kStyle:
        case SinkEvent::kStartLink:
            return true;
        default:
            return false;
    }
}

const char* MarginName(MarginText kind) {
    switch (kind) {
        case MarginText::kHeader:
            return "header";
        case MarginText::kFooter:
            return "footer";
        case MarginText::kComment:
            return "comment";
    }
    return "margin text";
}

}  // namespace

void ContractCheck::AbortOnViolation(const std::string& description) {
    std::fprintf(stderr, "document events out of order: %s\n", description.c_str());
    std::fflush(stderr);
    std::abort();
}

void ContractCheck::StartMarginText(MarginText kind, std::string_view author) {
    if (Require(target_.WantsMarginText(kind), SinkEvent::kStartMarginText,
                "of a kind the sink does not want")) {
        nextMargin_ = kind;
        ForwardingSink::StartMarginText(kind, author);
    }
}

void ContractCheck::Heading(int level) {
    if (Require(level >= 1 && level <= 6, SinkEvent::kHeading, "with a level outside 1-6")) {
        ForwardingSink::Heading(level);
    }
}

void ContractCheck::ListItem(int level, ListKind kind) {
    if (Require(level >= 0, SinkEvent::kListItem, "with a negative level")) {
        ForwardingSink::ListItem(level, kind);
    }
}

void ContractCheck::CellSpan(int columns, int rows) {
    if (Require(columns >= 1 && rows >= 1 && (columns > 1 || rows > 1), SinkEvent::kCellSpan,
                "spanning no more than its own slot")) {
        ForwardingSink::CellSpan(columns, rows);
    }
}

void ContractCheck::Forward(SinkEvent event, EventCall call) {
    if (const char* fault = Fault(event); !Require(fault == nullptr, event, fault)) {
        return;
    }
    Record(event);
    call(target_);
}

const char* ContractCheck::Fault(SinkEvent event) const {
    if (ended_) {
        return "after EndDocument";
    }
    if (const auto start = StartClosedBy(event)) {
        return Top(*start) ? nullptr : "closing what is not the innermost open";
    }
    if (IsInline(event)) {
        if (!InlineMayCome()) {
            return "outside a paragraph";
        }
        return event == SinkEvent::kStartLink && Top(SinkEvent::kStartLink) ? "inside a link"
                                                                            : nullptr;
    }
    switch (event) {
        case SinkEvent::kStartParagraph:
        case SinkEvent::kStartTable:
            return BlockMayCome() ? nullptr : "where no block may come";
        case SinkEvent::kListLabel:
        case SinkEvent::kHeading:
        case SinkEvent::kListItem:
            if (!Top(SinkEvent::kStartParagraph)) {
                return "outside a paragraph";
            }
            return open_.back().used ? "after the paragraph's label or text" : nullptr;
        case SinkEvent::kStartRow:
            return Top(SinkEvent::kStartTable) ? nullptr : "outside a table";
        case SinkEvent::kStartCell:
            return Top(SinkEvent::kStartRow) ? nullptr : "outside a table row";
        case SinkEvent::kHeaderRow:
            return Top(SinkEvent::kStartRow) && !open_.back().used ? nullptr
                                                                   : "not right after StartRow";
        case SinkEvent::kCellSpan:
        case SinkEvent::kCoveredCell:
            return Top(SinkEvent::kStartCell) && !open_.back().used ? nullptr
                                                                    : "not right after StartCell";
        case SinkEvent::kStartNote:
            if (Within(SinkEvent::kStartNote)) {
                return "inside a note";
            }
            return BlockMayCome() || InlineMayCome() ? nullptr : "between rows or cells";
        case SinkEvent::kStartFloatingText:
            return BlockMayCome() || InlineMayCome() ? nullptr : "between rows or cells";
        case SinkEvent::kStartMarginText:
            if (Within(SinkEvent::kStartMarginText)) {
                return "inside a margin text";
            }
            if (!BlockMayCome() && !InlineMayCome()) {
                return "between rows or cells";
            }
            if (nextMargin_ == MarginText::kComment) {
                return nullptr;
            }
            if (Within(SinkEvent::kStartNote) || Within(SinkEvent::kStartFloatingText)) {
                return "inside a note or floating text";
            }
            return nextMargin_ == MarginText::kHeader && bodyStarted_ ? "after the body started"
                                                                      : nullptr;
        case SinkEvent::kFormat:
            if (formatSent_) {
                return "a second time";
            }
            return bodyStarted_ ? "after the body started" : nullptr;
        case SinkEvent::kEndDocument:
            return open_.empty() ? nullptr : "with something still open";
        default:
            return nullptr;
    }
}

void ContractCheck::Record(SinkEvent event) {
    if (StartClosedBy(event)) {
        open_.pop_back();
        return;
    }
    if (event == SinkEvent::kEndDocument) {
        ended_ = true;
        return;
    }
    if (event == SinkEvent::kFormat) {
        formatSent_ = true;
        return;
    }
    if (event == SinkEvent::kProperty) {
        return;
    }
    if (open_.empty() && (event == SinkEvent::kStartParagraph || event == SinkEvent::kStartTable)) {
        bodyStarted_ = true;
    }
    if (!open_.empty()) {
        if (event != SinkEvent::kHeading && event != SinkEvent::kListItem) {
            open_.back().used = true;
        }
    }
    if (Opens(event)) {
        open_.push_back({event, nextMargin_});
    }
}

bool ContractCheck::Within(SinkEvent start) const {
    return std::any_of(open_.begin(), open_.end(),
                       [start](const Open& open) { return open.start == start; });
}

bool ContractCheck::BlockMayCome() const {
    if (open_.empty()) {
        return true;
    }
    switch (open_.back().start) {
        case SinkEvent::kStartCell:
        case SinkEvent::kStartNote:
        case SinkEvent::kStartFloatingText:
        case SinkEvent::kStartMarginText:
            return true;
        default:
            return false;
    }
}

bool ContractCheck::InlineMayCome() const {
    return Top(SinkEvent::kStartParagraph) || Top(SinkEvent::kStartLink);
}

bool ContractCheck::Require(bool holds, SinkEvent event, const char* why) const {
    if (!holds) {
        violated_(std::string(SinkEventName(event)) + " " + why + " (open: " + Where() + ")");
    }
    return holds;
}

std::string ContractCheck::Where() const {
    if (ended_) {
        return "nothing, the document ended";
    }
    std::string where = "body";
    for (const Open& open : open_) {
        where += " > ";
        switch (open.start) {
            case SinkEvent::kStartParagraph:
                where += "paragraph";
                break;
            case SinkEvent::kStartTable:
                where += "table";
                break;
            case SinkEvent::kStartRow:
                where += "row";
                break;
            case SinkEvent::kStartCell:
                where += "cell";
                break;
            case SinkEvent::kStartNote:
                where += "note";
                break;
            case SinkEvent::kStartFloatingText:
                where += "floating text";
                break;
            case SinkEvent::kStartMarginText:
                where += MarginName(open.margin);
                break;
            default:
                where += "link";
                break;
        }
    }
    return where;
}

}  // namespace corvanel::convert

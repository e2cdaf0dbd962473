#include "convert/core/HeaderPass.h"

namespace corvanel::convert {

void HeaderPass::StartParagraph() {
    if (Passes()) {
        target_.StartParagraph();
    }
}

void HeaderPass::EndParagraph() {
    if (Passes()) {
        target_.EndParagraph();
    }
}

void HeaderPass::ListLabel(std::string_view label, std::string_view suffix) {
    if (Passes()) {
        target_.ListLabel(label, suffix);
    }
}

void HeaderPass::Text(std::string_view utf8) {
    if (Passes()) {
        target_.Text(utf8);
    }
}

void HeaderPass::Tab() {
    if (Passes()) {
        target_.Tab();
    }
}

void HeaderPass::Break(BreakKind kind) {
    if (Passes()) {
        target_.Break(kind);
    }
}

void HeaderPass::StartTable() {
    if (Passes()) {
        target_.StartTable();
    }
}

void HeaderPass::EndTable() {
    if (Passes()) {
        target_.EndTable();
    }
}

void HeaderPass::StartRow() {
    if (Passes()) {
        target_.StartRow();
    }
}

void HeaderPass::EndRow() {
    if (Passes()) {
        target_.EndRow();
    }
}

void HeaderPass::StartCell() {
    if (Passes()) {
        target_.StartCell();
    }
}

void HeaderPass::EndCell() {
    if (Passes()) {
        target_.EndCell();
    }
}

void HeaderPass::NoteReference(std::string_view mark) {
    if (Passes()) {
        target_.NoteReference(mark);
    }
}

void HeaderPass::StartNote(NoteKind kind, std::string_view mark) {
    if (Passes()) {
        target_.StartNote(kind, mark);
    }
}

void HeaderPass::EndNote() {
    if (Passes()) {
        target_.EndNote();
    }
}

void HeaderPass::StartFloatingText() {
    if (Passes()) {
        target_.StartFloatingText();
    }
}

void HeaderPass::EndFloatingText() {
    if (Passes()) {
        target_.EndFloatingText();
    }
}

// The document's end, format and properties belong to the pass that reads the body.
void HeaderPass::EndDocument() {
    if (mode_ == Mode::kAllButHeaders) {
        target_.EndDocument();
    }
}

void HeaderPass::Format(std::string_view name) {
    if (mode_ == Mode::kAllButHeaders) {
        target_.Format(name);
    }
}

bool HeaderPass::WantsProperties() const {
    return mode_ == Mode::kAllButHeaders && target_.WantsProperties();
}

void HeaderPass::Property(DocumentProperty property, std::string_view value) {
    if (mode_ == Mode::kAllButHeaders) {
        target_.Property(property, value);
    }
}

bool HeaderPass::WantsMarginText(MarginText kind) const {
    const bool header = kind == MarginText::kHeader;
    return header == (mode_ == Mode::kHeadersOnly) && target_.WantsMarginText(kind);
}

void HeaderPass::StartMarginText(MarginText kind, std::string_view author) {
    if (mode_ == Mode::kHeadersOnly && kind == MarginText::kHeader) {
        ++inHeader_;
    }
    if (Passes()) {
        target_.StartMarginText(kind, author);
    }
}

void HeaderPass::EndMarginText() {
    if (Passes()) {
        target_.EndMarginText();
    }
    if (inHeader_ > 0) {
        --inHeader_;
    }
}

}  // namespace corvanel::convert

#pragma once

#include "convert/core/DocumentSink.h"

namespace corvanel::convert {

// Passes every event on to another sink while Passes() says so (always, unless a subclass
// decides otherwise); subclasses override the events they treat differently.
class ForwardingSink : public DocumentSink {
public:
    explicit ForwardingSink(DocumentSink& target) : target_(target) {}

    void StartParagraph() override {
        if (Passes()) {
            target_.StartParagraph();
        }
    }
    void EndParagraph() override {
        if (Passes()) {
            target_.EndParagraph();
        }
    }
    void ListLabel(std::string_view label, std::string_view suffix) override {
        if (Passes()) {
            target_.ListLabel(label, suffix);
        }
    }
    void Text(std::string_view utf8) override {
        if (Passes()) {
            target_.Text(utf8);
        }
    }
    void Tab() override {
        if (Passes()) {
            target_.Tab();
        }
    }
    void Break(BreakKind kind) override {
        if (Passes()) {
            target_.Break(kind);
        }
    }
    void StartTable() override {
        if (Passes()) {
            target_.StartTable();
        }
    }
    void EndTable() override {
        if (Passes()) {
            target_.EndTable();
        }
    }
    void StartRow() override {
        if (Passes()) {
            target_.StartRow();
        }
    }
    void EndRow() override {
        if (Passes()) {
            target_.EndRow();
        }
    }
    void StartCell() override {
        if (Passes()) {
            target_.StartCell();
        }
    }
    void EndCell() override {
        if (Passes()) {
            target_.EndCell();
        }
    }
    void NoteReference(std::string_view mark) override {
        if (Passes()) {
            target_.NoteReference(mark);
        }
    }
    void StartNote(NoteKind kind, std::string_view mark) override {
        if (Passes()) {
            target_.StartNote(kind, mark);
        }
    }
    void EndNote() override {
        if (Passes()) {
            target_.EndNote();
        }
    }
    void StartFloatingText() override {
        if (Passes()) {
            target_.StartFloatingText();
        }
    }
    void EndFloatingText() override {
        if (Passes()) {
            target_.EndFloatingText();
        }
    }
    void EndDocument() override {
        if (Passes()) {
            target_.EndDocument();
        }
    }
    bool WantsStructure() const override { return target_.WantsStructure(); }
    void Heading(int level) override {
        if (Passes()) {
            target_.Heading(level);
        }
    }
    void ListItem(int level, ListKind kind) override {
        if (Passes()) {
            target_.ListItem(level, kind);
        }
    }
    void HeaderRow() override {
        if (Passes()) {
            target_.HeaderRow();
        }
    }
    void CellSpan(int columns, int rows) override {
        if (Passes()) {
            target_.CellSpan(columns, rows);
        }
    }
    void CoveredCell() override {
        if (Passes()) {
            target_.CoveredCell();
        }
    }
    void StartLink(std::string_view target, bool internal) override {
        if (Passes()) {
            target_.StartLink(target, internal);
        }
    }
    void EndLink() override {
        if (Passes()) {
            target_.EndLink();
        }
    }
    void Style(TextStyle style) override {
        if (Passes()) {
            target_.Style(style);
        }
    }
    void Picture(std::string_view description, std::string_view title) override {
        if (Passes()) {
            target_.Picture(description, title);
        }
    }
    void Format(std::string_view name) override {
        if (Passes()) {
            target_.Format(name);
        }
    }
    bool WantsProperties() const override { return target_.WantsProperties(); }
    void Property(DocumentProperty property, std::string_view value) override {
        if (Passes()) {
            target_.Property(property, value);
        }
    }
    bool WantsMarginText(MarginText kind) const override { return target_.WantsMarginText(kind); }
    void StartMarginText(MarginText kind, std::string_view author) override {
        if (Passes()) {
            target_.StartMarginText(kind, author);
        }
    }
    void EndMarginText() override {
        if (Passes()) {
            target_.EndMarginText();
        }
    }

protected:
    virtual bool Passes() const { return true; }

    DocumentSink& target_;
};

}  // namespace corvanel::convert

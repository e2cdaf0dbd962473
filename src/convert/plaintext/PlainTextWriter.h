#pragma once

#include "convert/core/DocumentFacts.h"
#include "convert/core/DocumentSink.h"
#include "convert/layout/DrainedOutput.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace corvanel::convert {

// Turns document events into plain text (UTF-8):
// - a paragraph is its text and a line break; empty paragraphs give empty lines;
// - a table row is one line, cells separated by a tab, a cell's paragraphs by line breaks;
// - floating text follows the paragraph that anchors it, one paragraph per line;
// - notes follow the body after one blank line, each as its mark, a space and its text;
// - when asked for: headers come first, then one blank line; footers follow the notes after one
//   blank line (each distinct header or footer text once, in the order they came, without the
//   blank lines at its start and end); then, after one blank line, comments, one a line, as their
//   author, ": " and their text (paragraphs joined by a space; just the text when the author is not
//   known).
class PlainTextWriter final : public DocumentSink {
public:
    explicit PlainTextWriter(std::string newline = "\n");

    // The text so far; complete after EndDocument (less what was drained).
    const std::string& Text() const { return out_; }
    std::string TakeText() { return std::move(out_); }

    // Hands the text over to `drain` whenever more than `holdBytes` of it is waiting, so a
    // long text is never held whole; Text() then holds only the rest. Notes and floating text
    // wait for their place in the text as before.
    void DrainWhenOver(std::size_t holdBytes, std::function<void(std::string_view)> drain) {
        output_.DrainWhenOver(holdBytes, std::move(drain));
    }

    void StartParagraph() override;
    void EndParagraph() override;
    void ListLabel(std::string_view label, std::string_view suffix) override;
    void Text(std::string_view utf8) override;
    void Tab() override;
    void Break(BreakKind kind) override;
    void StartTable() override;
    void EndTable() override;
    void StartRow() override;
    void EndRow() override;
    void StartCell() override;
    void EndCell() override;
    void NoteReference(std::string_view mark) override;
    void StartNote(NoteKind kind, std::string_view mark) override;
    void EndNote() override;
    void StartFloatingText() override;
    void EndFloatingText() override;
    void EndDocument() override;

    void WantMarginTexts(MarginTexts want) { wantMargins_ = want; }
    bool WantsMarginText(MarginText kind) const override { return wantMargins_.Has(kind); }
    void StartMarginText(MarginText kind, std::string_view author) override;
    void EndMarginText() override;

    // The format and, when asked for with WantProperties, the stated properties (counts are
    // not made here: the text may leave in pieces).
    void WantProperties(bool want) { wantProperties_ = want; }
    DocumentFacts& Facts() { return facts_; }
    void Format(std::string_view name) override { facts_.format = name; }
    bool WantsProperties() const override { return wantProperties_; }
    void Property(DocumentProperty property, std::string_view value) override;

private:
    // Where block items (paragraphs, table rows) go: terminated containers end every item with a
    // line break (body, notes, floating text); a cell separates its items with line breaks.
    struct Container {
        enum class Kind { kBody, kCell, kNote, kFloating, kMargin };
        Container(Kind k, std::string* t) : kind(k), target(t) {}

        Kind kind;
        std::string* target;
        int items = 0;
        bool paragraphOpen = false;
        int tableDepth = 0;                 // tables open directly in this container
        std::vector<int> cellIndex;         // per open table: cells started in the current row
        std::vector<std::string> floating;  // text boxes waiting for their paragraph to end
        std::string notePrefix;             // a note's mark and a space, before its first text
        bool trimNoteStart = false;         // right after the mark: its own spacing is dropped
        NoteKind noteKind = NoteKind::kFootnote;
        MarginText marginKind = MarginText::kHeader;
        std::string author;  // a comment's
        std::string buffer;  // own text of notes, floating text and margin texts
    };

    Container& Current() { return stack_.back(); }
    void BeginItem();
    void EndItem();
    void EnsureParagraph();
    void FlushFloating(Container& c);
    void Append(std::string_view s);
    void Hold(std::vector<std::string>& texts, std::string text);
    std::string HeaderBlock();
    void AppendBlock(const std::vector<std::string>& texts);

    std::string newline_;
    DrainedOutput output_;
    std::string& out_ = output_.Text();  // the body's text waiting to leave
    std::deque<Container> stack_;        // deque: references stay valid as it grows
    std::vector<std::string> footnotes_;
    std::vector<std::string> endnotes_;
    MarginTexts wantMargins_;
    std::vector<std::string> headers_;
    std::vector<std::string> footers_;
    std::vector<std::string> comments_;
    std::unordered_set<std::string> heldHeaders_;  // to keep each distinct text once
    std::unordered_set<std::string> heldFooters_;
    std::size_t marginBytes_ = 0;  // held in the three above
    bool headersOut_ = false;      // the headers went out ahead of the body
    std::size_t headersWritten_ = 0;
    bool ended_ = false;
    bool wantProperties_ = false;
    DocumentFacts facts_;
};

}  // namespace corvanel::convert

#pragma once

#include "convert/core/DocumentSink.h"

#include <optional>

namespace corvanel::convert {

// The events of DocumentSink by name, for sinks that pass them on and treat some apart.
enum class SinkEvent {
    kStartParagraph,
    kEndParagraph,
    kListLabel,
    kText,
    kTab,
    kBreak,
    kStartTable,
    kEndTable,
    kStartRow,
    kEndRow,
    kStartCell,
    kEndCell,
    kNoteReference,
    kStartNote,
    kEndNote,
    kStartFloatingText,
    kEndFloatingText,
    kStartMarginText,
    kEndMarginText,
    kEndDocument,
    kHeading,
    kListItem,
    kHeaderRow,
    kCellSpan,
    kCoveredCell,
    kStartLink,
    kEndLink,
    kStyle,
    kPicture,
    kFormat,
    kProperty,
};
inline constexpr int kSinkEventCount = static_cast<int>(SinkEvent::kProperty) + 1;

// The event's name as DocumentSink spells it ("StartParagraph").
const char* SinkEventName(SinkEvent event);
// Whether `event` opens what a matching end closes (kStartParagraph, kStartLink, ...).
bool Opens(SinkEvent event);
// The start event that `end` closes (kStartParagraph for kEndParagraph); none for others.
std::optional<SinkEvent> StartClosedBy(SinkEvent end);
// Sends `sink` the end of what `start` opened.
void SendEnd(SinkEvent start, DocumentSink& sink);

// A call on a sink, borrowed for the length of one event (no allocation).
template <typename Result, typename Sink>
class SinkCall {
public:
    template <typename Call>
    SinkCall(const Call& call)  // NOLINT(google-explicit-constructor): lambdas convert in place
        : call_(&call), invoke_([](const void* c, Sink& sink) -> Result {
              return (*static_cast<const Call*>(c))(sink);
          }) {}
    Result operator()(Sink& sink) const { return invoke_(call_, sink); }

private:
    const void* call_;
    Result (*invoke_)(const void*, Sink&);
};
using EventCall = SinkCall<void, DocumentSink>;
using QuestionCall = SinkCall<bool, const DocumentSink>;

// Passes every event on to another sink through one place, Forward(), and every question
// (Wants...) through Ask(): subclasses that drop, watch or guard events override those two (and
// the events whose arguments they need), so an event added here reaches all of them.
class ForwardingSink : public DocumentSink {
public:
    explicit ForwardingSink(DocumentSink& target) : target_(target) {}

    void StartParagraph() override {
        Forward(SinkEvent::kStartParagraph, [](DocumentSink& s) { s.StartParagraph(); });
    }
    void EndParagraph() override {
        Forward(SinkEvent::kEndParagraph, [](DocumentSink& s) { s.EndParagraph(); });
    }
    void ListLabel(std::string_view label, std::string_view suffix) override {
        Forward(SinkEvent::kListLabel, [&](DocumentSink& s) { s.ListLabel(label, suffix); });
    }
    void Text(std::string_view utf8) override {
        Forward(SinkEvent::kText, [&](DocumentSink& s) { s.Text(utf8); });
    }
    void Tab() override {
        Forward(SinkEvent::kTab, [](DocumentSink& s) { s.Tab(); });
    }
    void Break(BreakKind kind) override {
        Forward(SinkEvent::kBreak, [&](DocumentSink& s) { s.Break(kind); });
    }
    void StartTable() override {
        Forward(SinkEvent::kStartTable, [](DocumentSink& s) { s.StartTable(); });
    }
    void EndTable() override {
        Forward(SinkEvent::kEndTable, [](DocumentSink& s) { s.EndTable(); });
    }
    void StartRow() override {
        Forward(SinkEvent::kStartRow, [](DocumentSink& s) { s.StartRow(); });
    }
    void EndRow() override {
        Forward(SinkEvent::kEndRow, [](DocumentSink& s) { s.EndRow(); });
    }
    void StartCell() override {
        Forward(SinkEvent::kStartCell, [](DocumentSink& s) { s.StartCell(); });
    }
    void EndCell() override {
        Forward(SinkEvent::kEndCell, [](DocumentSink& s) { s.EndCell(); });
    }
    void NoteReference(std::string_view mark) override {
        Forward(SinkEvent::kNoteReference, [&](DocumentSink& s) { s.NoteReference(mark); });
    }
    void StartNote(NoteKind kind, std::string_view mark) override {
        Forward(SinkEvent::kStartNote, [&](DocumentSink& s) { s.StartNote(kind, mark); });
    }
    void EndNote() override {
        Forward(SinkEvent::kEndNote, [](DocumentSink& s) { s.EndNote(); });
    }
    void StartFloatingText() override {
        Forward(SinkEvent::kStartFloatingText, [](DocumentSink& s) { s.StartFloatingText(); });
    }
    void EndFloatingText() override {
        Forward(SinkEvent::kEndFloatingText, [](DocumentSink& s) { s.EndFloatingText(); });
    }
    bool WantsMarginText(MarginText kind) const override {
        return Ask([&](const DocumentSink& s) { return s.WantsMarginText(kind); });
    }
    void StartMarginText(MarginText kind, std::string_view author) override {
        Forward(SinkEvent::kStartMarginText,
                [&](DocumentSink& s) { s.StartMarginText(kind, author); });
    }
    void EndMarginText() override {
        Forward(SinkEvent::kEndMarginText, [](DocumentSink& s) { s.EndMarginText(); });
    }
    void EndDocument() override {
        Forward(SinkEvent::kEndDocument, [](DocumentSink& s) { s.EndDocument(); });
    }
    bool WantsStructure() const override {
        return Ask([](const DocumentSink& s) { return s.WantsStructure(); });
    }
    void Heading(int level) override {
        Forward(SinkEvent::kHeading, [&](DocumentSink& s) { s.Heading(level); });
    }
    void ListItem(int level, ListKind kind) override {
        Forward(SinkEvent::kListItem, [&](DocumentSink& s) { s.ListItem(level, kind); });
    }
    void HeaderRow() override {
        Forward(SinkEvent::kHeaderRow, [](DocumentSink& s) { s.HeaderRow(); });
    }
    void CellSpan(int columns, int rows) override {
        Forward(SinkEvent::kCellSpan, [&](DocumentSink& s) { s.CellSpan(columns, rows); });
    }
    void CoveredCell() override {
        Forward(SinkEvent::kCoveredCell, [](DocumentSink& s) { s.CoveredCell(); });
    }
    void StartLink(std::string_view target, bool internal) override {
        Forward(SinkEvent::kStartLink, [&](DocumentSink& s) { s.StartLink(target, internal); });
    }
    void EndLink() override {
        Forward(SinkEvent::kEndLink, [](DocumentSink& s) { s.EndLink(); });
    }
    void Style(TextStyle style) override {
        Forward(SinkEvent::kStyle, [&](DocumentSink& s) { s.Style(style); });
    }
    void Picture(std::string_view description, std::string_view title) override {
        Forward(SinkEvent::kPicture, [&](DocumentSink& s) { s.Picture(description, title); });
    }
    void Format(std::string_view name) override {
        Forward(SinkEvent::kFormat, [&](DocumentSink& s) { s.Format(name); });
    }
    bool WantsProperties() const override {
        return Ask([](const DocumentSink& s) { return s.WantsProperties(); });
    }
    void Property(DocumentProperty property, std::string_view value) override {
        Forward(SinkEvent::kProperty, [&](DocumentSink& s) { s.Property(property, value); });
    }

protected:
    // Sends one event on: by default, to the target as it came.
    virtual void Forward(SinkEvent event, EventCall call) {
        (void)event;
        call(target_);
    }
    // Answers one question: by default, as the target does.
    virtual bool Ask(QuestionCall question) const { return question(target_); }

    DocumentSink& target_;
};

}  // namespace corvanel::convert

#pragma once

#include "convert/core/DocumentFacts.h"
#include "convert/core/DocumentSink.h"
#include "convert/layout/DrainedOutput.h"
#include "convert/layout/HeldMargins.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::layout {

// Where blocks go.
enum class Place { kBody, kCell, kNote, kFloating, kMargin };

// An open place for blocks, as far as placing them goes; each writer derives its own, with what
// it needs to render them.
struct Container {
    explicit Container(Place p) : place(p) {}
    virtual ~Container() = default;

    Place place;
    std::string* target = nullptr;  // where its text goes: the output or its own buffer
    std::string buffer;             // own text of notes, floating texts and margin texts
    bool paragraphOpen = false;
    std::vector<std::string> floating;  // text boxes waiting for their paragraph to end
    NoteKind noteKind = NoteKind::kFootnote;
    std::string mark;  // a note's
    MarginText marginKind = MarginText::kHeader;
    std::string author;  // a comment's, as it came
};

// A note held until the body has ended.
struct HeldNote {
    NoteKind kind;
    std::string mark;
    std::string label;  // the writer's own name for it, where it names notes
    std::string text;   // rendered
};

// What the text and Markdown writers share: the stack of open containers and its closing at the
// document's end; notes, floating texts and margin texts held until their place; headers ahead
// of the body, or late after it; and the output, which may leave in pieces, with the size limit
// checked before each piece. The writers render; they place through this.
class BlockLayout : public DocumentSink {
public:
    using DocumentSink::Text;
    // The text so far; complete after EndDocument (less what was drained).
    const std::string& Text() const { return output_.Text(); }
    std::string TakeText() { return std::move(output_.Text()); }
    // Hands the text over to `drain` whenever more than `holdBytes` of it is waiting, so a long
    // text is never held whole; Text() then holds only the rest. Notes, margin texts and
    // floating text wait for their place in the text as before.
    void DrainWhenOver(std::size_t holdBytes, std::function<void(std::string_view)> drain) {
        output_.DrainWhenOver(holdBytes, std::move(drain));
    }

    void WantMarginTexts(MarginTexts want) { margins_.Want(want); }
    bool WantsMarginText(MarginText kind) const override { return margins_.Wants(kind); }

    // The format and, when asked for with WantProperties, the stated properties (counts are
    // not made here: the text may leave in pieces).
    void WantProperties(bool want) { wantProperties_ = want; }
    DocumentFacts& Facts() { return facts_; }
    void Format(std::string_view name) override { facts_.format = name; }
    bool WantsProperties() const override { return wantProperties_; }
    void Property(DocumentProperty property, std::string_view value) override;

    void EndNote() final;
    void EndFloatingText() final;
    void EndMarginText() final;
    // Closes whatever is still open, then places the held texts.
    void EndDocument() final;

protected:
    explicit BlockLayout(std::unique_ptr<Container> body);
    ~BlockLayout() override;

    // Opens a container (limited in depth).
    Container& Push(std::unique_ptr<Container> container);
    void Pop() { stack_.pop_back(); }
    Container& Top() { return *stack_.back(); }
    Container& Body() { return *stack_.front(); }

    // The body's text waiting to leave; whether any text was written (some may have left).
    std::string& Out() { return output_.Text(); }
    bool Started() const { return output_.Drained() > 0 || !output_.Text().empty(); }
    // Adds a piece to a container's target: the size limit is checked before, and the output
    // handed over after when it is long.
    void Append(std::string& target, std::string_view piece);
    // After text written to `target` by another hand (a renderer that holds the target and
    // knows the size only once written): the size limit, and the output handed over when long.
    void Written(const std::string& target);
    // The notes held, in the order they ended.
    std::span<const HeldNote> Notes() const { return notes_; }

    // Rendering, per writer.
    // Ends what is open in the innermost container (its paragraph, tables, waiting text boxes).
    virtual void Close(Container& c) = 0;
    // Writes the text boxes waiting in `c` where they can go now.
    virtual void FlushFloating(Container& c) = 0;
    // Moves what a closed text box holds to the waiting texts of its anchor.
    virtual void Float(Container& box, Container& anchor) = 0;
    // A closed note, held until after the body.
    virtual HeldNote NoteOf(Container& note) = 0;
    // A closed margin text, rendered (empty when nothing shows).
    virtual std::string MarginTextOf(Container& margin) = 0;
    // The headers ahead of the body (`bodyFollows`: anything comes after them).
    virtual std::string HeaderBlock(std::span<const std::string> headers, bool bodyFollows) = 0;
    // Margin texts (late headers, footers, comments) after what is written.
    virtual void AppendSection(std::span<const std::string> texts) = 0;
    // After the body, before the margin texts; at the very end.
    virtual void AfterBody() {}
    virtual void AtEnd() {}

private:
    void CheckRoom(const std::string& target, std::size_t adding) const;
    void HoldBytes(std::size_t bytes);
    void HoldNote(HeldNote note);
    void HandOver();
    std::string TakeHeaderBlock(bool bodyFollows);

    DrainedOutput output_;
    std::vector<std::unique_ptr<Container>> stack_;
    std::vector<HeldNote> notes_;
    HeldMargins margins_;
    std::size_t heldBytes_ = 0;  // notes and margin texts
    bool headersOut_ = false;    // the headers went out ahead of the body
    std::size_t headersWritten_ = 0;
    bool ended_ = false;
    bool wantProperties_ = false;
    DocumentFacts facts_;
};

}  // namespace corvanel::convert::layout

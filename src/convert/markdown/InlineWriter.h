#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/markdown/MarkdownCharacters.h"
#include "convert/markdown/MarkdownEscapes.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::markdown {

// Writes what goes before a paragraph's first visible content (block separator, heading or list
// marker), so that an empty paragraph leaves nothing at all.
class BlockOpener {
public:
    virtual void OpenBlock() = 0;

protected:
    ~BlockOpener() = default;
};

// The inline content of one paragraph as Markdown, appended to a string as it comes:
// - a character gets a backslash only where a reader would take it as markup (MarkdownEscapes):
//   those that depend on what follows ("_", "*", "<", "]"...) are held until the next byte is
//   written; addresses GFM would link are written bare when nothing in them needs a backslash;
// - spaces are held until the next visible character: spaces at a line's start or before a
//   line break are written as character references (a reader would drop them), those ending the
//   paragraph are left out (a reader drops them all the same); emphasis closes before spaces and
//   opens after them;
// - emphasis changes where CommonMark reads the delimiters as intended (left- or right-flanking
//   as needed); where it would not, the change waits for the next place where it would, so the
//   text always comes back whole, at worst with a character's style off.
class InlineWriter {
public:
    // How a manual line break is written: a hard break, "<br>" (table cells: one line), or a
    // space (headings: one line).
    enum class Breaks { kHard, kHtml, kSpace };

    // Starts a paragraph written to `out`. `continuation` goes at the start of every line after
    // a hard break (a list item's indentation).
    void Begin(std::string* out, Breaks breaks, bool inHeading, BlockOpener* opener,
               std::string continuation = {});
    bool Active() const { return out_ != nullptr; }
    // Before the first content: the paragraph turned out to be a heading (one line, "#" escaped
    // everywhere) / a list item whose further lines are indented by `continuation`.
    void MakeHeading() {
        breaks_ = Breaks::kSpace;
        inHeading_ = true;
    }
    void SetContinuation(std::string continuation) { continuation_ = std::move(continuation); }
    // Spaces and tabs before the first content are left out (a note's, after its mark).
    void DropLeadingSpaces() { dropLeading_ = true; }
    // The text goes between brackets (a picture's description): "[" and "]" are escaped.
    void InBrackets() { inBrackets_ = true; }

    void Text(std::string_view utf8);
    void Tab() { held_ += '\t'; }
    void LineBreak() { held_ += '\n'; }
    void SetStyle(TextStyle style) { want_ = style; }
    void StartLink(std::string_view target, bool internal);
    void EndLink();
    // "![description](<>)": the picture's file is not kept, so it has no address; its title is
    // left out (cmark-gfm misreads some titles after an empty address). A picture without a
    // description is left out, unless it is a link: then its title or "picture" describes it.
    void Picture(std::string_view description, std::string_view title);
    void NoteReference(std::string_view label);

    // Ends the paragraph: closes emphasis and links; whether anything was written. A table cell's
    // paragraph gives `heldTail`: its last characters where more of the cell follows.
    bool End(HeldTail* heldTail = nullptr);

private:
    enum class Delimiter { kStrike, kBold, kItalic };
    struct Open {
        Delimiter delimiter;
        int runLength;  // of the run of "*" it was written in
    };

    void BeforeVisible(CharClass next);
    // Moves emphasis toward `want_` between the last written character (prev_) and one of class
    // `next`; only closes when `allowOpen` is false. Does nothing where CommonMark would misread
    // the delimiters.
    void Transition(CharClass next, bool allowOpen);
    void CloseAll();
    void WriteHeld(bool atEnd);
    void WriteCharacterReference(char c);
    // Every byte goes out through Put, which first settles the held run by what follows it.
    // `closing`: the writer's closing delimiters.
    void Put(std::string_view bytes, CharClass cls, bool closing = false);
    void Put(char c, CharClass cls) { Put(std::string_view(&c, 1), cls); }
    // An address GFM would link, from its "." or ":" at s[i], written bare (or held, when the
    // text ends with it, until what follows shows where it ends); how many bytes it took, 0 when
    // it needs backslashes.
    std::size_t TakeAddress(std::string_view s, std::size_t i);
    // Writes the held address: bare where it `ends`, else escaped so that it stays text.
    void FlushAddress(bool ends);
    void FlushRun(unsigned char next, CharClass nextClass);
    // Writes (or holds) the character of the text at s[i] that may be markup; how many bytes it
    // took (a bare address takes all of it).
    std::size_t WriteMarkupCharacter(std::string_view s, std::size_t i, unsigned char kind);
    // Whether the emphasis written is the one wanted: then characters need no transition.
    bool Settled() const { return openStyle_ == want_; }
    // How many bytes from s[i] on go out as they are: characters that are never markup here,
    // and spaces between them (written as they are when a visible character follows).
    std::size_t PlainRun(std::string_view s, std::size_t i) const;

    std::string* out_ = nullptr;
    Breaks breaks_ = Breaks::kHard;
    bool inHeading_ = false;
    BlockOpener* opener_ = nullptr;
    std::string continuation_;

    bool started_ = false;
    bool dropLeading_ = false;
    bool inBrackets_ = false;
    bool lineStart_ = true;
    bool leadingDigits_ = false;  // only digits so far on this line: "." or ")" would make a list
    CharClass prev_ = CharClass::kSpace;
    std::string held_;  // spaces, tabs and line breaks ('\n') not yet written
    TextStyle want_;
    std::vector<Open> open_;
    TextStyle openStyle_;  // what open_ holds

    unsigned char last_ = 0;  // the last byte written (the writer's own, not the block marker)
    std::string address_;     // held: an address ending the text so far
    RunContext run_;  // held: characters whose backslash depends on what follows (length 0: none)

    std::string linkTarget_;            // the destination, written at the link's end
    std::string linkText_;              // the open link's text, written at its end
    std::string* linkOuter_ = nullptr;  // where the link goes
    bool linkPending_ = false;          // "[" not yet written: the link has shown nothing yet
    bool linkOpen_ = false;
};

}  // namespace corvanel::convert::markdown

#pragma once

#include "convert/markdown/MarkdownCharacters.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvanel::convert::markdown {

// Where a character of the text needs a backslash, decided by what a CommonMark/GFM reader
// would make of it at that spot, so that raw Markdown carries no more backslashes than needed.

// What is known of a run of one character (or one character) and of what is written after it.
struct RunContext {
    char c = 0;
    std::size_t length = 0;
    CharClass before = CharClass::kSpace;
    bool lineStart = false;  // the run starts a line
    bool inHeading = false;
    bool inTable = false;
    bool inLink = false;
    bool afterDigits = false;    // "." or ")" after a line's leading digits
    bool closerMatters = false;  // the writer's own emphasis of this character is open
    unsigned char previous = 0;  // the byte written before the run, 0 for none
    // The byte written next, 0 when the paragraph ends there, and its class.
    unsigned char next = 0;
    CharClass nextClass = CharClass::kSpace;
};

// Which characters of the run get a backslash.
enum class RunEscape { kNone, kFirst, kLast, kAllButLast, kAll };
RunEscape EscapeOfRun(const RunContext& run);
// The run as written, with its backslashes.
std::string RunText(const RunContext& run);

// The characters that end a table cell's paragraph, when their backslashes depend on what
// follows: the text has them as where the cell ends; `run` writes them where "<br>" and the
// cell's next paragraph follow.
struct HeldTail {
    RunContext run;
    std::size_t bytes = 0;  // 0: none
};

// Whether a link that shows `text` (as written in Markdown) and goes to `target` can be written
// "<text>": the text is the target and an absolute URI, or the e-mail address of a "mailto:"
// target; a reader shows the same text, linked to the same target.
bool AutolinkForm(std::string_view text, std::string_view target);

// Where a paragraph's Markdown starts with a backslash that only a block's start needs
// ("\-", "\#", "1\."): its index, else npos. Inside a line (a pipe table's cell) it may go.
std::size_t BlockStartEscape(std::string_view text);

// Whether the "&" at s[i] may start an entity or character reference ("&name;", "&#9;",
// "&#x9;"); true as well when `s` ends before that is known.
bool MayStartReference(std::string_view s, std::size_t i);

// For "www." or "http:" (and "https:", "ftp:"), with the trigger "." or ":" at s[i]: how many
// bytes from i on can be written as they stand, up to the white space that ends the address
// GFM would link. An address links to the very text it shows, so it is written bare
// when no character in it would need a backslash (a reader would show that backslash in the
// link); 0 when one would. `open`: `s` ends before the address does.
std::size_t BareAddressLength(std::string_view s, std::size_t i, bool inTable, bool& open);

}  // namespace corvanel::convert::markdown

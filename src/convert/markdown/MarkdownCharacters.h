#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvanel::convert::markdown {

// How CommonMark sees a character next to an emphasis delimiter. Characters outside ASCII that
// are not spaces are kUnsure: the reader's Unicode tables decide whether they are punctuation,
// so a delimiter beside one must be right either way.
enum class CharClass { kSpace, kPunct, kOther, kUnsure };

CharClass AsciiClass(unsigned char c);

// Whether a run of "*", "_" or "~" between characters of these classes is left- or
// right-flanking (what CommonMark asks of a run that opens or closes emphasis).
bool LeftFlanking(CharClass before, CharClass after);
bool RightFlanking(CharClass before, CharClass after);

// The length of the UTF-8 character starting at s[i] (1 for a stray byte) and its code point
// (U+FFFD when it is malformed).
std::size_t Utf8Length(std::string_view s, std::size_t i, char32_t& codePoint);

// Spaces of Unicode that CommonMark counts as whitespace beside a delimiter, outside ASCII.
bool IsUnicodeSpace(char32_t codePoint);

// A short text (a picture's description, an author, a mark) as one line of Markdown that may
// stand between brackets: InlineWriter's escapes, "[" and "]" always escaped.
std::string EscapedInline(std::string_view text);

// A link destination as written between "(" and ")": bare when it can be, else in angle brackets.
std::string LinkDestination(std::string_view target);

// The note label for the `occurrence`-th (1-based) note or reference with `mark`: the mark when
// it is letters and digits (so a renderer's identifiers carry it), "-2", "-3"... appended for
// repeats; other marks are written in hexadecimal after "-x", as labels take few characters.
std::string NoteLabel(std::string_view mark, int occurrence);

}  // namespace corvanel::convert::markdown

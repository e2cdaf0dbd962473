#include "convert/markdown/MarkdownEscapes.h"

#include <cstring>

namespace corvanel::convert::markdown {

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// An unsure class may be read either way: each of its readings is tried.
template <typename Test>
bool AnyReading(CharClass before, CharClass after, Test test) {
    for (const CharClass b : {CharClass::kPunct, CharClass::kOther}) {
        for (const CharClass a : {CharClass::kPunct, CharClass::kOther}) {
            const CharClass rb = before == CharClass::kUnsure ? b : before;
            const CharClass ra = after == CharClass::kUnsure ? a : after;
            if (test(rb, ra)) {
                return true;
            }
        }
    }
    return false;
}

// A line that ends after the run (or goes on with white space) may make it a block marker.
bool EndsOrSpace(const RunContext& run) {
    return run.next == 0 || run.nextClass == CharClass::kSpace;
}

bool NextIn(const RunContext& run, const char* set) {
    return run.next != 0 && std::strchr(set, run.next) != nullptr;
}

RunEscape AtLineStart(const RunContext& run) {
    switch (run.c) {
        case '#':
            return run.length <= 6 && EndsOrSpace(run) ? RunEscape::kFirst : RunEscape::kNone;
        case '-':
        case ':':
            // A list item, a rule, a heading's underline or a table's delimiter row.
            return EndsOrSpace(run) || NextIn(run, "-|:") ? RunEscape::kFirst : RunEscape::kNone;
        case '+':
            return EndsOrSpace(run) ? RunEscape::kFirst : RunEscape::kNone;
        case '=':
            return EndsOrSpace(run) || run.next == '=' ? RunEscape::kFirst : RunEscape::kNone;
        case '>':
        case '|':
            return RunEscape::kFirst;
        default:
            return RunEscape::kNone;
    }
}

}  // namespace

RunEscape EscapeOfRun(const RunContext& run) {
    const CharClass before = run.before;
    const CharClass after = run.nextClass;
    switch (run.c) {
        case '_':
            // Only an opener matters: every "_" that could open is escaped, so none closes.
            if (run.lineStart && EndsOrSpace(run)) {
                return RunEscape::kFirst;  // a rule; the rest of the run cannot open
            }
            return AnyReading(before, after,
                              [](CharClass b, CharClass a) {
                                  return LeftFlanking(b, a) &&
                                         (!RightFlanking(b, a) || b == CharClass::kPunct);
                              })
                       ? RunEscape::kAll
                       : RunEscape::kNone;
        case '*':
        case '~':
            // Every "*" or "~" of the text that could open is escaped, so one that can only close
            // matters where it would close the writer's own emphasis.
            if (run.lineStart && (EndsOrSpace(run) || (run.c == '~' && run.length >= 3))) {
                return RunEscape::kAll;  // a bullet, a rule or a fence
            }
            // Beside the writer's "*" or "~~" the run would join its run; and cmark-gfm may read
            // the character beyond a "~" run beside a "*" run as the one beside the "*": the
            // writer's emphasis is placed for characters that are not markup.
            if (run.previous == '*' || run.previous == '~' || NextIn(run, "*~")) {
                return RunEscape::kAll;
            }
            return AnyReading(before, after,
                              [&run](CharClass b, CharClass a) {
                                  return LeftFlanking(b, a) ||
                                         (run.closerMatters && RightFlanking(b, a));
                              })
                       ? RunEscape::kAll
                       : RunEscape::kNone;
        case '<':
            // Raw HTML or an autolink starts with a letter, "/", "!" or "?" after it.
            return IsAsciiLetter(run.next) || NextIn(run, "/!?") ? RunEscape::kLast
                                                                 : RunEscape::kNone;
        case '!':
            return run.next == '[' ? RunEscape::kLast : RunEscape::kNone;  // a picture
        case '\\':
            // Before punctuation it would escape it, at a line's end it would break the line.
            return run.next == 0 || run.next == '\n' || AsciiClass(run.next) == CharClass::kPunct
                       ? RunEscape::kAll
                       : RunEscape::kAllButLast;
        case '[':
            if (run.inLink) {
                return RunEscape::kAll;
            }
            if (run.next == '^') {
                return run.lineStart ? RunEscape::kAll : RunEscape::kLast;  // a note reference
            }
            return run.lineStart ? RunEscape::kFirst : RunEscape::kNone;  // a task list's box
        case ']':
            if (run.inLink) {
                return RunEscape::kAll;
            }
            // A link, a reference or a definition.
            return NextIn(run, "([:") ? RunEscape::kLast : RunEscape::kNone;
        case '.':
        case ')':
            return run.afterDigits && EndsOrSpace(run) ? RunEscape::kFirst : RunEscape::kNone;
        case '#':
            if (run.inHeading && before == CharClass::kSpace) {
                return RunEscape::kFirst;  // a heading's closing sequence
            }
            return run.lineStart ? AtLineStart(run) : RunEscape::kNone;
        case '|':
            if (run.inTable) {
                return RunEscape::kAll;
            }
            return run.lineStart ? AtLineStart(run) : RunEscape::kNone;
        default:
            return run.lineStart ? AtLineStart(run) : RunEscape::kNone;
    }
}

std::string RunText(const RunContext& run) {
    const RunEscape escape = EscapeOfRun(run);
    std::string out;
    for (std::size_t k = 0; k < run.length; ++k) {
        const bool last = k + 1 == run.length;
        if (escape == RunEscape::kAll || (escape == RunEscape::kFirst && k == 0) ||
            (escape == RunEscape::kLast && last) || (escape == RunEscape::kAllButLast && !last)) {
            out += '\\';
        }
        out += run.c;
    }
    return out;
}

namespace {

// CommonMark's absolute URI: a scheme of 2 to 32 characters, ":", then no white space, control
// character, "<" or ">" (nor "\\" and "&", which the link's text would have escaped).
bool AbsoluteUri(std::string_view s) {
    const std::size_t colon = s.find(':');
    if (colon < 2 || colon > 32 || colon == std::string_view::npos || !IsAsciiLetter(s[0])) {
        return false;
    }
    for (std::size_t k = 1; k < colon; ++k) {
        const auto c = static_cast<unsigned char>(s[k]);
        if (!IsAsciiAlnum(c) && c != '+' && c != '.' && c != '-') {
            return false;
        }
    }
    for (const char ch : s.substr(colon + 1)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == 0x7F || c == '<' || c == '>' || c == '\\' || c == '&') {
            return false;
        }
    }
    return true;
}

// CommonMark's e-mail autolink: a local part of letters, digits and ".!#$%'*+/=?^_`{|}~-",
// "@", then labels of letters, digits and inner "-" joined by ".".
bool EmailAddress(std::string_view s) {
    const std::size_t at = s.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == s.size()) {
        return false;
    }
    for (const char ch : s.substr(0, at)) {
        const auto c = static_cast<unsigned char>(ch);
        if (!IsAsciiAlnum(c) && std::strchr(".!#$%'*+/=?^_`{|}~-", c) == nullptr) {
            return false;
        }
    }
    std::size_t label = 0;
    for (std::size_t k = at + 1; k <= s.size(); ++k) {
        const auto c = k < s.size() ? static_cast<unsigned char>(s[k]) : '.';
        if (c == '.') {
            if (label == 0 || label > 63 || s[k - 1] == '-') {
                return false;
            }
            label = 0;
        } else if (IsAsciiAlnum(c) || (c == '-' && label > 0)) {
            ++label;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

bool AutolinkForm(std::string_view text, std::string_view target) {
    if (text == target) {
        return AbsoluteUri(target);
    }
    constexpr std::string_view kMailto = "mailto:";
    return target.size() > kMailto.size() && target.substr(0, kMailto.size()) == kMailto &&
           target.substr(kMailto.size()) == text && EmailAddress(text);
}

std::size_t BlockStartEscape(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    if (text.size() < digits + 2 || text[digits] != '\\') {
        return std::string_view::npos;
    }
    const char escaped = text[digits + 1];
    const bool marker =
        digits > 0 ? (escaped == '.' || escaped == ')') : std::strchr("-+=>:#", escaped) != nullptr;
    return marker ? digits : std::string_view::npos;
}

bool MayStartReference(std::string_view s, std::size_t i) {
    constexpr std::size_t kLongestName = 32;
    std::size_t k = i + 1;
    if (k < s.size() && s[k] == '#') {
        ++k;
        if (k < s.size() && (s[k] == 'x' || s[k] == 'X')) {
            ++k;
        }
    }
    const std::size_t nameStart = k;
    while (k < s.size() && IsAsciiAlnum(static_cast<unsigned char>(s[k]))) {
        if (k - nameStart > kLongestName) {
            return false;
        }
        ++k;
    }
    if (k == s.size()) {
        return true;  // what follows is not known yet
    }
    return k > nameStart && s[k] == ';';
}

std::size_t BareAddressLength(std::string_view s, std::size_t i, bool inTable, bool& open) {
    open = false;
    std::size_t k = i + 1;
    for (; k < s.size(); ++k) {
        const auto c = static_cast<unsigned char>(s[k]);
        // ("<" would end it too, but its backslash, where it needs one, would not.)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            return k - i;
        }
        if (IsAsciiAlnum(c) || (c >= 0x80 && !(c == 0xC2 && k + 1 < s.size() &&
                                               static_cast<unsigned char>(s[k + 1]) == 0xAD))) {
            continue;  // (a soft hyphen would be dropped from the text)
        }
        switch (c) {
            case '_':
                // After a letter or digit "_" never opens emphasis.
                if (!IsAsciiAlnum(static_cast<unsigned char>(s[k - 1]))) {
                    return 0;
                }
                continue;
            case '&':
                if (MayStartReference(s, k)) {
                    return 0;
                }
                continue;
            case '|':
                if (inTable) {
                    return 0;
                }
                continue;
            default:
                if (std::strchr("-./:?=%#+,;@$'\"^{}!()>", c) == nullptr) {
                    return 0;
                }
        }
    }
    open = true;  // the address may go on in the next piece of text
    return k - i;
}

}  // namespace corvanel::convert::markdown

#include "convert/markdown/InlineWriter.h"

#include <algorithm>
#include <array>

namespace corvanel::convert::markdown {

namespace {

enum ByteKind : unsigned char {
    kPlain,
    kSpaceByte,    // held: a space or a tab
    kLineEnd,      // a line break inside a run
    kEscape,       // markup anywhere: always escaped
    kHeld,         // markup depending on what follows: held until that is known
    kLineStart,    // markup at a line's start only: "#", ">", "-", "+", "=", "|"
    kAmpersand,    // markup when it starts a reference
    kDigit,        // an ordered-list marker's number
    kListEnd,      // "." or ")" after a line's leading digits
    kHigh,         // part of a character outside ASCII
    kSpecialLead,  // may start a soft hyphen or a Unicode space
    kContextual    // ":", "(": markup after some texts (an address, a note reference)
};

constexpr std::array<unsigned char, 256> MakeKinds() {
    std::array<unsigned char, 256> kinds{};
    kinds[' '] = kSpaceByte;
    kinds['\t'] = kSpaceByte;
    kinds['\r'] = kLineEnd;
    kinds['\n'] = kLineEnd;
    kinds['`'] = kEscape;
    for (const char c : std::string_view("\\*_[]<~!")) {
        kinds[static_cast<unsigned char>(c)] = kHeld;
    }
    for (const char c : std::string_view("#>-+=|")) {
        kinds[static_cast<unsigned char>(c)] = kLineStart;
    }
    kinds['&'] = kAmpersand;
    for (char c = '0'; c <= '9'; ++c) {
        kinds[static_cast<unsigned char>(c)] = kDigit;
    }
    kinds['.'] = kListEnd;
    kinds[')'] = kListEnd;
    kinds[':'] = kContextual;
    kinds['('] = kContextual;
    for (int b = 0x80; b < 0x100; ++b) {
        kinds[b] = kHigh;
    }
    kinds[0xC2] = kSpecialLead;  // U+00A0, U+00AD
    kinds[0xE1] = kSpecialLead;  // U+1680
    kinds[0xE2] = kSpecialLead;  // U+2000-U+200A, U+202F, U+205F
    kinds[0xE3] = kSpecialLead;  // U+3000
    return kinds;
}

constexpr std::array<unsigned char, 256> kKinds = MakeKinds();

// The classes a character may be read as: an unsure one as punctuation or not; several
// characters where a reader may see one or the other.
struct Readings {
    explicit Readings(CharClass c) { Add(c); }
    void Add(CharClass c) {
        if (c == CharClass::kUnsure) {
            Put(CharClass::kPunct);
            Put(CharClass::kOther);
        } else {
            Put(c);
        }
    }
    const CharClass* begin() const { return items; }
    const CharClass* end() const { return items + count; }

    CharClass items[3] = {CharClass::kOther, CharClass::kOther, CharClass::kOther};
    int count = 0;

private:
    void Put(CharClass c) {
        if (std::find(begin(), end(), c) == end()) {
            items[count++] = c;
        }
    }
};

struct Token {
    char c;
    int length;
    bool closes;
    int openerRun;  // a closer's: the length of the "*" run its opener was written in
};

// Whether CommonMark reads the delimiters as written: closers as closers (and matching their
// openers despite its rule of three), openers as openers only.
bool ReadAsWritten(const std::vector<Token>& tokens, CharClass before, CharClass after) {
    // Runs of one delimiter character, with the classes of the characters beside them.
    struct Run {
        std::size_t first, end;
        int length = 0;
        CharClass before, after;
    };
    std::vector<Run> runs;
    for (std::size_t i = 0; i < tokens.size();) {
        Run run{i, i, 0, runs.empty() ? before : CharClass::kPunct, CharClass::kPunct};
        while (run.end < tokens.size() && tokens[run.end].c == tokens[i].c) {
            if (tokens[run.end].closes != tokens[i].closes) {
                return false;  // one run cannot both close and open
            }
            run.length += tokens[run.end].length;
            ++run.end;
        }
        run.after = run.end == tokens.size() ? after : CharClass::kPunct;
        runs.push_back(run);
        i = run.end;
    }
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const Run& run = runs[r];
        const Token& token = tokens[run.first];
        Readings beforeReadings(run.before);
        Readings afterReadings(run.after);
        // cmark-gfm 0.29 sees through a strikethrough's "~~" beside a "*" run: it may read the
        // character beyond the "~~" as the one beside the "*" ("*a ~~x~~*b*" closes the first
        // "*" at the second; "\_***x\_***~~a~~" does not close at all).
        if (token.c == '*' && r > 0 && tokens[runs[r - 1].first].c == '~') {
            beforeReadings.Add(runs[r - 1].before);
        }
        if (token.c == '*' && r + 1 < runs.size() && tokens[runs[r + 1].first].c == '~') {
            afterReadings.Add(runs[r + 1].after);
        }
        for (const CharClass rb : beforeReadings) {
            for (const CharClass ra : afterReadings) {
                const bool left = LeftFlanking(rb, ra);
                const bool right = RightFlanking(rb, ra);
                if (!token.closes) {
                    if (!left || right) {
                        return false;
                    }
                    continue;
                }
                if (!right) {
                    return false;
                }
                if (left && token.c == '*' && run.length % 3 != 0) {
                    for (std::size_t k = run.first; k < run.end; ++k) {
                        if ((tokens[k].openerRun + run.length) % 3 == 0) {
                            return false;
                        }
                    }
                }
            }
        }
    }
    return true;
}

// Whether `out` ends with `word`, in any case.
bool EndsWith(const std::string& out, std::string_view word) {
    if (out.size() < word.size()) {
        return false;
    }
    for (std::size_t k = 0; k < word.size(); ++k) {
        const char c = out[out.size() - word.size() + k];
        if ((c | 0x20) != word[k]) {
            return false;
        }
    }
    return true;
}

// GFM makes links of addresses in the text ("www.", "http://") and then shows the backslashes
// of escapes inside them: where one would need any, the character that starts the address is
// escaped instead, so the text stays text (an e-mail address shows its text either way).
bool StartsAddress(const std::string& out, unsigned char c) {
    if (c == '.') {
        return EndsWith(out, "www");
    }
    return c == ':' && (EndsWith(out, "http") || EndsWith(out, "https") || EndsWith(out, "ftp"));
}

// After a note reference, "(" would make it a link and ":" (at a line's start) a definition.
bool AfterNoteReference(const std::string& out) {
    return !out.empty() && out.back() == ']';
}

char DelimiterChar(int d) {
    return d == 0 ? '~' : '*';
}

int DelimiterLength(int d) {
    return d == 2 ? 1 : 2;
}

bool Wants(const TextStyle& style, int d) {
    return d == 0 ? style.strike : (d == 1 ? style.bold : style.italic);
}

// Bytes that go out as they are once a visible character is written on the line and no
// emphasis change waits: never markup there, nor part of a soft hyphen or a Unicode space.
// Indexed by whether the paragraph is a heading ("#" may close one) and whether it is a table
// cell's ("|" ends a cell).
constexpr std::array<std::array<bool, 256>, 4> MakeVerbatim() {
    std::array<std::array<bool, 256>, 4> verbatim{};
    for (int mode = 0; mode < 4; ++mode) {
        for (int b = 0; b < 256; ++b) {
            const unsigned char kind = kKinds[static_cast<std::size_t>(b)];
            verbatim[mode][b] = kind == kPlain || kind == kDigit || kind == kHigh ||
                                (kind == kListEnd && b != '.') ||
                                (kind == kLineStart && !(b == '#' && (mode & 1) != 0) &&
                                 !(b == '|' && (mode & 2) != 0));
        }
    }
    return verbatim;
}

constexpr std::array<std::array<bool, 256>, 4> kVerbatim = MakeVerbatim();

CharClass ClassOf(unsigned char b) {
    return b < 0x80 ? AsciiClass(b) : CharClass::kUnsure;
}

}  // namespace

void InlineWriter::Begin(std::string* out, Breaks breaks, bool inHeading, BlockOpener* opener,
                         std::string continuation) {
    out_ = out;
    breaks_ = breaks;
    inHeading_ = inHeading;
    opener_ = opener;
    continuation_ = std::move(continuation);
    started_ = false;
    dropLeading_ = false;
    inBrackets_ = false;
    lineStart_ = true;
    leadingDigits_ = false;
    prev_ = CharClass::kSpace;
    held_.clear();
    want_ = {};
    open_.clear();
    openStyle_ = {};
    linkPending_ = false;
    linkOpen_ = false;
    run_ = {};
    last_ = 0;
    address_.clear();
}

void InlineWriter::Transition(CharClass next, bool allowOpen) {
    if (Settled()) {
        return;
    }
    std::size_t keep = 0;
    while (keep < open_.size() && Wants(want_, static_cast<int>(open_[keep].delimiter))) {
        ++keep;
    }
    std::vector<Token> tokens;
    for (std::size_t k = open_.size(); k-- > keep;) {
        const int d = static_cast<int>(open_[k].delimiter);
        tokens.push_back({DelimiterChar(d), DelimiterLength(d), true, open_[k].runLength});
    }
    const std::size_t closers = tokens.size();
    if (allowOpen) {
        for (int d = 0; d < 3; ++d) {
            bool kept = false;
            for (std::size_t k = 0; k < keep; ++k) {
                kept = kept || static_cast<int>(open_[k].delimiter) == d;
            }
            if (Wants(want_, d) && !kept) {
                tokens.push_back({DelimiterChar(d), DelimiterLength(d), false, 0});
            }
        }
    }
    if (!ReadAsWritten(tokens, prev_, next)) {
        // Closing alone may still be read right; opening waits.
        tokens.resize(closers);
        if (closers == 0 || !ReadAsWritten(tokens, prev_, next)) {
            return;
        }
    }
    if (tokens.empty()) {
        return;
    }
    open_.resize(keep);
    int starRun = 0;
    for (std::size_t k = closers; k < tokens.size(); ++k) {
        starRun += tokens[k].c == '*' ? tokens[k].length : 0;
    }
    for (const Token& t : tokens) {
        Put(std::string(static_cast<std::size_t>(t.length), t.c), CharClass::kPunct, t.closes);
        if (!t.closes) {
            const auto d = static_cast<Delimiter>(t.c == '~' ? 0 : (t.length == 2 ? 1 : 2));
            open_.push_back({d, t.c == '*' ? starRun : t.length});
        }
    }
    openStyle_ = {};
    for (const Open& o : open_) {
        (o.delimiter == Delimiter::kStrike
             ? openStyle_.strike
             : (o.delimiter == Delimiter::kBold ? openStyle_.bold : openStyle_.italic)) = true;
    }
    prev_ = CharClass::kPunct;
    lineStart_ = false;
    leadingDigits_ = false;
}

void InlineWriter::CloseAll() {
    if (open_.empty()) {
        return;
    }
    for (std::size_t k = open_.size(); k-- > 0;) {
        const int d = static_cast<int>(open_[k].delimiter);
        Put(std::string(static_cast<std::size_t>(DelimiterLength(d)), DelimiterChar(d)),
            CharClass::kPunct, true);
    }
    open_.clear();
    openStyle_ = {};
    prev_ = CharClass::kPunct;
}

void InlineWriter::WriteCharacterReference(char c) {
    Put(c == '\t' ? "&#9;" : "&#32;", CharClass::kPunct);
    prev_ = CharClass::kPunct;
}

void InlineWriter::WriteHeld(bool atEnd) {
    for (std::size_t i = 0; i < held_.size(); ++i) {
        const char c = held_[i];
        if (c == '\n') {
            if (atEnd) {
                continue;  // a break ending a paragraph shows nothing
            }
            switch (breaks_) {
                case Breaks::kHard:
                    Put("\\\n", CharClass::kPunct);
                    out_->append(continuation_);
                    lineStart_ = true;
                    prev_ = CharClass::kSpace;
                    break;
                case Breaks::kHtml:
                    Put("<br>", CharClass::kPunct);
                    prev_ = CharClass::kPunct;
                    lineStart_ = false;
                    break;
                case Breaks::kSpace:
                    Put(' ', CharClass::kSpace);
                    prev_ = CharClass::kSpace;
                    break;
            }
            leadingDigits_ = false;
            continue;
        }
        if (c == ' ' || c == '\t') {
            // Spaces at a line's start or before a line break would be dropped by a reader.
            // Those ending the paragraph are left out: a reader shows nothing of them either.
            if (atEnd) {
                continue;
            }
            std::size_t after = i + 1;
            while (after < held_.size() && (held_[after] == ' ' || held_[after] == '\t')) {
                ++after;
            }
            const bool trailing = after < held_.size() && held_[after] == '\n';
            if (lineStart_ || trailing) {
                WriteCharacterReference(c);
            } else {
                Put(c, CharClass::kSpace);
                prev_ = CharClass::kSpace;
            }
        } else {
            Put(c, CharClass::kSpace);  // part of a Unicode space
            prev_ = CharClass::kSpace;
        }
        lineStart_ = false;
        leadingDigits_ = false;
    }
    held_.clear();
}

void InlineWriter::BeforeVisible(CharClass next) {
    if (!started_) {
        started_ = true;
        if (dropLeading_) {
            held_.erase(0, held_.find_first_not_of(" \t"));
        }
        if (opener_ != nullptr) {
            opener_->OpenBlock();
        }
    }
    if (!held_.empty()) {
        CharClass first = CharClass::kSpace;
        if (held_[0] == '\n' && breaks_ != Breaks::kSpace) {
            first = CharClass::kPunct;  // "\" or "<br>"
        }
        if (linkPending_) {
            CloseAll();
        } else {
            Transition(first, false);
        }
        WriteHeld(false);
    }
    if (linkPending_) {
        CloseAll();
        // The link's text is held: where it is its target, "<target>" says it once.
        FlushAddress(false);
        FlushRun('[', CharClass::kPunct);
        linkOuter_ = out_;
        linkText_.clear();
        out_ = &linkText_;
        last_ = '[';
        prev_ = CharClass::kPunct;
        lineStart_ = false;
        leadingDigits_ = false;
        linkPending_ = false;
        linkOpen_ = true;
    }
    if (!Settled()) {
        Transition(next, true);
    }
}

void InlineWriter::Text(std::string_view s) {
    if (out_ == nullptr) {
        return;
    }
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const unsigned char kind = kKinds[b];
        if (kind == kSpaceByte) {
            held_.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        if (kind == kLineEnd) {
            i += (b == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
            LineBreak();
            continue;
        }
        if (kind == kHigh || kind == kSpecialLead) {
            char32_t codePoint = 0;
            const std::size_t length = Utf8Length(s, i, codePoint);
            if (codePoint == 0xAD) {
                i += length;  // a soft hyphen shows only where a line is broken
                continue;
            }
            if (IsUnicodeSpace(codePoint)) {
                held_.append(s.substr(i, length));
                i += length;
                continue;
            }
            BeforeVisible(CharClass::kUnsure);
            Put(s.substr(i, length), CharClass::kUnsure);
            prev_ = CharClass::kUnsure;
            leadingDigits_ = false;
            i += length;
        } else {
            BeforeVisible(AsciiClass(b));
            i += WriteMarkupCharacter(s, i, kind);
        }
        lineStart_ = false;
        // The common case: no style change waiting, so the plain characters that follow go out
        // as they are.
        if (leadingDigits_ || !Settled() || run_.length > 0) {
            continue;
        }
        const std::size_t run = PlainRun(s, i);
        if (run > 0) {
            Put(s.substr(i, run), ClassOf(static_cast<unsigned char>(s[i])));
            i += run;
            const auto last = static_cast<unsigned char>(s[i - 1]);
            prev_ = ClassOf(last);
        }
    }
}

std::size_t InlineWriter::TakeAddress(std::string_view s, std::size_t i) {
    bool open = false;
    const std::size_t length =
        Settled() ? BareAddressLength(s, i, breaks_ == Breaks::kHtml, open) : 0;
    if (length == 0) {
        return 0;
    }
    if (open) {
        address_ = s.substr(i, length);  // what follows decides
    } else {
        Put(s.substr(i, length), CharClass::kPunct);
    }
    prev_ = ClassOf(static_cast<unsigned char>(s[i + length - 1]));
    leadingDigits_ = false;
    return length;
}

void InlineWriter::FlushAddress(bool ends) {
    if (address_.empty()) {
        return;
    }
    if (ends) {
        out_->append(address_);
    } else {
        // The address may go on with characters that need backslashes: it stays text.
        for (std::size_t k = 0; k < address_.size(); ++k) {
            const char c = address_[k];
            if (k == 0 ||
                ((c == '.' || c == ':') && StartsAddress(*out_, static_cast<unsigned char>(c)))) {
                out_->push_back('\\');
            }
            out_->push_back(c);
        }
    }
    last_ = static_cast<unsigned char>(address_.back());
    address_.clear();
}

void InlineWriter::Put(std::string_view bytes, CharClass cls, bool closing) {
    if (!address_.empty()) {
        if (closing) {
            // GFM leaves "*" and "~" out of an address's end: what follows these decides.
            address_.append(bytes);
            return;
        }
        // White space and a link's end end an address GFM links.
        FlushAddress(bytes.front() == ' ' || bytes.front() == '\t' || bytes.substr(0, 2) == "](");
    }
    if (run_.length > 0) {
        FlushRun(static_cast<unsigned char>(bytes.front()), cls);
    }
    out_->append(bytes);
    last_ = static_cast<unsigned char>(bytes.back());
}

void InlineWriter::FlushRun(unsigned char next, CharClass nextClass) {
    if (run_.length == 0) {
        return;
    }
    run_.next = next;
    run_.nextClass = nextClass;
    out_->append(RunText(run_));
    last_ = static_cast<unsigned char>(run_.c);
    run_.length = 0;
}

std::size_t InlineWriter::WriteMarkupCharacter(std::string_view s, std::size_t i,
                                               unsigned char kind) {
    FlushAddress(false);  // a held address goes on with this character
    const auto b = static_cast<unsigned char>(s[i]);
    const CharClass cls = AsciiClass(b);
    const bool table = breaks_ == Breaks::kHtml;
    bool hold = kind == kHeld;
    bool escape = kind == kEscape;
    bool afterDigits = false;
    if (kind == kLineStart) {
        hold = lineStart_ || (b == '#' && inHeading_) || (b == '|' && table);
    } else if (kind == kListEnd) {
        afterDigits = leadingDigits_;
        hold = leadingDigits_;
        if (!hold && b == '.' && StartsAddress(*out_, b)) {
            if (const std::size_t taken = TakeAddress(s, i)) {
                return taken;
            }
            escape = true;
        }
    } else if (kind == kContextual) {
        if (b == ':' && StartsAddress(*out_, b)) {
            if (const std::size_t taken = TakeAddress(s, i)) {
                return taken;
            }
            escape = true;
        } else {
            escape = AfterNoteReference(*out_);
            // ":" starting a line may make it a table's delimiter row (":---").
            hold = !escape && b == ':' && lineStart_;
        }
    } else if (kind == kAmpersand) {
        escape = MayStartReference(s, i);
    }
    if (run_.length > 0 && run_.c == static_cast<char>(b)) {
        ++run_.length;  // one run: what follows it decides
    } else if (hold) {
        FlushRun(b, cls);
        run_ = {};
        run_.c = static_cast<char>(b);
        run_.length = 1;
        run_.before = prev_;
        run_.lineStart = lineStart_ && !inHeading_;
        run_.inHeading = inHeading_;
        run_.inTable = table;
        run_.inLink = linkOpen_ || inBrackets_;
        run_.afterDigits = afterDigits;
        run_.previous = last_;
        run_.closerMatters = std::any_of(open_.begin(), open_.end(), [b](const Open& o) {
            return DelimiterChar(static_cast<int>(o.delimiter)) == static_cast<char>(b);
        });
    } else if (escape) {
        const char pair[] = {'\\', static_cast<char>(b)};
        Put(std::string_view(pair, 2), CharClass::kPunct);
    } else {
        Put(static_cast<char>(b), cls);
    }
    leadingDigits_ = kind == kDigit && (lineStart_ || leadingDigits_);
    prev_ = cls;
    return 1;
}

std::size_t InlineWriter::PlainRun(std::string_view s, std::size_t i) const {
    const std::array<bool, 256>& verbatim =
        kVerbatim[(inHeading_ ? 1 : 0) | (breaks_ == Breaks::kHtml ? 2 : 0)];
    std::size_t end = i;
    while (end < s.size()) {
        const auto b = static_cast<unsigned char>(s[end]);
        if (verbatim[b]) {
            ++end;
            continue;
        }
        // Spaces between two such characters are neither at a line's start nor trailing.
        if (b == ' ' || b == '\t') {
            std::size_t after = end + 1;
            while (after < s.size() && (s[after] == ' ' || s[after] == '\t')) {
                ++after;
            }
            if (after < s.size() && verbatim[static_cast<unsigned char>(s[after])]) {
                end = after + 1;
                continue;
            }
        }
        break;
    }
    return end - i;
}

void InlineWriter::StartLink(std::string_view target, bool internal) {
    if (out_ == nullptr) {
        return;
    }
    if (linkPending_ || linkOpen_) {
        EndLink();
    }
    if (target.empty()) {
        return;
    }
    linkTarget_ = internal ? "#" + std::string(target) : std::string(target);
    linkPending_ = true;
}

void InlineWriter::EndLink() {
    if (linkOpen_) {
        CloseAll();
        FlushAddress(true);
        FlushRun(']', CharClass::kPunct);
        out_ = linkOuter_;
        if (AutolinkForm(linkText_, linkTarget_)) {
            out_->append("<" + linkText_ + ">");
        } else {
            out_->push_back('[');
            out_->append(linkText_);
            out_->append("](");
            out_->append(LinkDestination(linkTarget_));
            out_->push_back(')');
        }
        last_ = static_cast<unsigned char>(out_->back());
        prev_ = CharClass::kPunct;
    }
    linkOpen_ = false;
    linkPending_ = false;
}

void InlineWriter::Picture(std::string_view description, std::string_view title) {
    if (out_ == nullptr) {
        return;
    }
    if (description.empty() && (linkPending_ || linkOpen_)) {
        description = title.empty() ? "picture" : title;  // a linked picture shows its link
    }
    if (description.empty()) {
        return;
    }
    BeforeVisible(CharClass::kPunct);
    Put("![", CharClass::kPunct);
    out_->append(EscapedInline(description));
    out_->append("](<>)");
    prev_ = CharClass::kPunct;
    lineStart_ = false;
    leadingDigits_ = false;
}

void InlineWriter::NoteReference(std::string_view label) {
    if (out_ == nullptr) {
        return;
    }
    BeforeVisible(CharClass::kPunct);
    Put("[^", CharClass::kPunct);
    out_->append(label);
    out_->push_back(']');
    prev_ = CharClass::kPunct;
    lineStart_ = false;
    leadingDigits_ = false;
}

bool InlineWriter::End(HeldTail* heldTail) {
    if (out_ == nullptr) {
        return false;
    }
    if (linkPending_ || linkOpen_) {
        EndLink();
    }
    // Spaces outside ASCII are text a reader keeps, even alone.
    if (!started_ && std::any_of(held_.begin(), held_.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        std::string held = std::move(held_);
        held_.clear();
        BeforeVisible(CharClass::kSpace);
        held_ = std::move(held);
    }
    const bool wrote = started_;
    if (started_) {
        CloseAll();
        // Up to the last space outside ASCII all is kept; after it, nothing shows.
        std::size_t last = held_.size();
        while (last > 0 && static_cast<unsigned char>(held_[last - 1]) < 0x80) {
            --last;
        }
        std::string tail = held_.substr(last);
        held_.resize(last);
        WriteHeld(false);
        held_ = std::move(tail);
        WriteHeld(true);
        if (heldTail != nullptr && run_.length > 0) {
            heldTail->run = run_;
            heldTail->run.next = '<';
            heldTail->run.nextClass = CharClass::kPunct;
            const std::size_t before = out_->size();
            FlushRun(0, CharClass::kSpace);
            heldTail->bytes = out_->size() - before;
        }
        FlushAddress(true);
        FlushRun(0, CharClass::kSpace);
    }
    out_ = nullptr;
    opener_ = nullptr;
    held_.clear();
    open_.clear();
    openStyle_ = {};
    return wrote;
}

}  // namespace corvanel::convert::markdown

#include "convert/core/EqField.h"

#include "convert/core/Ascii.h"
#include "convert/core/TextEncoding.h"

#include <vector>

namespace corvanel::convert {

namespace {

// Real equations nest a handful of levels; this bounds the recursion on hostile codes.
constexpr int kMaxDepth = 32;

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out.append(separator);
        }
        out.append(parts[i]);
    }
    return out;
}

std::string ClosingOf(const std::string& opening) {
    if (opening == "(") {
        return ")";
    }
    if (opening == "[") {
        return "]";
    }
    if (opening == "{") {
        return "}";
    }
    if (opening == "<") {
        return ">";
    }
    return opening;
}

// What one switch said before its elements.
struct Options {
    bool raised = false;  // \up
    bool sum = false;     // \su
    bool product = false;
    std::string left, right, both, symbol;  // \lc \rc \bc, \fc or \vc
};

class EqParser {
public:
    explicit EqParser(std::string_view code) : in_(code) {}

    std::string Read() {
        std::string out;
        Sequence(out, 0, false);
        const auto first = out.find_first_not_of(' ');
        const auto last = out.find_last_not_of(' ');
        return first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
    }

private:
    bool AtEnd() const { return pos_ >= in_.size(); }
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < in_.size() ? in_[pos_ + ahead] : '\0';
    }

    // Reads items until the end or, inside an element, until the ',' ';' or ')' that ends it.
    // True when the items were one raised \s and nothing else visible: a phonetic guide's text.
    bool Sequence(std::string& out, int depth, bool inElement) {
        int items = 0;
        bool raisedOnly = false;
        while (!AtEnd()) {
            const char c = Peek();
            if (c == ',' || c == ';' || c == ')') {
                if (inElement) {
                    break;
                }
                ++pos_;
                if (c != ')') {
                    out.push_back(c);  // a stray ')' at the top shows nothing
                    ++items;
                }
                continue;
            }
            if (c == '\\') {
                const char next = Peek(1);
                if (IsLetter(next)) {
                    ++pos_;
                    const std::string word = Word();
                    if (word.size() == 1) {
                        bool raised = false;
                        Switch(word[0], out, depth, raised);
                        raisedOnly = items == 0 && raised;
                        ++items;
                    } else {
                        SkipArgument();  // an option astray
                    }
                } else if (next == '*') {
                    pos_ += 2;
                    SkipFormatSwitch();
                } else {
                    ++pos_;
                    TakeCharacter(out);  // \( \) \, \\ and the like
                    ++items;
                    raisedOnly = false;
                }
                continue;
            }
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20) {
                ++pos_;
                if (ascii::IsSpace(c)) {
                    out.push_back(' ');
                }
                continue;
            }
            if (c != ' ') {
                ++items;
                raisedOnly = false;
            }
            TakeCharacter(out);
        }
        return raisedOnly && items == 1;
    }

    // A switch's options, then its elements in parentheses; appends what it shows.
    void Switch(char letter, std::string& out, int depth, bool& raised) {
        letter = ascii::ToLower(letter);
        Options options;
        ReadOptions(options);
        std::vector<std::string> elements;
        std::vector<bool> guides;
        if (Peek() == '(') {
            ++pos_;
            if (depth + 1 >= kMaxDepth) {
                pos_ = in_.size();
                return;
            }
            for (;;) {
                std::string element;
                guides.push_back(Sequence(element, depth + 1, true));
                elements.push_back(std::move(element));
                const char c = Peek();
                if (!AtEnd()) {
                    ++pos_;
                }
                if (c != ',' && c != ';') {
                    break;  // ')' or the end of a code that never closed
                }
            }
        }
        switch (letter) {
            case 'a':
                out.append(Join(elements, " "));
                break;
            case 'b': {
                const std::string left = !options.left.empty()
                                             ? options.left
                                             : (!options.both.empty() ? options.both : "(");
                const std::string right =
                    !options.right.empty()
                        ? options.right
                        : (!options.both.empty() ? ClosingOf(options.both) : ")");
                out.append(left).append(Join(elements, "")).append(right);
                break;
            }
            case 'f':
                out.append(Join(elements, "/"));
                break;
            case 'i':
                out.append(!options.symbol.empty() ? options.symbol
                           : options.sum           ? "\u2211"
                           : options.product       ? "\u220F"
                                                   : "\u222B");
                if (!elements.empty()) {
                    out.push_back(' ');
                }
                out.append(Join(elements, " "));
                break;
            case 'l':
                out.append(Join(elements, ","));
                break;
            case 'o': {
                // A phonetic guide: the raised reading stands over the base, which is the text.
                std::vector<std::string> base;
                for (std::size_t i = 0; i < elements.size(); ++i) {
                    if (!guides[i]) {
                        base.push_back(elements[i]);
                    }
                }
                out.append(Join(base.empty() ? elements : base, ""));
                break;
            }
            case 'r':
                if (elements.size() == 2) {
                    out.append(elements[0]).append("\u221A").append(elements[1]);
                } else {
                    out.append("\u221A").append(Join(elements, ""));
                }
                break;
            case 's':
                raised = options.raised;
                out.append(Join(elements, ""));
                break;
            default:  // \d, \x and switches Word does not know show their elements
                out.append(Join(elements, ""));
                break;
        }
    }

    void ReadOptions(Options& options) {
        for (;;) {
            SkipSpaces();
            if (Peek() != '\\' || !IsLetter(Peek(1))) {
                return;
            }
            const std::size_t start = pos_;
            ++pos_;
            const std::string word = ascii::LowerCopy(Word());
            if (word.size() < 2) {
                pos_ = start;  // a switch, not an option: this one has no elements
                return;
            }
            if (word == "lc" || word == "rc" || word == "bc" || word == "fc" || word == "vc") {
                std::string character;
                if (Peek() == '\\') {
                    ++pos_;
                }
                TakeCharacter(character);
                (word == "lc"   ? options.left
                 : word == "rc" ? options.right
                 : word == "bc" ? options.both
                                : options.symbol) = character;
                continue;
            }
            options.raised = options.raised || word == "up";
            options.sum = options.sum || word == "su";
            options.product = options.product || word == "pr";
            SkipArgument();
        }
    }

    std::string Word() {
        const std::size_t start = pos_;
        while (!AtEnd() && IsLetter(Peek())) {
            ++pos_;
        }
        return std::string(in_.substr(start, pos_ - start));
    }

    // The number of an option such as \up 9 or \co2.
    void SkipArgument() {
        std::size_t at = pos_;
        while (at < in_.size() && in_[at] == ' ') {
            ++at;
        }
        if (at < in_.size() && (IsDigit(in_[at]) || in_[at] == '-')) {
            ++at;
            while (at < in_.size() && IsDigit(in_[at])) {
                ++at;
            }
            pos_ = at;
        }
    }

    // \* and its argument: a word or a quoted name ("Font:MS Mincho").
    void SkipFormatSwitch() {
        SkipSpaces();
        if (Peek() == '"') {
            const auto close = in_.find('"', pos_ + 1);
            pos_ = close == std::string_view::npos ? in_.size() : close + 1;
            return;
        }
        while (!AtEnd() && Peek() != ' ' && Peek() != '\\' && Peek() != '(') {
            ++pos_;
        }
    }

    void SkipSpaces() {
        while (!AtEnd() && Peek() == ' ') {
            ++pos_;
        }
    }

    // One character, whole: a UTF-8 sequence is never cut; a broken one becomes U+FFFD.
    void TakeCharacter(std::string& out) {
        if (AtEnd()) {
            return;
        }
        const std::size_t length = Utf8SequenceLength(in_, pos_);
        if (length == 0) {
            AppendUtf8(out, 0xFFFD);
            ++pos_;
            return;
        }
        out.append(in_.substr(pos_, length));
        pos_ += length;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::string> EqFieldText(std::string_view code) {
    std::size_t at = 0;
    while (at < code.size() && ascii::IsSpace(code[at])) {
        ++at;
    }
    code.remove_prefix(at);
    if (code.size() < 2 || !ascii::EqualsNoCase(code.substr(0, 2), "eq") ||
        (code.size() > 2 && !ascii::IsSpace(code[2]) && code[2] != '\\')) {
        return std::nullopt;
    }
    return EqParser(code.substr(2)).Read();
}

}  // namespace corvanel::convert

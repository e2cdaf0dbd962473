#include "convert/rtf/RtfTokenizer.h"

#include <array>
#include <limits>

namespace corvanel::convert::rtf {

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Bytes that end a run of literal text.
constexpr std::array<bool, 256> kEndsText = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : {'{', '}', '\\', '\r', '\n'}) {
        table[c] = true;
    }
    return table;
}();

bool EndsText(char c) {
    return kEndsText[static_cast<unsigned char>(c)];
}

// Reads a control word's name and parameter starting at `pos` (just past the backslash, at a
// letter); leaves `pos` after the delimiter.
RtfToken ReadControlWord(std::string_view in, std::size_t& pos) {
    RtfToken token;
    token.kind = RtfToken::Kind::kControlWord;
    const std::size_t start = pos;
    while (pos < in.size() && IsLetter(in[pos])) {
        ++pos;
    }
    token.word = in.substr(start, pos - start);
    bool negative = false;
    if (pos + 1 < in.size() && in[pos] == '-' && IsDigit(in[pos + 1])) {
        negative = true;
        ++pos;
    }
    if (pos < in.size() && IsDigit(in[pos])) {
        token.hasParameter = true;
        std::int64_t value = 0;
        while (pos < in.size() && IsDigit(in[pos])) {
            // Saturate: a parameter is a 32-bit number at most; longer digit runs are damage.
            if (value <= std::numeric_limits<std::int32_t>::max()) {
                value = value * 10 + (in[pos] - '0');
            }
            ++pos;
        }
        if (negative) {
            value = -value;
        }
        if (value > std::numeric_limits<std::int32_t>::max()) {
            value = std::numeric_limits<std::int32_t>::max();
        } else if (value < std::numeric_limits<std::int32_t>::min()) {
            value = std::numeric_limits<std::int32_t>::min();
        }
        token.parameter = static_cast<std::int32_t>(value);
    }
    if (pos < in.size() && in[pos] == ' ') {
        ++pos;
    }
    return token;
}

}  // namespace

void RtfTokenizer::SkipBinary(std::int64_t length) {
    if (length <= 0) {
        return;
    }
    const std::size_t left = input_.size() - pos_;
    pos_ += static_cast<std::uint64_t>(length) < left ? static_cast<std::size_t>(length) : left;
}

RtfToken RtfTokenizer::Next() {
    for (;;) {
        RtfToken token;
        if (pos_ >= input_.size()) {
            return token;
        }
        const char c = input_[pos_];
        switch (c) {
            case '{':
                ++pos_;
                token.kind = RtfToken::Kind::kGroupStart;
                return token;
            case '}':
                ++pos_;
                token.kind = RtfToken::Kind::kGroupEnd;
                return token;
            case '\r':
            case '\n':
                ++pos_;
                continue;
            case '\\':
                break;
            default: {
                const std::size_t start = pos_;
                while (pos_ < input_.size() && !EndsText(input_[pos_])) {
                    ++pos_;
                }
                token.kind = RtfToken::Kind::kText;
                token.word = input_.substr(start, pos_ - start);
                return token;
            }
        }
        ++pos_;  // the backslash
        if (pos_ >= input_.size()) {
            return token;
        }
        const char next = input_[pos_];
        if (IsLetter(next)) {
            token = ReadControlWord(input_, pos_);
            if (token.word == "bin") {
                SkipBinary(token.parameter);
                continue;
            }
            return token;
        }
        if (next == '\'') {
            if (pos_ + 2 < input_.size()) {
                const int high = HexValue(input_[pos_ + 1]);
                const int low = HexValue(input_[pos_ + 2]);
                if (high >= 0 && low >= 0) {
                    pos_ += 3;
                    token.kind = RtfToken::Kind::kHexByte;
                    token.byte = static_cast<unsigned char>(high * 16 + low);
                    return token;
                }
            }
        }
        ++pos_;
        token.kind = RtfToken::Kind::kControlSymbol;
        token.symbol = next == '\r' ? '\n' : next;
        return token;
    }
}

bool RtfTokenizer::SkipGroup() {
    std::size_t depth = 1;
    while (pos_ < input_.size()) {
        const char c = input_[pos_];
        if (c == '{') {
            ++depth;
            ++pos_;
        } else if (c == '}') {
            ++pos_;
            if (--depth == 0) {
                return true;
            }
        } else if (c == '\\') {
            ++pos_;
            if (pos_ < input_.size() && IsLetter(input_[pos_])) {
                const RtfToken word = ReadControlWord(input_, pos_);
                if (word.word == "bin") {
                    SkipBinary(word.parameter);
                }
            } else {
                ++pos_;  // an escaped brace or backslash is no group boundary
            }
        } else {
            ++pos_;
        }
    }
    return false;
}

}  // namespace corvanel::convert::rtf

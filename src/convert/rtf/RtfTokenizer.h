#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvanel::convert::rtf {

// One lexical item of RTF. Views point into the tokenizer's input.
struct RtfToken {
    enum class Kind {
        kGroupStart,     // {
        kGroupEnd,       // }
        kControlWord,    // \word or \wordN: `word`, `hasParameter`, `parameter`
        kControlSymbol,  // \x for a non-letter x (also \{ \} \\ \~ \- \_ \* \<newline>): `symbol`
        kHexByte,        // \'hh: `byte`
        kText,           // a run of literal bytes (no braces, backslashes or line breaks)
        kEnd,            // no more input
    };

    Kind kind = Kind::kEnd;
    std::string_view word;  // control word name, or the text of a kText run
    bool hasParameter = false;
    std::int32_t parameter = 0;
    char symbol = 0;
    unsigned char byte = 0;
};

// Splits RTF into tokens without allocating. \binN data is skipped here (bounded by the input:
// a length past the end consumes the rest), as is everything of a group given to SkipGroup.
class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view input) : input_(input) {}

    RtfToken Next();

    // Consumes the rest of the current group including its closing brace, without looking at its
    // content beyond braces, escapes and binary data. Returns false when the input ends first.
    bool SkipGroup();

    std::size_t Position() const { return pos_; }

private:
    void SkipBinary(std::int64_t length);

    std::string_view input_;
    std::size_t pos_ = 0;
};

}  // namespace corvanel::convert::rtf

#pragma once

// Number formatting for list labels and note marks. It knows nothing about any file format:
// readers map their own format names or codes to NumberFormat (helpers for the common ones are
// below) and keep their own counters; this only turns a number into its text.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert {

enum class NumberFormat {
    kDecimal,            // 1, 2, 3
    kDecimalZero,        // 01, 02, ... 10
    kUpperRoman,         // I, II, III
    kLowerRoman,         // i, ii, iii
    kUpperLetter,        // A..Z, AA..ZZ, AAA.. (the letter repeated, as word processors do)
    kLowerLetter,        // a..z, aa..zz, aaa..
    kUpperLetterBase26,  // A..Z, AA, AB, .. AZ, BA (spreadsheet-like columns)
    kLowerLetterBase26,  // a..z, aa, ab, ..
    kOrdinal,            // 1st, 2nd, 3rd
    kCardinalText,       // One, Two, Three
    kOrdinalText,        // First, Second, Third
    kBullet,             // no number: the label is the level's own text
    kNone,               // no number at all
};

// Appends `value` in `format`. Values a format cannot show (roman numerals for 0, negative
// numbers or beyond 3999, letters or words for huge numbers) fall back to decimal, so every
// input gives a short, finite text. kBullet and kNone append nothing.
void AppendFormattedNumber(std::string& out, std::int64_t value, NumberFormat format);
std::string FormatNumber(std::int64_t value, NumberFormat format);

// Format names as WordprocessingML spells them ("decimal", "lowerRoman", "upperLetter", ...;
// "lower-roman" of older Word XML too). Unknown names give kDecimal.
NumberFormat NumberFormatFromName(std::string_view name);
// Word's numeric number-format codes (binary Word, Word 2003 XML): 0 decimal, 1 upper roman,
// 2 lower roman, 3 upper letter, 4 lower letter, 5 ordinal, 6 cardinal text, 7 ordinal text,
// 22 leading zero, 23 bullet, 255 none. Unknown codes give kDecimal.
NumberFormat NumberFormatFromWordCode(int code);

}  // namespace corvanel::convert

#include "convert/core/ListNumbering.h"

#include "convert/core/Ascii.h"

#include <array>
#include <cctype>

namespace corvanel::convert {

namespace {

// Letters repeat (27 -> "AA"); beyond this many letters a label is decimal instead.
constexpr std::int64_t kMaxRepeatedLetters = 64;
constexpr std::int64_t kMaxWordsValue = 999999;

void AppendDecimal(std::string& out, std::int64_t value) {
    out += std::to_string(value);
}

void AppendRoman(std::string& out, std::int64_t value, bool upper) {
    if (value <= 0 || value > 3999) {
        AppendDecimal(out, value);
        return;
    }
    static constexpr std::array<std::pair<int, const char*>, 13> kParts{{{1000, "m"},
                                                                         {900, "cm"},
                                                                         {500, "d"},
                                                                         {400, "cd"},
                                                                         {100, "c"},
                                                                         {90, "xc"},
                                                                         {50, "l"},
                                                                         {40, "xl"},
                                                                         {10, "x"},
                                                                         {9, "ix"},
                                                                         {5, "v"},
                                                                         {4, "iv"},
                                                                         {1, "i"}}};
    for (const auto& [amount, letters] : kParts) {
        while (value >= amount) {
            for (const char* p = letters; *p != '\0'; ++p) {
                out += upper ? static_cast<char>(*p - 'a' + 'A') : *p;
            }
            value -= amount;
        }
    }
}

void AppendRepeatedLetter(std::string& out, std::int64_t value, bool upper) {
    if (value <= 0 || (value - 1) / 26 >= kMaxRepeatedLetters) {
        AppendDecimal(out, value);
        return;
    }
    const char letter = static_cast<char>((upper ? 'A' : 'a') + (value - 1) % 26);
    out.append(static_cast<size_t>((value - 1) / 26 + 1), letter);
}

void AppendBase26(std::string& out, std::int64_t value, bool upper) {
    if (value <= 0) {
        AppendDecimal(out, value);
        return;
    }
    char buffer[16];
    int length = 0;
    while (value > 0) {
        --value;
        buffer[length++] = static_cast<char>((upper ? 'A' : 'a') + value % 26);
        value /= 26;
    }
    while (length > 0) {
        out += buffer[--length];
    }
}

void AppendOrdinal(std::string& out, std::int64_t value) {
    AppendDecimal(out, value);
    std::int64_t lastTwo = value % 100;
    if (lastTwo < 0) {
        lastTwo = -lastTwo;
    }
    if (lastTwo >= 11 && lastTwo <= 13) {
        out += "th";
        return;
    }
    switch (lastTwo % 10) {
        case 1:
            out += "st";
            break;
        case 2:
            out += "nd";
            break;
        case 3:
            out += "rd";
            break;
        default:
            out += "th";
    }
}

constexpr std::array<const char*, 20> kUnits{
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<const char*, 10> kTens{"",      "",      "twenty",  "thirty", "forty",
                                            "fifty", "sixty", "seventy", "eighty", "ninety"};

// English words for 0..999999, lower case: "one hundred twenty-three".
void AppendWords(std::string& out, std::int64_t value) {
    if (value >= 1000) {
        AppendWords(out, value / 1000);
        out += " thousand";
        value %= 1000;
        if (value == 0) {
            return;
        }
        out += ' ';
    }
    if (value >= 100) {
        out += kUnits[static_cast<size_t>(value / 100)];
        out += " hundred";
        value %= 100;
        if (value == 0) {
            return;
        }
        out += ' ';
    }
    if (value < 20) {
        out += kUnits[static_cast<size_t>(value)];
        return;
    }
    out += kTens[static_cast<size_t>(value / 10)];
    if (value % 10 != 0) {
        out += '-';
        out += kUnits[static_cast<size_t>(value % 10)];
    }
}

// "one" -> "first", "twenty" -> "twentieth", "twelve" -> "twelfth".
void MakeOrdinalWord(std::string& words) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kIrregular{{
        {"one", "first"},
        {"two", "second"},
        {"three", "third"},
        {"five", "fifth"},
        {"eight", "eighth"},
        {"nine", "ninth"},
        {"twelve", "twelfth"},
    }};
    for (const auto& [cardinal, ordinal] : kIrregular) {
        if (words.size() >= cardinal.size() &&
            std::string_view(words).substr(words.size() - cardinal.size()) == cardinal) {
            words.replace(words.size() - cardinal.size(), cardinal.size(), ordinal);
            return;
        }
    }
    if (!words.empty() && words.back() == 'y') {
        words.replace(words.size() - 1, 1, "ieth");
    } else {
        words += "th";
    }
}

void AppendText(std::string& out, std::int64_t value, bool ordinal) {
    if (value < 0 || value > kMaxWordsValue) {
        AppendDecimal(out, value);
        return;
    }
    std::string words;
    AppendWords(words, value);
    if (ordinal) {
        MakeOrdinalWord(words);
    }
    words[0] = ascii::ToUpper(words[0]);
    out += words;
}

bool EqualsLoose(std::string_view name, std::string_view expected) {
    // Case-insensitive, ignoring '-' so "lower-roman" matches "lowerRoman".
    size_t j = 0;
    for (const char c : name) {
        if (c == '-') {
            continue;
        }
        if (j >= expected.size() || ascii::ToLower(c) != ascii::ToLower(expected[j])) {
            return false;
        }
        ++j;
    }
    return j == expected.size();
}

}  // namespace

void AppendFormattedNumber(std::string& out, std::int64_t value, NumberFormat format) {
    switch (format) {
        case NumberFormat::kDecimal:
            AppendDecimal(out, value);
            return;
        case NumberFormat::kDecimalZero:
            if (value >= 0 && value < 10) {
                out += '0';
            }
            AppendDecimal(out, value);
            return;
        case NumberFormat::kUpperRoman:
        case NumberFormat::kLowerRoman:
            AppendRoman(out, value, format == NumberFormat::kUpperRoman);
            return;
        case NumberFormat::kUpperLetter:
        case NumberFormat::kLowerLetter:
            AppendRepeatedLetter(out, value, format == NumberFormat::kUpperLetter);
            return;
        case NumberFormat::kUpperLetterBase26:
        case NumberFormat::kLowerLetterBase26:
            AppendBase26(out, value, format == NumberFormat::kUpperLetterBase26);
            return;
        case NumberFormat::kOrdinal:
            AppendOrdinal(out, value);
            return;
        case NumberFormat::kCardinalText:
        case NumberFormat::kOrdinalText:
            AppendText(out, value, format == NumberFormat::kOrdinalText);
            return;
        case NumberFormat::kBullet:
        case NumberFormat::kNone:
            return;
    }
}

std::string FormatNumber(std::int64_t value, NumberFormat format) {
    std::string out;
    AppendFormattedNumber(out, value, format);
    return out;
}

NumberFormat NumberFormatFromName(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, NumberFormat>, 12> kNames{{
        {"decimal", NumberFormat::kDecimal},
        {"decimalZero", NumberFormat::kDecimalZero},
        {"upperRoman", NumberFormat::kUpperRoman},
        {"lowerRoman", NumberFormat::kLowerRoman},
        {"upperLetter", NumberFormat::kUpperLetter},
        {"lowerLetter", NumberFormat::kLowerLetter},
        {"ordinal", NumberFormat::kOrdinal},
        {"cardinalText", NumberFormat::kCardinalText},
        {"ordinalText", NumberFormat::kOrdinalText},
        {"bullet", NumberFormat::kBullet},
        {"none", NumberFormat::kNone},
        {"decimal-zero", NumberFormat::kDecimalZero},
    }};
    for (const auto& [known, format] : kNames) {
        if (EqualsLoose(name, known)) {
            return format;
        }
    }
    return NumberFormat::kDecimal;
}

NumberFormat NumberFormatFromWordCode(int code) {
    switch (code) {
        case 1:
            return NumberFormat::kUpperRoman;
        case 2:
            return NumberFormat::kLowerRoman;
        case 3:
            return NumberFormat::kUpperLetter;
        case 4:
            return NumberFormat::kLowerLetter;
        case 5:
            return NumberFormat::kOrdinal;
        case 6:
            return NumberFormat::kCardinalText;
        case 7:
            return NumberFormat::kOrdinalText;
        case 22:
            return NumberFormat::kDecimalZero;
        case 23:
            return NumberFormat::kBullet;
        case 255:
            return NumberFormat::kNone;
        default:
            return NumberFormat::kDecimal;
    }
}

}  // namespace corvanel::convert

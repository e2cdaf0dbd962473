#include "convert/odf/OdfNumberFormat.h"

namespace corvanel::convert::odf {

namespace {

std::string Letters(int value, bool upper, bool letterSync) {
    const char base = upper ? 'A' : 'a';
    if (letterSync) {
        const int count = (value - 1) / 26 + 1;
        return std::string(static_cast<size_t>(count > 100 ? 100 : count),
                           static_cast<char>(base + (value - 1) % 26));
    }
    std::string text;
    for (int n = value; n > 0; n = (n - 1) / 26) {
        text.insert(text.begin(), static_cast<char>(base + (n - 1) % 26));
    }
    return text;
}

std::string Roman(int value, bool upper) {
    static constexpr struct {
        int value;
        const char* upper;
        const char* lower;
    } kDigits[] = {{1000, "M", "m"}, {900, "CM", "cm"}, {500, "D", "d"}, {400, "CD", "cd"},
                   {100, "C", "c"},  {90, "XC", "xc"},  {50, "L", "l"},  {40, "XL", "xl"},
                   {10, "X", "x"},   {9, "IX", "ix"},   {5, "V", "v"},   {4, "IV", "iv"},
                   {1, "I", "i"}};
    std::string text;
    for (const auto& digit : kDigits) {
        for (; value >= digit.value; value -= digit.value) {
            text += upper ? digit.upper : digit.lower;
        }
    }
    return text;
}

}  // namespace

std::string FormatOdfNumber(int value, std::string_view format, bool letterSync) {
    if (value > 0) {
        if (format == "a" || format == "A") {
            return Letters(value, format == "A", letterSync);
        }
        if ((format == "i" || format == "I") && value < 4000) {
            return Roman(value, format == "I");
        }
    }
    return std::to_string(value);
}

}  // namespace corvanel::convert::odf

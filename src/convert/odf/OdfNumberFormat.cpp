#include "convert/odf/OdfNumberFormat.h"

#include "convert/core/ListNumbering.h"

namespace corvanel::convert::odf {

std::string FormatOdfNumber(int value, std::string_view format, bool letterSync) {
    NumberFormat shared = NumberFormat::kDecimal;
    if (format == "a") {
        shared = letterSync ? NumberFormat::kLowerLetter : NumberFormat::kLowerLetterBase26;
    } else if (format == "A") {
        shared = letterSync ? NumberFormat::kUpperLetter : NumberFormat::kUpperLetterBase26;
    } else if (format == "i") {
        shared = NumberFormat::kLowerRoman;
    } else if (format == "I") {
        shared = NumberFormat::kUpperRoman;
    }
    return FormatNumber(value, shared);
}

}  // namespace corvanel::convert::odf

#pragma once

// Stated document properties as every reader sends them: text trimmed, dates in one ISO 8601
// form, counts as plain decimal numbers; a value that is empty or not what it claims to be is
// left out rather than passed on.

#include "convert/core/DocumentSink.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert {

// A date and time as its parts, with the zone as stated: "Z", "+01:00", or empty for none.
struct StatedTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::string zone;
};

// "2024-03-05T14:30:00Z"; empty when a part is out of range (a year of 0 means unset).
std::string FormatStatedTime(const StatedTime& time);

// A FILETIME (100 ns since 1601-01-01 UTC) in that form; empty for 0 (unset).
std::string FileTimeToIso(std::uint64_t fileTime);

// A W3CDTF / ISO 8601 date ("2024-03-05", "2024-03-05T14:30:00.53+01:00") in the form above;
// seconds' fractions are dropped, a date without a time stays one. Empty when it is not one.
std::string NormalizeIsoDate(std::string_view text);

std::string_view TrimWhiteSpace(std::string_view text);

void SendText(DocumentSink& sink, DocumentProperty property, std::string_view text);
// An ISO 8601 date as written in XML formats (normalised, see above).
void SendIsoDate(DocumentSink& sink, DocumentProperty property, std::string_view text);
// A count written as a decimal number; anything else (signs, fractions, words) is left out.
void SendCount(DocumentSink& sink, DocumentProperty property, std::string_view text);
void SendCount(DocumentSink& sink, DocumentProperty property, std::int64_t count);

}  // namespace corvanel::convert

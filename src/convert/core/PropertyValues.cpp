#include "convert/core/PropertyValues.h"

#include <cstdio>

namespace corvanel::convert {

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `count` digits at `at`, moving past them.
bool Digits(std::string_view text, std::size_t& at, std::size_t count, int& value) {
    if (text.size() - at < count) {
        return false;
    }
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    at += count;
    return true;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
    if (at < text.size() && text[at] == c) {
        ++at;
        return true;
    }
    return false;
}

// The civil date of a day counted from 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t days, StatedTime& time) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    time.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    time.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
}

}  // namespace

std::string FormatStatedTime(const StatedTime& t) {
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 60) {
        return {};
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buffer + t.zone;
}

std::string FileTimeToIso(std::uint64_t fileTime) {
    if (fileTime == 0) {
        return {};
    }
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    const auto seconds = static_cast<std::int64_t>(fileTime / 10000000) - kSecondsFrom1601To1970;
    std::int64_t days = seconds / 86400;
    std::int64_t inDay = seconds % 86400;
    if (inDay < 0) {
        inDay += 86400;
        --days;
    }
    StatedTime time;
    CivilFromDays(days, time);
    time.hour = static_cast<int>(inDay / 3600);
    time.minute = static_cast<int>(inDay / 60 % 60);
    time.second = static_cast<int>(inDay % 60);
    time.zone = "Z";
    return FormatStatedTime(time);
}

std::string NormalizeIsoDate(std::string_view text) {
    text = TrimWhiteSpace(text);
    StatedTime t;
    std::size_t at = 0;
    if (!Digits(text, at, 4, t.year) || !Expect(text, at, '-') || !Digits(text, at, 2, t.month) ||
        !Expect(text, at, '-') || !Digits(text, at, 2, t.day)) {
        return {};
    }
    if (at == text.size()) {
        const std::string full = FormatStatedTime(t);
        return full.empty() ? full : full.substr(0, 10);
    }
    if (!Expect(text, at, 'T') || !Digits(text, at, 2, t.hour) || !Expect(text, at, ':') ||
        !Digits(text, at, 2, t.minute)) {
        return {};
    }
    if (Expect(text, at, ':') && !Digits(text, at, 2, t.second)) {
        return {};
    }
    if (Expect(text, at, '.') || Expect(text, at, ',')) {
        const std::size_t fraction = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
        if (at == fraction) {
            return {};
        }
    }
    if (Expect(text, at, 'Z')) {
        t.zone = "Z";
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const char sign = text[at++];
        int hours = 0;
        int minutes = 0;
        if (!Digits(text, at, 2, hours)) {
            return {};
        }
        Expect(text, at, ':');
        if (!Digits(text, at, 2, minutes) || hours > 23 || minutes > 59) {
            return {};
        }
        char zone[8];
        std::snprintf(zone, sizeof zone, "%c%02d:%02d", sign, hours, minutes);
        t.zone = zone;
    }
    return at == text.size() ? FormatStatedTime(t) : std::string();
}

std::string_view TrimWhiteSpace(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

void SendText(DocumentSink& sink, DocumentProperty property, std::string_view text) {
    text = TrimWhiteSpace(text);
    if (!text.empty()) {
        sink.Property(property, text);
    }
}

void SendIsoDate(DocumentSink& sink, DocumentProperty property, std::string_view text) {
    const std::string date = NormalizeIsoDate(text);
    if (!date.empty()) {
        sink.Property(property, date);
    }
}

void SendCount(DocumentSink& sink, DocumentProperty property, std::string_view text) {
    text = TrimWhiteSpace(text);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return;
    }
    const std::size_t first = text.find_first_not_of('0');
    sink.Property(property, first == std::string_view::npos ? "0" : text.substr(first));
}

void SendCount(DocumentSink& sink, DocumentProperty property, std::int64_t count) {
    if (count >= 0) {
        sink.Property(property, std::to_string(count));
    }
}

}  // namespace corvanel::convert

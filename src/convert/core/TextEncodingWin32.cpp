#include "convert/core/Ascii.h"
#include "convert/core/SystemCharsets.h"
#include "convert/core/TextEncoding.h"
#include "system/WideText.h"

#include <windows.h>

#include <array>
#include <charconv>
#include <utility>

namespace corvanel::convert {

namespace {

// Names (lower case, without '-', '_' and spaces) of the sets not spelled with their number.
constexpr std::array<std::pair<std::string_view, int>, 36> kNamedSets = {{
    {"utf8", 65001},      {"usascii", 20127},     {"ascii", 20127},
    {"latin1", 28591},    {"latin2", 28592},      {"shiftjis", 932},
    {"sjis", 932},        {"mskanji", 932},       {"windows31j", 932},
    {"xsjis", 932},       {"eucjp", 20932},       {"iso2022jp", 50220},
    {"gb2312", 936},      {"gbk", 936},           {"xgbk", 936},
    {"euccn", 936},       {"gb18030", 54936},     {"big5", 950},
    {"big5hkscs", 950},   {"euckr", 949},         {"ksc56011987", 949},
    {"uhc", 949},         {"johab", 1361},        {"koi8r", 20866},
    {"koi8u", 21866},     {"macintosh", 10000},   {"macroman", 10000},
    {"xmacroman", 10000}, {"maccyrillic", 10007}, {"xmaccyrillic", 10007},
    {"tis620", 874},      {"windows874", 874},    {"ibm866", 866},
    {"cp866", 866},       {"utf16le", 1200},      {"utf16be", 1201},
}};

// Numbered forms: windows-1251, cp1251, ibm850, ms932, iso-8859-5, x-cp1250.
int NumberedCodePage(std::string_view key) {
    if (key.starts_with("x")) {
        key.remove_prefix(1);
    }
    int offset = 0;
    if (key.starts_with("iso8859")) {
        key.remove_prefix(7);
        offset = 28590;
    } else {
        for (const std::string_view prefix : {"windows", "cp", "ibm", "ms"}) {
            if (key.starts_with(prefix)) {
                key.remove_prefix(prefix.size());
                break;
            }
        }
    }
    int number = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (error != std::errc() || end != key.data() + key.size() || key.empty()) {
        return 0;
    }
    if (offset == 0) {
        return number;
    }
    // ISO-8859-13 and -15 have code pages of their own numbers.
    return number >= 1 && number <= 16 ? offset + number : 0;
}

int CodePageOf(const std::string& charset) {
    std::string key;
    for (const char c : charset) {
        if (c != '-' && c != '_' && c != ' ') {
            key += ascii::ToLower(c);
        }
    }
    for (const auto& [name, codePage] : kNamedSets) {
        if (key == name) {
            return codePage;
        }
    }
    return NumberedCodePage(key);
}

}  // namespace

std::optional<std::string> DecodeCodePageWithSystem(std::string_view bytes, int codePage) {
    if (codePage == 1200) {
        return DecodeUtf16Le(bytes);
    }
    if (codePage == 1201) {
        return DecodeUtf16Be(bytes);
    }
    const auto page = static_cast<UINT>(codePage);
    if (codePage <= 0 || ::IsValidCodePage(page) == 0) {
        return std::nullopt;
    }
    if (bytes.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(page, 0, bytes.data(), size, wide.data(), length);
    return system::Utf8FromWide(wide);
}

std::optional<std::string> DecodeWithSystem(std::string_view bytes, const std::string& charset) {
    const int codePage = CodePageOf(charset);
    if (codePage == 0) {
        return std::nullopt;
    }
    return DecodeCodePageWithSystem(bytes, codePage);
}

}  // namespace corvanel::convert

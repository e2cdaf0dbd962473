#include "convert/core/Ascii.h"
#include "convert/core/SystemCharsets.h"
#include "convert/core/TextEncoding.h"
#include "system/WideText.h"

#include <windows.h>

#include <algorithm>
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

// Without MB_ERR_INVALID_CHARS, MultiByteToWideChar makes a sequence its page does not map the
// page's default character ('?', or U+30FB in Japanese) where iconv reports it. So a text that
// does not decode whole is decoded one character at a time: the shortest run of bytes that
// decodes is one character, and a byte that begins none becomes U+FFFD, as with iconv.
std::wstring DecodeOrReplace(UINT page, std::string_view bytes) {
    const int size = static_cast<int>(bytes.size());
    int length = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
        // Pages such as the ISO-2022 ones take no flags, and read every byte.
        length = ::MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
        ::MultiByteToWideChar(page, 0, bytes.data(), size, wide.data(), length);
        return wide;
    }
    if (length > 0) {
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
        return wide;
    }
    CPINFO info{};
    const int longest = ::GetCPInfo(page, &info) != 0 ? static_cast<int>(info.MaxCharSize) : 1;
    std::wstring wide;
    wide.reserve(bytes.size());
    wchar_t character[4];
    for (std::size_t at = 0; at < bytes.size();) {
        int decoded = 0;
        int taken = 1;
        for (; taken <= longest && at + static_cast<std::size_t>(taken) <= bytes.size(); ++taken) {
            decoded = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data() + at, taken,
                                            character, 4);
            if (decoded > 0) {
                break;
            }
        }
        if (decoded > 0) {
            wide.append(character, static_cast<std::size_t>(decoded));
            at += static_cast<std::size_t>(taken);
        } else {
            wide += L'\uFFFD';
            ++at;
        }
    }
    return wide;
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
    std::wstring wide = DecodeOrReplace(page, bytes);
    if (codePage == 874 || (codePage >= 1250 && codePage <= 1258)) {
        // The bytes these pages assign no character Windows decodes to the C1 control of the
        // same number or to a private-use character; iconv rejects them. They become U+FFFD, so
        // a page reads the same on every system.
        for (wchar_t& c : wide) {
            if ((c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF)) {
                c = 0xFFFD;
            }
        }
    }
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

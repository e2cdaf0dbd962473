#include "convert/core/TextEncoding.h"

#include "convert/core/SystemCharsets.h"
#include "convert/core/Utf16.h"

#include <array>
#include <cerrno>
#include <optional>

namespace corvanel::convert {

void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t Utf8SequenceLength(std::string_view s, std::size_t at) {
    const auto lead = static_cast<unsigned char>(s[at]);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length;
    char32_t cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto cc = static_cast<unsigned char>(s[at + k]);
        if ((cc & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = Utf8SequenceLength(s, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

namespace {

std::string DecodeUtf16(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t k) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * k]);
        const auto b = static_cast<unsigned char>(bytes[2 * k + 1]);
        return littleEndian ? (a | (b << 8)) : ((a << 8) | b);
    };
    for (size_t k = 0; k < units; ++k) {
        char32_t u = unit(k);
        if (utf16::IsHighSurrogate(u) && k + 1 < units) {
            const char32_t low = unit(k + 1);
            if (utf16::IsLowSurrogate(low)) {
                AppendUtf8(out, utf16::JoinSurrogates(u, low));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, u);
    }
    return out;
}

// Windows-1252 is by far the most common code page; decode it without iconv.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string DecodeCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0) {
            AppendUtf8(out, kCp1252High[c - 0x80]);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

}  // namespace

std::string DecodeUtf16Le(std::string_view bytes) {
    return DecodeUtf16(bytes, true);
}
std::string DecodeUtf16Be(std::string_view bytes) {
    return DecodeUtf16(bytes, false);
}

std::string CodePageName(int codePage) {
    switch (codePage) {
        case 437:
            return "CP437";
        case 708:
            return "ISO-8859-6";
        case 737:
            return "CP737";
        case 775:
            return "CP775";
        case 850:
            return "CP850";
        case 852:
            return "CP852";
        case 855:
            return "CP855";
        case 857:
            return "CP857";
        case 860:
            return "CP860";
        case 861:
            return "CP861";
        case 862:
            return "CP862";
        case 863:
            return "CP863";
        case 864:
            return "CP864";
        case 865:
            return "CP865";
        case 866:
            return "CP866";
        case 869:
            return "CP869";
        case 874:
            return "CP874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        case 1200:
            return "UTF-16LE";
        case 1201:
            return "UTF-16BE";
        case 1250:
            return "CP1250";
        case 1251:
            return "CP1251";
        case 1252:
            return "CP1252";
        case 1253:
            return "CP1253";
        case 1254:
            return "CP1254";
        case 1255:
            return "CP1255";
        case 1256:
            return "CP1256";
        case 1257:
            return "CP1257";
        case 1258:
            return "CP1258";
        case 1361:
            return "JOHAB";
        case 10000:
            return "MACINTOSH";
        case 10001:
            return "SHIFT_JIS";
        case 10007:
            return "MAC-CYRILLIC";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 28591:
            return "ISO-8859-1";
        case 28592:
            return "ISO-8859-2";
        case 28595:
            return "ISO-8859-5";
        case 28597:
            return "ISO-8859-7";
        case 28605:
            return "ISO-8859-15";
        case 54936:
            return "GB18030";
        case 65001:
            return "UTF-8";
        default:
            return {};
    }
}

bool DecodeNamedCharset(std::string_view bytes, const std::string& name, std::string& utf8) {
    std::optional<std::string> decoded = DecodeWithSystem(bytes, name);
    if (!decoded) {
        return false;
    }
    utf8 = std::move(*decoded);
    return true;
}

std::string DecodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == 1252 || codePage == 0) {
        return DecodeCp1252(bytes);
    }
    if (codePage == 1200) {
        return DecodeUtf16Le(bytes);
    }
    if (codePage == 1201) {
        return DecodeUtf16Be(bytes);
    }
    std::optional<std::string> decoded;
    if (!CodePageName(codePage).empty()) {
        decoded = DecodeCodePageWithSystem(bytes, codePage);
    }
    return decoded ? std::move(*decoded) : DecodeCp1252(bytes);
}

}  // namespace corvanel::convert

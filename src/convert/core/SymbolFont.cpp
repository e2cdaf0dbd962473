#include "convert/core/SymbolFont.h"

#include "convert/core/Ascii.h"
#include "convert/core/TextEncoding.h"

#include <array>
#include <cctype>

namespace corvanel::convert {

namespace {

// Symbol font 0x20..0xFF to Unicode (0: no character there).
constexpr std::array<char16_t, 224> kSymbolTable{
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F,
    // 0x30
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A,
    0x039B, 0x039C, 0x039D, 0x039F,
    // 0x50
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA,
    0x03BB, 0x03BC, 0x03BD, 0x03BF,
    // 0x70
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B,
    0x007C, 0x007D, 0x223C, 0,
    // 0x80..0x9F: nothing
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284,
    0x2282, 0x2286, 0x2208, 0x2209,
    // 0xD0
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3,
    0x23A7, 0x23A8, 0x23A9, 0x23AA,
    // 0xF0
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6,
    0x23AB, 0x23AC, 0x23AD, 0};

constexpr char32_t kBullet = 0x2022;

// The Wingdings characters that have a plain-text equivalent.
char32_t WingdingsCode(char32_t code) {
    switch (code) {
        case 0x6C:  // black circle
        case 0x9E:  // middle dot
        case 0x9F:  // bullet
        case 0xA1:  // white circle
        case 0x77:  // black diamond
        case 0xA7:  // small black square
        case 0x6E:  // black square
        case 0x71:  // shadowed square
        case 0x75:  // black diamond
        case 0x76:  // diamond with four points
        case 0xD8:  // right arrowhead
            return kBullet;
        case 0xA8:
            return 0x25FB;  // white square (an empty check box)
        case 0xFC:
            return 0x2713;  // check mark
        case 0xFB:
            return 0x2717;  // ballot x
        case 0xFD:
            return 0x2612;  // ballot box with x
        case 0xFE:
            return 0x2611;  // ballot box with check
        case 0xE0:
            return 0x2192;  // right arrow
        case 0x4A:
            return 0x263A;  // smiling face
        default:
            return 0;
    }
}

// Decodes one UTF-8 sequence at `i` (advancing it); malformed bytes come back one at a time.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (length == 1 || i + static_cast<size_t>(length) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t value = c & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + static_cast<size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        value = (value << 6) | (next & 0x3F);
    }
    i += static_cast<size_t>(length);
    return value;
}

using ascii::StartsWithNoCase;

}  // namespace

SymbolFontKind ClassifySymbolFont(std::string_view fontName) {
    while (!fontName.empty() && fontName.front() == ' ') {
        fontName.remove_prefix(1);
    }
    if (fontName.size() == 6 && StartsWithNoCase(fontName, "symbol")) {
        return SymbolFontKind::kSymbol;
    }
    if (StartsWithNoCase(fontName, "wingdings") || StartsWithNoCase(fontName, "webdings")) {
        return SymbolFontKind::kWingdings;
    }
    return SymbolFontKind::kOther;
}

char32_t SymbolFontCode(char32_t codePoint) {
    if (codePoint >= 0xF020 && codePoint <= 0xF0FF) {
        return codePoint - 0xF000;
    }
    if (codePoint >= 0x20 && codePoint <= 0xFF) {
        return codePoint;
    }
    return 0;
}

char32_t SymbolToUnicode(char32_t codePoint) {
    const char32_t code = SymbolFontCode(codePoint);
    return code == 0 ? 0 : kSymbolTable[code - 0x20];
}

char32_t WingdingsToUnicode(char32_t codePoint) {
    const char32_t code = SymbolFontCode(codePoint);
    return code == 0 ? 0 : WingdingsCode(code);
}

std::string BulletText(std::string_view utf8, SymbolFontKind font) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        const bool privateUse = c >= 0xE000 && c <= 0xF8FF;
        if (privateUse || (font != SymbolFontKind::kOther && c > 0x20)) {
            out += "\xE2\x80\xA2";  // •
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::string MapSymbolFontText(std::string_view utf8, SymbolFontKind font) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        char32_t mapped = 0;
        if (font == SymbolFontKind::kSymbol) {
            mapped = SymbolToUnicode(c);
        } else if (font == SymbolFontKind::kWingdings) {
            mapped = WingdingsToUnicode(c);
        }
        if (mapped == 0 && c >= 0xF020 && c <= 0xF0FF) {
            mapped = font == SymbolFontKind::kOther ? c - 0xF000 : c;
        }
        AppendUtf8(out, mapped != 0 ? mapped : c);
    }
    return out;
}

}  // namespace corvanel::convert

#include "platform/FileTests.h"

namespace {

bool IsUnsafeCode(char32_t code) {
    return code < 32 || code == U'?' || (code >= 127 && code <= 159);
}

// Windows-1252 keeps Latin-1's codes from 160 up and puts its 27 extra characters (euro sign,
// curly quotes, dashes...) at 128..159, which are unsafe codes anyway. Everything above 255 is
// either one of those or not in the code page at all (and becomes "?"): unsafe either way.
bool IsUnsafeInWindows1252(char16_t unit) {
    return unit > 255 || IsUnsafeCode(unit);
}

// Every code point has a UTF-8 form, so only the code points themselves decide; a lone surrogate
// has no UTF-8 form and would become "?".
bool HasUnsafeUtf8Character(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (unit.isSurrogate() || IsUnsafeCode(unit.unicode())) {
            return true;
        }
    }
    return false;
}

}  // namespace

namespace FileTests {

bool CannotBeNamed(const QString& path) {
    return path.isEmpty() || path.contains(QChar(u'\0'));
}

bool HasUnsafeCharacters(const QString& text, EightBitCodePage codePage) {
    if (codePage == EightBitCodePage::kLocaleUtf8) {
        return HasUnsafeUtf8Character(text);
    }
    for (const QChar unit : text) {
        if (IsUnsafeInWindows1252(unit.unicode())) {
            return true;
        }
    }
    return false;
}

}  // namespace FileTests

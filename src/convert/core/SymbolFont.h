#pragma once

// Characters of the Symbol and Wingdings fonts. Documents store them as the font's own byte,
// either plain (0x20..0xFF) or in the private-use form Word uses (U+F020..U+F0FF); neither reads
// as the intended character without the font. Shared by every reader.

#include <string>
#include <string_view>

namespace corvanel::convert {

enum class SymbolFontKind { kOther, kSymbol, kWingdings };

// "Symbol" -> kSymbol; "Wingdings", "Wingdings 2", "Wingdings 3", "Webdings" -> kWingdings.
SymbolFontKind ClassifySymbolFont(std::string_view fontName);

// The font's character code in 0x20..0xFF, from either form; 0 when it is neither.
char32_t SymbolFontCode(char32_t codePoint);

// The Unicode character of a Symbol-font character (Greek letters, math operators, arrows...),
// or 0 when the font has none there.
char32_t SymbolToUnicode(char32_t codePoint);

// The Unicode character of a character of a Wingdings-like font as far as it has a plain-text
// equivalent (bullets, boxes, check marks, arrows), or 0.
char32_t WingdingsToUnicode(char32_t codePoint);

// A list bullet as text: private-use characters and glyphs of the symbol fonts become "•";
// anything else (a plain "-", "o", "–") stays as it is.
std::string BulletText(std::string_view utf8, SymbolFontKind font);

// Replaces the private-use (U+F020..U+F0FF) and plain characters of a run set in a symbol font
// with their Unicode equivalents.
std::string MapSymbolFontText(std::string_view utf8, SymbolFontKind font);

}  // namespace corvanel::convert

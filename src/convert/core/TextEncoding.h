#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert {

// Appends the UTF-8 form of a code point; invalid ones (surrogates, > U+10FFFF) become U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// The length of the well-formed UTF-8 character at `at` (1 for ASCII), or 0 when the bytes there
// are not one (a stray continuation, an overlong form, a surrogate, a cut sequence).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);

// Decodes 8-bit or double-byte text in a Windows code page (1252, 1251, 932, 936, 949, 950,
// 874, 1250..1258, 437, 850, 10000 Mac Roman, ...) into UTF-8. Bytes the code page does not map
// become U+FFFD; an unknown code page is read as Windows-1252.
std::string DecodeCodePage(std::string_view bytes, int codePage);

// UTF-16 little-endian (as Word and RTF store it) into UTF-8; unpaired surrogates become U+FFFD.
std::string DecodeUtf16Le(std::string_view bytes);
std::string DecodeUtf16Be(std::string_view bytes);

// Decodes text in a character set named as iconv, HTML and MIME name it ("windows-1251",
// "Shift_JIS", "UTF-8"); sequences the set does not map become U+FFFD. False when the name is
// unknown (the output is then untouched).
bool DecodeNamedCharset(std::string_view bytes, const std::string& name, std::string& utf8);

// The iconv name of a Windows code page, or empty when unknown.
std::string CodePageName(int codePage);

}  // namespace corvanel::convert

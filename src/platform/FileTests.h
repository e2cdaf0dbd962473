#pragma once

#include <QString>

// File tests the layers share. None ever throws.
namespace FileTests {

// The 8-bit code page whose codes decide which characters a path can carry. On POSIX it is the
// locale encoding (UTF-8: every character has a code); Windows uses its ANSI code page.
enum class EightBitCodePage { kLocaleUtf8, kWindows1252 };

#ifdef _WIN32
inline constexpr EightBitCodePage kNativeCodePage = EightBitCodePage::kWindows1252;
#else
inline constexpr EightBitCodePage kNativeCodePage = EightBitCodePage::kLocaleUtf8;
#endif

// True at the first character that the system's 8-bit path handling cannot carry: controls
// below 32, 127..159, and "?" (also the stand-in for unrepresentable characters).
bool HasUnsafeCharacters(const QString& text, EightBitCodePage codePage = kNativeCodePage);

// True only for an existing entry that is not a folder and can be opened.
bool IsExistingFile(const QString& path);

// True for anything whose modification time can be read.
bool IsExistingPath(const QString& path);

}  // namespace FileTests

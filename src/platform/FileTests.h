#pragma once

#include <QString>

// File tests the layers share. None ever throws.
namespace FileTests {

// The 8-bit code page whose codes decide which characters a path can carry. On POSIX it is the
// locale encoding (UTF-8: every character has a code). The Windows build hands paths to the
// system in UTF-16 and to the converter in UTF-8, so there too every character has a code;
// kWindows1252 is the rule of a program held to Windows' ANSI code page.
enum class EightBitCodePage { kLocaleUtf8, kWindows1252 };

inline constexpr EightBitCodePage kNativeCodePage = EightBitCodePage::kLocaleUtf8;

// True at the first character that the system's 8-bit path handling cannot carry: controls
// below 32, 127..159, and "?" (also the stand-in for unrepresentable characters).
bool HasUnsafeCharacters(const QString& text, EightBitCodePage codePage = kNativeCodePage);

// True for a path no system call can name as written: empty, or holding a NUL (the call would
// stop there and look at another path).
bool CannotBeNamed(const QString& path);

// True only for an existing entry that is not a folder and can be opened.
bool IsExistingFile(const QString& path);

// True for anything whose modification time can be read.
bool IsExistingPath(const QString& path);

}  // namespace FileTests

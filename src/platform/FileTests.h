#pragma once

#include <QString>

// File tests of module AddFolder and IsInstalled that other layers share. None ever throws.
namespace AddFolder {

// True at the first character that the system's 8-bit path handling cannot carry: controls
// below 32, 127..159, and "?" (also the stand-in for unrepresentable characters).
bool HasUnsafeCharacters(const QString& text);

// True only for an existing entry that is not a folder and can be opened.
bool IsExistingFile(const QString& path);

}  // namespace AddFolder

namespace IsInstalled {

// True for anything whose modification time can be read.
bool IsExistingPath(const QString& path);

}  // namespace IsInstalled

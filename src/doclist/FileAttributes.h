#pragma once

#include <QString>

namespace AddFolder {

// The platform's file attribute word. POSIX has no such word; FileAttributeWord builds it from
// what POSIX knows, so the rules that compare whole words (22, 34, 1046) apply unchanged.
namespace Attribute {
inline constexpr int kReadOnly = 1;
inline constexpr int kHidden = 2;
inline constexpr int kSystem = 4;
inline constexpr int kDirectory = 16;
inline constexpr int kArchive = 32;
inline constexpr int kAlias = 1024;
}  // namespace Attribute

// Attribute words the folder rules compare against.
inline constexpr int kHiddenSystemFolder = 22;         // directory + system + hidden
inline constexpr int kHiddenSystemAliasFolder = 1046;  // the same with alias
inline constexpr int kHiddenArchiveFile = 34;          // hidden + archive

// The attribute word of a file or folder (a trailing separator is ignored). On Windows: the
// file system's own bits (FileAttributesWin32.cpp). On POSIX (FileAttributesPosix.cpp): hidden =
// the name begins with "."; directory = a directory (links followed); alias = a symbolic link;
// read-only = the permission bits or the file system refuse the user's writes; archive = a
// regular file; system never. Raises RuntimeError (53, 70 or 76) when the entry cannot be read.
int FileAttributeWord(const QString& path);

}  // namespace AddFolder

#pragma once

#include "platform/PathStyle.h"

#include <QString>

// Shared path helpers. None changes its argument or shows anything.
namespace Globals {

// Everything after the last separator (on Windows a backslash or "/"); the whole path when it
// has none; empty when it ends in one.
QString FileNameFromPath(const QString& path, PathStyle style = kNativePathStyle);

// True for an existing folder (with or without a trailing separator, roots included); never throws.
bool IsExistingFolder(const QString& path);

// Collapses doubled separators in one left-to-right pass (a run of n becomes ceil(n/2)).
// Windows: any leading run becomes exactly "\\" (network prefix). POSIX: exactly one "/".
QString NormalizePath(const QString& path, PathStyle style = kNativePathStyle);

}  // namespace Globals

#include "doclist/FileAttributes.h"

#include "platform/FileTests.h"
#include "platform/RuntimeError.h"
#include "system/FileSystem.h"

#include <windows.h>

namespace AddFolder {
namespace {

// The bits of the word are Windows' own attribute bits; the reparse point (a junction or a
// symbolic link) is the alias.
constexpr DWORD kWordBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT;
static_assert(FILE_ATTRIBUTE_HIDDEN == Attribute::kHidden &&
              FILE_ATTRIBUTE_SYSTEM == Attribute::kSystem &&
              FILE_ATTRIBUTE_ARCHIVE == Attribute::kArchive &&
              FILE_ATTRIBUTE_REPARSE_POINT == Attribute::kAlias);

// A trailing separator is dropped, except the one of a drive's root ("C:\").
QString WithoutTrailingSeparators(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && (path[end - 1] == u'/' || path[end - 1] == u'\\') && path[end - 2] != u':') {
        --end;
    }
    return path.left(end);
}

int ErrorNumberOf(DWORD error) {
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return ErrorNumbers::kPermissionDenied;
    }
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH) {
        return ErrorNumbers::kPathNotFound;
    }
    return ErrorNumbers::kFileNotFound;
}

[[noreturn]] void RaiseUnreadable(const QString& path, int number) {
    throw RuntimeError(number, QStringLiteral("Cannot read the attributes of \"%1\".").arg(path));
}

}  // namespace

int FileAttributeWord(const QString& path) {
    const QString name = WithoutTrailingSeparators(path);
    if (FileTests::CannotBeNamed(name)) {
        RaiseUnreadable(path, ErrorNumbers::kFileNotFound);
    }
    const DWORD attributes =
        ::GetFileAttributesW(corvanel::system::PathFromUtf8(name.toStdString()).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        RaiseUnreadable(path, ErrorNumberOf(::GetLastError()));
    }
    return static_cast<int>(attributes & kWordBits);
}

}  // namespace AddFolder

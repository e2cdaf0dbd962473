#include "doclist/FolderListing.h"

#include "platform/FileTests.h"
#include "platform/RuntimeError.h"
#include "system/FileSystem.h"

#include <windows.h>

namespace FolderListing {
namespace {

enum class EntryKind { kFolder, kFile };

int ErrorNumberOf(DWORD error) {
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return ErrorNumbers::kPermissionDenied;
    }
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY || error == ERROR_BAD_NETPATH ||
        error == ERROR_INVALID_NAME) {
        return ErrorNumbers::kPathNotFound;
    }
    return ErrorNumbers::kPathFileAccess;
}

// The entries of `folder` that match `pattern`, matched by the system itself (a junction or a
// link to a folder counts as a folder).
QStringList FindEntries(const QString& folder, const QString& pattern, EntryKind kind) {
    QString search = folder;
    if (!search.endsWith(u'\\') && !search.endsWith(u'/')) {
        search += u'\\';
    }
    search += pattern;
    if (folder.isEmpty() || FileTests::CannotBeNamed(search)) {
        RaiseCannotList(folder, ErrorNumbers::kPathNotFound);
    }
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileExW(
        corvanel::system::PathFromUtf8(search.toStdString()).c_str(), FindExInfoBasic, &found,
        kind == EntryKind::kFolder ? FindExSearchLimitToDirectories : FindExSearchNameMatch,
        nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return {};  // the folder is there, nothing in it matches
        }
        RaiseCannotList(folder, ErrorNumberOf(error));
    }
    QStringList names;
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((kind == EntryKind::kFolder) == isFolder && name != u"." && name != u"..") {
            names.append(name);
        }
    } while (::FindNextFileW(find, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        RaiseCannotList(folder, ErrorNumberOf(error));
    }
    // NTFS lists in name order already; FAT and network shares may not.
    SortNames(names);
    return names;
}

}  // namespace

QStringList SubFolderNames(const QString& folder) {
    return FindEntries(folder, QStringLiteral("*"), EntryKind::kFolder);
}

QStringList MatchingFileNames(const QString& folder, const QString& pattern) {
    return FindEntries(folder, pattern, EntryKind::kFile);
}

bool NameCanBeHidden(const QString& /*name*/) {
    return true;  // any file can carry the hidden bit
}

}  // namespace FolderListing

#include "doclist/FileSystemView.h"

#include "doclist/FileAttributes.h"
#include "doclist/FolderListing.h"
#include "platform/FileTests.h"
#include "platform/Globals.h"
#include "platform/RuntimeError.h"
#include "system/FileSystem.h"

#include <QDir>

#include <algorithm>

#include <cerrno>

namespace {

bool IsRootPath(const QString& folder) {
    return QDir(folder).isRoot();
}

}  // namespace

bool FileSystemView::IsExistingFolder(const QString& path) {
    return Globals::IsExistingFolder(path);
}

bool FileSystemView::IsExistingFile(const QString& path) {
    return FileTests::IsExistingFile(path);
}

int FileSystemView::AttributeWord(const QString& path) {
    return AddFolder::FileAttributeWord(path);
}

bool FileSystemView::CanBeHidden(const QString& name) {
    return FolderListing::NameCanBeHidden(name);
}

FolderInfo FileSystemView::InspectFolder(const QString& folder) {
    FolderInfo info;
    info.isRoot = IsRootPath(folder);
    info.attributes = AttributeWord(folder);
    // Links and junctions lead to the folder they name: its identity, not theirs.
    const std::optional<corvanel::system::FileIdentity> identity =
        corvanel::system::IdentityOf(folder.toStdString());
    if (!identity) {
        FolderListing::RaiseCannotList(folder, FolderListing::ErrorNumberOfErrno(errno));
    }
    info.device = identity->volume;
    info.inode = identity->index;
    return info;
}

QStringList FileSystemView::SubFolderNames(const QString& folder) {
    return FolderListing::SubFolderNames(folder);
}

QStringList FileSystemView::MatchingFileNames(const QString& folder, const QString& pattern) {
    return FolderListing::MatchingFileNames(folder, pattern);
}

namespace FolderListing {

void SortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

int ErrorNumberOfErrno(int error) {
    if (error == EACCES || error == EPERM) {
        return ErrorNumbers::kPermissionDenied;
    }
    if (error == ENOENT || error == ENOTDIR) {
        return ErrorNumbers::kPathNotFound;
    }
    return ErrorNumbers::kPathFileAccess;
}

void RaiseCannotList(const QString& folder, int number) {
    throw RuntimeError(number, QStringLiteral("Cannot list the folder \"%1\".").arg(folder));
}

}  // namespace FolderListing

FileSystemView& NativeFileSystem() {
    static FileSystemView native;
    return native;
}

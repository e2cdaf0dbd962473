#include "doclist/FileSystemView.h"

#include "doclist/FileAttributes.h"
#include "platform/FileTests.h"
#include "platform/Globals.h"
#include "platform/RuntimeError.h"
#include "system/FileSystem.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <cerrno>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

enum class EntryKind { kFolder, kFile };

// Case-insensitive first, so "b" and "B" sit together, then exact, so the order is total.
void SortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

[[noreturn]] void RaiseCannotList(const QString& folder, int number) {
    throw RuntimeError(number, QStringLiteral("Cannot list the folder \"%1\".").arg(folder));
}

int ErrorNumberOf(int error) {
    if (error == EACCES || error == EPERM) {
        return ErrorNumbers::kPermissionDenied;
    }
    if (error == ENOENT || error == ENOTDIR) {
        return ErrorNumbers::kPathNotFound;
    }
    return ErrorNumbers::kPathFileAccess;
}

#ifndef _WIN32

// A name whose bytes are not valid in the locale encoding cannot travel as text: it would come
// back as a different name. It is given a "?" so the name rules drop it.
QString NameOf(const char* bytes) {
    QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) != QByteArray(bytes)) {
        name.append(u'?');
    }
    return name;
}

bool IsFolderEntry(const QByteArray& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    const QByteArray path = folder + '/' + entry.d_name;
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QStringList ListEntries(const QString& folder, EntryKind kind) {
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* directory = ::opendir(encoded.constData());
    if (directory == nullptr) {
        RaiseCannotList(folder, ErrorNumberOf(errno));
    }
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory);
        if (entry == nullptr) {
            break;
        }
        const bool isFolder = IsFolderEntry(encoded, *entry);
        if ((kind == EntryKind::kFolder) == isFolder) {
            names.append(NameOf(entry->d_name));
        }
    }
    const int failure = errno;
    ::closedir(directory);
    if (failure != 0) {
        RaiseCannotList(folder, ErrorNumberOf(failure));
    }
    SortNames(names);
    return names;
}
#else
QStringList ListEntries(const QString& folder, EntryKind kind) {
    QDir directory(folder);
    if (!directory.exists()) {
        RaiseCannotList(folder, ErrorNumbers::kPathNotFound);
    }
    const QDir::Filters filters =
        (kind == EntryKind::kFolder ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files) |
        QDir::Hidden | QDir::System;
    QStringList names = directory.entryList(filters, QDir::NoSort);
    SortNames(names);
    return names;
}
#endif

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
#ifdef _WIN32
    Q_UNUSED(name);
    return true;
#else
    return name.startsWith(u'.');
#endif
}

FolderInfo FileSystemView::InspectFolder(const QString& folder) {
    FolderInfo info;
    info.isRoot = IsRootPath(folder);
    info.attributes = AttributeWord(folder);
    // Links and junctions lead to the folder they name: its identity, not theirs.
    const std::optional<corvanel::system::FileIdentity> identity =
        corvanel::system::IdentityOf(folder.toStdString());
    if (!identity) {
        RaiseCannotList(folder, ErrorNumberOf(errno));
    }
    info.device = identity->volume;
    info.inode = identity->index;
    return info;
}

QStringList FileSystemView::SubFolderNames(const QString& folder) {
    return ListEntries(folder, EntryKind::kFolder);
}

QStringList FileSystemView::FileNames(const QString& folder) {
    return ListEntries(folder, EntryKind::kFile);
}

FileSystemView& NativeFileSystem() {
    static FileSystemView native;
    return native;
}

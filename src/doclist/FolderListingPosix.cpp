#include "doclist/FolderListing.h"

#include "doclist/Wildcard.h"
#include "platform/RuntimeError.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

namespace FolderListing {
namespace {

enum class EntryKind { kFolder, kFile };

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
        RaiseCannotList(folder, ErrorNumberOfErrno(errno));
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
        RaiseCannotList(folder, ErrorNumberOfErrno(failure));
    }
    SortNames(names);
    return names;
}

}  // namespace

QStringList SubFolderNames(const QString& folder) {
    return ListEntries(folder, EntryKind::kFolder);
}

QStringList MatchingFileNames(const QString& folder, const QString& pattern) {
    QStringList names = ListEntries(folder, EntryKind::kFile);
    names.removeIf([&](const QString& name) { return !AddFolder::MatchesWildcard(name, pattern); });
    return names;
}

bool NameCanBeHidden(const QString& name) {
    return name.startsWith(u'.');
}

}  // namespace FolderListing

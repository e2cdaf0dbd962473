#include "doclist/FileAttributes.h"

#include "platform/FileTests.h"
#include "platform/RuntimeError.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace AddFolder {
namespace {

QString WithoutTrailingSeparators(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && (path[end - 1] == u'/' || path[end - 1] == u'\\')) {
        --end;
    }
    return path.left(end);
}

bool IsHiddenName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QStringView name = QStringView(path).mid(cut + 1);
    return name.startsWith(u'.') && name != u"." && name != u"..";
}

[[noreturn]] void RaiseUnreadable(const QString& path, int number) {
    throw RuntimeError(number, QStringLiteral("Cannot read the attributes of \"%1\".").arg(path));
}

int ErrorNumberOf(int error) {
    if (error == EACCES || error == EPERM) {
        return ErrorNumbers::kPermissionDenied;
    }
    if (error == ENOTDIR) {
        return ErrorNumbers::kPathNotFound;
    }
    return ErrorNumbers::kFileNotFound;
}

bool InGroups(gid_t group) {
    if (group == ::getegid()) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<size_t>(i)] == group) {
            return true;
        }
    }
    return false;
}

// The write bit of the class the user falls in. Checked apart from access(), which grants root
// everything: a file whose bits say read-only counts as read-only for every user, as the
// attribute does on Windows.
bool PermissionBitsAllowWrite(const struct stat& info) {
    if (info.st_uid == ::geteuid()) {
        return (info.st_mode & S_IWUSR) != 0;
    }
    if (InGroups(info.st_gid)) {
        return (info.st_mode & S_IWGRP) != 0;
    }
    return (info.st_mode & S_IWOTH) != 0;
}

}  // namespace

int FileAttributeWord(const QString& path) {
    const QString name = WithoutTrailingSeparators(path);
    if (FileTests::CannotBeNamed(name)) {
        RaiseUnreadable(path, ErrorNumbers::kFileNotFound);
    }
    int word = IsHiddenName(name) ? Attribute::kHidden : 0;
    const QByteArray encoded = QFile::encodeName(name);
    struct stat own {};
    if (::lstat(encoded.constData(), &own) != 0) {
        RaiseUnreadable(path, ErrorNumberOf(errno));
    }
    struct stat target = own;
    if (S_ISLNK(own.st_mode)) {
        word |= Attribute::kAlias;
        // A dangling link keeps only its own attributes.
        if (::stat(encoded.constData(), &target) != 0) {
            return word;
        }
    }
    if (S_ISDIR(target.st_mode)) {
        word |= Attribute::kDirectory;
    } else if (S_ISREG(target.st_mode)) {
        word |= Attribute::kArchive;
    }
    if (!PermissionBitsAllowWrite(target) || ::access(encoded.constData(), W_OK) != 0) {
        word |= Attribute::kReadOnly;
    }
    return word;
}

}  // namespace AddFolder

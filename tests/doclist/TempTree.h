#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

// A folder tree in a temporary folder, built by relative paths ("/" between their parts);
// removed with the test. Its paths come out with the platform's separators, as the window's
// own paths do.
class TempTree {
public:
    TempTree() : dir_(QDir::tempPath() + QStringLiteral("/corvanel-fill-XXXXXX")) {}

    bool IsValid() const { return dir_.isValid(); }
    // The root without a trailing separator.
    QString Root() const { return QDir::toNativeSeparators(dir_.path()); }
    QString Path(const QString& relative) const {
        return Root() + QDir::separator() + QDir::toNativeSeparators(relative);
    }
    // A path below the root, back in the "/" form the tests write.
    QString Relative(const QString& path) const {
        return QDir::fromNativeSeparators(path.mid(Root().size() + 1));
    }

    void Folder(const QString& relative) const { QDir().mkpath(Path(relative)); }
    void File(const QString& relative, const QByteArray& bytes = "text") const {
        const QString path = Path(relative);
        QDir().mkpath(path.left(path.lastIndexOf(QDir::separator())));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
    }
    bool Link(const QString& target, const QString& relative) const {
        return QFile::link(target, Path(relative));
    }
    void Mode(const QString& relative, mode_t mode) const {
        ::chmod(QFile::encodeName(Path(relative)).constData(), mode);
    }

private:
    QTemporaryDir dir_;
};

#include "platform/Globals.h"

#include "platform/FileTests.h"

#include <QFileInfo>

#include <algorithm>

namespace Globals {
namespace {

// Replaces each pair of separators by one, left to right, resuming after the pair it consumed:
// a run of n separators becomes ceil(n/2) of them.
QString CollapseSeparatorPairs(QStringView text, QChar separator) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result.append(text[i]);
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) {
            ++i;
        }
    }
    return result;
}

}  // namespace

QString FileNameFromPath(const QString& path, PathStyle style) {
    qsizetype last = path.lastIndexOf(PathSeparator(style));
    if (style == PathStyle::Windows) {
        // Windows takes "/" as a separator too ("C:/a/b.doc", paths from URLs), and no file name
        // holds one.
        last = std::max(last, path.lastIndexOf(QChar('/')));
    }
    return path.mid(last + 1);
}

bool IsExistingFolder(const QString& path) {
    if (FileTests::CannotBeNamed(path)) {
        return false;
    }
    return QFileInfo(path).isDir();
}

QString NormalizePath(const QString& path, PathStyle style) {
    const QChar separator = PathSeparator(style);
    qsizetype firstOther = 0;
    while (firstOther < path.size() && path[firstOther] == separator) {
        ++firstOther;
    }
    if (firstOther == 0) {
        return CollapseSeparatorPairs(path, separator);
    }
    // A leading run marks a network path on Windows ("\\server") and the root on POSIX.
    const QString prefix = style == PathStyle::Windows ? QString(2, separator) : QString(separator);
    return prefix + CollapseSeparatorPairs(QStringView(path).mid(firstOther), separator);
}

}  // namespace Globals

#include "app/StartUpFiles.h"

#include "platform/DesktopFolder.h"
#include "platform/PathStyle.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace StartUpFiles {
namespace {

struct HotSpot {
    int x = -1;
    int y = -1;
};

// A .cur file keeps the hot spot of its first image where an icon keeps planes and bit count:
// bytes 4..7 of the first directory entry, which starts after the 6-byte header.
HotSpot HotSpotOf(const QByteArray& bytes) {
    constexpr int kHeaderSize = 6;
    constexpr int kEntrySize = 16;
    if (bytes.size() < kHeaderSize + kEntrySize) {
        return {};
    }
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint16 type = qFromLittleEndian<quint16>(data + 2);
    if (type != 2) {
        return {};
    }
    return {qFromLittleEndian<quint16>(data + kHeaderSize + 4),
            qFromLittleEndian<quint16>(data + kHeaderSize + 6)};
}

}  // namespace

QString BesideProgram(const QString& programFolder, const QString& relativeName) {
    QString path = QDir::fromNativeSeparators(programFolder);
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    return QDir::toNativeSeparators(path + relativeName);
}

std::optional<QString> ReadSkin(const QString& skinPath) {
    const QFileInfo info(skinPath);
    if (!info.exists() || !info.isFile() || info.isHidden()) {
        return std::nullopt;
    }
    QFile file(skinPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw RuntimeError(ErrorNumbers::kPermissionDenied,
                           QStringLiteral("The skin %1 cannot be read: %2.")
                               .arg(QDir::toNativeSeparators(skinPath), file.errorString()));
    }
    return QString::fromUtf8(file.readAll());
}

QCursor LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw RuntimeError(ErrorNumbers::kFileNotFound,
                           QStringLiteral("The pointer %1 cannot be read: %2.")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    // Cursor files are icon files with another type word; Qt's icon reader takes both.
    QImage image = QImage::fromData(bytes, "cur");
    if (image.isNull()) {
        image = QImage::fromData(bytes);
    }
    if (image.isNull()) {
        throw RuntimeError(ErrorNumbers::kInvalidProcedureCall,
                           QStringLiteral("The pointer %1 is not a picture Corvanel can load.")
                               .arg(QDir::toNativeSeparators(path)));
    }
    const HotSpot hot = HotSpotOf(bytes);
    const bool hotInside =
        hot.x >= 0 && hot.x < image.width() && hot.y >= 0 && hot.y < image.height();
    return hotInside ? QCursor(QPixmap::fromImage(image), hot.x, hot.y)
                     : QCursor(QPixmap::fromImage(image));
}

QString DefaultOutputFolder() {
    QString folder = DesktopFolder();
    if (folder.isEmpty()) {
        return {};
    }
    if (!folder.endsWith(PathSeparator())) {
        folder += PathSeparator();
    }
    return folder;
}

}  // namespace StartUpFiles

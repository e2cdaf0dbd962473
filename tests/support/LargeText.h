#pragma once

#include <QFile>
#include <QString>

// A text of 200 MB: long to convert, and its reader needs far more memory than a worker at rest.
inline bool WriteLargeText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray block = (QByteArray("words ").repeated(100) + '\n').repeated(10000);
    for (int i = 0; i < 33; ++i) {
        if (file.write(block) != block.size()) {
            return false;
        }
    }
    return true;
}

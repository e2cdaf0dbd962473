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

// A time limit in seconds the large text always outlives, while a small document fits in it with
// the start of a fresh worker (the limit counts from the request): about 0.3 s under Wine, and
// under a heavy load far more than an idle machine's 0.02 s. The large text takes about 2 s
// under Wine and 3 s in the sanitizer build.
inline constexpr double kLargeTextTimeLimit = 1;

// How a worker past that limit is described.
inline QString LargeTextTimeoutReason() {
    return QStringLiteral("time limit of %1 s").arg(kLargeTextTimeLimit);
}

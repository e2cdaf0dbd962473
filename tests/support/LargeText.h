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
// the start of a fresh worker (about 0.3 s under Wine, more under load; the limit counts from the
// request). Under Wine the large text has been converted in under 2 s.
#ifdef _WIN32
inline constexpr double kLargeTextTimeLimit = 1;
#else
inline constexpr double kLargeTextTimeLimit = 0.2;
#endif

// How a worker past that limit is described.
inline QString LargeTextTimeoutReason() {
    return QStringLiteral("time limit of %1 s").arg(kLargeTextTimeLimit);
}

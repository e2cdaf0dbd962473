#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable test failure output for Qt's string types.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i == 0 ? "" : ", ") << '"' << texts[i].toStdString() << '"';
    }
    *out << '}';
}

#pragma once

#include <QFile>
#include <QString>

#include <string>

// Whether conversions can run at all; when they cannot, the reason, in words for the user.
struct ConverterAvailability {
    bool available = true;
    QString reason;
};

// The outcome of one conversion: converted, or the failure's number and description.
struct ConversionOutcome {
    int number = 0;  // 0: converted
    QString description;

    bool Converted() const { return number == 0; }
};

// A path as a converter takes it: in the file system's own encoding on POSIX; in UTF-8 on
// Windows, where the converter widens it to UTF-16 at each system call (the ANSI code page
// would lose every character outside it).
inline std::string FileSystemName(const QString& path) {
#ifdef _WIN32
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

// What the window asks of a converter. NativeDocumentConverter is the default; tests use a fake.
// Neither call throws.
class DocumentConverter {
public:
    virtual ~DocumentConverter() = default;

    virtual ConverterAvailability Availability() = 0;
    // Writes the text of `source` to `target`. A failed conversion leaves an earlier target as it
    // was.
    virtual ConversionOutcome Convert(const QString& source, const QString& target) = 0;
};

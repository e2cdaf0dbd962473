#include "export/NativeDocumentConverter.h"

#include "convert/Converter.h"

#include <QFile>

#include <string>

namespace {

// Paths reach the converter in the file system's own encoding.
std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

ConversionOutcome NativeDocumentConverter::Convert(const QString& source, const QString& target) {
    const corvanel::convert::ConversionResult result =
        corvanel::convert::ConvertFile(FileSystemName(source), FileSystemName(target));
    if (result.Ok()) {
        return {};
    }
    return {result.Number(), QString::fromStdString(result.description)};
}

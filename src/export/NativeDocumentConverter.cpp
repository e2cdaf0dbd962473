#include "export/NativeDocumentConverter.h"

#include "convert/Converter.h"

ConversionOutcome NativeDocumentConverter::Convert(const QString& source, const QString& target) {
    const corvanel::convert::ConversionResult result =
        corvanel::convert::ConvertFile(FileSystemName(source), FileSystemName(target));
    if (result.Ok()) {
        return {};
    }
    return {result.Number(), QString::fromStdString(result.description)};
}

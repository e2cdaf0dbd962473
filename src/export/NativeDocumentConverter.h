#pragma once

#include "export/DocumentConverter.h"

// Corvanel's own converter: reads and parses the document in process and writes its text to a
// temporary file renamed over the target. It needs nothing outside the program, so it is always
// available.
class NativeDocumentConverter : public DocumentConverter {
public:
    ConverterAvailability Availability() override { return {}; }
    ConversionOutcome Convert(const QString& source, const QString& target) override;
};

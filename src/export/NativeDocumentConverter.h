#pragma once

#include "export/DocumentConverter.h"

// Corvanel's own converter behind the DocumentConverter contract: Open reads and parses the
// document in process, SaveAs writes its text (temporary file renamed over the target), Quit has
// nothing to tear down. No other instance can conflict with it.
class NativeDocumentConverter : public DocumentConverter {
public:
    std::unique_ptr<ConverterApplication> CreateInstance() override;
    // Always throws: the native converter never has a conflicting running instance.
    std::unique_ptr<ConverterApplication> AttachToRunningInstance() override;
};

inline const QString kNativeConverterName = QStringLiteral("Corvanel");

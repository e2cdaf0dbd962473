#pragma once

#include <QString>

#include <memory>

// The operations the export is written against: those of a word processor's automation
// interface (create or attach to an instance, its name, open, save as text, close, quit).
// NativeDocumentConverter is the default; tests use a fake. Every operation reports a failure
// by throwing RuntimeError with a number and a description.

// Arguments of SaveAs, in the order they are given.
struct SaveAsArguments {
    QString FileName;
    int FileFormat = 2;  // plain text
    bool LockComments = false;
    QString Password;
    bool AddToRecentFiles = true;
    QString WritePassword;
    bool ReadOnlyRecommended = false;
    bool EmbedTrueTypeFonts = false;
    bool SaveNativePictureFormat = false;
    bool SaveFormsData = false;
    bool SaveAsAOCELetter = false;
};

class ConverterDocument {
public:
    virtual ~ConverterDocument() = default;
    virtual void SaveAs(const SaveAsArguments& arguments) = 0;
    virtual void Close() = 0;
};

class ConverterDocuments {
public:
    virtual ~ConverterDocuments() = default;
    virtual std::unique_ptr<ConverterDocument> Open(const QString& sourcePath) = 0;
};

class ConverterApplication {
public:
    virtual ~ConverterApplication() = default;
    // The default property: the application's name.
    virtual QString Name() = 0;
    virtual ConverterDocuments& Documents() = 0;
    virtual void Quit() = 0;
};

class DocumentConverter {
public:
    virtual ~DocumentConverter() = default;
    // A fresh instance; throws when none can be started (the availability test).
    virtual std::unique_ptr<ConverterApplication> CreateInstance() = 0;
    // A running instance that would conflict with a run; throws when none is running.
    virtual std::unique_ptr<ConverterApplication> AttachToRunningInstance() = 0;
};

#pragma once

#include <QString>

class Dialogs;
class DocumentConverter;
class QWidget;

// Conversion of one document and the test for a conflicting running instance.
namespace Word1 {

// Converts one document: a fresh instance, Documents.Open, SaveAs as plain text, Close, Quit.
// The first failing operation ends the call (a failure at open or save sends neither Close nor
// Quit) and reaches the caller unchanged; every reference held is released on every path.
void SaveDocumentAsText(DocumentConverter& converter, const QString& sourcePath,
                        const QString& targetPath);

// True when a running instance answers with the name "Microsoft Word"; every failure is false.
bool IsWordRunning(DocumentConverter& converter);

// When an instance is running, asks whether to go on (Yes/No, no icon, the application title).
// True when the export run must stop.
bool ShouldStopForOpenWord(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                           const QString& applicationTitle);

inline const QString kRunningApplicationName = QStringLiteral("Microsoft Word");

QString OpenWordQuestion();

}  // namespace Word1

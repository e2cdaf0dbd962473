#pragma once

#include <QString>

#include <functional>

class Dialogs;
class DocumentConverter;
class QWidget;

// The start-up check that the converter can run. When it cannot, shows the converter's reason
// (OK only, no icon, the application title) and then calls `endProgram`. Never throws.
void EnsureConverterAvailable(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                              const QString& applicationTitle,
                              const std::function<void()>& endProgram);

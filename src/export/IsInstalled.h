#pragma once

#include <QString>

#include <functional>

class Dialogs;
class DocumentConverter;
class QWidget;

namespace IsInstalled {

// Starts an instance once to prove the converter can run. When it cannot, shows the hints
// (OK only, no icon, the application title) and then calls `endProgram`. Never throws.
void EnsureWordAvailable(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                         const QString& applicationTitle, const std::function<void()>& endProgram);

QString WordUnavailableMessage();

}  // namespace IsInstalled

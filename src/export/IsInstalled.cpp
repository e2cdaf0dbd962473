#include "export/IsInstalled.h"

#include "export/DocumentConverter.h"
#include "platform/Dialogs.h"

#include <QStringList>

#include <memory>

namespace IsInstalled {

QString WordUnavailableMessage() {
    const QStringList paragraphs = {
        QStringLiteral("Error 842001. A normal instance of Word could not be created."),
        QStringLiteral("1. Please make sure Word is installed on this computer."),
        QStringLiteral("2. Please open Word normally and make sure a blank document opens "
                       "immediately without any interrupting window (such as an Word file "
                       "recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file that "
                       "Word opens normally without any interrupting messages."),
        QStringLiteral("4. All versions of Word are supported by this software except for the "
                       "rare Word Starter and Student editions."),
    };
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

void EnsureWordAvailable(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                         const QString& applicationTitle, const std::function<void()>& endProgram) {
    std::unique_ptr<ConverterApplication> instance;
    try {
        instance = converter.CreateInstance();
    } catch (...) {
        instance.reset();
    }
    if (instance == nullptr) {
        try {
            MessageRequest message;
            message.text = WordUnavailableMessage();
            message.caption = applicationTitle;
            dialogs.ShowMessage(owner, message);
        } catch (...) {
        }
        endProgram();
        return;
    }
    try {
        instance->Quit();
    } catch (...) {
    }
}

}  // namespace IsInstalled

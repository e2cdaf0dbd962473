#include "export/Word1.h"

#include "export/DocumentConverter.h"
#include "platform/Dialogs.h"

#include <memory>

namespace Word1 {

void SaveDocumentAsText(DocumentConverter& converter, const QString& sourcePath,
                        const QString& targetPath) {
    // Declared in this order so that leaving the scope, normally or by a failure, releases the
    // document before the instance.
    std::unique_ptr<ConverterApplication> application = converter.CreateInstance();
    std::unique_ptr<ConverterDocument> document = application->Documents().Open(sourcePath);

    SaveAsArguments arguments;
    arguments.FileName = targetPath;
    document->SaveAs(arguments);
    document->Close();
    application->Quit();
}

bool IsWordRunning(DocumentConverter& converter) {
    try {
        const std::unique_ptr<ConverterApplication> running = converter.AttachToRunningInstance();
        return running != nullptr && running->Name() == kRunningApplicationName;
    } catch (...) {
        return false;
    }
}

QString OpenWordQuestion() {
    return QStringLiteral(
               "Word may be open. It is recommended that you close Word first. Use "
               "Ctrl+Alt+Del > Task Manager > WINWORD.EXE if necessary.") +
           QStringLiteral("\r\n\r\n") + QStringLiteral("Would you like to proceed anyway?");
}

bool ShouldStopForOpenWord(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                           const QString& applicationTitle) {
    if (!IsWordRunning(converter)) {
        return false;
    }
    MessageRequest question;
    question.text = OpenWordQuestion();
    question.caption = applicationTitle;
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::None;
    return dialogs.ShowMessage(owner, question) != MessageAnswer::Yes;
}

}  // namespace Word1

#include "export/StartUpCheck.h"

#include "export/DocumentConverter.h"
#include "platform/Dialogs.h"

void EnsureConverterAvailable(DocumentConverter& converter, Dialogs& dialogs, QWidget* owner,
                              const QString& applicationTitle,
                              const std::function<void()>& endProgram) {
    const ConverterAvailability availability = converter.Availability();
    if (availability.available) {
        return;
    }
    try {
        MessageRequest message;
        message.text = availability.reason;
        message.caption = applicationTitle;
        dialogs.ShowMessage(owner, message);
    } catch (...) {
        // The program ends either way; a message that cannot be shown must not stop that.
    }
    endProgram();
}

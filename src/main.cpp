// Corvanel's window program: the main window over the native converter.
#include "app/MainWindow.h"
#include "convert/core/ProcessTuning.h"
#include "export/NativeDocumentConverter.h"
#include "platform/QtDialogs.h"
#include "platform/SettingsStore.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[]) {
    corvanel::convert::TuneProcessForConversions();
    QApplication application(argc, argv);
    QtDialogs dialogs;
    SettingsStore settings;
    NativeDocumentConverter converter;
    // Closing the window ends the program at once, also in the middle of an export.
    MainWindow window(MainWindowServices{dialogs, settings, converter,
                                         QCoreApplication::applicationDirPath(),
                                         [] { std::_Exit(EXIT_SUCCESS); }});
    window.show();
    return application.exec();
}

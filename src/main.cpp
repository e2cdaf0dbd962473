// Corvanel's window program: the main window over the native converter, which runs in a worker
// process (this program started again).
#include "app/MainWindow.h"
#include "app/WindowHandOff.h"
#include "export/WorkerDocumentConverter.h"
#include "isolation/JobWorker.h"
#include "platform/QtDialogs.h"
#include "platform/SettingsStore.h"
#include "system/ProcessTuning.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], corvanel::isolation::kWorkerArgument) == 0) {
        corvanel::system::TuneProcessForConversions();
        return corvanel::isolation::ServeJobs();
    }
    QApplication application(argc, argv);
    // Documents given while a window is open join its list (Explorer starts the program once
    // per file sent); when none answers, this start opens the window.
    const QStringList documents =
        WindowHandOff::DocumentArguments(QCoreApplication::arguments().mid(1));
    const QString channel = WindowHandOff::ChannelName();
    WindowHandOff::Receiver receiver(channel);
    if (!documents.isEmpty() && !receiver.Listening() &&
        WindowHandOff::HandToOpenWindow(channel, documents)) {
        return EXIT_SUCCESS;
    }
    QtDialogs dialogs;
    SettingsStore settings;
    WorkerDocumentConverter converter;
    // Closing the window ends the program at once, also in the middle of an export, and its
    // worker with it.
    MainWindow window(MainWindowServices{
        dialogs, settings, converter,
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()), [&converter] {
            converter.Stop();
            std::_Exit(EXIT_SUCCESS);
        }});
    receiver.DeliverTo([&window](const QStringList& paths) { window.AddHandedDocuments(paths); });
    window.show();
    if (!documents.isEmpty()) {
        window.AddHandedDocuments(documents);
    }
    return application.exec();
}

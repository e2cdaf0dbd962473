// Measures what the window adds to an export: the same documents converted once by the
// converter alone and once through Form1's "Start Exporting To Text" (list, progress bar, yield,
// pointer, worker thread), on the offscreen platform.
//
//   app_export_bench [COUNT] [ROUNDS]      (defaults: 1000 documents, 5 rounds)
#include "app/Form1.h"
#include "convert/Converter.h"
#include "doclist/DocumentListModel.h"
#include "export/NativeDocumentConverter.h"
#include "platform/SettingsStore.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QStringList MakeDocuments(const QString& folder, int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/document%2.txt").arg(folder).arg(i, 4, 10, QChar(u'0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(2);
        }
        for (int line = 0; line < 20; ++line) {
            file.write(QStringLiteral("Line %1 of document %2: caf\u00e9, na\u00efve, \u00fcber.\n")
                           .arg(line)
                           .arg(i)
                           .toUtf8());
        }
        paths.append(path);
    }
    return paths;
}

double ConverterAloneSeconds(const QStringList& sources, const QString& output) {
    QElapsedTimer timer;
    timer.start();
    for (const QString& source : sources) {
        const QString target = output + u'/' + QFileInfo(source).completeBaseName() + ".txt";
        const auto result = corvanel::convert::ConvertFile(QFile::encodeName(source).toStdString(),
                                                           QFile::encodeName(target).toStdString());
        if (!result.Ok()) {
            std::fprintf(stderr, "%s\n", result.description.c_str());
            std::exit(2);
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

double WindowSeconds(const QStringList& sources, const QString& output,
                     const QString& settingsFile) {
    FakeDialogs dialogs;
    SettingsStore settings(settingsFile);
    NativeDocumentConverter converter;
    Form1 form(
        Form1Services{dialogs, settings, converter, QCoreApplication::applicationDirPath(), [] {}});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the window was not shown\n");
        std::exit(2);
    }
    form.DocumentList().AppendMany(sources);
    form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(output + u'/');
    QElapsedTimer timer;
    timer.start();
    form.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (dialogs.Messages().size() != 1 || dialogs.Messages().front().text != "Done.") {
        std::fprintf(stderr, "the export did not end with \"Done.\" alone\n");
        std::exit(2);
    }
    return seconds;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir work;
    QDir().mkpath(work.filePath("in"));
    QDir().mkpath(work.filePath("out"));
    const QStringList sources = MakeDocuments(work.filePath("in"), count);

    // Rounds alternate between the two, and the overhead is the median of the per-round
    // differences: on a busy machine that is steadier than comparing two independent bests.
    std::vector<double> alone;
    std::vector<double> window;
    std::vector<double> difference;
    for (int round = 0; round < rounds; ++round) {
        alone.push_back(ConverterAloneSeconds(sources, work.filePath("out")));
        window.push_back(
            WindowSeconds(sources, work.filePath("out"), work.filePath("settings.ini")));
        difference.push_back(window.back() - alone.back());
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double perDocument = 1e6 / count;
    std::printf("documents: %d, %d rounds\n", count, rounds);
    std::printf("converter alone: best %7.1f us, median %7.1f us per document\n",
                *std::min_element(alone.begin(), alone.end()) * perDocument,
                median(alone) * perDocument);
    std::printf("from the window: best %7.1f us, median %7.1f us per document\n",
                *std::min_element(window.begin(), window.end()) * perDocument,
                median(window) * perDocument);
    std::printf("window overhead: median %7.1f us per document\n",
                median(difference) * perDocument);
    return 0;
}

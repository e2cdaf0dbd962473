// Measures what the window adds to an export: the same documents converted once by the
// converter alone and once through the main window's "Start Exporting To Text" (list, progress bar,
// yield, pointer, worker thread), on the offscreen platform. A last, separate round watches the
// window during the export: how often the progress bar's value changed and was painted, and the
// longest time the event loop went without turning (a 1 ms timer that could not fire).
//
//   app_export_bench [COUNT] [ROUNDS]      (defaults: 1000 documents, 5 rounds)
#include "app/MainWindow.h"
#include "convert/Converter.h"
#include "doclist/DocumentListModel.h"
#include "export/WorkerDocumentConverter.h"
#include "platform/SettingsStore.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include <sys/resource.h>
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

// Wall and processor time (all threads of the process, and the child processes ended and waited
// for: the window's worker) since construction, in seconds. On a machine busy with other work the
// processor time is the steadier of the two.
class Stopwatch {
public:
    Stopwatch() : cpuStart_(CpuSeconds()) { wall_.start(); }
    double Wall() const { return wall_.nsecsElapsed() / 1e9; }
    double Cpu() const { return CpuSeconds() - cpuStart_; }

private:
    static double CpuSeconds() {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        rusage children{};
        getrusage(RUSAGE_CHILDREN, &children);
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 +
               seconds(children.ru_utime) + seconds(children.ru_stime);
    }

    QElapsedTimer wall_;
    double cpuStart_;
};

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing ConverterAlone(const QStringList& sources, const QString& output) {
    const Stopwatch stopwatch;
    for (const QString& source : sources) {
        const QString target = output + u'/' + QFileInfo(source).completeBaseName() + ".txt";
        const auto result = corvanel::convert::ConvertFile(QFile::encodeName(source).toStdString(),
                                                           QFile::encodeName(target).toStdString());
        if (!result.Ok()) {
            std::fprintf(stderr, "%s\n", result.description.c_str());
            std::exit(2);
        }
    }
    return {stopwatch.Wall(), stopwatch.Cpu()};
}

// What the window showed during one export: progress bar changes and paints, and the gaps
// between turns of the event loop.
class LivenessProbe : public QObject {
public:
    void Attach(QProgressBar* bar) {
        connect(bar, &QProgressBar::valueChanged, this, [this] { ++valueChanges; });
        bar->installEventFilter(this);
        turn_.setTimerType(Qt::PreciseTimer);
        turn_.setInterval(1);
        connect(&turn_, &QTimer::timeout, this, [this] {
            longestGapMs = std::max(longestGapMs, sinceTurn_.nsecsElapsed() / 1e6);
            sinceTurn_.restart();
            ++turns;
        });
    }
    void Start() {
        sinceTurn_.start();
        turn_.start();
    }
    void Stop() {
        turn_.stop();
        longestGapMs = std::max(longestGapMs, sinceTurn_.nsecsElapsed() / 1e6);
    }

    int valueChanges = 0;
    int paints = 0;
    long turns = 0;
    double longestGapMs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTimer turn_;
    QElapsedTimer sinceTurn_;
};

// The window as the program runs it: conversions in a worker process (the window program
// itself), started by the first document of the export.
Timing FromTheWindow(const QStringList& sources, const QString& output, const QString& settingsFile,
                     LivenessProbe* probe = nullptr) {
    FakeDialogs dialogs;
    SettingsStore settings(settingsFile);
    Timing timing;
    std::optional<Stopwatch> stopwatch;
    {
        WorkerDocumentConverter converter(CORVANEL_PROGRAM);
        MainWindow form(MainWindowServices{dialogs, settings, converter,
                                           QCoreApplication::applicationDirPath(), [] {}});
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            std::fprintf(stderr, "the window was not shown\n");
            std::exit(2);
        }
        form.DocumentList().AppendMany(sources);
        form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(output + u'/');
        if (probe != nullptr) {
            probe->Attach(form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")));
            probe->Start();
        }
        stopwatch.emplace();
        form.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
        timing.wall = stopwatch->Wall();
        if (probe != nullptr) {
            probe->Stop();
        }
    }  // the worker ends with its converter and is waited for: its processor time counts
    timing.cpu = stopwatch->Cpu();
    if (dialogs.Messages().size() != 1 || dialogs.Messages().front().text != "Done.") {
        std::fprintf(stderr, "the export did not end with \"Done.\" alone\n");
        std::exit(2);
    }
    return timing;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir work;
    QDir().mkpath(work.filePath("in"));
    // Each run writes into a folder of its own: replacing the text files of an earlier run
    // makes the file system flush them first, and that wait would be timed too.
    auto freshOutput = [&work, run = 0]() mutable {
        const QString folder = work.filePath(QStringLiteral("out%1").arg(run++));
        QDir().mkpath(folder);
        return folder;
    };
    const QStringList sources = MakeDocuments(work.filePath("in"), count);

    // Rounds alternate between the two, and the overhead is the median of the per-round
    // differences: on a busy machine that is steadier than comparing two independent bests.
    std::vector<Timing> alone;
    std::vector<Timing> window;
    for (int round = 0; round < rounds; ++round) {
        alone.push_back(ConverterAlone(sources, freshOutput()));
        window.push_back(FromTheWindow(sources, freshOutput(), work.filePath("settings.ini")));
    }
    const double perDocument = 1e6 / count;
    std::printf("documents: %d, %d rounds; microseconds per document:\n", count, rounds);
    const auto report = [&](const char* clock, double Timing::*field) {
        std::vector<double> aloneUs;
        std::vector<double> windowUs;
        std::vector<double> difference;
        for (int round = 0; round < rounds; ++round) {
            aloneUs.push_back(alone[round].*field * perDocument);
            windowUs.push_back(window[round].*field * perDocument);
            difference.push_back(windowUs.back() - aloneUs.back());
        }
        const auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        std::printf(
            "%-9s converter alone: best %7.1f median %7.1f | from the window: best %7.1f "
            "median %7.1f | window overhead: median %7.1f\n",
            clock, *std::min_element(aloneUs.begin(), aloneUs.end()), median(aloneUs),
            *std::min_element(windowUs.begin(), windowUs.end()), median(windowUs),
            median(difference));
    };
    report("wall", &Timing::wall);
    report("processor", &Timing::cpu);

    LivenessProbe probe;
    const double watched =
        FromTheWindow(sources, freshOutput(), work.filePath("settings.ini"), &probe).wall;
    std::printf(
        "watched round: %.2f s; progress value changed %d times, progress bar painted %d "
        "times (%.1f per second)\n",
        watched, probe.valueChanges, probe.paints, probe.paints / watched);
    std::printf("event loop: %ld turns seen by a 1 ms timer, longest gap %.1f ms\n", probe.turns,
                probe.longestGapMs);
    return 0;
}

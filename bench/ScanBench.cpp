// Measures a folder scan as the window runs it: the walk with one yield to the event queue per
// folder, then the file phase appending rows to the document list shown in its view.
// Usage: doclist_scan_bench FOLDER [EXTENSION]   (driven by scripts/bench-scan)
#include "doclist/AddFolder.h"
#include "doclist/DocumentListModel.h"
#include "doclist/DocumentListView.h"
#include "doclist/FolderFiles.h"
#include "doclist/StepGuard.h"
#include "platform/HandlerTrap.h"
#include "support/FakeDialogs.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [EXTENSION]\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString extension = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("doc");

    DocumentListModel documents;
    DocumentListView view;
    view.SetDocumentList(&documents);
    view.resize(520, 169);
    view.show();
    FakeDialogs dialogs;

    long yields = 0;
    long longestGapMs = 0;
    QElapsedTimer sinceYield;
    sinceYield.start();
    const AddFolder::FolderWalk walk{dialogs, nullptr,
                                     [&] {
                                         longestGapMs =
                                             std::max<long>(longestGapMs, sinceYield.restart());
                                         ++yields;
                                         QCoreApplication::processEvents();
                                     },
                                     nullptr};

    QElapsedTimer clock;
    clock.start();
    QStringList folders{folder + u'/'};
    AddFolder::ExpandSubfolders(folders, true, walk);
    const qint64 walkMs = clock.restart();

    HandlerTrap trap(dialogs, nullptr, HandlerTags::kAddFolderTree);
    ReportingStepGuard guard(trap);
    AddFolder::AppendFolderSetFiles(folders, AddFolder::PatternForExtension(extension), nullptr,
                                    guard,
                                    [&](const QStringList& rows) { documents.AppendMany(rows); });
    const qint64 filesMs = clock.restart();
    QCoreApplication::processEvents();  // the view takes in the rows
    const qint64 viewMs = clock.elapsed();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("folders %lld, rows %d, yields %ld, reports %zu\n",
                static_cast<long long>(folders.size()), documents.Count(), yields,
                dialogs.shown.size());
    std::printf(
        "walk %lld ms (longest stretch without a yield %ld ms), files %lld ms, view %lld ms\n",
        static_cast<long long>(walkMs), longestGapMs, static_cast<long long>(filesMs),
        static_cast<long long>(viewMs));
    std::printf("peak resident memory %ld MiB\n", usage.ru_maxrss / 1024);
    return 0;
}

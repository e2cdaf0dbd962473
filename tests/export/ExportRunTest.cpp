#include "FakeExportView.h"
#include "export/ExportRun.h"
#include "platform/HandlerTrap.h"
#include "platform/PathStyle.h"
#include "support/FakeConverter.h"
#include "support/FakeDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kTitle = QStringLiteral("Corvanel");

class ExportRunTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(output.isValid());
        view.folder = OutputFolder() + PathSeparator();
    }

    // The folder as the window holds it: with the system's own separators.
    QString OutputFolder() const { return QDir::toNativeSeparators(output.path()); }

    ExportRun MakeRun() {
        return ExportRun(view, ExportServices{converter, dialogs, nullptr, kTitle, {}});
    }

    QStringList MessageTexts() const {
        QStringList texts;
        for (const MessageRequest& m : dialogs.Messages()) {
            texts.append(m.text);
        }
        return texts;
    }

    QString Report(const QString& description, int line) const {
        return BuildHandlerErrorReport(description, HandlerTags::kStartExport, line);
    }

    QTemporaryDir output;
    FakeExportView view;
    FakeConverter converter;
    FakeDialogs dialogs;
};

TEST_F(ExportRunTest, EmptyListIsReportedBeforeTheFolderIsLookedAt) {
    view.folder = QStringLiteral("/no/such/folder/");
    ExportRun run = MakeRun();
    run.Run();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest message = dialogs.Messages().front();
    EXPECT_EQ(message.text, QStringLiteral("No files added."));
    EXPECT_EQ(message.caption, kTitle);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(message.icon, MessageIcon::None);
    EXPECT_TRUE(converter.Sources().isEmpty());
    EXPECT_TRUE(view.log.isEmpty());
    EXPECT_FALSE(run.ExportRunning());
}

TEST_F(ExportRunTest, MissingEmptyOrFileFolderIsReportedBeforeAnyConversion) {
    QFile file(output.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    view.list = {QStringLiteral("/in/a.doc")};
    ExportRun run = MakeRun();
    for (const QString& folder : {QStringLiteral("/no/such/folder/"), QString(), file.fileName()}) {
        view.folder = folder;
        run.Run();
    }
    EXPECT_EQ(
        MessageTexts(),
        QStringList(3, QStringLiteral("Folder does not exist. Please select another folder.")));
    EXPECT_EQ(dialogs.Messages().back().caption, kTitle);
    EXPECT_TRUE(converter.Sources().isEmpty());
    EXPECT_FALSE(run.ExportRunning());
}

TEST_F(ExportRunTest, ConvertsEveryEntryInOrderWithProgressPointerAndDone) {
    view.list = {QStringLiteral("/docs/one.docx"), QStringLiteral("/docs/sub/two.doc"),
                 QStringLiteral("/docs/three.rtf")};
    view.folder = OutputFolder();  // no trailing separator: one is added
    ExportRun run = MakeRun();
    run.Run();

    EXPECT_EQ(view.log,
              (QStringList{"value 33", "text Processing: one.docx", "yield", "busy", "busy",
                           "value 67", "text Processing: two.doc", "yield", "busy", "busy",
                           "value 100", "text Processing: three.rtf", "yield", "busy", "busy",
                           "idle", "value 0", "text Progress Bar"}));
    EXPECT_EQ(converter.Sources(), view.list);
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
        EXPECT_TRUE(QFile::exists(output.filePath(QString::fromLatin1(name)))) << name;
    }
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(dialogs.Messages().front().caption, kTitle);
    EXPECT_FALSE(run.ExportRunning());
}

TEST_F(ExportRunTest, EachConversionStartsAfterTheYieldOfItsPass) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    std::vector<qsizetype> opensAtYield;
    view.onYield = [&](int) { opensAtYield.push_back(converter.Sources().size()); };
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_EQ(opensAtYield, (std::vector<qsizetype>{0, 1}));
}

TEST_F(ExportRunTest, ReplacesOnlyTheLastExtensionAndKeepsTheCase) {
    view.list = {QStringLiteral("/d/report.final.docx"), QStringLiteral("/d/a.b.c.doc"),
                 QStringLiteral("/d/notes."), QStringLiteral("/d/.docx"),
                 QStringLiteral("/d/UPPER.DOC")};
    ExportRun run = MakeRun();
    run.Run();
    QStringList targets;
    for (const QString& target : converter.Targets()) {
        targets.append(QDir(output.path()).relativeFilePath(target));
    }
    EXPECT_EQ(targets,
              (QStringList{"report.final.txt", "a.b.c.txt", "notes.txt", ".txt", "UPPER.txt"}));
    // The folder's own trailing separator is not doubled.
    EXPECT_EQ(converter.Targets().front(),
              OutputFolder() + PathSeparator() + QStringLiteral("report.final.txt"));
}

TEST_F(ExportRunTest, AFailingDocumentIsReportedAtLine142AndTheRunGoesOn) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc"),
                 QStringLiteral("/d/c.doc")};
    converter.failFor = {QStringLiteral("/d/b.doc")};
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_EQ(MessageTexts(),
              (QStringList{Report(QStringLiteral("/d/b.doc is damaged: no body"), 142), "Done."}));
    const MessageRequest report = dialogs.Messages().front();
    EXPECT_EQ(report.caption, QStringLiteral("Application Error"));
    EXPECT_EQ(report.icon, MessageIcon::Exclamation);
    EXPECT_EQ(report.buttons, MessageButtons::Ok);
    EXPECT_EQ(converter.Sources(), view.list);
    EXPECT_TRUE(QFile::exists(output.filePath("c.txt")));
    EXPECT_FALSE(QFile::exists(output.filePath("b.txt")));
    // After the report the pointer is set again before the next document.
    const qsizetype secondPassEnd = view.log.indexOf("text Processing: c.doc");
    EXPECT_EQ(view.log.at(secondPassEnd - 2), QStringLiteral("busy"));
}

TEST_F(ExportRunTest, ANameWithoutADotIsReportedAndSkipped) {
    view.list = {QStringLiteral("/d/README"), QStringLiteral("/d/b.doc")};
    ExportRun run = MakeRun();
    run.Run();
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const QString report = dialogs.Messages().front().text;
    EXPECT_TRUE(report.startsWith(QStringLiteral("No text file name can be made for \"README\"")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(HandlerTags::kStartExport + QStringLiteral("at line 136\r\r")));
    EXPECT_EQ(MessageTexts().back(), QStringLiteral("Done."));
    EXPECT_EQ(converter.Sources(), QStringList{QStringLiteral("/d/b.doc")});
}

TEST_F(ExportRunTest, ASecondPressDuringTheRunIsIgnored) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    ExportRun run = MakeRun();
    bool runningDuringYield = false;
    view.onYield = [&](int) {
        runningDuringYield = run.ExportRunning();
        run.Run();
    };
    run.Run();
    EXPECT_TRUE(runningDuringYield);
    EXPECT_EQ(view.yields, 2);
    EXPECT_EQ(converter.Sources(), view.list);
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_FALSE(run.ExportRunning());
}

TEST_F(ExportRunTest, RowsAddedDuringTheRunAreNotExportedButCountForProgress) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    view.onYield = [&](int n) {
        if (n == 1) {
            view.list.append(QStringLiteral("/d/late.doc"));
        }
    };
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_EQ(converter.Sources(), (QStringList{"/d/a.doc", "/d/b.doc"}));
    EXPECT_TRUE(view.log.contains("value 50"));
    EXPECT_TRUE(view.log.contains("value 67"));  // pass 2 of now 3 entries
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("Done.")});
}

TEST_F(ExportRunTest, AnEntryThatVanishedIsReportedAndNothingElseIsConvertedInItsPlace) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc"),
                 QStringLiteral("/d/c.doc")};
    view.onYield = [&](int n) {
        if (n == 1) {
            view.list.removeFirst();  // b and c move up; the third pass finds nothing
        }
    };
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_EQ(converter.Sources(), (QStringList{"/d/a.doc", "/d/c.doc"}));
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages().front().text,
              Report(QStringLiteral("Document 3 of this export is no longer in the list: the list "
                                    "was shortened during the export."),
                     112));
    EXPECT_EQ(MessageTexts().back(), QStringLiteral("Done."));
    EXPECT_FALSE(run.ExportRunning());
}

TEST_F(ExportRunTest, AChangedOutputFolderIsUsedFromTheNextDocumentOn) {
    QTemporaryDir other;
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    view.onYield = [&](int n) {
        if (n == 1) {
            view.folder = other.path() + QStringLiteral("/");
        }
    };
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_TRUE(QFile::exists(other.filePath("a.txt")));
    EXPECT_TRUE(QFile::exists(other.filePath("b.txt")));
}

TEST_F(ExportRunTest, StopsAtOnceWhenTheProgramEndsDuringTheRun) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    view.onYield = [&](int n) { view.ended = n == 2; };
    ExportRun run = MakeRun();
    run.Run();
    EXPECT_EQ(converter.Sources(), QStringList{QStringLiteral("/d/a.doc")});
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(ExportRunTest, ConversionsGoThroughTheRunnerOneAtATime) {
    view.list = {QStringLiteral("/d/a.doc"), QStringLiteral("/d/b.doc")};
    int calls = 0;
    ExportRun run(view, ExportServices{converter, dialogs, nullptr, kTitle,
                                       [&](const std::function<void()>& call) {
                                           ++calls;
                                           call();
                                       }});
    run.Run();
    EXPECT_EQ(calls, 2);
}

TEST(ProgressValueFor, RoundsHalfToEvenAndStaysWithinTheBar) {
    EXPECT_EQ(ProgressValueFor(1, 3), 33);
    EXPECT_EQ(ProgressValueFor(2, 3), 67);
    EXPECT_EQ(ProgressValueFor(1, 8), 12);  // 12.5
    EXPECT_EQ(ProgressValueFor(3, 8), 38);  // 37.5
    EXPECT_EQ(ProgressValueFor(3, 3), 100);
    EXPECT_EQ(ProgressValueFor(5, 2), 100);  // the list shrank below the pass number
    EXPECT_EQ(ProgressValueFor(1, 0), 0);
}

}  // namespace

// Faults injected into a real export run (the native converter, real files): each fault is
// reported once at the conversion step, the run goes on to "Done.", outputs already written
// stay intact and no temporary file is left in the output folder.

#include "FakeExportView.h"
#include "TestZip.h"
#include "convert/Converter.h"
#include "export/ExportRun.h"
#include "export/NativeDocumentConverter.h"
#include "platform/HandlerTrap.h"
#include "support/FakeDialogs.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace {

const QString kTitle = QStringLiteral("Corvanel");
const QString kConversionStep = HandlerTags::kStartExport + QStringLiteral("at line 142");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A Word document whose body is one paragraph holding `text`.
QByteArray TinyDocx(const std::string& text) {
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:p>"
        "<w:r><w:t>" +
        text + "</w:t></w:r></w:p></w:body></w:document>";
    const std::string zip =
        corvanel::convert::testing::MakeZip(corvanel::convert::testing::DocxParts(document));
    return QByteArray::fromStdString(zip);
}

// Three documents in a sources folder (first.txt, middle.docx, last.docx) exported into an
// output folder that already holds an earlier export of the middle one and an unrelated file.
class FaultInjectionTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sources.isValid());
        ASSERT_TRUE(output.isValid());
        first = sources.filePath(QStringLiteral("first.txt"));
        middle = sources.filePath(QStringLiteral("middle.docx"));
        last = sources.filePath(QStringLiteral("last.docx"));
        WriteAll(first, "first line\r\nsecond line\r\n");
        WriteAll(middle, TinyDocx("middle text"));
        WriteAll(last, TinyDocx("last text"));
        WriteAll(output.filePath(QStringLiteral("middle.txt")), kEarlierExport);
        WriteAll(output.filePath(QStringLiteral("keep.txt")), kUnrelated);
        view.list = {first, middle, last};
        view.folder = output.path() + QStringLiteral("/");
    }

    void TearDown() override {
        // Give back whatever a case took away, so the folders can be removed.
        ::chmod(QFile::encodeName(output.path()).constData(), 0755);
        ::chmod(QFile::encodeName(middle).constData(), 0644);
    }

    // Runs the export; `beforeMiddle` acts during the yield of the middle document's pass and
    // `afterMiddle` during the next pass's yield.
    void RunExport(const std::function<void()>& beforeMiddle,
                   const std::function<void()>& afterMiddle = {}) {
        view.onYield = [&](int pass) {
            if (pass == 2 && beforeMiddle) {
                beforeMiddle();
            }
            if (pass == 3 && afterMiddle) {
                afterMiddle();
            }
        };
        ExportRun run(view, ExportServices{converter, dialogs, nullptr, kTitle, {}});
        run.Run();
        EXPECT_FALSE(run.ExportRunning());
    }

    QStringList Messages() const {
        QStringList texts;
        for (const MessageRequest& m : dialogs.Messages()) {
            texts.append(m.text);
        }
        return texts;
    }

    // Exactly one report, of the conversion step, naming `subject` and saying `what` failed;
    // then "Done.".
    void ExpectOneReportNaming(const QString& subject, const QString& what) const {
        const QStringList texts = Messages();
        ASSERT_EQ(texts.size(), 2) << texts.join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(texts.back(), QStringLiteral("Done."));
        const QString& report = texts.front();
        EXPECT_TRUE(report.contains(kConversionStep)) << report.toStdString();
        EXPECT_TRUE(report.contains(subject + what)) << report.toStdString();
        EXPECT_EQ(dialogs.Messages().front().caption, QStringLiteral("Application Error"));
    }

    // The documents around the fault were converted, the unrelated file is untouched.
    void ExpectNeighboursExported() const {
        EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("first.txt"))),
                  QByteArray("first line\nsecond line\n"));
        EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("last.txt"))), QByteArray("last text\n"));
        EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("keep.txt"))), kUnrelated);
    }

    void ExpectEarlierExportIntact() const {
        EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("middle.txt"))), kEarlierExport);
    }

    void ExpectNoTemporaryFiles(const QString& folder) const {
        const QStringList leftovers = QDir(folder).entryList(
            {QStringLiteral("*.corvanel-*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
        EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(QStringLiteral(", ")).toStdString();
    }

    const QByteArray kEarlierExport = "an earlier export, still good\n";
    const QByteArray kUnrelated = "someone else's notes\n";
    QTemporaryDir sources;
    QTemporaryDir output;
    QString first;
    QString middle;
    QString last;
    FakeExportView view;
    FakeDialogs dialogs;
    NativeDocumentConverter converter;
};

const QString kCannotOpen = QStringLiteral(" cannot be opened");
const QString kCannotWrite = QStringLiteral(" cannot be written");
constexpr int kCannotWriteNumber = 8006;

TEST_F(FaultInjectionTest, WithoutFaultsEveryDocumentIsExported) {
    RunExport({});
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Done.")});
    ExpectNeighboursExported();
    EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("middle.txt"))), QByteArray("middle text\n"));
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, AReadOnlyOutputFolder) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // permissions do not bind the superuser
    }
    const QByteArray folder = QFile::encodeName(output.path());
    RunExport([&] { ASSERT_EQ(::chmod(folder.constData(), 0555), 0); },
              [&] { ASSERT_EQ(::chmod(folder.constData(), 0755), 0); });
    ExpectOneReportNaming(output.filePath(QStringLiteral("middle.txt")), kCannotWrite);
    ExpectNeighboursExported();
    ExpectEarlierExportIntact();
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, AFolderWhereTheTargetBelongs) {
    const QString target = output.filePath(QStringLiteral("middle.txt"));
    ASSERT_TRUE(QFile::remove(target));
    ASSERT_TRUE(QDir().mkdir(target));
    WriteAll(target + QStringLiteral("/inside.txt"), kUnrelated);
    RunExport({});
    ExpectOneReportNaming(target, kCannotWrite);
    ExpectNeighboursExported();
    EXPECT_EQ(ReadAll(target + QStringLiteral("/inside.txt")), kUnrelated);
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, ASourceDeletedBeforeItsTurn) {
    RunExport([&] { ASSERT_TRUE(QFile::remove(middle)); });
    ExpectOneReportNaming(middle, kCannotOpen);
    ExpectNeighboursExported();
    ExpectEarlierExportIntact();
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, AnUnreadableSource) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // permissions do not bind the superuser
    }
    ASSERT_EQ(::chmod(QFile::encodeName(middle).constData(), 0), 0);
    RunExport({});
    ExpectOneReportNaming(middle, kCannotOpen);
    ExpectNeighboursExported();
    ExpectEarlierExportIntact();
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, TheOutputFolderRemovedDuringTheRun) {
    RunExport([&] { ASSERT_TRUE(QDir(output.path()).removeRecursively()); },
              [&] { ASSERT_TRUE(QDir().mkpath(output.path())); });
    ExpectOneReportNaming(output.filePath(QStringLiteral("middle.txt")), kCannotWrite);
    EXPECT_FALSE(QFile::exists(output.filePath(QStringLiteral("middle.txt"))));
    EXPECT_EQ(ReadAll(output.filePath(QStringLiteral("last.txt"))), QByteArray("last text\n"));
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, ATextDocumentExportedOverItself) {
    // The target of sources/first.txt in its own folder is the source itself: it is read whole
    // before the text replaces it.
    view.list = {first, last};
    view.folder = sources.path();
    RunExport({});
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(ReadAll(first), QByteArray("first line\nsecond line\n"));
    EXPECT_EQ(ReadAll(sources.filePath(QStringLiteral("last.txt"))), QByteArray("last text\n"));
    ExpectNoTemporaryFiles(sources.path());
}

// Lowers the largest file this process may write for as long as it lives; a write past it fails
// with "File too large" instead of raising SIGXFSZ, like a disk that fills up.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool Active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

TEST_F(FaultInjectionTest, AFullDiskDuringAWriteLeavesTheOldFileAndNoTemporaryFile) {
    const QString target = output.filePath(QStringLiteral("middle.txt"));
    const std::string text(4u << 20, 'x');
    corvanel::convert::ConversionResult result;
    {
        FileSizeLimit limit(1u << 20);
        ASSERT_TRUE(limit.Active());
        result = corvanel::convert::WriteTextFile(QFile::encodeName(target).toStdString(), text);
    }
    EXPECT_EQ(result.Number(), kCannotWriteNumber);
    EXPECT_NE(result.description.find(QFile::encodeName(target).toStdString()), std::string::npos)
        << result.description;
    ExpectEarlierExportIntact();
    ExpectNoTemporaryFiles(output.path());
}

TEST_F(FaultInjectionTest, AFullDiskDuringTheRun) {
    // The middle document's text is larger than the space left; the others fit.
    WriteAll(middle, TinyDocx(std::string(2u << 20, 'm')));
    std::unique_ptr<FileSizeLimit> limit;
    RunExport([&] { limit = std::make_unique<FileSizeLimit>(1u << 20); }, [&] { limit.reset(); });
    ExpectOneReportNaming(output.filePath(QStringLiteral("middle.txt")), kCannotWrite);
    ExpectNeighboursExported();
    ExpectEarlierExportIntact();
    ExpectNoTemporaryFiles(output.path());
}

}  // namespace

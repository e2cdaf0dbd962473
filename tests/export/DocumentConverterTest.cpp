#include "convert/Converter.h"
#include "export/NativeDocumentConverter.h"
#include "export/WorkerDocumentConverter.h"
#include "support/LargeText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <unistd.h>
#endif

namespace {

// Ends a process from outside, as a crash would, and waits until it is gone.
bool KillAndWait(long pid) {
#ifdef _WIN32
    const HANDLE process =
        ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return false;
    }
    const bool killed = ::TerminateProcess(process, 9) != 0;
    ::WaitForSingleObject(process, INFINITE);
    ::CloseHandle(process);
    return killed;
#else
    if (::kill(static_cast<pid_t>(pid), SIGKILL) != 0) {
        return false;
    }
    while (::kill(static_cast<pid_t>(pid), 0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
#endif
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct ConverterKind {
    const char* name;
    std::function<std::unique_ptr<DocumentConverter>()> make;
};
void PrintTo(const ConverterKind& kind, std::ostream* out) {
    *out << kind.name;
}

// Converting in process and in a worker process must not differ in anything but isolation.
class DocumentConverterTest : public testing::TestWithParam<ConverterKind> {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString InFolder(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    QTemporaryDir folder;
    std::unique_ptr<DocumentConverter> owned = GetParam().make();
    DocumentConverter& converter = *owned;
};

INSTANTIATE_TEST_SUITE_P(
    Converters, DocumentConverterTest,
    testing::Values(
        ConverterKind{"InProcess", [] { return std::make_unique<NativeDocumentConverter>(); }},
        ConverterKind{"InAWorker",
                      [] { return std::make_unique<WorkerDocumentConverter>(CORVANEL_PROGRAM); }}),
    [](const testing::TestParamInfo<ConverterKind>& kind) { return kind.param.name; });

TEST_P(DocumentConverterTest, IsAlwaysAvailable) {
    const ConverterAvailability availability = converter.Availability();
    EXPECT_TRUE(availability.available);
    EXPECT_TRUE(availability.reason.isEmpty());
}

TEST_P(DocumentConverterTest, ConvertsATextDocumentOverAnExistingTarget) {
    const QString source = InFolder("notes ä.txt");
    const QString target = InFolder("out.txt");
    WriteAll(source, "first line\nsecond line\n");
    WriteAll(target, "old content that must go");
    const ConversionOutcome outcome = converter.Convert(source, target);
    EXPECT_TRUE(outcome.Converted()) << outcome.description.toStdString();
    const QByteArray newline =
        QByteArray::fromStdString(std::string(corvanel::convert::kNativeNewline));
    EXPECT_EQ(ReadAll(target), "first line" + newline + "second line" + newline);
}

// A failure carries the converter library's number and leaves an earlier target alone.
TEST_P(DocumentConverterTest, FailuresCarryTheConvertersNumberAndKeepTheOldTarget) {
    WriteAll(InFolder("a.txt"), "text\n");
    WriteAll(InFolder("kept.txt"), "earlier text");
    struct Case {
        const char* source;
        const char* target;
        int number;
        QByteArray targetAfter;
    };
    for (const Case& c : {Case{"missing.docx", "kept.txt", 8001, "earlier text"},  // cannot open
                          Case{"a.txt", "no-such-folder/a.txt", 8006, "<missing>"}}) {
        const QString source = InFolder(c.source);
        const ConversionOutcome outcome = converter.Convert(source, InFolder(c.target));
        EXPECT_EQ(outcome.number, c.number) << c.source;
        EXPECT_FALSE(outcome.Converted()) << c.source;
        EXPECT_EQ(ReadAll(InFolder(c.target)), c.targetAfter) << c.source;
        if (c.number == 8001) {
            EXPECT_TRUE(outcome.description.contains(source)) << outcome.description.toStdString();
        }
    }
}

// The processes writing `target`'s text: on Linux those holding a file open beside it (an
// unnamed one shows as "#<inode> (deleted)"), elsewhere those named by their temporary files.
std::vector<long> WritersOf(const QString& target) {
    std::vector<long> pids;
#ifdef _WIN32
    const QString prefix = QFileInfo(target).fileName() + QStringLiteral(".corvanel-");
    for (const QString& name : QFileInfo(target).dir().entryList({prefix + u'*'}, QDir::Files)) {
        pids.push_back(name.mid(prefix.size()).section(u'-', 0, 0).toLong());
    }
#else
    const std::string beside = QFileInfo(target).absolutePath().toStdString() + "/";
    std::error_code ec;
    for (const auto& process : std::filesystem::directory_iterator("/proc", ec)) {
        std::error_code unreadable;
        for (const auto& fd :
             std::filesystem::directory_iterator(process.path() / "fd", unreadable)) {
            char link[4096];
            const ssize_t n = ::readlink(fd.path().c_str(), link, sizeof link);
            if (n > 0 && std::string_view(link, n).starts_with(beside)) {
                pids.push_back(std::atol(process.path().filename().c_str()));
                break;
            }
        }
    }
#endif
    return pids;
}

// Kills every worker that begins writing `target`'s text.
std::thread KillWorkersWriting(const QString& target, int times) {
    return std::thread([target, times] {
        for (int killed = 0, tries = 0; killed < times && tries < 3000; ++tries) {
            for (const long pid : WritersOf(target)) {
                if (pid > 0 && KillAndWait(pid)) {
                    ++killed;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

// Past a limit, or dying twice, a document fails alone: no text, no temporary file, and the next
// document converts in a fresh worker.
TEST(WorkerDocumentConverterTest, ADocumentPastALimitFailsAloneAndTheNextConverts) {
    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.txt"));
    const QString small = folder.filePath(QStringLiteral("small.txt"));
    ASSERT_TRUE(WriteLargeText(large));
    WriteAll(small, "small\n");
    struct Case {
        const char* name;
        corvanel::isolation::IsolationLimits limits;
        int killings;
        int number;
        QString reason;
    };
    for (const Case& c : {Case{"timeout",
                               {kLargeTextTimeLimit, 2048ull << 20, 10},
                               0,
                               8008,
                               LargeTextTimeoutReason()},
                          Case{"memory", {120, 150ull << 20, 10}, 0, 8009, "limit of 150 MiB"},
                          Case{"crash", {120, 2048ull << 20, 10}, 2, 8010, "ended twice"}}) {
        WorkerDocumentConverter converter(CORVANEL_PROGRAM, c.limits);
        const QString out = folder.filePath(QString::fromUtf8(c.name));
        ASSERT_TRUE(QDir().mkpath(out));
        std::thread killer = KillWorkersWriting(out + QStringLiteral("/large.txt"), c.killings);
        const ConversionOutcome failed =
            converter.Convert(large, out + QStringLiteral("/large.txt"));
        killer.join();
        EXPECT_EQ(failed.number, c.number) << c.name;
        EXPECT_TRUE(
            failed.description.startsWith(large + QStringLiteral(" could not be converted: ")))
            << failed.description.toStdString();
        EXPECT_TRUE(failed.description.contains(c.reason)) << failed.description.toStdString();
        EXPECT_TRUE(converter.Convert(small, out + QStringLiteral("/small.txt")).Converted());
        EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("small.txt")})
            << c.name;
    }
}

// Closing the window stops the worker in the middle of a document; nothing more is converted.
TEST(WorkerDocumentConverterTest, StoppingEndsTheWorkerAtOnce) {
    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.txt"));
    ASSERT_TRUE(WriteLargeText(large));
    WorkerDocumentConverter converter(CORVANEL_PROGRAM);
    std::thread conversion([&] {
        EXPECT_FALSE(
            converter.Convert(large, folder.filePath(QStringLiteral("out.txt"))).Converted());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    converter.Stop();
    conversion.join();
    EXPECT_FALSE(
        converter.Convert(large, folder.filePath(QStringLiteral("again.txt"))).Converted());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("out.txt"))));
}

}  // namespace

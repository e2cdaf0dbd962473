// Documents given to the program at start, and handed by later starts to the open window.

#include "MainWindowHarness.h"

#include "app/WindowHandOff.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

namespace {

class WindowHandOffTest : public MainWindowHarness {
protected:
    void SetUp() override {
        MainWindowHarness::SetUp();
        static int count = 0;
        channel = QStringLiteral("corvanel-test-%1-%2")
                      .arg(QCoreApplication::applicationPid())
                      .arg(++count);
    }

    QString MakeFile(const QString& relative) const {
        const QString path = QDir::toNativeSeparators(temp.filePath(relative));
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return path;
    }

    // The real program started with `arguments` on this test's channel, its settings kept in
    // the temporary folder.
    void Launch(QProcess& program, const QStringList& arguments) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVANEL_WINDOW_CHANNEL"), channel);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           temp.filePath(QStringLiteral("home")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(CORVANEL_PROGRAM), arguments);
    }

    // Runs a start to its end with this process's events served, as the window's own are.
    int RunToEnd(const QStringList& arguments) const {
        QProcess program;
        Launch(program, arguments);
        const QDeadlineTimer deadline(60000);
        while (program.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        QCoreApplication::processEvents();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QString channel;
};

TEST_F(WindowHandOffTest, ArgumentsBecomeCleanAbsolutePathsInTheSystemsSeparators) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(temp.path());
    const QStringList paths = WindowHandOff::DocumentArguments(
        {QStringLiteral("in/../a.doc"), QString(), temp.filePath(QStringLiteral("b.rtf"))});
    QDir::setCurrent(before);
    EXPECT_EQ(paths, (QStringList{QDir::toNativeSeparators(temp.filePath("a.doc")),
                                  QDir::toNativeSeparators(temp.filePath("b.rtf"))}));
}

// Each later start hands over and ends; its documents join the one list as a drop adds them
// (a file as given, a folder walked).
TEST_F(WindowHandOffTest, LaterStartsHandTheirDocumentsToTheOpenWindow) {
    const QString single = MakeFile(QStringLiteral("a.doc"));
    const QString inFolder = MakeFile(QStringLiteral("folder/sub/b.rtf"));
    const QString next = MakeFile(QStringLiteral("c.docx"));
    Start();
    WindowHandOff::Receiver receiver(channel);
    ASSERT_TRUE(receiver.Listening());
    receiver.DeliverTo([this](const QStringList& paths) { form->AddHandedDocuments(paths); });

    EXPECT_EQ(RunToEnd({single, temp.filePath(QStringLiteral("folder/sub/.."))}), 0);
    EXPECT_EQ(RunToEnd({next}), 0);
    EXPECT_EQ(form->DocumentList().Texts(), (QStringList{single, inFolder, next}));
}

// No window answers: the start opens its own, which then takes a later start's documents.
TEST_F(WindowHandOffTest, AStartFindingNoWindowOpensOneThatLaterStartsHandTo) {
    QProcess first;
    Launch(first, {MakeFile(QStringLiteral("a.doc"))});
    bool answers = false;
    for (const QDeadlineTimer deadline(60000); !answers && !deadline.hasExpired();) {
        QThread::msleep(50);
        QLocalSocket probe;
        probe.connectToServer(channel);
        answers = probe.waitForConnected(100);
    }
    ASSERT_TRUE(answers) << first.readAllStandardError().toStdString();
    EXPECT_EQ(RunToEnd({MakeFile(QStringLiteral("b.doc"))}), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

}  // namespace

#include "MainWindowHarness.h"

#include "platform/HandlerTrap.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

class MainWindowStartUpTest : public MainWindowHarness {
protected:
    void WriteBesideProgram(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(programFolder + u'/' + name).path());
        QFile file(programFolder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(MainWindowStartUpTest, FirstStartShowsAndStoresTheDesktopWithATrailingSeparator) {
    ASSERT_EQ(Setting(QStringLiteral("Output Folder")), QStringLiteral("<absent>"));
    Start();
    const QString desktop = QDir::toNativeSeparators(
                                QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)) +
                            QDir::separator();
    EXPECT_EQ(Child<QLineEdit>("Text1")->text(), desktop);
    EXPECT_EQ(Setting(QStringLiteral("Output Folder")), desktop);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(endCalls, 0);
    EXPECT_EQ(fakeConverter.AvailabilityChecks(), 1);
}

TEST_F(MainWindowStartUpTest, AStoredEmptyOutputFolderStaysEmpty) {
    SaveSetting(QStringLiteral("Output Folder"), QString());
    Start();
    EXPECT_EQ(Child<QLineEdit>("Text1")->text(), QString());
    EXPECT_EQ(Setting(QStringLiteral("Output Folder")), QString());
}

TEST_F(MainWindowStartUpTest, AStoredOutputFolderIsShownUnchangedEvenWhenItDoesNotExist) {
    SaveSetting(QStringLiteral("Output Folder"), QStringLiteral("/no/such folder//"));
    Start();
    EXPECT_EQ(Child<QLineEdit>("Text1")->text(), QStringLiteral("/no/such folder//"));
}

TEST_F(MainWindowStartUpTest, WithoutAConverterItsReasonIsShownAndTheProgramEnds) {
    fakeConverter.unavailableBecause = QStringLiteral("No converter here.");
    Start();
    EXPECT_EQ(endCalls, 1);
    EXPECT_TRUE(form->ProgramEnded());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest message = dialogs.Messages().front();
    EXPECT_EQ(message.text, QStringLiteral("No converter here."));
    EXPECT_EQ(message.caption, QStringLiteral("Corvanel"));
    EXPECT_EQ(message.icon, MessageIcon::None);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
}

TEST_F(MainWindowStartUpTest, TheHandCursorBesideTheProgramBecomesThePointerImage) {
    QFile shipped(QStringLiteral(CORVANEL_RESOURCE_DIR "/HAND-M.CUR"));
    if (!shipped.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "no HAND-M.CUR in resources yet";
    }
    WriteBesideProgram(QStringLiteral("HAND-M.CUR"), shipped.readAll());
    Start();
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_TRUE(form->HasHandImage());
    EXPECT_EQ(Child<QPushButton>("PushButton2")->cursor().shape(), Qt::BitmapCursor);
    form->ShowBusyPointer(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form->ShowBusyPointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowStartUpTest, WithoutAHandCursorTheButtonsShowTheArrow) {
    Start();
    EXPECT_FALSE(form->HasHandImage());
    EXPECT_EQ(Child<QPushButton>("PushButton2")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowStartUpTest, ADamagedHandCursorIsReportedAtLine106AndStartUpGoesOn) {
    WriteBesideProgram(QStringLiteral("HAND-M.CUR"), QByteArray("not a cursor at all"));
    Start();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest report = dialogs.Messages().front();
    EXPECT_TRUE(report.text.contains(HandlerTags::kStartUp + QStringLiteral("at line 106\r\r")))
        << report.text.toStdString();
    EXPECT_EQ(report.caption, QStringLiteral("Application Error"));
    EXPECT_FALSE(form->HasHandImage());
    EXPECT_FALSE(Child<QLineEdit>("Text1")->text().isEmpty());  // later steps ran
}

TEST_F(MainWindowStartUpTest, ASkinIsAppliedAfterTheTwoBackgroundColours) {
    const QByteArray sheet = "QPushButton { color: rgb(10, 20, 30); }";
    WriteBesideProgram(QStringLiteral("x/o.cjs"), sheet);
    Start();
    EXPECT_EQ(form->styleSheet(), QString::fromLatin1(sheet));
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(form->palette().color(QPalette::Window), buttonFace);
    EXPECT_EQ(Child<QGroupBox>("Frame1")->palette().color(QPalette::Window), buttonFace);
}

TEST_F(MainWindowStartUpTest, WithoutASkinTheWindowStaysWhite) {
    WriteBesideProgram(QStringLiteral("x/other.cjs"), "QWidget { color: red; }");
    Start();
    EXPECT_TRUE(form->styleSheet().isEmpty());
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(MainWindowStartUpTest, ClosingTheWindowEndsTheProgram) {
    Start();
    form->show();
    form->close();
    EXPECT_EQ(endCalls, 1);
    EXPECT_TRUE(form->ProgramEnded());
}

TEST_F(MainWindowStartUpTest, ASettingsStoreThatRefusesWritesIsReportedOnceNotAtEveryKeystroke) {
    ASSERT_TRUE(QDir().mkpath(settings.FilePath()));  // a folder where the file should be
    Start();
    auto* text1 = Child<QLineEdit>("Text1");
    QTest::keyClicks(text1, QStringLiteral("abc"));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const MessageRequest message = dialogs.Messages().front();
    EXPECT_TRUE(message.text.contains(QStringLiteral("Output Folder")))
        << message.text.toStdString();
    EXPECT_EQ(message.caption, QStringLiteral("Corvanel"));
    EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    EXPECT_EQ(endCalls, 0);
}

}  // namespace
